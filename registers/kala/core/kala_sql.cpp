#include "registers/kala/core/kala_sql.h"

#include "platform/db/query.h"
#include "platform/db/sql_text.h"

namespace gc::registers::kala {

using db::quoted;

namespace {

QStringList column(db::Query& query, const QString& field) {
    QStringList out;
    for (query.first(); !query.eof(); query.next())
        out << query.fieldByName(field).asString();
    return out;
}

} // namespace

SearchSpec catalogueSearch() {
    SearchSpec spec;
    spec.selectBase = QStringLiteral("select * from kala where id<>-1 ");
    spec.countBase = QStringLiteral("select count(*) as c from kala where id<>-1 ");
    spec.filters = {choiceFilter({" and cod like ", " and cmt like ", " and vahed like "}, true)};
    return spec;
}

QStringList duplicateSql(const QString& cod, const QString& cmt, const QString& vahed) {
    return {"select * from kala where cod=" + quoted(cod), " and cmt=" + quoted(cmt),
            " and vahed=" + quoted(vahed)};
}

QStringList codes(db::Query& query) {
    query.openSql({QStringLiteral("select distinct cod from kala order by cod ")});
    return column(query, QStringLiteral("cod"));
}

std::vector<Described> descriptionsOf(db::Query& query, const QString& cod) {
    query.openSql({"select distinct cmt,vahed from kala where cod=" + quoted(cod)});
    std::vector<Described> out;
    for (query.first(); !query.eof(); query.next())
        out.push_back({query.fieldByName(QStringLiteral("cmt")).asString(),
                       query.fieldByName(QStringLiteral("vahed")).asString()});
    return out;
}

QStringList unitsOf(db::Query& query, const QString& cod, const QString& cmt) {
    query.openSql(
        {"select distinct vahed from kala where cod=" + quoted(cod) + " and cmt=" + quoted(cmt)});
    return column(query, QStringLiteral("vahed"));
}

} // namespace gc::registers::kala
