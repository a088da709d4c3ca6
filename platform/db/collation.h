#pragma once

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace gc::db {

// Text sorts in the Persian alphabet's order: آ ا ب پ ت ث ج چ ح خ د ذ ر ز ژ س ش ص ض ط ظ ع غ ف ق
// ک گ ل م ن و ه ی, the Arabic kaf and yeh as the Persian ones. Blanks and punctuation come
// first, then digits, the letters, Latin letters without regard to case, and the rest; texts
// equal letter for letter put the Persian forms first, then fall by their bytes, so that only
// equal texts compare equal.
int comparePersian(QByteArrayView a, QByteArrayView b); // UTF-8; <0, 0, >0

// The collation's name on a file database: registered on each of its connections.
inline const QString kFileCollation = QStringLiteral("gc_fa");

// Registers the collation on a file database's open connection; throws DbError.
void registerPersianCollation(const QSqlDatabase& db);
// The same on the engine's own handle.
void registerPersianCollation(sqlite3* engine);

// The server's collation of the same order (ICU), or empty when the server has none.
QString serverPersianCollation(const QSqlDatabase& db);

} // namespace gc::db
