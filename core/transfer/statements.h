#pragma once

#include "platform/db/connection.h"
#include "platform/db/statement.h"

#include <QVariant>

namespace gc::transfer {

// Runs a statement with its values bound, reading forward only. Throws DbError; a lock that
// ran out on `table`, when given, is told as that table's.
db::Statement runStatement(db::Connection& c, const QString& sql, const QVariantList& binds = {},
                           const QString& table = {});

// The first value of the first row; null when there is no row. Throws DbError.
QVariant scalar(db::Connection& c, const QString& sql, const QVariantList& binds = {});

} // namespace gc::transfer
