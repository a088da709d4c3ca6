#include "registers/amval/core/amval_sql.h"

namespace gc::registers::amval {

SearchSpec listSearch() {
    SearchSpec s = searchOn(QStringLiteral("amval"), QStringLiteral("ID<>-1"),
                            QStringLiteral(" order by exit_dat desc "));
    s.filters = {
        likeFilter(QStringLiteral(" and kharejkonande like ")),
        likeFilter(QStringLiteral(" and nam like ")),
        rangeFilter(QStringLiteral(" and exit_dat>="), QStringLiteral(" and exit_dat<=")),
        rangeFilter(QStringLiteral(" and vorod_dat>="), QStringLiteral(" and vorod_dat<="))};
    return s;
}

QString surnamesSql() {
    return QStringLiteral("select distinct surname from asami ");
}

const QStringList& savedColumns() {
    static const QStringList columns = {
        "kharejkonande", "taeidkonande", "cnt",   "nam",     "odat",      "num",
        "exit_dat",      "exit_tim",     "elat",  "maghsad", "daghi",     "maghsad_tel",
        "vorod_dat",     "vorod_tim",    "malek", "cmt",     "negahban1", "negahban2"};
    return columns;
}

} // namespace gc::registers::amval
