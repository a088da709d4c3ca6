#pragma once

#include "platform/db/connection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace gc::db {

// A SELECT read forward, one row at a time, without keeping earlier rows: for long results
// that are walked once (files written per row, a sheet built from a date range). The
// statement's text goes through the code page like every other statement. Nothing else may
// run on the connection while the reader is open.
class ForwardReader {
  public:
    // Executes `sql`; throws DbError.
    ForwardReader(Connection& connection, const QString& sql);

    // Moves to the next row; false after the last. Throws DbError when reading fails, so an
    // error is never taken for the end.
    bool next();
    // The current row's column `name`; throws DbError when the result has no such column.
    QVariant value(const QString& name) const;
    QString text(const QString& name) const { return value(name).toString(); }
    QByteArray bytes(const QString& name) const { return value(name).toByteArray(); }

  private:
    Connection& connection_;
    QSqlQuery query_;
    QSqlRecord record_;
};

} // namespace gc::db
