#include "registers/loh/loh_src.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "registers/loh/core/loh_sql.h"
#include "registers/loh/loh_ins.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace gc::registers {

RegisterList::Declaration Tloh_src::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("loh_src");
    d.caption = QStringLiteral("مشاهده و جستجوي لوح نگهباني");
    d.query = &context.dm.ADOQ_loh;
    d.search = loh::listSearch();
    d.columns = {{"id", "", {}, true}, {"dat", "تاريخ"},  {"loc", "محل کار"},
                 {"day", "روز هفته"},  {"shift", "شيفت"}, {"negahban", "نگهبان"}};
    d.captions = {{"dat", "تاريخ"},
                  {"loc", "محل کار"},
                  {"day", "روز هفته"},
                  {"shift", "شيفت"},
                  {"negahban", "نگهبان"}};
    d.menu = {{"N3", "ثبت", Command::New},
              {"N4", "ويرايش", Command::Edit},
              {"N5", "حذف", Command::Delete},
              {"N6", "اکسل", Command::Export},
              {"N1", "خروج", Command::Close}};
    d.searchButton = QStringLiteral("BitBtn1");
    return d;
}

Tloh_src::Tloh_src(RegisterContext& context, Tloh_ins& entry, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    setEntry(&entry);
    buildFilters();
}

void Tloh_src::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"تاريخ", "محل کار", "نگهبان", "شيفت"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    from_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat1"), area);
    to_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat2"), area);
    loc_ = editableDropDown(QStringLiteral("loc"), area);
    negahban_ = editableDropDown(QStringLiteral("negahban"), area);
    shift_ = editableDropDown(QStringLiteral("shift"), area);
    shift_->addItems({"روز", "روز و شب", "شب"});
    shift_->setEditText({});

    // In the order of the search's filter lines.
    bindFilter(0, {boxes_[0], {from_, to_}, true});
    bindFilter(1, {boxes_[1], {loc_}, true, true});
    bindFilter(2, {boxes_[2], {negahban_}, true, true});
    bindFilter(3, {boxes_[3], {shift_}, true, true});
    addPresetFill(loc_, presets::kGuardPlace);
    addPresetFill(negahban_, presets::kGuardName);

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxes_[0], 0, 0);
    layout->addWidget(from_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("تا"), area), 0, 2);
    layout->addWidget(to_, 0, 3);
    layout->addWidget(boxes_[3], 0, 4);
    layout->addWidget(shift_, 0, 5);
    layout->addWidget(boxes_[1], 1, 0);
    layout->addWidget(loc_, 1, 1);
    layout->addWidget(boxes_[2], 1, 2);
    layout->addWidget(negahban_, 1, 3);
}

QCheckBox* Tloh_src::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tloh_src::prepare() {
    const QString today = context().date.todayText();
    from_->setText(today);
    to_->setText(today);
    for (QComboBox* box : {negahban_, loc_, shift_})
        setInputText(box, {});
}

} // namespace gc::registers
