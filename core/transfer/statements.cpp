#include "core/transfer/statements.h"

#include "platform/db/db_error.h"

#include <QSqlError>

namespace gc::transfer {

using db::DbError;

QSqlQuery runStatement(db::Connection& c, const QString& sql, const QVariantList& binds) {
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    // Statements without values go as they are: the server prepares only queries.
    const bool ok = binds.isEmpty() ? c.exec(q, sql) : c.prepare(q, sql);
    if (!ok)
        throw DbError(c.errorMessage(q.lastError()));
    if (binds.isEmpty())
        return q;
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!c.exec(q))
        throw DbError(c.errorMessage(q.lastError()));
    return q;
}

QVariant scalar(db::Connection& c, const QString& sql, const QVariantList& binds) {
    QSqlQuery q = runStatement(c, sql, binds);
    if (!c.next(q)) {
        if (q.lastError().isValid())
            throw DbError(c.errorMessage(q.lastError()));
        return {};
    }
    return q.value(0);
}

} // namespace gc::transfer
