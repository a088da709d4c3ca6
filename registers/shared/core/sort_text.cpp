#include "registers/shared/core/sort_text.h"

namespace gc::registers {

QString NextSortText(const QString& current, const QString& field) {
    if (current.startsWith(field) && !current.contains(QLatin1String(" DESC")))
        return field + QLatin1String(" DESC");
    return field + QLatin1String(" ASC");
}

} // namespace gc::registers
