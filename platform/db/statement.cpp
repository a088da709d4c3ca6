#include "platform/db/statement.h"

#include "platform/db/connection.h"

namespace gc::db {

Statement::Statement(Connection& connection)
    : connection_(&connection), query_(std::make_unique<QSqlQuery>(connection.database())) {
    query_->setForwardOnly(true);
}

Statement::~Statement() {
    end();
}

void Statement::end() {
    if (query_)
        connection_->endStatement(std::move(query_));
}

bool Statement::exec(const QString& sql) {
    const ServerWait wait = connection_->serverWait();
    return query_->exec(sql);
}

bool Statement::prepare(const QString& sql) {
    const ServerWait wait = connection_->serverWait();
    return query_->prepare(sql);
}

bool Statement::exec() {
    const ServerWait wait = connection_->serverWait();
    return query_->exec();
}

bool Statement::run(const QString& sql, const QVariantList& binds) {
    if (binds.isEmpty())
        return exec(sql);
    if (!prepare(sql))
        return false;
    for (const QVariant& v : binds)
        addBindValue(v);
    return exec();
}

bool Statement::next() {
    const ServerWait wait = connection_->serverWait();
    return query_->next();
}

void Statement::finish() {
    const ServerWait wait = connection_->serverWait();
    query_->finish();
}

} // namespace gc::db
