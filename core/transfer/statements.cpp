#include "core/transfer/statements.h"

#include "platform/db/db_error.h"

#include <QSqlError>

namespace gc::transfer {

using db::DbError;

db::Statement runStatement(db::Connection& c, const QString& sql, const QVariantList& binds,
                           const QString& table) {
    db::Statement q(c);
    if (!q.run(sql, binds))
        throw DbError(c.errorMessage(q.lastError(), table));
    return q;
}

QVariant scalar(db::Connection& c, const QString& sql, const QVariantList& binds) {
    db::Statement q = runStatement(c, sql, binds);
    if (!q.next()) {
        if (q.lastError().isValid())
            throw DbError(c.errorMessage(q.lastError()));
        return {};
    }
    return q.value(0);
}

} // namespace gc::transfer
