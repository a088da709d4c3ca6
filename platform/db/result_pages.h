#pragma once

#include "platform/db/connection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <QVector>
#include <list>
#include <optional>
#include <unordered_map>

namespace gc::db {

using Row = QVector<QVariant>;

// The rows of one executed SELECT, read in pages as they are asked for; only a bounded
// number of pages stays in memory. SQLite streams from one open statement and restarts
// it for a jump backwards; PostgreSQL reads each page with LIMIT/OFFSET.
class ResultPages {
  public:
    static constexpr int kPageRows = 256;
    static constexpr std::size_t kMaxPages = 64;

    // Executes `sql`; throws DbError.
    ResultPages(Connection& connection, const QString& sql);

    const QSqlRecord& record() const { return record_; }
    // Fills `out` with row `index` (0-based); false past the end.
    bool row(qint64 index, Row& out);
    // Rows seen so far (a lower bound of the count until atEnd()).
    qint64 knownRows() const { return known_; }
    bool atEnd() const { return atEnd_; }
    // The exact number of rows; runs a count when the end was not reached yet.
    qint64 count();

  private:
    using Page = std::vector<Row>;
    const Page* page(qint64 pageIndex);
    Page readPageSqlite(qint64 pageIndex);
    Page readPagePostgres(qint64 pageIndex);
    void restartCursor();
    Row readCursorRow() const;
    void noteRows(qint64 pageIndex, std::size_t rows);

    Connection& connection_;
    QString sql_;
    bool pageable_;
    QSqlRecord record_;
    QVector<bool> boolColumns_;
    std::optional<QSqlQuery> cursor_;
    qint64 cursorNext_ = 0; // index of the row that the cursor's next() yields
    qint64 known_ = 0;
    bool atEnd_ = false;
    std::optional<qint64> count_;
    std::unordered_map<qint64, std::pair<Page, std::list<qint64>::iterator>> pages_;
    std::list<qint64> lru_;
};

} // namespace gc::db
