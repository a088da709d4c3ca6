#include "platform/db/result_order.h"

#include "platform/db/sql_text.h"

#include <QDateTime>
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
    return OrderTerm{m.captured(1), m.captured(2).compare("desc", Qt::CaseInsensitive) == 0};
}

QString column(const OrderTerm& t, const QString& alias) {
    return alias + '.' + t.column;
}

// Rows strictly after `v` in this term's direction; empty when none can be.
QString after(const OrderTerm& t, const QVariant& v, bool nullsGreatest, const QString& alias) {
    const QString c = column(t, alias);
    if (v.isNull())
        return nullsGreatest == t.descending ? c + " is not null" : QString();
    const QString strict = c + (t.descending ? " < " : " > ") + sqlLiteral(v);
    return nullsGreatest == t.descending || t.notNull ? strict
                                                      : "(" + strict + " or " + c + " is null)";
}

// A necessary condition on the first term alone, so that an index on it can be used.
QString bound(const OrderTerm& t, const QVariant& v, bool nullsGreatest, const QString& alias) {
    const QString c = column(t, alias);
    if (v.isNull())
        return nullsGreatest == t.descending ? QString() : c + " is null";
    const QString wide = c + (t.descending ? " <= " : " >= ") + sqlLiteral(v);
    return nullsGreatest == t.descending || t.notNull ? wide
                                                      : "(" + wide + " or " + c + " is null)";
}

QString equal(const OrderTerm& t, const QVariant& v, const QString& alias) {
    return column(t, alias) + (v.isNull() ? " is null" : " = " + sqlLiteral(v));
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
    return out;
}

QString sqlLiteral(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 17);
    case QMetaType::QDateTime:
        return quoted(value.toDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz"));
    default:
        return quoted(value.toString());
    }
}

bool nullsFollow(const OrderTerm& term, const QVariant& value, bool nullsGreatest) {
    return !value.isNull() && !term.notNull && nullsGreatest != term.descending;
}

QString rowsAfter(const QVector<OrderTerm>& terms, const QVector<QVariant>& last,
                  bool nullsGreatest, const QString& alias, bool withoutFirstNulls) {
    QStringList any;
    QStringList equalSoFar;
    for (qsizetype i = 0; i < terms.size(); ++i) {
        OrderTerm t = terms[i];
        t.notNull = t.notNull || (i == 0 && withoutFirstNulls);
        const QString strict = after(t, last[i], nullsGreatest, alias);
        if (!strict.isEmpty())
            any << (equalSoFar + QStringList{strict}).join(" and ");
        equalSoFar << equal(terms[i], last[i], alias);
    }
    if (any.isEmpty())
        return "1 = 0";
    const QString condition = "(" + any.join(") or (") + ")";
    OrderTerm head = terms[0];
    head.notNull = head.notNull || withoutFirstNulls;
    const QString first = bound(head, last[0], nullsGreatest, alias);
    return terms.size() > 1 && !first.isEmpty() ? first + " and (" + condition + ")" : condition;
}

QString rowsUpTo(const QVector<OrderTerm>& terms, const QVector<QVariant>& last, bool nullsGreatest,
                 const QString& alias) {
    // Before `last` is after it in the reverse order, NULLs kept where the engine sorts them.
    QVector<OrderTerm> reversed = terms;
    for (OrderTerm& t : reversed)
        t.descending = !t.descending;
    QStringList same;
    for (qsizetype i = 0; i < terms.size(); ++i)
        same << equal(terms[i], last[i], alias);
    return "(" + rowsAfter(reversed, last, nullsGreatest, alias) + ") or (" + same.join(" and ") +
           ")";
}

QString orderByClause(const QVector<OrderTerm>& terms, const QString& alias) {
    QStringList parts;
    for (const OrderTerm& t : terms)
        parts << column(t, alias) + (t.descending ? " desc" : "");
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
