#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>

namespace gc::db {
class Query;
}

// The parking register's SQL: the list's search and the absentees, the official vehicles
// that have no parking row in a date range.
namespace gc::registers::parking {

// Rows of these places are drawn white on black.
inline const QString kStorePlace = QStringLiteral("انبار");

// The list's search and count: date range, plate, place; newest date first, then by place.
SearchSpec listSearch();

// The absentee count (field "c") and list (field "cmt", by plate) for a date range.
QStringList absenteeCountSql(const QString& from, const QString& to);
QStringList absenteeListSql(const QString& from, const QString& to);

struct Absentees {
    QString count;
    QStringList plates;
};

// Runs both absentee queries on `scratch`. Throws db::DbError.
Absentees ReadAbsentees(db::Query& scratch, const QString& from, const QString& to);

} // namespace gc::registers::parking
