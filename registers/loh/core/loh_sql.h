#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <optional>

// The guard log's SQL texts: the list's search and the entry window's duplicate check.
namespace gc::registers::loh {

// The list's count and search: date range, place, guard, shift; no ordering.
SearchSpec listSearch();

// The roster rows of the same date, place, weekday and shift; with `exceptId`, other than
// that row.
QString duplicateSql(const QString& dat, const QString& loc, const QString& day,
                     const QString& shift, std::optional<qlonglong> exceptId = std::nullopt);

} // namespace gc::registers::loh
