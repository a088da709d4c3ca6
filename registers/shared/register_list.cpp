#include "registers/shared/register_list.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/report/report.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/query_grid.h"
#include "platform/ui/widgets.h"
#include "registers/shared/core/sort_text.h"
#include "registers/shared/core/zoom.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/query_source.h"
#include "registers/shared/register_entry.h"
#include "registers/shared/stamp_check.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace gc::registers {

namespace {

// A choice filter's picked item: a drop-down's item only when its text was picked, not
// typed; a radio group's selected item.
int pickedItem(const QWidget* chooser) {
    if (const auto* combo = qobject_cast<const QComboBox*>(chooser)) {
        const int i = combo->currentIndex();
        return i >= 0 && combo->itemText(i) == combo->currentText() ? i : -1;
    }
    if (const auto* group = qobject_cast<const ui::RadioGroup*>(chooser))
        return group->itemIndex();
    return -1;
}

void showError(const db::DbError& e) {
    ui::showMessage(ui::MsgIcon::Error, e.message());
}

// The width grid column `field` needs so that neither its title nor a date or time among
// the first rows is cut: the declared widths were made for a narrower font.
int neededWidth(const QTableView& grid, const QAbstractItemModel& model, int field) {
    static const QRegularExpression dateOrTime(QStringLiteral(R"(^(\d{4}/\d\d/\d\d|\d\d:\d\d)$)"));
    const QHeaderView* header = grid.horizontalHeader();
    const QVariant titleFont = model.headerData(field, Qt::Horizontal, Qt::FontRole);
    const QFontMetrics title(titleFont.isValid() ? titleFont.value<QFont>() : header->font());
    int need = title.horizontalAdvance(model.headerData(field, Qt::Horizontal).toString()) +
               2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int margin =
        2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1);
    const int rows = std::min(model.rowCount(), 50);
    for (int r = 0; r < rows; ++r) {
        const QString text = model.index(r, field).data().toString();
        if (dateOrTime.match(text).hasMatch())
            need = std::max(need, grid.fontMetrics().horizontalAdvance(text) + margin);
    }
    return need;
}

// A typed filter shows a card number or a name whole, and keeps its width on a wide list
// rather than stretching across it.
void fitTypedFilter(QWidget* input) {
    const auto* edit = qobject_cast<QLineEdit*>(input);
    const auto* box = qobject_cast<QComboBox*>(input);
    if (!(edit && edit->inputMask().isEmpty()) && !(box && box->isEditable()))
        return;
    const int text = input->fontMetrics().horizontalAdvance(QString(13, QLatin1Char('0')));
    input->setMinimumWidth(text + input->minimumSizeHint().width());
    input->setMaximumWidth(2 * text + input->minimumSizeHint().width());
}

} // namespace

RegisterList::RegisterList(Declaration declaration, RegisterContext& context, QWidget* parent)
    : QDialog(parent), decl_(std::move(declaration)), ctx_(context) {
    Q_ASSERT(decl_.query);
    setObjectName(decl_.name);
    setWindowTitle(decl_.caption);
    setLayoutDirection(Qt::RightToLeft);
    filters_.resize(decl_.search.filters.size());
    for (int g = 0; g < int(decl_.columns.size()); ++g)
        if (decl_.columns[std::size_t(g)].width > 0)
            widths_.insert(g, decl_.columns[std::size_t(g)].width);

    layout_ = new QVBoxLayout(this);
    buildMenu();

    filterArea_ = new QWidget(this);
    filterArea_->setObjectName(QStringLiteral("filters"));
    if (!decl_.searchButton.isEmpty()) {
        srcBtn_ = new QPushButton(QStringLiteral("جستجو"), this);
        srcBtn_->setObjectName(decl_.searchButton);
        srcBtn_->setAutoDefault(false);
        connect(srcBtn_, &QPushButton::clicked, this, [this] { search(); });
    }
    cnt_ = new QLabel(this);
    cnt_->setObjectName(QStringLiteral("cnt"));

    model_ = std::make_unique<ListGridModel>(*decl_.query, decl_.columns, decl_.rowMark);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_.get());
    ui::sayReadFailures(*model_, this);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSortingEnabled(false);
    grid_->horizontalHeader()->setSectionsClickable(true);
    // The zoom's own bound, not one that follows the font.
    grid_->horizontalHeader()->setMinimumSectionSize(kZoomMinWidth);
    model_->setTitleFont(grid_->font());
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int logical) { ToggleColumnSort(model_->fieldToGrid(logical)); });
    connect(model_.get(), &QAbstractItemModel::modelReset, this, [this] { arrangeColumns(); });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                db::Query& q = query();
                if (current.isValid() && q.state() == db::Query::State::Browse &&
                    q.recNo() != current.row() + 1)
                    q.setRecNo(current.row() + 1);
            });

    auto* bar = new QHBoxLayout;
    bar->addWidget(filterArea_, 1);
    if (srcBtn_)
        bar->addWidget(srcBtn_);
    bar->addWidget(cnt_);
    layout_->addLayout(bar);
    gridRow_ = new QHBoxLayout;
    gridRow_->addWidget(grid_, 1);
    layout_->addLayout(gridRow_, 1);
    arrangeColumns();
}

