#include "registers/parking/parking.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/parking/core/parking_sql.h"
#include "registers/parking/parking_rep.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"
#include "registers/shared/stamp_check.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

namespace gc::registers {

RegisterList::Declaration Tparking::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("parking");
    d.caption = QStringLiteral("پاركينگ");
    d.query = &context.dm.ADOQ_parking;
    d.search = parking::listSearch();
    d.columns = {{"id", "", {}, true}, {"num", "شماره"},   {"dat", "تاريخ", kDateTitleColour},
                 {"loc", "محل پارك"},  {"cmt", "توضيحات"}, {"negahban", "نگهبان"}};
    d.captions = {{"num", "شماره خودرو"}, {"dat", "تاريخ"},           {"loc", "محل پارك"},
                  {"cmt", "توضيحات"},     {"negahban", "نام نگهبان"}, {"id", "شناسه"}};
    d.zoomColumns = {0, 1, 2, 3, 4, 5};
    d.menu = {{"N1", "ثبت", Command::New},     {"N2", "ويرايش", Command::Edit},
              {"N3", "حذف", Command::Delete},  {"N6", "چاپ", Command::Print},
              {"N5", "اكسل", Command::Export}, {"N9", "غائبين", Command::Own},
              {"N7", "+", Command::ZoomIn},    {"N8", "_", Command::ZoomOut},
              {"N4", "خروج", Command::Close}};
    d.rowMark =
        RowMark{QStringLiteral("loc"), parking::kStorePlace, QColor(Qt::white), QColor(Qt::black)};
    return d;
}

Tparking::Tparking(RegisterContext& context, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    buildFilters();
    connect(menuItem(QStringLiteral("N9")), &QAction::triggered, this, [this] { N9Click(); });
}

void Tparking::buildFilters() {
    QWidget* area = filterArea();
    for (const char* caption : {"محل", "شماره خودرو", "تاريخ"}) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(boxes_.size() + 1));
        boxes_ << box;
    }
    from_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat"), area);
    to_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat2"), area);
    plate_ = editableDropDown(QStringLiteral("num"), area);
    setSortedList(plate_);
    place_ = editableDropDown(QStringLiteral("loc"), area);
    auto* blank = new ui::ClickableLabel(QStringLiteral("- - -"), area);
    blank->setObjectName(QStringLiteral("Label1"));
    absentCount_ = new QLabel(area);
    absentCount_->setObjectName(QStringLiteral("cnt2"));
    absent_ = new QListWidget(this);
    absent_->setObjectName(QStringLiteral("ghaebin"));

    // In the order of the search's lines: date, plate, place.
    bindFilter(0, {boxes_[2], {from_, to_}});
    bindFilter(1, {boxes_[1], {plate_}});
    bindFilter(2, {boxes_[0], {place_}});
    bindClearLabel(blank, {from_, to_});
    addPresetFill(plate_, presets::kOfficialPlate);
    addPresetFill(place_, presets::kParking);

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxes_[2], 0, 0);
    layout->addWidget(from_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("تـــــــــــــــا"), area), 0, 2);
    layout->addWidget(to_, 0, 3);
    layout->addWidget(blank, 0, 4);
    layout->addWidget(boxes_[1], 1, 0);
    layout->addWidget(plate_, 1, 1);
    layout->addWidget(boxes_[0], 1, 2);
    layout->addWidget(place_, 1, 3);
    layout->addWidget(absentCount_, 1, 4);
    addBesideGrid(absent_);
}

QCheckBox* Tparking::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tparking::clearAbsentees() {
    absentCount_->clear();
    absent_->clear();
}

void Tparking::prepare() {
    search();
    for (QComboBox* box : {place_, plate_})
        setInputText(box, {});
    // The absentee list goes with its count: a list left from other dates would mislead.
    clearAbsentees();
    const QString today = context().date.todayText();
    from_->setText(today);
    to_->setText(today);
}

bool Tparking::N9Click() {
    clearAbsentees();
    const QString caption = boxes_[2]->text();
    if (!stampsAcceptable({{from_, caption}, {to_, caption}}))
        return false;
    try {
        const parking::Absentees found =
            parking::ReadAbsentees(context().dm.ADOQuery1, from_->storedText(), to_->storedText());
        absentCount_->setText(found.count);
        absent_->addItems(found.plates);
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
        return false;
    }
    return true;
}

std::unique_ptr<report::Report> Tparking::makeReport() {
    return report_ ? report_->Report1() : nullptr;
}

} // namespace gc::registers
