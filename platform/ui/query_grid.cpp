#include "platform/ui/query_grid.h"

#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/ui/dialogs.h"

#include <QFont>
#include <QHeaderView>

namespace gc::ui {

class QueryGrid::BoldTitleModel : public db::QueryModel {
  public:
    using db::QueryModel::QueryModel;

    void setBold(int field, const QFont& font) {
        const int old = bold_;
        bold_ = field;
        font_ = font;
        font_.setBold(true);
        for (int section : {old, bold_})
            if (section >= 0)
                emit headerDataChanged(Qt::Horizontal, section, section);
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (role == Qt::FontRole && o == Qt::Horizontal && section == bold_)
            return font_;
        return db::QueryModel::headerData(section, o, role);
    }

  private:
    int bold_ = -1;
    QFont font_;
};

void sayReadFailures(db::QueryModel& model, QObject* context) {
    QObject::connect(
        &model, &db::QueryModel::readFailed, context,
        [](const QString& message) { dialogs().message(MsgIcon::Error, message, Ok); },
        Qt::QueuedConnection);
}

QueryGrid::QueryGrid(db::Query& query, QVector<GridColumn> columns, QWidget* parent)
    : QTableView(parent), query_(query), model_(new BoldTitleModel(query, this)),
      columns_(std::move(columns)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        model_->setBold(-1, font());
        applyColumns();
        followQuery(query_.currentRow());
    });
    connect(&query_, &db::Query::currentRowChanged, this, &QueryGrid::followQuery);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ || !current.isValid() || !query_.isActive())
                    return;
                try {
                    query_.setRecNo(current.row() + 1);
                } catch (const db::DbError& e) {
                    dialogs().message(MsgIcon::Error, e.message(), Ok);
                }
            });
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.row()); });
    sayReadFailures(*model_, this);
    applyColumns();
}

db::QueryModel& QueryGrid::model() const {
    return *model_;
}

void QueryGrid::setBoldTitle(int field) {
    model_->setBold(field, font());
}

void QueryGrid::applyColumns() {
    QHash<QString, QString> captions;
    for (const GridColumn& c : columns_)
        captions.insert(c.field.toLower(), c.caption);
    model_->setCaptions(captions);
    for (int c = 0; c < model_->columnCount(); ++c)
        setColumnHidden(c, !columns_.isEmpty() &&
                               !captions.contains(query_.fieldDef(c).name.toLower()));
}

void QueryGrid::followQuery(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    while (column < model_->columnCount() - 1 && isColumnHidden(column))
        ++column;
    syncing_ = true;
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
}

} // namespace gc::ui
