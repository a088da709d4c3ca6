#include "platform/db/result_pages.h"

#include "platform/db/db_error.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>

namespace gc::db {

namespace {

bool isSelect(const QString& sql) {
    static const QRegularExpression re(R"(^[\s(]*(select|with)\b)",
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

QVariant normalised(const QVariant& v, bool isBool) {
    if (!isBool || v.isNull())
        return v;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return QVariant(s == "true" || s == "1" || s == "-1");
    }
    return QVariant(v.toLongLong() != 0);
}

} // namespace

ResultPages::ResultPages(Connection& connection, const QString& sql)
    : connection_(connection), sql_(sql), pageable_(isSelect(sql)) {
    if (connection_.engine() != Engine::PostgreSQL || !pageable_)
        restartCursor();
    page(0); // the first rows are wanted at once, and the columns come with them
}

void ResultPages::restartCursor() {
    cursor_.emplace(connection_.database());
    cursor_->setForwardOnly(true);
    if (!cursor_->exec(sql_)) {
        const QString message = connection_.errorMessage(cursor_->lastError());
        cursor_.reset();
        throw DbError(message);
    }
    cursorNext_ = 0;
    if (record_.isEmpty()) {
        record_ = cursor_->record();
        boolColumns_.resize(record_.count());
        for (int i = 0; i < record_.count(); ++i)
            boolColumns_[i] = record_.field(i).metaType().id() == QMetaType::Bool;
    }
}

Row ResultPages::readCursorRow() const {
    Row r(record_.count());
    for (int i = 0; i < r.size(); ++i)
        r[i] = normalised(cursor_->value(i), boolColumns_[i]);
    return r;
}

void ResultPages::noteRows(qint64 pageIndex, std::size_t rows) {
    known_ = std::max<qint64>(known_, pageIndex * kPageRows + qint64(rows));
    if (rows < std::size_t(kPageRows)) {
        atEnd_ = true;
        count_ = pageIndex * kPageRows + qint64(rows);
    }
}

ResultPages::Page ResultPages::readPageSqlite(qint64 pageIndex) {
    const qint64 start = pageIndex * kPageRows;
    if (!cursor_ || cursorNext_ > start)
        restartCursor();
    Page rows;
    bool restarted = false;
    while (cursorNext_ < start + kPageRows) {
        if (!cursor_->next()) {
            if (!cursor_->lastError().isValid())
                break;
            // A rollback on this connection aborts open statements: read again once.
            if (restarted)
                throw DbError(connection_.errorMessage(cursor_->lastError()));
            restarted = true;
            restartCursor();
            rows.clear();
            continue;
        }
        if (cursorNext_ >= start)
            rows.push_back(readCursorRow());
        ++cursorNext_;
    }
    return rows;
}

ResultPages::Page ResultPages::readPagePostgres(qint64 pageIndex) {
    QSqlQuery q(connection_.database());
    q.setForwardOnly(true);
    const QString paged = "select * from (" + sql_ + "\n) gc_page limit " +
                          QString::number(kPageRows) + " offset " +
                          QString::number(pageIndex * kPageRows);
    if (!q.exec(paged))
        throw DbError(connection_.errorMessage(q.lastError()));
    if (record_.isEmpty()) {
        record_ = q.record();
        boolColumns_.resize(record_.count());
        for (int i = 0; i < record_.count(); ++i)
            boolColumns_[i] = record_.field(i).metaType().id() == QMetaType::Bool;
    }
    Page rows;
    while (q.next()) {
        Row r(record_.count());
        for (int i = 0; i < r.size(); ++i)
            r[i] = normalised(q.value(i), boolColumns_[i]);
        rows.push_back(std::move(r));
    }
    return rows;
}

const ResultPages::Page* ResultPages::page(qint64 pageIndex) {
    if (auto it = pages_.find(pageIndex); it != pages_.end()) {
        lru_.splice(lru_.begin(), lru_, it->second.second);
        return &it->second.first;
    }
    if (atEnd_ && pageIndex * kPageRows >= known_)
        return nullptr;
    Page p = (connection_.engine() == Engine::PostgreSQL && pageable_) ? readPagePostgres(pageIndex)
                                                                       : readPageSqlite(pageIndex);
    noteRows(pageIndex, p.size());
    if (pages_.size() >= kMaxPages) {
        pages_.erase(lru_.back());
        lru_.pop_back();
    }
    lru_.push_front(pageIndex);
    auto [it, inserted] = pages_.emplace(pageIndex, std::make_pair(std::move(p), lru_.begin()));
    return &it->second.first;
}

bool ResultPages::row(qint64 index, Row& out) {
    if (index < 0)
        return false;
    const Page* p = page(index / kPageRows);
    if (!p)
        return false;
    const auto offset = std::size_t(index % kPageRows);
    if (offset >= p->size())
        return false;
    out = (*p)[offset];
    return true;
}

qint64 ResultPages::count() {
    if (count_)
        return *count_;
    if (pageable_) {
        QSqlQuery q(connection_.database());
        q.setForwardOnly(true);
        if (q.exec("select count(*) from (" + sql_ + "\n) gc_count") && q.next()) {
            count_ = q.value(0).toLongLong();
            return *count_;
        }
    }
    Row ignored;
    qint64 i = known_;
    while (row(i, ignored))
        i += kPageRows;
    return *count_;
}

} // namespace gc::db
