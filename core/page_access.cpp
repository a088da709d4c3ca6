#include "core/page_access.h"

#include "core/data_module.h"
#include "platform/db/sql_text.h"

namespace gc {

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
    PageAccess right;
    right.darj = q.fieldByName("darj").asBoolean();
    right.virayesh = q.fieldByName("virayesh").asBoolean();
    right.hazf = q.fieldByName("hazf").asBoolean();
    right.namayesh = q.fieldByName("namayesh").asBoolean();
    return right;
}

} // namespace gc
