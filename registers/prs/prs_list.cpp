#include "registers/prs/prs_list.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/report/memory_source.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/prs/core/monthly_sheet.h"
#include "registers/prs/core/prs_sql.h"
#include "registers/prs/prs.h"
#include "registers/prs/prs_chap.h"
#include "registers/prs/prs_print.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"
#include "registers/shared/stamp_check.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenu>

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
    d.menu = {{"N1", "ثبت", Command::New},     {"N2", "ويرايش", Command::Edit},
              {"N3", "حذف", Command::Delete},  {"N9", "فرم تردد", Command::Own},
              {"N5", "اكسل", Command::Export}, {"N6", "چاپ", Command::Print},
              {"N7", "+", Command::ZoomIn},    {"N8", "_", Command::ZoomOut},
              {"N4", "خروج", Command::Close}};
    return d;
}

Tprs_list::Tprs_list(RegisterContext& context, Tprs& entry, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    setEntry(&entry);
    buildFilters();
    buildSheetMenu();
}

void Tprs_list::buildSheetMenu() {
    auto* sheet = new QMenu(this);
    sheetPrint_ = sheet->addAction(QStringLiteral("چاپ"));
    sheetPrint_->setObjectName(QStringLiteral("N10"));
    sheetExport_ = sheet->addAction(QStringLiteral("اکسل"));
    sheetExport_->setObjectName(QStringLiteral("N11"));
    menuItem(QStringLiteral("N9"))->setMenu(sheet);
    connect(sheetPrint_, &QAction::triggered, this, [this] { monthlySheet(false); });
    connect(sheetExport_, &QAction::triggered, this, [this] { monthlySheet(true); });
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
    layout->setColumnStretch(layout->columnCount(), 1);
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

int Tprs_list::askWeekday(const QString& from, bool exportIt) {
    const int calendar = prs::PersianWeekday(from).value_or(0);
    const prs::WeekdayQuestion question =
        exportIt ? prs::ExportWeekdayQuestion(from) : prs::PrintWeekdayQuestion(from);
    for (;;) {
        const auto answer = ui::dialogs().inputText(question.caption, question.prompt,
                                                    QString::number(calendar), false);
        if (!answer || answer->trimmed().isEmpty())
            return calendar;
        if (const auto weekday = prs::ParseWeekday(*answer))
            return *weekday;
    }
}

void Tprs_list::monthlySheet(bool exportIt) {
    const QString dates = boxes_[2]->text();
    if (!stampsAcceptable({{from_, dates}, {to_, dates}}))
        return;
    const QString from = from_->storedText();
    const QString to = to_->storedText();
    const prs::SheetDays days = prs::SheetDayList(from, to);
    if (!days.error.isEmpty()) {
        ui::showMessage(ui::MsgIcon::Warning, days.error);
        return;
    }
    const int weekday = askWeekday(from, exportIt);
    prs::SheetFilter filter;
    if (cardNo_->isEnabled())
        filter.card = cardNo_->text();
    if (surname_->isEnabled())
        filter.surname = inputText(surname_);
    // One person's sheet: the records of anyone else never stand under the selected name.
    filter.person = selectedPerson();
    prs::MonthlySheet sheet;
    try {
        sheet = prs::BuildMonthlySheet(context().dm.ADOConnection1, filter, days.days, weekday);
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
        return;
    }
    if (sheet.persons > 1) {
        ui::showMessage(ui::MsgIcon::Warning, prs::SeveralPersonsMessage(sheet.persons));
        return;
    }
    if (!sheet.crowdedDays.isEmpty())
        ui::showMessage(ui::MsgIcon::Warning, prs::CrowdedDaysMessage(sheet.crowdedDays));
    std::vector<QStringList> rows;
    for (const prs::SheetLine& line : sheet.lines) {
        QStringList row;
        for (const QString& field : prs::SheetFields())
            row << prs::SheetText(line, field);
        rows.push_back(row);
    }
    if (exportIt)
        ExportRowsToExcel(prs::SheetFields(), rows, prs::SheetCaptions(), context().opener,
                          context().exportFolder,
                          ExportName(QStringLiteral("فرم تردد"), context().clock.now()));
    else
        showSheet(rows);
}

std::optional<prs::SheetPerson> Tprs_list::selectedPerson() {
    db::Query& list = query();
    if (!list.isActive() || list.state() != db::Query::State::Browse || list.recNo() == 0)
        return std::nullopt;
    try {
        return prs::SheetPerson{list.fieldByName(QStringLiteral("cart_no")).asString(),
                                list.fieldByName(QStringLiteral("nam")).asString()};
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
        return std::nullopt;
    }
}

void Tprs_list::showSheet(const std::vector<QStringList>& rows) {
    if (!sheetLayout_)
        return;
    auto layout = sheetLayout_->QuickRep1();
    // The person of the row selected in the list, whatever the filters matched.
    db::Query& list = query();
    const bool hasRow =
        list.isActive() && list.state() == db::Query::State::Browse && list.recNo() > 0;
    try {
        layout->variables.insert(QStringLiteral("nam"),
                                 hasRow ? list.fieldByName(QStringLiteral("nam")).asString()
                                        : QString());
        layout->variables.insert(QStringLiteral("semat"),
                                 hasRow ? list.fieldByName(QStringLiteral("semat")).asString()
                                        : QString());
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
    layout->variables.insert(QStringLiteral("loc"), QString());
    layout->variables.insert(QStringLiteral("dat1"), from_->storedText());
    layout->variables.insert(QStringLiteral("dat2"), to_->storedText());
    layout->variables.insert(QStringLiteral("dat"), context().date.todayText());
    report::MemorySource source(prs::SheetFields());
    for (const QStringList& row : rows)
        source.addRow(QVariantList(row.begin(), row.end()));
    layout->data = &source;
    context().printUi.preview(*layout);
}

std::unique_ptr<report::Report> Tprs_list::makeReport() {
    return report_ ? report_->QuickRep1() : nullptr;
}

} // namespace gc::registers
