#include "core/page_rights.h"

#include "core/data_module.h"
#include "core/sql_text.h"

namespace gc {

std::optional<PageRight> ReadPageRight(Tdm& dm, const QString& userId, const QString& page) {
    if (userId.isEmpty())
        return std::nullopt;
    db::Query& q = dm.ADOQ_dastrasi;
    q.sql().clear();
    q.sql().add("select * from dastrasi where prs_id=" + userId + " and page_name=" + quoted(page));
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    PageRight right;
    right.darj = q.fieldByName("darj").asBoolean();
    right.virayesh = q.fieldByName("virayesh").asBoolean();
    right.hazf = q.fieldByName("hazf").asBoolean();
    right.namayesh = q.fieldByName("namayesh").asBoolean();
    return right;
}

} // namespace gc
