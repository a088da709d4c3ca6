#include "registers/anbar/anbar_src.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "registers/anbar/core/anbar_sql.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace gc::registers {

RegisterList::Declaration Tanbar_src::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("anbar_src");
    d.caption = QStringLiteral("ليست انبار");
    d.query = &context.dm.ADOQ_anbar;
    d.search = anbar::listSearch();
    d.columns = {{"id", "", {}, true},
                 {"typ", "نوع", {}, false, 60},
                 {"cod", "کد کالا", {}, false, 90},
                 {"kala", "شرح کالا", {}, false, 120},
                 {"vahed", "واحد", {}, false, 70},
                 {"cnt", "مقدار", {}, false, 60},
                 {"dat", "تاريخ", {}, false, 75},
                 {"saat", "ساعت", {}, false, 50},
                 {"sanad", "شماره سند", {}, false, 90},
                 {"mabda", "مبدا", {}, false, 100},
                 {"maghsad", "مقصد", {}, false, 100},
                 {"prs1", "تحويل دهنده", {}, false, 80},
                 {"prs2", "تحويل گيرنده", {}, false, 80},
                 {"khodro", "شماره خودرو", {}, false, 100},
                 {"negahban", "نگهبان", {}, false, 100},
                 {"cmt", "توضيحات", {}, false, 100}};
    d.captions = {{"id", "شناسه"},      {"typ", "نوع"},    {"cod", "کد"},
                  {"kala", "نام کالا"}, {"vahed", "واحد"}, {"cnt", "مقدار"}};
    d.zoomColumns = {3, 9, 10, 15};
    d.menu = {{"N1", "ثبت", Command::New},    {"N2", "ويرايش", Command::Edit},
              {"N5", "حذف", Command::Delete}, {"N3", "اكسل", Command::Export},
              {"N6", "+", Command::ZoomIn},   {"N7", "_", Command::ZoomOut},
              {"N4", "خروج", Command::Close}};
    return d;
}

Tanbar_src::Tanbar_src(RegisterContext& context, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    buildFilters();
    resize(678, 480);
}

void Tanbar_src::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"نوع", "شرح کالا", "تاريخ", "انبار مقصد", "تحويل دهنده/گيرنده"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    typ_ = editableDropDown(QStringLiteral("typ"), area);
    typ_->addItems(anbar::movementTypes());
    typ_->setEditText({});
    kala_ = namedLineEdit(QStringLiteral("kala"), area);
    from_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat1"), area);
    to_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat2"), area);
    maghsad_ = editableDropDown(QStringLiteral("maghsad"), area);
    prs_ = namedLineEdit(QStringLiteral("prs"), area);

    // In the order of the search's filter lines.
    bindFilter(0, {boxes_[0], {typ_}, true, true});
    bindFilter(1, {boxes_[1], {kala_}, true, true});
    bindFilter(2, {boxes_[2], {from_, to_}, true});
    bindFilter(3, {boxes_[3], {maghsad_}, true, true});
    bindFilter(4, {boxes_[4], {prs_}, true, true});
    addPresetFill(maghsad_, presets::kDestination);

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxes_[0], 0, 0);
    layout->addWidget(typ_, 0, 1);
    layout->addWidget(boxes_[1], 0, 2);
    layout->addWidget(kala_, 0, 3);
    layout->addWidget(boxes_[2], 1, 0);
    layout->addWidget(from_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("تا"), area), 1, 2);
    layout->addWidget(to_, 1, 3);
    layout->addWidget(boxes_[3], 2, 0);
    layout->addWidget(maghsad_, 2, 1);
    layout->addWidget(boxes_[4], 2, 2);
    layout->addWidget(prs_, 2, 3);
}

QCheckBox* Tanbar_src::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tanbar_src::prepare() {
    setInputText(typ_, {});
    kala_->clear();
    const QString today = context().date.todayText();
    from_->setText(today);
    to_->setText(today);
    setInputText(maghsad_, {});
    prs_->clear();
    boxes_[2]->setChecked(true);
    search();
}

} // namespace gc::registers
