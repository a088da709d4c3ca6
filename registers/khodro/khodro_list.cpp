#include "registers/khodro/khodro_list.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "platform/ui/widgets.h"
#include "registers/khodro/core/khodro_sql.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/khodro/khodro_rep.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>

namespace gc::registers {

RegisterList::Declaration Tkhodro_list::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("khodro_list");
    d.caption = QStringLiteral("ليست تردد خودروها");
    d.query = &context.dm.ADOQ_khodro;
    d.search = khodro::listSearch();
    d.columns = {{"id", "", {}, true},
                 {"ranande", "نام راننده"},
                 {"khodro_typ", "نوع خودرو"},
                 {"num", " شماره خودرو"},
                 {"exit_dat", "تاريخ خروج", kDateTitleColour},
                 {"exit_tim", "ساعت خروج", QColor(Qt::yellow)},
                 {"vorod_dat", "تاريخ ورود", kDateTitleColour},
                 {"vorod_tim", "ساعت ورود", QColor(Qt::yellow)},
                 {"cmt", "توضيحات"},
                 {"elat", "علت"},
                 {"maghsad", "مقصد"},
                 {"negahban1", "نگهبان خروج"},
                 {"negahban2", "نگهبان ورود"}};
    d.captions = {{"exit_dat", "تاريخ خروج"},
                  {"num", "شماره خودرو"},
                  {"exit_tim", "ساعت خروج"},
                  {"vorod_tim", "ساعت ورود"},
                  {"vorod_dat", "تاريخ ورود"},
                  {"maghsad", "مقصد"},
                  {"elat", "علت"},
                  {"negahban1", "نگهبان خروج"},
                  {"negahban2", "نگهبان ورود"},
                  {"cmt", "توضيحات"}};
    d.zoomColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    d.menu = {{"N1", "ثبت", Command::New},     {"N2", "ويرايش", Command::Edit},
              {"N3", "حذف", Command::Delete},  {"N6", "چاپ", Command::Print},
              {"N5", "اكسل", Command::Export}, {"N7", "+", Command::ZoomIn},
              {"N8", "_", Command::ZoomOut},   {"N4", "خروج", Command::Close}};
    return d;
}

Tkhodro_list::Tkhodro_list(RegisterContext& context, Tkhodro_ins& entry, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    setEntry(&entry);
    buildFilters();
}

void Tkhodro_list::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"راننده",     "شماره خودرو",     "تاريخ خروج",
                                  "تاريخ ورود", "هنوز برنگشته ها", "نوع خودرو"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    driver_ = editableDropDown(QStringLiteral("ranande"), area);
    plate_ = editableDropDown(QStringLiteral("num"), area);
    setSortedList(plate_);
    typ_ = editableDropDown(QStringLiteral("khodro_typ"), area);
    typ_->addItems({khodro::kPersonal, khodro::kOfficial});
    typ_->setEditText({});
    exitFrom_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat1"), area);
    exitTo_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat2"), area);
    entryFrom_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("vorod_dat1"), area);
    entryTo_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("vorod_dat2"), area);
    auto* clearExit = new ui::ClickableLabel(QStringLiteral("- - - -"), area);
    clearExit->setObjectName(QStringLiteral("Label1"));
    auto* clearEntry = new ui::ClickableLabel(QStringLiteral("- - - -"), area);
    clearEntry->setObjectName(QStringLiteral("Label2"));

    // In the order of the search's filter lines.
    bindFilter(0, {boxes_[0], {driver_}});
    bindFilter(1, {boxes_[1], {plate_}});
    bindFilter(2, {boxes_[2], {exitFrom_, exitTo_}, true});
    bindFilter(3, {boxes_[3], {entryFrom_, entryTo_}, true});
    bindFilter(4, {boxes_[4], {}});
    bindFilter(5, {boxes_[5], {typ_}});
    bindClearLabel(clearExit, {exitFrom_, exitTo_});
    bindClearLabel(clearEntry, {entryFrom_, entryTo_});
    addPresetFill(driver_, QStringLiteral("%نام راننده%"), true);
    addPresetFill(plate_, QStringLiteral("%شماره خودرو%"), true);

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxes_[0], 0, 0);
    layout->addWidget(driver_, 0, 1);
    layout->addWidget(boxes_[1], 0, 2);
    layout->addWidget(plate_, 0, 3);
    layout->addWidget(boxes_[5], 0, 4);
    layout->addWidget(typ_, 0, 5);
    layout->addWidget(boxes_[4], 0, 6);
    layout->addWidget(boxes_[2], 1, 0);
    layout->addWidget(exitFrom_, 1, 1);
    layout->addWidget(exitTo_, 1, 2);
    layout->addWidget(clearExit, 1, 3);
    layout->addWidget(boxes_[3], 1, 4);
    layout->addWidget(entryFrom_, 1, 5);
    layout->addWidget(entryTo_, 1, 6);
    layout->addWidget(clearEntry, 1, 7);
}

QCheckBox* Tkhodro_list::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tkhodro_list::prepare() {
    for (QComboBox* box : {driver_, plate_, typ_})
        setInputText(box, {});
    const QString today = context().date.todayText();
    for (MaskEdit* date : {exitFrom_, exitTo_, entryFrom_, entryTo_})
        date->setText(today);
    boxes_[2]->setChecked(true);
    boxes_[3]->setChecked(true);
    search();
}

std::unique_ptr<report::Report> Tkhodro_list::makeReport() {
    return report_ ? report_->Report1() : nullptr;
}

} // namespace gc::registers
