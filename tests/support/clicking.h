#pragma once

#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QWidget>

namespace gctest {

// Clicks as a mouse does: at `control`'s centre, delivered to whatever widget lies at that
// point of its window. Returns that widget.
inline QWidget* clickCentre(QWidget* control, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* top = control->window();
    const QPoint at = control->mapTo(top, control->rect().center());
    QWidget* hit = top->childAt(at);
    if (!hit)
        hit = top;
    QTest::mouseClick(hit, button, Qt::NoModifier, hit->mapFrom(top, at));
    return hit;
}

// Clicks the title of column `logical` of a shown grid at its centre.
inline void clickTitle(QTableView* grid, int logical) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Clicks at its centre the first shown cell of a grid that reads `text`, scrolled into view,
// as a user picks a row. False when no shown cell reads so.
inline bool clickCellShowing(QTableView* grid, const QString& text) {
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex cell = model->index(row, column);
            if (grid->isColumnHidden(column) || cell.data().toString() != text)
                continue;
            grid->scrollTo(cell);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                              grid->visualRect(cell).center());
            return true;
        }
    return false;
}

// Whether the title of column `logical` is drawn bold.
inline bool boldTitle(const QTableView* grid, int logical) {
    const QVariant font = grid->model()->headerData(logical, Qt::Horizontal, Qt::FontRole);
    return font.isValid() && font.value<QFont>().bold();
}

} // namespace gctest
