#include "core/unread_messages.h"

#include "core/data_module.h"

namespace gc {

qint64 CountUnreadMessages(Tdm& dm, const QString& userId) {
    db::Query& q = dm.ADOQ_timer;
    q.sql().clear();
    q.sql().add("select count(*) as c from payamha where rec_prs_id=" + userId +
                " and show_dat=''");
    q.open();
    q.first();
    return q.fieldByName("c").asInteger();
}

} // namespace gc
