#include "registers/anbar/core/anbar_sql.h"

namespace gc::registers::anbar {

QStringList movementTypes() {
    return {QStringLiteral("رسيد"), QStringLiteral("خروج"), QStringLiteral("برگشت"),
            QStringLiteral("اماني")};
}

SearchSpec listSearch() {
    SearchSpec spec = searchOn(QStringLiteral("anbar"), QStringLiteral("ID<>-1"),
                               QStringLiteral(" order by dat desc "));
    spec.filters = {
        likeFilter(QStringLiteral(" and typ like ")), likeFilter(QStringLiteral(" and kala like ")),
        rangeFilter(QStringLiteral(" and dat>="), QStringLiteral(" and dat<=")),
        likeFilter(QStringLiteral(" and maghsad like ")),
        likeAnyFilter({QStringLiteral(" and ( prs1 like "), QStringLiteral(" OR prs2 like ")},
                      QStringLiteral(")"))};
    return spec;
}

} // namespace gc::registers::anbar
