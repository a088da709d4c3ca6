#include "core/accounts.h"

#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"

#include <QStringList>

namespace gc {

namespace {

QString matchingUsers(const QString& us, const QString& ps) {
    return " where us=" + db::quoted(us) + " and ps=" + db::quoted(ps);
}

} // namespace

std::optional<QString> FindLoginUser(Tdm& dm, const QString& us, const QString& ps) {
    db::Query& q = dm.adoq_user;
    q.close();
    q.sql().clear();
    q.sql().add("select * from users" + matchingUsers(us, ps) + " order by id");
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    return q.fieldByName("id").asString();
}

int ChangePassword(Tdm& dm, const QString& us, const QString& ps, const QString& newPs) {
    db::Query& q = dm.adoq_user;
    q.close();
    q.sql().clear();
    q.sql().add("update users set ps=" + db::quoted(newPs) + matchingUsers(us, ps));
    return q.execSql();
}

NewUser CreateUser(db::Query& scratch, const QString& us, const QString& ps) {
    if (us.trimmed().isEmpty())
        return NewUser::NameEmpty;
    db::Connection& connection = scratch.connection();
    connection.beginWriteTransaction("users");
    try {
        scratch.openSql({"select * from users where us=" + db::quoted(us)});
        if (!scratch.isEmpty()) {
            connection.rollback();
            return NewUser::NameTaken;
        }
        scratch.append();
        scratch.fieldByName("us").setAsString(us);
        scratch.fieldByName("ps").setAsString(ps);
        scratch.fieldByName("ver").setAsString("");
        scratch.post();
        connection.commit();
    } catch (const db::DbError&) {
        scratch.cancel();
        connection.rollback();
        throw;
    }
    return NewUser::Created;
}

QStringList UserNames(Tdm& dm) {
    db::Query& q = dm.ADOQuery1;
    q.close();
    q.sql().clear();
    q.sql().add("select us from users");
    q.open();
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << q.fieldByName("us").asString();
    return names;
}

} // namespace gc
