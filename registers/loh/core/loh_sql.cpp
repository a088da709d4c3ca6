#include "registers/loh/core/loh_sql.h"

#include "platform/db/sql_text.h"

namespace gc::registers::loh {

using db::quoted;

SearchSpec listSearch() {
    SearchSpec spec;
    spec.selectBase = QStringLiteral("select * from loh where id<>-1 ");
    spec.countBase = QStringLiteral("select count(*) as c from loh where id<>-1 ");
    spec.countFirst = true;
    spec.filters = {rangeFilter(QStringLiteral(" and dat>="), QStringLiteral(" and dat<=")),
                    likeFilter(QStringLiteral(" and loc like ")),
                    likeFilter(QStringLiteral(" and negahban like ")),
                    exactFilter(QStringLiteral(" and shift="))};
    return spec;
}

QString duplicateSql(const QString& dat, const QString& loc, const QString& day,
                     const QString& shift, std::optional<qlonglong> exceptId) {
    QString sql = "select * from loh where dat=" + quoted(dat) + " and loc=" + quoted(loc) +
                  " and day=" + quoted(day) + " and shift=" + quoted(shift);
    if (exceptId)
        sql += " and id<>" + QString::number(*exceptId);
    return sql;
}

} // namespace gc::registers::loh
