#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <memory>

namespace gc::db {

class Connection;

// A statement on a connection, whose every call that may wait for the server (its end
// included: the driver removes a prepared statement from the server when its query goes)
// runs while a wait is marked. Inside a transaction on the server its end is put off to the
// transaction's end: before the commit, or after the rollback, since a transaction that
// failed refuses the removal. Made and used in the thread of its connection.
class Statement {
  public:
    explicit Statement(Connection& connection);
    ~Statement();
    Statement(Statement&& other) noexcept = default;
    Statement& operator=(Statement&& other) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool exec(const QString& sql);
    bool prepare(const QString& sql);
    void addBindValue(const QVariant& value) { query_->addBindValue(value); }
    void bindValue(int at, const QVariant& value) { query_->bindValue(at, value); }
    bool exec();
    // Runs `sql` with `binds` bound to its placeholders; without values it goes as it is, so
    // that the server prepares only what takes values.
    bool run(const QString& sql, const QVariantList& binds);
    bool next();
    // Lets the result go, as its end does; the prepared statement stays for another run.
    void finish();

    QVariant value(int column) const { return query_->value(column); }
    QVariant value(const QString& name) const { return query_->value(name); }
    QSqlRecord record() const { return query_->record(); }
    QSqlError lastError() const { return query_->lastError(); }
    int numRowsAffected() const { return query_->numRowsAffected(); }
    QVariant lastInsertId() const { return query_->lastInsertId(); }

  private:
    void end();

    Connection* connection_;
    std::unique_ptr<QSqlQuery> query_;
};

} // namespace gc::db
