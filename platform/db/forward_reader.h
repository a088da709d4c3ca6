#pragma once

#include "platform/db/connection.h"
#include "platform/db/statement.h"

#include <QSqlRecord>
#include <QVariant>
#include <optional>

namespace gc::db {

// A SELECT read forward, one row at a time, without keeping earlier rows: for long results
// that are walked once (files written per row, a sheet built from a date range). The
// statement's text goes through the code page and the engine's translation like every other
// read, and a lost server connection is reopened first. Nothing else may
// run on the connection while the reader is open.
class ForwardReader {
  public:
    // Executes `sql`; throws DbError.
    ForwardReader(Connection& connection, const QString& sql);

    // Moves to the next row; false after the last. Throws DbError when reading fails, so an
    // error is never taken for the end.
    bool next();
    // The position of column `name`; throws DbError when the result has no such column.
    int column(const QString& name) const;
    // The current row's value in a column, by position or by name.
    QVariant value(int column) const { return query_->value(column); }
    QVariant value(const QString& name) const { return value(column(name)); }
    QString text(int column) const { return value(column).toString(); }
    QString text(const QString& name) const { return value(name).toString(); }

  private:
    Connection& connection_;
    std::optional<Statement> query_;
    QSqlRecord record_;
};

} // namespace gc::db
