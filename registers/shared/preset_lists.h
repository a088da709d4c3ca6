#pragma once

#include <QString>
#include <QStringList>

namespace gc::db {
class Query;
}

namespace gc::registers {

// The preset list that holds the delete password.
inline const QString kDeletePasswordList = QStringLiteral("رمز حذف");

// The values (`cmt`) of the preset list `name`, in row order, read on `scratch`.
// Throws db::DbError.
QStringList PresetValues(db::Query& scratch, const QString& name);

// The values of every preset list whose name matches the LIKE pattern (for example
// "%نام راننده%"), in row order. Throws db::DbError.
QStringList PresetValuesLike(db::Query& scratch, const QString& pattern);

// The delete password: the first value of the list "رمز حذف", empty when it has none.
// Read on the settings query `adoq_set`. Throws db::DbError.
QString ReadDeletePassword(db::Query& adoq_set);

} // namespace gc::registers
