#pragma once

#include "platform/db/connection.h"
#include "platform/db/result_order.h"
#include "platform/db/statement.h"

#include <QSqlRecord>
#include <QVariant>
#include <QVector>
#include <list>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace gc::db {

class StatementRows;

using Row = QVector<QVariant>;

// The rows of one executed SELECT, each exactly once and in the statement's order, with the
// table's key as the last sort term so that ties always fall the same way (a statement
// without an order is read by its key). Rows are read in keyed pages: each page continues
// after the last row read, so rows that other workstations insert meanwhile appear in their
// place or not at all, and no page is found by counting rows from the start. A page read
// before is read again by the keys it held. Only a bounded number of pages stays in memory.
// A statement whose rows cannot be keyed (no key among its columns, an aggregate, a LIMIT)
// is read whole when it is opened.
class ResultPages {
  public:
    static constexpr int kPageRows = 256;
    static constexpr int kReadAheadPages = 4;
    static constexpr std::size_t kMaxPages = 64;

    // Executes `sql`; `keyColumn` is the key of the table it reads (may be empty).
    // Throws DbError.
    ResultPages(Connection& connection, const QString& sql, const QString& keyColumn);

    const QSqlRecord& record() const { return record_; }
    // Row `index` (0-based), valid until the next read; null past the end. Throws DbError.
    const Row* at(qint64 index);
    // Whether row `index` is in memory, so that at() reads nothing.
    bool holds(qint64 index) const {
        return keyed() ? pages_.contains(index / kPageRows) : index < qint64(whole_.size());
    }
    // Rows seen so far (a lower bound of the count until atEnd()).
    qint64 knownRows() const { return known_; }
    bool atEnd() const { return atEnd_; }
    // The number of rows; counts those not read yet without reading them.
    qint64 count();
    // A row that this program added itself: later pages leave it out, the caller shows it.
    void exclude(qint64 key) { excluded_.insert(key); }
    // The index of the row whose key is `key`, counted by the engine without reading the rows
    // before it; none when the row is not in the result or not among its first `within`
    // rows, which are all the engine counts. Keyed results only. Throws DbError.
    std::optional<qint64> positionOf(const QVariant& key, qint64 within);
    bool keyed() const { return keyIndex_ >= 0; }
    // Where a row holds the full-precision text of result column `column`, read beside it: a
    // server's timestamp, whose value in Qt keeps only milliseconds. -1 when there is none
    // (another type, the file engine, a result read whole).
    int exactColumn(int column) const;

  private:
    using Page = std::vector<Row>;
    Statement run(const QString& sql) const;
    void setRecord(const QSqlRecord& record);
    void readWhole(const QString& sql);
    // Both work on the columns that the constructor read without rows.
    bool chooseKeyed(const OrderedStatement& st, const QString& keyColumn);
    QString collated(const OrderedStatement& st, const QString& text);
    QString collationOf(int column) const;
    int columnIndex(const QString& name) const;
    QString select(const QString& condition, const QStringList& columns = {"*"}) const;
    QString selectRows(const QString& condition) const;
    QString selectSortValues(const QString& condition) const;
    Row sortValues(const StatementRows& rows, bool whole) const;
    void readForward(int pages);
    void skipForward(qint64 pages);
    void readAfter(qint64 wanted, bool whole);
    Page reread(qint64 pageIndex);
    const Page* page(qint64 pageIndex);
    const Page* cache(qint64 pageIndex, Page rows);

    Connection& connection_;
    QSqlRecord record_;
    QVector<bool> boolColumns_;

    // Keyed reading.
    QString body_;
    QVector<OrderTerm> terms_; // the statement's order, then the key
    QVector<int> termColumns_;
    // Per result column, the position among the texts selected beside the row (-1: none): a
    // server's timestamp is read as text too, since its value in Qt keeps only milliseconds.
    QVector<int> exactOf_;
    QStringList exactTexts_;
    int keyIndex_ = -1;
    int keyTerm_ = -1;
    Row frontier_;           // sort values of the last row of the last full read
    bool nullsNext_ = false; // the rows whose first term is NULL are to be read next
    std::vector<std::vector<qint64>> pageKeys_;
    std::unordered_set<qint64> excluded_;

    std::vector<Row> whole_;
    qint64 known_ = 0;
    bool atEnd_ = false;
    std::optional<qint64> count_;
    std::unordered_map<qint64, std::pair<Page, std::list<qint64>::iterator>> pages_;
    std::list<qint64> lru_;
};

} // namespace gc::db
