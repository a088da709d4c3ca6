#include "registers/shared/core/search_sql.h"

#include "platform/db/query.h"
#include "platform/db/sql_text.h"

namespace gc::registers {

namespace {

using db::quoted;

SearchFilter make(SearchFilter::Kind kind, QStringList fragments, bool contains = false) {
    SearchFilter f;
    f.kind = kind;
    f.fragments = std::move(fragments);
    f.contains = contains;
    return f;
}

QString literal(const SearchFilter& filter, const QString& text) {
    return filter.contains ? db::containsPattern(text) : quoted(text);
}

void setLines(db::Query& query, const QStringList& lines) {
    query.sql().clear();
    for (const QString& line : lines)
        query.sql().add(line);
}

} // namespace

SearchFilter likeFilter(const QString& fragment) {
    return make(SearchFilter::Kind::Text, {fragment}, true);
}

SearchFilter likeAnyFilter(const QStringList& fragments, const QString& closing) {
    SearchFilter f = make(SearchFilter::Kind::Text, fragments, true);
    f.closing = closing;
    return f;
}

SearchFilter exactFilter(const QString& fragment) {
    return make(SearchFilter::Kind::Text, {fragment});
}

SearchFilter rangeFilter(const QString& lower, const QString& upper) {
    return make(SearchFilter::Kind::Range, {lower, upper});
}

SearchFilter fixedFilter(const QString& line) {
    return make(SearchFilter::Kind::Fixed, {line});
}

SearchFilter choiceFilter(const QStringList& fragments, bool contains) {
    return make(SearchFilter::Kind::Choice, fragments, contains);
}

SearchSpec searchOn(const QString& table, const QString& identityGuard, const QString& orderBy) {
    SearchSpec spec;
    spec.selectBase = QStringLiteral("Select * from %1 where %2").arg(table, identityGuard);
    spec.countBase =
        QStringLiteral("Select count(*) as c from %1 where %2").arg(table, identityGuard);
    spec.orderBy = orderBy;
    return spec;
}

std::optional<QString> filterLine(const SearchFilter& filter, const FilterInput& input) {
    if (!input.on)
        return std::nullopt;
    const QString text = input.texts.value(0);
    switch (filter.kind) {
    case SearchFilter::Kind::Text: {
        for (const auto& [value, line] : filter.specialValues)
            if (text == value)
                return line;
        QString line;
        for (const QString& fragment : filter.fragments)
            line += fragment + literal(filter, text);
        return line + filter.closing;
    }
    case SearchFilter::Kind::Range:
        return filter.fragments.value(0) + quoted(text) + filter.fragments.value(1) +
               quoted(input.texts.value(1));
    case SearchFilter::Kind::Fixed:
        return filter.fragments.value(0);
    case SearchFilter::Kind::Choice:
        if (input.choice < 0 || input.choice >= filter.fragments.size())
            return std::nullopt;
        return filter.fragments[input.choice] + literal(filter, text) + filter.closing;
    }
    return std::nullopt;
}

SearchSql buildSearch(const SearchSpec& spec, const std::vector<FilterInput>& inputs) {
    QStringList lines;
    for (std::size_t i = 0; i < spec.filters.size() && i < inputs.size(); ++i)
        if (const auto line = filterLine(spec.filters[i], inputs[i]))
            lines << *line;
    SearchSql sql;
    sql.select << spec.selectBase << lines;
    if (!spec.orderBy.isEmpty())
        sql.select << spec.orderBy;
    sql.count << spec.countBase << lines;
    return sql;
}

QString RunSearch(db::Query& list, db::Query& counter, const SearchSpec& spec,
                  const std::vector<FilterInput>& inputs) {
    const SearchSql sql = buildSearch(spec, inputs);
    const auto openCount = [&] {
        setLines(counter, sql.count);
        counter.open();
        return counter.fieldByName(spec.countField).asString();
    };
    QString count;
    if (spec.countFirst)
        count = openCount();
    // A title-click sort lasts until the next search, which returns to the register's order.
    list.close();
    list.setSort({});
    setLines(list, sql.select);
    list.open();
    if (!spec.countFirst)
        count = openCount();
    return count;
}

} // namespace gc::registers