RegisterList::~RegisterList() {
    grid_->setModel(nullptr);
}

void RegisterList::buildMenu() {
    if (decl_.menu.empty())
        return;
    menu_ = new QMenuBar(this);
    menu_->setObjectName(QStringLiteral("MainMenu1"));
    menu_->setNativeMenuBar(false);
    QHash<QString, QMenu*> submenus;
    for (const MenuItem& item : decl_.menu) {
        QMenu* parent = submenus.value(item.parent);
        QAction* a = nullptr;
        if (item.command == Command::Submenu) {
            auto* sub = new QMenu(item.text, parent ? static_cast<QWidget*>(parent) : menu_);
            submenus.insert(item.name, sub);
            a = sub->menuAction();
        } else {
            a = new QAction(item.text, menu_);
            a->setShortcut(item.shortcut);
        }
        a->setObjectName(item.name);
        if (parent)
            parent->addAction(a);
        else
            menu_->addAction(a);
        if (item.command == Command::Own || item.command == Command::Submenu)
            continue;
        commands_.insert(int(item.command), a);
        connect(a, &QAction::triggered, this, [this, c = item.command] { run(c); });
    }
    layout_->setMenuBar(menu_);
}

QAction* RegisterList::addGridPopupItem(const QString& name, const QString& text) {
    auto* a = new QAction(text, grid_);
    a->setObjectName(name);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid_->addAction(a);
    return a;
}

QAction* RegisterList::command(Command c) const {
    return commands_.value(int(c));
}

QAction* RegisterList::menuItem(const QString& name) const {
    return menu_ ? menu_->findChild<QAction*>(name) : nullptr;
}

void RegisterList::run(Command c) {
    switch (c) {
    case Command::New:
        newRecord();
        break;
    case Command::Edit:
        editRecord();
        break;
    case Command::Delete:
        deleteCurrent();
        break;
    case Command::Print:
        printPreview();
        break;
    case Command::Export:
        exportToExcel();
        break;
    case Command::ZoomIn:
        zoom(1);
        break;
    case Command::ZoomOut:
        zoom(-1);
        break;
    case Command::Close:
        close();
        break;
    case Command::Own:
    case Command::Submenu:
        break;
    }
}

void RegisterList::addBesideGrid(QWidget* panel) {
    gridRow_->addWidget(panel);
}

void RegisterList::bindFilter(int index, FilterBinding binding) {
    Q_ASSERT(index >= 0 && index < int(filters_.size()));
    for (QWidget* input : binding.inputs) {
        input->setEnabled(false);
        if (input != binding.chooser)
            fitTypedFilter(input);
    }
    if (binding.box)
        connect(binding.box, &QAbstractButton::toggled, this,
                [this, index] { onFilterSwitched(index); });
    filters_[std::size_t(index)] = {std::move(binding), true};
    onFilterSwitched(index);
}

void RegisterList::onFilterSwitched(int index) {
    const FilterBinding& b = filters_[std::size_t(index)].binding;
    const bool on = !b.box || b.box->isChecked();
    for (QWidget* input : b.inputs) {
        input->setEnabled(on);
        if (b.colour)
            setInputYellow(input, on);
    }
    if (on && b.focus && !b.inputs.isEmpty())
        b.inputs.front()->setFocus();
}

void RegisterList::bindClearLabel(ui::ClickableLabel* label, const QList<QWidget*>& inputs) {
    connect(label, &ui::ClickableLabel::clicked, this, [inputs] {
        for (QWidget* input : inputs)
            setInputText(input, QString());
    });
}

void RegisterList::addPresetFill(QComboBox* box, const QString& listName, bool likePattern) {
    presets_.push_back({box, listName, likePattern});
}

std::vector<FilterInput> RegisterList::filterInputs() const {
    std::vector<FilterInput> out(filters_.size());
    for (std::size_t i = 0; i < filters_.size(); ++i) {
        if (!filters_[i].bound)
            continue;
        const FilterBinding& b = filters_[i].binding;
        FilterInput& in = out[i];
        // A filter with inputs is on while its first input is enabled; one without inputs
        // while its box is ticked.
        in.on = b.inputs.isEmpty() ? (b.box && b.box->isChecked()) : b.inputs.front()->isEnabled();
        for (QWidget* input : b.inputs)
            in.texts << inputText(input);
        in.choice = pickedItem(b.chooser);
    }
    return out;
}

bool RegisterList::checkFilterStamps() {
    const std::vector<FilterInput> inputs = filterInputs();
    QList<CaptionedInput> stamps;
    for (std::size_t i = 0; i < filters_.size(); ++i) {
        if (!inputs[i].on)
            continue;
        const FilterBinding& b = filters_[i].binding;
        for (QWidget* input : b.inputs)
            stamps.append({input, b.box ? b.box->text().remove(u'&') : input->objectName()});
    }
    return stampsAcceptable(stamps);
}

