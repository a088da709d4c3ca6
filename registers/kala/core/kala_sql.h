#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace gc::db {
class Query;
}

// The goods catalogue's SQL texts, and the look-ups that the warehouse entry makes in it.
namespace gc::registers::kala {

// The search on the column picked by the search's radio item (code, description, unit),
// containing the search text; no ordering.
SearchSpec catalogueSearch();

// The entries equal in code, description and unit.
QStringList duplicateSql(const QString& cod, const QString& cmt, const QString& vahed);

// A description with its unit.
struct Described {
    QString cmt;
    QString vahed;
};

// The look-ups, each run on `query`; they throw db::DbError.
// The distinct codes in order.
QStringList codes(db::Query& query);
// The distinct description and unit pairs of a code.
std::vector<Described> descriptionsOf(db::Query& query, const QString& cod);
// The distinct units of a code and description.
QStringList unitsOf(db::Query& query, const QString& cod, const QString& cmt);

} // namespace gc::registers::kala
