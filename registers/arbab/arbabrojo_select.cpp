#include "registers/arbab/arbabrojo_select.h"

#include "platform/db/query.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace gc::registers {

Tarbabrojo_select::Tarbabrojo_select(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("arbabrojo_select"));
    setWindowTitle(QStringLiteral("انتخاب ارباب رجوع"));
    setLayoutDirection(Qt::RightToLeft);
    model_ = new QStandardItemModel(this);
    model_->setHorizontalHeaderLabels({"شماره كارت/ملي", "نام", "مقصد", "مدرك", "جنسيت"});
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setCursor(Qt::PointingHandCursor);
    const int widths[] = {100, 120, 150, 100, 60};
    for (int i = 0; i < 5; ++i)
        grid_->setColumnWidth(i, widths[i]);
    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        chosen_ = index.row();
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    resize(600, 300);
}

const QStringList& Tarbabrojo_select::fields() {
    static const QStringList names{"cart_no", "name", "maghsad", "madrak", "gender"};
    return names;
}

QList<QStringList> Tarbabrojo_select::rowsOf(db::Query& found) {
    QList<QStringList> rows;
    for (found.first(); !found.eof(); found.next()) {
        QStringList row;
        for (const QString& f : fields())
            row << found.fieldByName(f).asString();
        rows << row;
    }
    return rows;
}

std::optional<QString> Tarbabrojo_select::choose(const QList<QStringList>& rows) {
    const std::optional<int> row = chooseRow(rows);
    if (!row)
        return std::nullopt;
    return rows[*row].value(0);
}

std::optional<int> Tarbabrojo_select::chooseRow(const QList<QStringList>& rows) {
    model_->removeRows(0, model_->rowCount());
    for (const QStringList& row : rows) {
        QList<QStandardItem*> items;
        for (const QString& text : row)
            items << new QStandardItem(text);
        model_->appendRow(items);
    }
    chosen_.reset();
    exec();
    return chosen_;
}

} // namespace gc::registers
