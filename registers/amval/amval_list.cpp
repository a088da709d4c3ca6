#include "registers/amval/amval_list.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "registers/amval/amval_ins.h"
#include "registers/amval/core/amval_sql.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/mask_inputs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

namespace gc::registers {

RegisterList::Declaration Tamval_list::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("amval_list");
    d.caption = QStringLiteral("ليست اموال تردد شده");
    d.query = &context.dm.ADOQ_amval;
    d.search = amval::listSearch();
    d.columns = {{"id", "", {}, true},
                 {"kharejkonande", "خارج/وارد كننده", {}, false, 100},
                 {"taeidkonande", "تاييد كننده", {}, false, 100},
                 {"nam", "اسم کالا", {}, false, 100},
                 {"num", "کد اموال", {}, false, 100},
                 {"exit_dat", "تاريخ خروج", kDateTitleColour, false, 70},
                 {"exit_tim", "ساعت خروج", QColor(Qt::yellow), false, 65},
                 {"elat", "علت", {}, false, 80},
                 {"vorod_dat", "تاريخ ورود", kDateTitleColour, false, 70},
                 {"vorod_tim", "ساعت ورود", QColor(Qt::yellow), false, 65},
                 {"maghsad", "مقصد", {}, false, 100},
                 {"odat", "عودت", {}, false, 50},
                 {"cnt", "تعداد", {}, false, 40},
                 {"daghi", "داغي", {}, false, 60},
                 {"maghsad_tel", "تلفن مقصد", {}, false, 100},
                 {"malek", "مالك", {}, false, 65},
                 {"cmt", "توضيحات", {}, false, 100},
                 {"negahban1", "نگهبان خروج", {}, false, 80},
                 {"negahban2", "نگهبان ورود", {}, false, 80}};
    d.captions = {{"kharejkonande", "خارج كننده"},
                  {"taeidkonande", "تاييد كننده"},
                  {"cnt", "تعداد"},
                  {"nam", "نام"},
                  {"odat", "عودت"},
                  {"num", "شماره اموال"},
                  {"exit_dat", "تاريخ خروج"},
                  {"exit_tim", "ساعت خروج"},
                  {"elat", "علت"},
                  {"maghsad", "مقصد"},
                  {"daghi", "داغي"},
                  {"maghsad_tel", "تلفن مقصد"},
                  {"vorod_dat", "تاريخ ورود"},
                  {"vorod_tim", "ساعت ورود"},
                  {"malek", "مالك"},
                  {"cmt", "توضيحات"},
                  {"negahban1", "نگهبان خروج"},
                  {"negahban2", "نگهبان ورود"}};
    for (int i = 0; i < 19; ++i)
        d.zoomColumns << i;
    d.menu = {{"N1", "ثبت", Command::New},    {"N2", "ويرايش", Command::Edit},
              {"N5", "حذف", Command::Delete}, {"N3", "اكسل", Command::Export},
              {"N6", "+", Command::ZoomIn},   {"N7", "_", Command::ZoomOut},
              {"N4", "خروج", Command::Close}};
    return d;
}

Tamval_list::Tamval_list(RegisterContext& context, Tins& entry, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    setEntry(&entry);
    buildFilters();
    resize(696, 480);
}

void Tamval_list::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"خارج كننده", "نام اموال", "تاريخ خروج", "تاريخ ورود"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    person_ = new QLineEdit(area);
    person_->setObjectName(QStringLiteral("KharejKonande"));
    item_ = new QLineEdit(area);
    item_->setObjectName(QStringLiteral("nam"));
    exitFrom_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat1"), area);
    exitTo_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat2"), area);
    entryFrom_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("vorod_dat1"), area);
    entryTo_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("vorod_dat2"), area);

    // In the order of the search's filter lines.
    bindFilter(0, {boxes_[0], {person_}, true, true});
    bindFilter(1, {boxes_[1], {item_}, true, true});
    bindFilter(2, {boxes_[2], {exitFrom_, exitTo_}, true});
    bindFilter(3, {boxes_[3], {entryFrom_, entryTo_}, true});

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxes_[0], 0, 0);
    layout->addWidget(person_, 0, 1);
    layout->addWidget(boxes_[1], 0, 2);
    layout->addWidget(item_, 0, 3);
    layout->addWidget(boxes_[2], 1, 0);
    layout->addWidget(exitFrom_, 1, 1);
    layout->addWidget(exitTo_, 1, 2);
    layout->addWidget(boxes_[3], 1, 3);
    layout->addWidget(entryFrom_, 1, 4);
    layout->addWidget(entryTo_, 1, 5);
}

QCheckBox* Tamval_list::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tamval_list::prepare() {
    person_->clear();
    item_->clear();
    const QString today = context().date.todayText();
    for (MaskEdit* date : {exitFrom_, exitTo_, entryFrom_, entryTo_})
        date->setText(today);
    boxes_[2]->setChecked(true);
    search();
}

} // namespace gc::registers
