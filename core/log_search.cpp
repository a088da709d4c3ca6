#include "core/log_search.h"

#include "platform/db/sql_text.h"

namespace gc {

using db::quoted;

namespace {

QString like(const char* column, const std::optional<QString>& text) {
    if (!text)
        return {};
    return " and " + QLatin1String(column) + " like " + db::containsPattern(*text);
}

} // namespace

QString LogFilterText(const LogFilters& f) {
    QString out = like("karbar", f.karbar);
    if (f.dates)
        out += " and tarikh>=" + quoted(f.dates->first) + " and tarikh<=" + quoted(f.dates->second);
    out += like("cmt", f.cmt);
    out += like("computer_name", f.computer_name);
    out += like("ip", f.ip);
    return out;
}

QString LogCountSql(const LogFilters& filters) {
    return "select count(*) as c  from log where karbar<>" + quoted(QString()) +
           LogFilterText(filters);
}

QString LogListSql(const LogFilters& filters) {
    return "select * from log where karbar<>" + quoted(QString()) + LogFilterText(filters) +
           " order by saat_sys desc ";
}

} // namespace gc
