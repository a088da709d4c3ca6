#pragma once

#include "platform/db/connection_string.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace gc::db {

// The program writes one statement text for every engine; table definitions use the
// server's type names ("int identity primary key", nvarchar(n), bit, image, datetime
// with GETDATE() or NOW()). This turns such a statement into what the engine takes:
// one statement, or several that must run together (SQLite adds one column at a time).
QStringList translateStatement(Engine engine, const QString& sql);

// A statement that returns or changes rows, as the engine must run it: on PostgreSQL, LIKE
// becomes ILIKE, so that Latin letters match without regard to case as on the file engine.
QString translateQuery(Engine engine, const QString& sql);

// Text columns carry their width in a named check, so that every engine refuses a
// value that is too long and the refusal names the column.
QString widthConstraintName(const QString& column, int width);

struct WidthViolation {
    QString column;
    int width = 0;
};
// Finds the width check named in an engine's error text.
std::optional<WidthViolation> widthViolationIn(const QString& engineError);

QString widthMessage(const QString& column, int width);

// A text's width as the engines measure it against a column's: in characters (code points), so
// a character beyond the 16-bit range, such as an emoji, counts once.
qsizetype textWidth(const QString& text);

// Every "column like 'pattern'" outside a literal compares with the Persian keheh (U+06A9)
// and the Arabic kaf (U+0643) as one letter: names are stored with either, as each keyboard
// typed them, and a search finds them whichever was typed. Stored texts are left as they are.
QString kafBlindLike(const QString& sql);

// Only names made of letters, digits, '_' and '.' are used as identifiers.
bool isPlainIdentifier(const QString& name);

} // namespace gc::db
