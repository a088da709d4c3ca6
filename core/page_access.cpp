#include "core/page_access.h"

#include "core/data_module.h"
#include "platform/db/sql_text.h"

#include <QSet>

namespace gc {

namespace {

PageAccess readAccess(db::Query& q) {
    PageAccess right;
    right.darj = q.fieldByName("darj").asBoolean();
    right.virayesh = q.fieldByName("virayesh").asBoolean();
    right.hazf = q.fieldByName("hazf").asBoolean();
    right.namayesh = q.fieldByName("namayesh").asBoolean();
    return right;
}

// Whether the row lets its user reach something: the page, or for the report projects'
// key the upload, which needs the insert flag only.
bool opensSomething(const PageAccessRow& row) {
    return row.access.namayesh || (row.page == QLatin1String("zamaem") && row.access.darj);
}

} // namespace

std::optional<PageAccess> ReadPageAccess(Tdm& dm, const QString& userId, const QString& page) {
    if (userId.isEmpty())
        return std::nullopt;
    db::Query& q = dm.ADOQ_dastrasi;
    q.sql().clear();
    q.sql().add("select * from dastrasi where prs_id=" + userId +
                " and page_name=" + db::quoted(page));
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    return readAccess(q);
}

bool OnlyTheUsersPageOpens(const QList<PageAccessRow>& rows) {
    QSet<QString> seen;
    bool usersPage = false;
    for (const PageAccessRow& row : rows) {
        if (seen.contains(row.page))
            continue;
        seen.insert(row.page);
        if (row.page == QLatin1String("karbaran"))
            usersPage = row.access.namayesh;
        else if (opensSomething(row))
            return false;
    }
    return usersPage;
}

bool OnlyTheUsersPageOpens(Tdm& dm, const QString& userId) {
    if (userId.isEmpty())
        return false;
    db::Query& q = dm.ADOQuery1;
    q.openSql({"select * from dastrasi where prs_id=" + userId + " order by id"});
    QList<PageAccessRow> rows;
    for (q.first(); !q.eof(); q.next())
        rows.append({q.fieldByName("page_name").asString(), readAccess(q)});
    return OnlyTheUsersPageOpens(rows);
}

} // namespace gc
