#pragma once

#include "platform/db/connection.h"
#include "platform/db/statement.h"

#include <QVariant>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace gc::db {

// The rows of a SELECT read forward, values as the Qt driver gives them. On the file database
// the statement runs on the driver's own engine handle: the driver copies every text value
// twice, which is most of the cost of a long read. On the server the statement, from its
// execution to its end, is one marked wait (not one a row); a second one is not to be begun
// on the connection while one lives, since beginning it may reopen the connection.
class StatementRows {
  public:
    // Executes `sql` (already in the engine's dialect) with `values` bound to its
    // placeholders in order; throws DbError.
    StatementRows(Connection& connection, const QString& sql, const QVariantList& values = {});
    ~StatementRows();
    StatementRows(const StatementRows&) = delete;
    StatementRows& operator=(const StatementRows&) = delete;

    // Moves to the next row; false after the last. Throws DbError when reading fails, so an
    // error is never taken for the end.
    bool next();
    QVariant value(int column) const;

  private:
    // Throws the engine's error about the statement, which is finalised.
    [[noreturn]] void refuse(sqlite3* handle);

    Connection& connection_;
    const ServerWait wait_; // outlives the query, whose end may wait for the server
    sqlite3_stmt* stmt_ = nullptr;
    std::optional<Statement> query_;
};

} // namespace gc::db
