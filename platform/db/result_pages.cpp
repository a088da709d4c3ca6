#include "platform/db/result_pages.h"

#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/db/statement_rows.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QStringList>

namespace gc::db {

namespace {

const QString kAlias = QStringLiteral("gc_rows");

bool isSelect(const QString& sql) {
    static const QRegularExpression re(R"(^[\s(]*(select|with)\b)",
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

QVariant asBool(const QVariant& v) {
    if (v.isNull())
        return v;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return QVariant(s == "true" || s == "1" || s == "-1");
    }
    return QVariant(v.toLongLong() != 0);
}

// The current row of `rows` (a Statement or StatementRows), and the `exact` texts after it.
template <class Rows>
Row readRow(const Rows& rows, const QVector<bool>& boolColumns, int exact = 0) {
    const int columns = int(boolColumns.size());
    Row r;
    r.reserve(columns + exact);
    for (int i = 0; i < columns; ++i)
        r.push_back(boolColumns[i] ? asBool(rows.value(i)) : rows.value(i));
    for (int i = columns; i < columns + exact; ++i)
        r.push_back(rows.value(i));
    return r;
}

bool sortable(const QSqlField& field) {
    const int type = field.metaType().id();
    return type != QMetaType::Bool && type != QMetaType::QByteArray;
}

// The rows end where next() fails; an error there is not the end of the rows.
void throwIfCutShort(const Statement& q, const Connection& connection) {
    if (q.lastError().isValid())
        throw DbError(connection.errorMessage(q.lastError()));
}

} // namespace

ResultPages::ResultPages(Connection& connection, const QString& sql, const QString& keyColumn)
    : connection_(connection) {
    const QString text = translateQuery(connection_.engine(), sql);
    const OrderedStatement st = splitOrderBy(text);
    const bool keyable = isSelect(text) && st.pageable && !keyColumn.isEmpty();
    const bool collatable = isSelect(text) && st.plainOrder;
    if (keyable || collatable) {
        body_ = st.body;
        setRecord(run(select({}) + " limit 0").record()); // the columns, without rows
    }
    if (keyable && chooseKeyed(st, keyColumn))
        readForward(1); // the first rows are wanted at once
    else
        readWhole(collatable ? collated(st, text) : text);
}

QString ResultPages::collationOf(int column) const {
    const QSqlField f = record_.field(column);
    return f.metaType().id() == QMetaType::QString && !connection_.sortsAsBytes(f.name())
               ? connection_.textCollation()
               : QString();
}

// A statement read whole sorts its text columns in the alphabet's order too, where each of
// its terms names one column of the result.
QString ResultPages::collated(const OrderedStatement& st, const QString& text) {
    QVector<OrderTerm> terms = st.terms;
    bool any = false;
    for (OrderTerm& t : terms) {
        const int c = columnIndex(t.column);
        if (c < 0)
            return text;
        t.collation = collationOf(c);
        any = any || !t.collation.isEmpty();
    }
    for (int i = 0; i < record_.count(); ++i)
        if (columnIndex(record_.fieldName(i)) < 0)
            return text; // a name two columns share would be renamed by the reading around it
    return any ? select({}) + orderByClause(terms, kAlias) : text;
}

Statement ResultPages::run(const QString& sql) const {
    // A page read after the server came back reopens the connection, as a save does.
    connection_.revive();
    Statement q(connection_);
    if (!q.exec(sql))
        throw DbError(connection_.errorMessage(q.lastError()));
    return q;
}

void ResultPages::setRecord(const QSqlRecord& record) {
    record_ = record;
    boolColumns_.resize(record_.count());
    for (int i = 0; i < record_.count(); ++i)
        boolColumns_[i] = record_.field(i).metaType().id() == QMetaType::Bool;
}

void ResultPages::readWhole(const QString& sql) {
    Statement q = run(sql);
    setRecord(q.record());
    {
        const ServerWait wait = connection_.serverWait();
        while (q.next())
            whole_.push_back(readRow(q, boolColumns_));
    }
    throwIfCutShort(q, connection_);
    known_ = qint64(whole_.size());
    atEnd_ = true;
    count_ = known_;
}

int ResultPages::columnIndex(const QString& name) const {
    int found = -1;
    for (int i = 0; i < record_.count(); ++i) {
        if (record_.fieldName(i).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (found >= 0)
            return -1; // a name that two columns share cannot be sorted on
        found = i;
    }
    return found;
}

bool ResultPages::chooseKeyed(const OrderedStatement& st, const QString& keyColumn) {
    const int key = columnIndex(keyColumn);
    if (key < 0 || !sortable(record_.field(key)))
        return false;
    // Text sorts in the alphabet's order and the pages compare it the same way.
    for (const OrderTerm& t : st.terms) {
        const int c = columnIndex(t.column);
        if (c < 0 || !sortable(record_.field(c)))
            return false;
        if (c == key)
            keyTerm_ = int(terms_.size());
        terms_ << OrderTerm{t.column, t.descending, c == key,
                            c == key ? QString() : collationOf(c)};
        termColumns_ << c;
    }
    if (keyTerm_ < 0) {
        keyTerm_ = int(terms_.size());
        terms_ << OrderTerm{
            record_.fieldName(key), !st.terms.isEmpty() && st.terms.last().descending, true, {}};
        termColumns_ << key;
    }
    for (int c = 0; c < record_.count(); ++c) {
        const int type = record_.field(c).metaType().id();
        const bool inexact = connection_.engine() == Engine::PostgreSQL &&
                             (type == QMetaType::QDateTime || type == QMetaType::QTime);
        exactOf_ << (inexact ? int(exactTexts_.size()) : -1);
        if (inexact)
            exactTexts_ << kAlias + '.' + record_.fieldName(c) + "::text";
    }
    keyIndex_ = key;
    return true;
}

int ResultPages::exactColumn(int column) const {
    const int at = exactOf_.value(column, -1);
    return at < 0 ? -1 : int(record_.count()) + at;
}

QString ResultPages::select(const QString& condition, const QStringList& columns) const {
    return "select " + columns.join(", ") + " from (" + body_ + "\n) " + kAlias +
           (condition.isEmpty() ? QString() : " where " + condition);
}

QString ResultPages::selectRows(const QString& condition) const {
    return select(condition, QStringList(kAlias + ".*") + exactTexts_);
}

// Only what places a row in the order: its sort values, then the exact texts.
QString ResultPages::selectSortValues(const QString& condition) const {
    QStringList columns;
    for (const OrderTerm& t : terms_)
        columns << kAlias + '.' + t.column;
    return select(condition, columns + exactTexts_);
}

// The sort values of the current row of `rows`, read whole or by selectSortValues.
Row ResultPages::sortValues(const StatementRows& rows, bool whole) const {
    const int exactAt = whole ? int(record_.count()) : int(terms_.size());
    Row out(terms_.size());
    for (int i = 0; i < terms_.size(); ++i) {
        const int exact = exactOf_[termColumns_[i]];
        out[i] = rows.value(exact >= 0 ? exactAt + exact : (whole ? termColumns_[i] : i));
    }
    return out;
}

void ResultPages::readForward(int pages) {
    readAfter(qint64(pages) * kPageRows, true);
}

// Pages passed over on the way to a deep one: only their keys are kept, the rows are read
// again by them if they are ever shown.
void ResultPages::skipForward(qint64 pages) {
    readAfter(pages * kPageRows, false);
}

void ResultPages::readAfter(qint64 wanted, bool whole) {
    const bool nullsGreatest = connection_.engine() == Engine::PostgreSQL;
    Page rows;
    std::vector<qint64> keys;
    if (whole)
        rows.reserve(std::size_t(wanted));
    keys.reserve(std::size_t(wanted));
    while (!atEnd_ && qint64(keys.size()) < wanted) {
        const qint64 limit = wanted - qint64(keys.size());
        // Rows whose first term is NULL are read after all others, in a run of their own.
        const bool nullsLater =
            !frontier_.isEmpty() && nullsFollow(terms_[0], frontier_[0], nullsGreatest);
        const bool nullRun = nullsNext_;
        Condition after;
        if (nullRun)
            after.sql = kAlias + '.' + terms_[0].column + " is null";
        else if (!frontier_.isEmpty())
            after = rowsAfter(terms_, frontier_, nullsGreatest, kAlias, nullsLater);
        nullsNext_ = false;
        StatementRows q(connection_,
                        (whole ? selectRows(after.sql) : selectSortValues(after.sql)) +
                            orderByClause(terms_, kAlias) + " limit " + QString::number(limit),
                        after.values);
        qint64 got = 0;
        while (q.next()) {
            // Only a read's last row bounds the next one, and only a read that got all it
            // asked for is followed: one that ends short ends the rows, or their part before
            // the NULLs, whose run needs no bound.
            if (++got == limit)
                frontier_ = sortValues(q, whole);
            const qint64 key = q.value(whole ? keyIndex_ : keyTerm_).toLongLong();
            if (!excluded_.empty() && excluded_.contains(key))
                continue;
            keys.push_back(key);
            if (whole)
                rows.push_back(readRow(q, boolColumns_, int(exactTexts_.size())));
        }
        if (got < limit && nullsLater && !nullRun)
            nullsNext_ = true;
        else
            atEnd_ = got < limit;
    }
    for (std::size_t at = 0; at < keys.size(); at += kPageRows) {
        const std::size_t end = std::min(keys.size(), at + kPageRows);
        pageKeys_.emplace_back(keys.begin() + qsizetype(at), keys.begin() + qsizetype(end));
        if (whole)
            cache(qint64(pageKeys_.size()) - 1,
                  Page(std::make_move_iterator(rows.begin() + qsizetype(at)),
                       std::make_move_iterator(rows.begin() + qsizetype(end))));
    }
    known_ += qint64(keys.size());
    if (atEnd_)
        count_ = known_;
}

ResultPages::Page ResultPages::reread(qint64 pageIndex) {
    const std::vector<qint64>& keys = pageKeys_[std::size_t(pageIndex)];
    StatementRows q(connection_,
                    selectRows(keysCondition(kAlias + '.' + record_.fieldName(keyIndex_), keys)));
    std::unordered_map<qint64, Row> byKey;
    byKey.reserve(keys.size());
    while (q.next()) {
        Row r = readRow(q, boolColumns_, int(exactTexts_.size()));
        byKey.emplace(r[keyIndex_].toLongLong(), std::move(r));
    }
    Page p;
    p.reserve(keys.size());
    for (qint64 k : keys) {
        auto it = byKey.find(k);
        if (it != byKey.end()) {
            p.push_back(std::move(it->second));
            continue;
        }
        // Deleted since: the row keeps its place, with only its key.
        Row gone(record_.count() + exactTexts_.size());
        gone[keyIndex_] = k;
        p.push_back(std::move(gone));
    }
    return p;
}

const ResultPages::Page* ResultPages::cache(qint64 pageIndex, Page rows) {
    if (pages_.size() >= kMaxPages) {
        pages_.erase(lru_.back());
        lru_.pop_back();
    }
    lru_.push_front(pageIndex);
    auto [it, inserted] = pages_.emplace(pageIndex, std::make_pair(std::move(rows), lru_.begin()));
    return &it->second.first;
}

const ResultPages::Page* ResultPages::page(qint64 pageIndex) {
    if (auto it = pages_.find(pageIndex); it != pages_.end()) {
        lru_.splice(lru_.begin(), lru_, it->second.second);
        return &it->second.first;
    }
    if (!keyed())
        return nullptr;
    const auto read = [this] { return qint64(pageKeys_.size()); };
    if (pageIndex < read())
        return cache(pageIndex, reread(pageIndex));
    if (pageIndex - read() > kReadAheadPages)
        skipForward(pageIndex - read());
    while (!atEnd_ && pageIndex >= read())
        readForward(kReadAheadPages);
    if (pageIndex >= read())
        return nullptr;
    return page(pageIndex);
}

const Row* ResultPages::at(qint64 index) {
    if (index < 0)
        return nullptr;
    if (!keyed())
        return index < qint64(whole_.size()) ? &whole_[std::size_t(index)] : nullptr;
    const Page* p = page(index / kPageRows);
    const auto offset = std::size_t(index % kPageRows);
    return p && offset < p->size() ? &(*p)[offset] : nullptr;
}

qint64 ResultPages::count() {
    if (count_)
        return *count_;
    // Rows after the last one read, counted without the order: all rows less those up to
    // it, in one statement, so that the engine counts over its smallest index as a plain
    // count does, whatever the order needs.
    const bool nullsGreatest = connection_.engine() == Engine::PostgreSQL;
    const QString all = "select count(*) from (" + body_ + "\n) " + kAlias;
    const Condition upTo = rowsUpTo(terms_, frontier_, nullsGreatest, kAlias);
    StatementRows q(connection_, "select (" + all + ") - (" + all + " where " + upTo.sql + ")",
                    upTo.values);
    if (!q.next())
        throw DbError(QString::fromUtf8("شمارش رکوردها نتيجه اي نداد"));
    count_ = known_ + q.value(0).toLongLong();
    return *count_;
}

std::optional<qint64> ResultPages::positionOf(const QVariant& key, qint64 within) {
    if (!keyed() || key.isNull())
        return std::nullopt;
    std::optional<Row> values;
    {
        // Ended before the count's statement begins, which may reopen the connection.
        StatementRows row(connection_,
                          selectSortValues(kAlias + '.' + record_.fieldName(keyIndex_) + " = ?"),
                          {key});
        if (row.next())
            values = sortValues(row, false);
    }
    if (!values)
        return std::nullopt;
    const Condition upTo =
        rowsUpTo(terms_, *values, connection_.engine() == Engine::PostgreSQL, kAlias);
    StatementRows q(connection_,
                    "select count(*) from (" + select(upTo.sql, {"1"}) + " limit " +
                        QString::number(within + 1) + ") gc_before",
                    upTo.values);
    if (!q.next())
        throw DbError(QString::fromUtf8("شمارش رکوردها نتيجه اي نداد"));
    const qint64 upToRow = q.value(0).toLongLong();
    if (upToRow > within)
        return std::nullopt;
    return upToRow - 1;
}

} // namespace gc::db
