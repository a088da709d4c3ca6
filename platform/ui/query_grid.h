#pragma once

#include <QStringList>
#include <QTableView>
#include <QVector>

namespace gc::db {
class Query;
class QueryModel;
} // namespace gc::db

namespace gc::ui {

// Shows a model's failed scroll read as a message, after the paint or scroll that failed
// has returned, never inside it.
void sayReadFailures(db::QueryModel& model, QObject* context);

struct GridColumn {
    QString field;
    QString caption;
};

// A grid on a query: shows the given fields under their captions (all fields when none
// are given), selects whole rows, and keeps its current row and the query's current
// record the same, whichever of the two moves.
class QueryGrid : public QTableView {
    Q_OBJECT
  public:
    explicit QueryGrid(db::Query& query, QVector<GridColumn> columns = {},
                       QWidget* parent = nullptr);

    db::Query& query() const { return query_; }
    db::QueryModel& model() const;
    // Draws the title of `field` bold (-1: none), as the column a title click sorted by.
    // A new result clears it.
    void setBoldTitle(int field);

  signals:
    // A mouse click on a cell (after the current record moved to it).
    void cellClicked(int row);

  private:
    void applyColumns();
    void followQuery(int row);

    db::Query& query_;
    class BoldTitleModel;
    BoldTitleModel* model_;
    QVector<GridColumn> columns_;
    bool syncing_ = false;
};

} // namespace gc::ui
