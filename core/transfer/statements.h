#pragma once

#include "platform/db/connection.h"

#include <QSqlQuery>
#include <QVariant>

namespace gc::transfer {

// Runs a statement with its values bound, reading forward only. Throws DbError.
QSqlQuery runStatement(db::Connection& c, const QString& sql, const QVariantList& binds = {});

// The first value of the first row; null when there is no row. Throws DbError.
QVariant scalar(db::Connection& c, const QString& sql, const QVariantList& binds = {});

} // namespace gc::transfer
