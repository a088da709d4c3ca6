#pragma once

#include "platform/db/query_model.h"

#include <QColor>
#include <QFont>
#include <optional>
#include <vector>

namespace gc::registers {

// A grid column as a register declares it.
struct GridColumn {
    QString field = {};
    QString title = {};
    QColor titleColour = {}; // none when invalid
    bool hidden = false;
    int width = 0;            // pixels; 0 keeps the grid's default
    bool leftToRight = false; // values such as ".bmp" kept apart from the right-to-left text
};

// The light title colour of the date columns.
inline const QColor kDateTitleColour(215, 228, 242);

// Rows whose `field` holds `text` anywhere are drawn in `foreground` on `background`.
struct RowMark {
    QString field;
    QString text;
    QColor foreground;
    QColor background;
};

// The list's query with the register's titles, title colours and the bold title of the
// last sorted column. Columns stay in the query's field order; the grid moves the sections
// into the declared order (gridToField).
class ListGridModel : public db::QueryModel {
    Q_OBJECT
  public:
    ListGridModel(db::Query& query, std::vector<GridColumn> columns,
                  std::optional<RowMark> mark = std::nullopt, QObject* parent = nullptr);

    const std::vector<GridColumn>& columns() const { return columns_; }
    // The query field shown in grid column `gridColumn`; -1 when the query lacks it.
    int gridToField(int gridColumn) const;
    // The grid column showing query field `field`; -1 when it is not declared.
    int fieldToGrid(int field) const;

    // The grid column whose title is bold (-1 for none).
    int boldColumn() const { return bold_; }
    void setBoldColumn(int gridColumn);
    // The font of a bold title: the grid's font, made bold.
    void setTitleFont(const QFont& font) { titleFont_ = font; }

    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Whether row `row` is drawn in the mark's colours.
    bool isMarked(int row) const;

  private:
    std::vector<GridColumn> columns_;
    std::optional<RowMark> mark_;
    // Whether a column is leftToRight: the other lists' cells skip looking their column up.
    bool anyLeftToRight_;
    int bold_ = -1;
    QFont titleFont_;
};

} // namespace gc::registers