bool RegisterList::search() {
    if (!checkFilterStamps())
        return false;
    try {
        cnt_->setText(RunSearch(query(), ctx_.dm.ADOQuery1, decl_.search, filterInputs()));
    } catch (const db::DbError& e) {
        cnt_->clear(); // no count beside a list that was not read
        showError(e);
        return false;
    }
    showQueryRow();
    return true;
}

void RegisterList::ToggleColumnSort(int gridColumn) {
    const int field = model_->gridToField(gridColumn);
    if (field < 0 || !query().isActive())
        return;
    model_->setBoldColumn(gridColumn);
    lastSortColumn_ = gridColumn;
    try {
        query().setSort(NextSortText(query().sort(), query().fieldDef(field).name));
    } catch (const db::DbError& e) {
        showError(e);
    }
    showQueryRow();
}

void RegisterList::zoom(int step) {
    QFont font = grid_->font();
    const auto size = zoomedFontSize(font.pointSize(), step);
    if (!size)
        return;
    font.setPointSize(*size);
    grid_->setFont(font);
    model_->setTitleFont(font);
    for (int column : decl_.zoomColumns) {
        const int field = model_->gridToField(column);
        if (field < 0)
            continue;
        widths_.insert(column, zoomedWidth(grid_->columnWidth(field), step));
        grid_->setColumnWidth(field, widths_.value(column));
    }
}

DeleteOutcome RegisterList::deleteCurrent() {
    DeleteOutcome outcome;
    if (decl_.deletePassword) {
        outcome = DeleteWithPassword(query(), ctx_.dm.adoq_set);
    } else {
        try {
            if (!query().isActive() || query().recNo() == 0)
                return DeleteOutcome::NoRow;
            query().deleteRecord();
            outcome = DeleteOutcome::Deleted;
        } catch (const db::DbError& e) {
            showError(e);
            outcome = DeleteOutcome::Failed;
        }
    }
    showQueryRow();
    return outcome;
}

ExportOutcome RegisterList::exportToExcel() {
    return ExportGridToExcel(query(), decl_.captions, ctx_.opener, ctx_.exportFolder,
                             ExportName(decl_.caption, ctx_.clock.now()));
}

std::unique_ptr<report::Report> RegisterList::preparedReport() {
    auto report = makeReport();
    if (report)
        report->variables.insert(QStringLiteral("dat"), ctx_.date.todayText());
    return report;
}

void RegisterList::printPreview() {
    auto report = preparedReport();
    if (!report)
        return;
    QueryDataSource rows(query());
    report->data = &rows;
    ctx_.printUi.preview(*report);
}

report::PrintOutcome RegisterList::print(report::Printer& printer) {
    auto report = preparedReport();
    if (!report)
        return {};
    QueryDataSource rows(query());
    report->data = &rows;
    const report::PrintOutcome outcome = report::printReport(*report, printer, ctx_.printUi);
    if (outcome.status == report::PrintStatus::Failed)
        ui::showMessage(ui::MsgIcon::Error, outcome.detail);
    return outcome;
}

void RegisterList::newRecord() {
    if (!entry_)
        return;
    entry_->openNew();
    showQueryRow();
}

void RegisterList::editRecord() {
    if (!entry_)
        return;
    entry_->openEdit();
    showQueryRow();
}

void RegisterList::showQueryRow() {
    db::Query& q = query();
    if (!q.isActive() || q.state() != db::Query::State::Browse)
        return;
    const int row = q.recNo() - 1;
    if (row < 0 || row >= model_->rowCount())
        return;
    const int field = std::max(0, model_->gridToField(0));
    grid_->selectionModel()->setCurrentIndex(
        model_->index(row, field), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void RegisterList::arrangeColumns() {
    QHeaderView* header = grid_->horizontalHeader();
    const auto& columns = model_->columns();
    for (int f = 0; f < model_->columnCount(); ++f)
        grid_->setColumnHidden(f, model_->fieldToGrid(f) < 0);
    for (int g = 0; g < int(columns.size()); ++g) {
        const int field = model_->gridToField(g);
        if (field < 0)
            continue;
        header->moveSection(header->visualIndex(field), g);
        grid_->setColumnHidden(field, columns[std::size_t(g)].hidden);
        if (widths_.contains(g))
            grid_->setColumnWidth(field, widths_.value(g));
    }
    fitColumns();
}

void RegisterList::fitColumns() {
    for (int f = 0; f < model_->columnCount(); ++f)
        if (!grid_->isColumnHidden(f))
            grid_->setColumnWidth(f,
                                  std::max(grid_->columnWidth(f), neededWidth(*grid_, *model_, f)));
}

void RegisterList::showEvent(QShowEvent* event) {
    try {
        for (const PresetFill& p : presets_)
            fillFromPreset(p.box, p.like ? presets::valuesLike(ctx_.dm.ADOQuery1, p.name)
                                         : presets::values(ctx_.dm.ADOQuery1, p.name));
    } catch (const db::DbError& e) {
        showError(e);
    }
    QDialog::showEvent(event);
}

} // namespace gc::registers
