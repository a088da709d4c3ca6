#include "registers/parking/core/parking_sql.h"

#include "core/preset_lists.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"

namespace gc::registers::parking {

using db::quoted;

SearchSpec listSearch() {
    SearchSpec s;
    s.selectBase = QStringLiteral("select * from parking where id<>-1");
    s.countBase = QStringLiteral("select count(*) as c from parking  where id<>-1");
    s.orderBy = QStringLiteral(" order by dat desc, loc");
    s.filters = {rangeFilter(QStringLiteral(" and dat>="), QStringLiteral(" and dat<=")),
                 likeFilter(QStringLiteral(" and num like ")),
                 likeFilter(QStringLiteral(" and loc like "))};
    return s;
}

namespace {

// The official plates with no parking row in the range. A row without a plate must not
// make every vehicle present: NOT IN over a NULL is never true.
QStringList absentCondition(const QString& from, const QString& to) {
    return {QStringLiteral(" where setting.component=") + quoted(presets::kOfficialPlate),
            QStringLiteral(" and cmt not in (select num from parking where dat>=") + quoted(from) +
                QStringLiteral(" and dat<=") + quoted(to) +
                QStringLiteral(" and num is not null) ")};
}

void openOn(db::Query& q, const QStringList& lines) {
    q.close();
    q.setSort({}); // a title-click sort left on the scratch query would reorder the list
    q.openSql(lines);
}

} // namespace

QStringList absenteeCountSql(const QString& from, const QString& to) {
    return QStringList{QStringLiteral("select count(setting.cmt) as c from setting  ")} +
           absentCondition(from, to);
}

QStringList absenteeListSql(const QString& from, const QString& to) {
    return QStringList{QStringLiteral("select setting.cmt from setting  ")} +
           absentCondition(from, to) + QStringList{QStringLiteral(" order by cmt  ")};
}

Absentees ReadAbsentees(db::Query& scratch, const QString& from, const QString& to) {
    Absentees out;
    openOn(scratch, absenteeCountSql(from, to));
    out.count = scratch.fieldByName(QStringLiteral("c")).asString();
    openOn(scratch, absenteeListSql(from, to));
    for (scratch.first(); !scratch.eof(); scratch.next())
        out.plates << scratch.fieldByName(QStringLiteral("cmt")).asString();
    return out;
}

} // namespace gc::registers::parking
