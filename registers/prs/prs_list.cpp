#include "registers/prs/prs_list.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/prs/core/prs_sql.h"
#include "registers/prs/prs.h"
#include "registers/prs/prs_print.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>

namespace gc::registers {

namespace {

QComboBox* comparison(const QString& name, QWidget* parent) {
    QComboBox* box = editableDropDown(name, parent);
    box->addItems({QStringLiteral("<"), QStringLiteral("="), QStringLiteral(">")});
    box->setCurrentIndex(-1);
    return box;
}

} // namespace

RegisterList::Declaration Tprs_list::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("prs_list");
    d.caption = QStringLiteral("ليست تردد پرسنل");
    d.query = &context.dm.ADOQ_prs;
    d.search = prs::listSearch();
    d.columns = {{"id", "", {}, true},
                 {"cart_no", "شماره كارت"},
                 {"nam", "نام"},
                 {"vorod_tim", "زمان ورود", QColor(Qt::cyan)},
                 {"exit_tim", "زمان خروج", QColor(Qt::yellow)},
                 {"exit_dat", "تاريــــخ"},
                 {"semat", "سمت"},
                 {"elat", "علت"},
                 {"cmt", "توضيحات"},
                 {"negahban1", "نگهبان خروج"},
                 {"negahban2", "نگهبان ورود"}};
    d.captions = {{"cart_no", "شماره كارت"},
                  {"nam", "نام"},
                  {"exit_tim", "ساعت خروج"},
                  {"exit_dat", "تاريخ"},
                  {"vorod_tim", "ساعت ورود"},
                  {"semat", "سمت"},
                  {"elat", "علت"},
                  {"negahban1", "نگهبان خروج"},
                  {"negahban2", "نگهبان ورود"},
                  {"cmt", "توضيحات"}};
    d.zoomColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    d.menu = {{"N1", "ثبت", Command::New},    {"N2", "ويرايش", Command::Edit},
              {"N3", "حذف", Command::Delete}, {"N5", "اكسل", Command::Export},
              {"N6", "چاپ", Command::Print},  {"N7", "+", Command::ZoomIn},
              {"N8", "_", Command::ZoomOut},  {"N4", "خروج", Command::Close}};
    return d;
}

Tprs_list::Tprs_list(RegisterContext& context, Tprs& entry, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    setEntry(&entry);
    buildFilters();
}

void Tprs_list::buildFilters() {
    QWidget* area = filterArea();
    const QStringList captions = {"شماره كارت", "نام",       "تاريخ",  "علت خروج",
                                  "زمان ورود",  "زمان خروج", "توضيحات"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = new QCheckBox(captions[i], area);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        boxes_ << box;
    }
    cardNo_ = new QLineEdit(area);
    cardNo_->setObjectName(QStringLiteral("cart_no"));
    surname_ = editableDropDown(QStringLiteral("nam"), area);
    reason_ = editableDropDown(QStringLiteral("elat"), area);
    reason_->setEditText(QStringLiteral("اضافه كار"));
    exitTime_ = new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("exit_tim"), area);
    exitCompare_ = comparison(QStringLiteral("tim2"), area);
    entryTime_ = new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("vorod_tim"), area);
    entryTime_->setText(QStringLiteral("14:30"));
    entryCompare_ = comparison(QStringLiteral("tim"), area);
    from_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat1"), area);
    to_ = new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat2"), area);
    comment_ = editableDropDown(QStringLiteral("cmt"), area);
    comment_->addItems({QStringLiteral("پرسنل با خودرو"), prs::kWithoutCar});
    comment_->setEditText({});
    auto* clearDates = new ui::ClickableLabel(QStringLiteral("- - -"), area);
    clearDates->setObjectName(QStringLiteral("Label1"));

    // In the order of the search's filter lines: card, name, reason, exit time, entry time,
    // dates, comment.
    bindFilter(0, {boxes_[0], {cardNo_}, true, true});
    bindFilter(1, {boxes_[1], {surname_}, true, true});
    bindFilter(2, {boxes_[3], {reason_}});
    bindFilter(3, {boxes_[5], {exitTime_, exitCompare_}, false, false, exitCompare_});
    bindFilter(4, {boxes_[4], {entryTime_, entryCompare_}, false, false, entryCompare_});
    bindFilter(5, {boxes_[2], {from_, to_}, true});
    bindFilter(6, {boxes_[6], {comment_}, true, true});
    bindClearLabel(clearDates, {from_, to_});
    addPresetFill(reason_, presets::kExitReason);

    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(boxes_[0], 0, 0);
    layout->addWidget(cardNo_, 0, 1);
    layout->addWidget(boxes_[1], 0, 2);
    layout->addWidget(surname_, 0, 3);
    layout->addWidget(boxes_[3], 0, 4);
    layout->addWidget(reason_, 0, 5);
    layout->addWidget(boxes_[6], 0, 6);
    layout->addWidget(comment_, 0, 7);
    layout->addWidget(boxes_[5], 1, 0);
    layout->addWidget(exitTime_, 1, 1);
    layout->addWidget(exitCompare_, 1, 2);
    layout->addWidget(boxes_[4], 1, 3);
    layout->addWidget(entryTime_, 1, 4);
    layout->addWidget(entryCompare_, 1, 5);
    layout->addWidget(boxes_[2], 1, 6);
    layout->addWidget(from_, 1, 7);
    layout->addWidget(to_, 1, 8);
    layout->addWidget(clearDates, 1, 9);
}

QCheckBox* Tprs_list::CheckBox(int number) const {
    return boxes_.value(number - 1);
}

void Tprs_list::prepare() {
    cardNo_->clear();
    setInputText(surname_, {});
    setInputText(comment_, {});
    const QString today = context().date.todayText();
    from_->setText(today);
    to_->setText(today);
    boxes_[2]->setChecked(true);
    search();
}

void Tprs_list::showEvent(QShowEvent* event) {
    try {
        db::Query& q = context().dm.ADOQuery1;
        q.close();
        q.sql().clear();
        q.sql().add(prs::surnameListSql());
        q.open();
        QStringList surnames;
        for (q.first(); !q.eof(); q.next())
            surnames << q.fieldByName(QStringLiteral("surname")).asString();
        fillFromPreset(surname_, surnames);
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
    RegisterList::showEvent(event);
}

std::unique_ptr<report::Report> Tprs_list::makeReport() {
    return report_ ? report_->QuickRep1() : nullptr;
}

} // namespace gc::registers
