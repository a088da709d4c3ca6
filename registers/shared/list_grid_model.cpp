#include "registers/shared/list_grid_model.h"

#include "platform/db/query.h"
#include "platform/text/bidi.h"

#include <algorithm>

namespace gc::registers {

ListGridModel::ListGridModel(db::Query& q, std::vector<GridColumn> columns,
                             std::optional<RowMark> mark, QObject* parent)
    : db::QueryModel(q, parent), columns_(std::move(columns)), mark_(std::move(mark)),
      anyLeftToRight_(std::any_of(columns_.begin(), columns_.end(),
                                  [](const GridColumn& c) { return c.leftToRight; })) {}

int ListGridModel::gridToField(int gridColumn) const {
    if (gridColumn < 0 || gridColumn >= int(columns_.size()))
        return -1;
    return query().fieldIndex(columns_[std::size_t(gridColumn)].field);
}

int ListGridModel::fieldToGrid(int field) const {
    if (field < 0 || field >= query().fieldCount())
        return -1;
    const QString name = query().fieldDef(field).name;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].field.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void ListGridModel::setBoldColumn(int gridColumn) {
    const int old = gridToField(bold_);
    bold_ = gridColumn;
    if (old >= 0)
        emit headerDataChanged(Qt::Horizontal, old, old);
    if (const int now = gridToField(bold_); now >= 0)
        emit headerDataChanged(Qt::Horizontal, now, now);
}

QVariant ListGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal)
        return db::QueryModel::headerData(section, o, role);
    const int grid = fieldToGrid(section);
    if (grid < 0)
        return db::QueryModel::headerData(section, o, role);
    const GridColumn& c = columns_[std::size_t(grid)];
    switch (role) {
    case Qt::DisplayRole:
        return c.title;
    case Qt::FontRole: {
        if (grid != bold_)
            return {};
        QFont f = titleFont_;
        f.setBold(true);
        return f;
    }
    case Qt::BackgroundRole:
        return c.titleColour.isValid() ? QVariant(c.titleColour) : QVariant();
    default:
        return {};
    }
}

bool ListGridModel::isMarked(int row) const {
    if (!mark_ || row < 0 || row >= rowCount())
        return false;
    const int field = query().fieldIndex(mark_->field);
    return field >= 0 && query().valueAt(row, field).toString().contains(mark_->text);
}

QVariant ListGridModel::data(const QModelIndex& index, int role) const {
    if ((role == Qt::ForegroundRole || role == Qt::BackgroundRole) && isMarked(index.row()))
        return role == Qt::ForegroundRole ? mark_->foreground : mark_->background;
    if (role == Qt::DisplayRole && anyLeftToRight_) {
        const int g = fieldToGrid(index.column());
        if (g >= 0 && columns_[std::size_t(g)].leftToRight) {
            const QString value = db::QueryModel::data(index, role).toString();
            return value.isEmpty() ? QVariant(value) : QVariant(text::isolatedLtr(value));
        }
    }
    return db::QueryModel::data(index, role);
}

} // namespace gc::registers
