#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <vector>

namespace gc::db {

// One term of an ORDER BY that names a result column.
struct OrderTerm {
    QString column; // as written, without table prefix or quotes
    bool descending = false;
    bool notNull = false; // a key: conditions on it need no NULL case
    QString collation;    // the text collation it sorts and compares by; empty: the column's own
};

// A condition with its values bound in the order of its placeholders ("?"), so that each
// keeps its full precision and its type.
struct Condition {
    QString sql;
    QVariantList values;
};

// A SELECT taken apart at its trailing ORDER BY.
struct OrderedStatement {
    QString body;             // the statement without its ORDER BY
    QVector<OrderTerm> terms; // empty when the statement has no order
    // False when rows cannot be read in keyed pages: a LIMIT, OFFSET or compound
    // statement at the top level, a join, or an order term that is not a plain column.
    bool pageable = true;
    bool plainOrder = false; // it has an order that names only columns
};

OrderedStatement splitOrderBy(const QString& sql);

// The condition that holds for rows after `last` in the order of `terms` (whose last term is
// a key, so the order is total). `nullsGreatest`: the engine sorts NULL after every value
// (PostgreSQL) rather than before (SQLite). Columns are prefixed with `alias`.
// `withoutFirstNulls` leaves out the rows whose first term is NULL, which then follow all
// others: without them the condition is one an index on the first term can be walked by.
Condition rowsAfter(const QVector<OrderTerm>& terms, const QVector<QVariant>& last,
                    bool nullsGreatest, const QString& alias, bool withoutFirstNulls = false);

// Whether rows whose `term` is NULL come after `value` in the engine's order.
bool nullsFollow(const OrderTerm& term, const QVariant& value, bool nullsGreatest);

// The condition that holds for `last` and the rows before it.
Condition rowsUpTo(const QVector<OrderTerm>& terms, const QVector<QVariant>& last,
                   bool nullsGreatest, const QString& alias);

// The condition that holds for rows whose `column` is among `keys` (not empty), and may hold
// for others: a range where the keys fill at least half of it, which an engine reads more
// cheaply than a long list; the reader leaves out the rows whose key is not among them.
QString keysCondition(const QString& column, const std::vector<qint64>& keys);

// " order by a.c1 desc, a.c2" for the terms.
QString orderByClause(const QVector<OrderTerm>& terms, const QString& alias);

} // namespace gc::db
