#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace gc {

// The log viewer's filters; each applies only when set (its box ticked).
struct LogFilters {
    std::optional<QString> karbar;
    // From and to, both inclusive, compared as text.
    std::optional<std::pair<QString, QString>> dates;
    std::optional<QString> cmt;
    std::optional<QString> computer_name;
    std::optional<QString> ip;
};

// The conditions that follow "where karbar<>''", in the viewer's fixed order.
QString LogFilterText(const LogFilters& filters);

// The count ("c") and list statements; the list is newest first by the server stamp.
QString LogCountSql(const LogFilters& filters);
QString LogListSql(const LogFilters& filters);

} // namespace gc
