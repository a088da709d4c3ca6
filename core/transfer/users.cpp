#include "core/transfer/users.h"

#include "core/schema.h"
#include "core/transfer/statements.h"
#include "platform/db/db_error.h"

#include <QSqlError>

namespace gc::transfer {

ExistingUsers existingUsers(db::Connection& c) {
    db::Statement q = runStatement(c, "select id, us, ps from users order by id");
    ExistingUsers out;
    int accounts = 0;
    qint64 seed = 0;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        const QString name = q.value(1).toString();
        if (!out.named.contains(name))
            out.named.insert(name, id);
        if (++accounts == 1 && name == "admin" && q.value(2).toString() == kInitialAdminPassword)
            seed = id;
    }
    if (q.lastError().isValid())
        throw db::DbError(c.errorMessage(q.lastError()));
    out.seededAdmin = accounts == 1 ? seed : 0;
    return out;
}

} // namespace gc::transfer
