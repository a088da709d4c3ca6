#include "platform/db/result_order.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace gc::db {

namespace {

struct Word {
    qsizetype pos;
    QString text;
};

// The words at parenthesis depth 0, outside literals and quoted names.
QVector<Word> topLevelWords(const QString& sql) {
    QVector<Word> words;
    int depth = 0;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            const qsizetype end = sql.indexOf(c, i + 1);
            i = end < 0 ? sql.size() : end + 1;
        } else if (c == '(' || c == ')') {
            depth += c == '(' ? 1 : -1;
            ++i;
        } else if (c.isLetter() || c == '_') {
            qsizetype j = i;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == '_'))
                ++j;
            if (depth == 0)
                words.push_back({i, sql.mid(i, j - i).toLower()});
            i = j;
        } else {
            ++i;
        }
    }
    return words;
}

// Joins may repeat a table's key in several rows, so the key cannot order them.
bool readsSeveralTables(const QString& sql) {
    static const QRegularExpression literal(R"('[^']*')");
    static const QRegularExpression join(
        R"(\bjoin\b|\bfrom\s+[A-Za-z_][A-Za-z0-9_]*(\s+(as\s+)?[A-Za-z_][A-Za-z0-9_]*)?\s*,)",
        QRegularExpression::CaseInsensitiveOption);
    QString text = sql;
    text.replace(literal, "''");
    return join.match(text).hasMatch();
}

std::optional<OrderTerm> parseTerm(const QString& text) {
    static const QRegularExpression re(
        R"re(^\s*(?:"?[A-Za-z_][A-Za-z0-9_]*"?\s*\.\s*)?"?([A-Za-z_][A-Za-z0-9_]*)"?\s*(asc|desc)?\s*$)re",
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return OrderTerm{
        m.captured(1), m.captured(2).compare("desc", Qt::CaseInsensitive) == 0, false, {}};
}

QString column(const OrderTerm& t, const QString& alias) {
    return alias + '.' + t.column;
}

// The column as it is compared and sorted.
QString sortExpression(const OrderTerm& t, const QString& alias) {
    return t.collation.isEmpty() ? column(t, alias)
                                 : column(t, alias) + " collate \"" + t.collation + '"';
}

Condition operator+(Condition a, const Condition& b) {
    a.sql += b.sql;
    a.values += b.values;
    return a;
}

Condition text(const QString& sql) {
    return {sql, {}};
}

Condition compared(const OrderTerm& t, const QString& op, const QVariant& v, const QString& alias) {
    return {sortExpression(t, alias) + op + "?", {v}};
}

// Rows strictly after `v` in this term's direction; empty when none can be.
Condition after(const OrderTerm& t, const QVariant& v, bool nullsGreatest, const QString& alias) {
    const QString c = column(t, alias);
    if (v.isNull())
        return text(nullsGreatest == t.descending ? c + " is not null" : QString());
    const Condition strict = compared(t, t.descending ? " < " : " > ", v, alias);
    return nullsGreatest == t.descending || t.notNull
               ? strict
               : text("(") + strict + text(" or " + c + " is null)");
}

// A necessary condition on the first term alone, so that an index on it can be used.
Condition bound(const OrderTerm& t, const QVariant& v, bool nullsGreatest, const QString& alias) {
    const QString c = column(t, alias);
    if (v.isNull())
        return text(nullsGreatest == t.descending ? QString() : c + " is null");
    const Condition wide = compared(t, t.descending ? " <= " : " >= ", v, alias);
    return nullsGreatest == t.descending || t.notNull
               ? wide
               : text("(") + wide + text(" or " + c + " is null)");
}

Condition equal(const OrderTerm& t, const QVariant& v, const QString& alias) {
    return v.isNull() ? text(column(t, alias) + " is null") : compared(t, " = ", v, alias);
}

Condition joined(const QVector<Condition>& parts, const QString& separator) {
    Condition out;
    for (qsizetype i = 0; i < parts.size(); ++i)
        out = out + text(i > 0 ? separator : QString()) + parts[i];
    return out;
}

} // namespace

OrderedStatement splitOrderBy(const QString& sql) {
    OrderedStatement out{sql, {}, !readsSeveralTables(sql)};
    const QVector<Word> words = topLevelWords(sql);
    static const QStringList kUnpageable = {"limit",  "offset", "union", "intersect",
                                            "except", "fetch",  "top"};
    qsizetype orderAt = -1;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (kUnpageable.contains(words[i].text))
            out.pageable = false;
        if (words[i].text == "order" && i + 1 < words.size() && words[i + 1].text == "by")
            orderAt = i;
    }
    if (orderAt < 0)
        return out;
    out.body = sql.left(words[orderAt].pos);
    const QString terms = sql.mid(words[orderAt + 1].pos + 2);
    if (terms.contains('(')) {
        out.pageable = false;
        return out;
    }
    for (const QString& text : terms.split(',')) {
        const auto term = parseTerm(text);
        if (!term) {
            out.pageable = false;
            return out;
        }
        out.terms << *term;
    }
    out.plainOrder = true;
    return out;
}

bool nullsFollow(const OrderTerm& term, const QVariant& value, bool nullsGreatest) {
    return !value.isNull() && !term.notNull && nullsGreatest != term.descending;
}

Condition rowsAfter(const QVector<OrderTerm>& terms, const QVector<QVariant>& last,
                    bool nullsGreatest, const QString& alias, bool withoutFirstNulls) {
    QVector<Condition> any;
    QVector<Condition> equalSoFar;
    for (qsizetype i = 0; i < terms.size(); ++i) {
        OrderTerm t = terms[i];
        t.notNull = t.notNull || (i == 0 && withoutFirstNulls);
        const Condition strict = after(t, last[i], nullsGreatest, alias);
        if (!strict.sql.isEmpty())
            any << joined(equalSoFar + QVector<Condition>{strict}, " and ");
        equalSoFar << equal(terms[i], last[i], alias);
    }
    if (any.isEmpty())
        return text("1 = 0");
    const Condition condition = text("(") + joined(any, ") or (") + text(")");
    OrderTerm head = terms[0];
    head.notNull = head.notNull || withoutFirstNulls;
    const Condition first = bound(head, last[0], nullsGreatest, alias);
    return terms.size() > 1 && !first.sql.isEmpty() ? first + text(" and (") + condition + text(")")
                                                    : condition;
}

Condition rowsUpTo(const QVector<OrderTerm>& terms, const QVector<QVariant>& last,
                   bool nullsGreatest, const QString& alias) {
    // Before `last` is after it in the reverse order, NULLs kept where the engine sorts them.
    QVector<OrderTerm> reversed = terms;
    for (OrderTerm& t : reversed)
        t.descending = !t.descending;
    QVector<Condition> same;
    for (qsizetype i = 0; i < terms.size(); ++i)
        same << equal(terms[i], last[i], alias);
    return text("(") + rowsAfter(reversed, last, nullsGreatest, alias) + text(") or (") +
           joined(same, " and ") + text(")");
}

QString orderByClause(const QVector<OrderTerm>& terms, const QString& alias) {
    QStringList parts;
    for (const OrderTerm& t : terms)
        parts << sortExpression(t, alias) + (t.descending ? " desc" : "");
    return " order by " + parts.join(", ");
}

QString keysCondition(const QString& column, const std::vector<qint64>& keys) {
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    if (double(*high) - double(*low) < 2.0 * double(keys.size()))
        return column + " between " + QString::number(*low) + " and " + QString::number(*high);
    QStringList list;
    for (qint64 k : keys)
        list << QString::number(k);
    return column + " in (" + list.join(',') + ")";
}

} // namespace gc::db
