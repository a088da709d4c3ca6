#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "recording_dialogs.h"
#include "register_harness.h"
#include "registers/loh/core/next_day.h"
#include "registers/loh/loh_ins.h"
#include "registers/loh/loh_src.h"
#include "registers/shared/list_page.h"
#include "registers/shared/mask_inputs.h"
#include "support/typing.h"
#include "support/xlsx_reader.h"
#include "windows/shell/page.h"

#include <QAction>
#include <QCalendar>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

using gc::db::quoted;
using gc::registers::NextPersianDay;
using Command = gc::registers::RegisterList::Command;

namespace {

const QString kSelect = QStringLiteral("select * from loh where id<>-1 ");
const QString kCount = QStringLiteral("select count(*) as c from loh where id<>-1 ");
const QString kPlace = QStringLiteral("محل کار نگهبان");
const QString kGuard = QStringLiteral("نام نگهبان");

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QString jalali(const QDate& d) {
    const QCalendar cal(QCalendar::System::Jalali);
    const QCalendar::YearMonthDay ymd = cal.partsFromDate(d);
    return QStringLiteral("%1/%2/%3")
        .arg(ymd.year)
        .arg(ymd.month, 2, 10, QLatin1Char('0'))
        .arg(ymd.day, 2, 10, QLatin1Char('0'));
}

TEST(NextPersianDay, StepsThroughTheRealCalendar) {
    EXPECT_EQ(NextPersianDay("1402/03/09"), "1402/03/10");
    EXPECT_EQ(NextPersianDay("1402/06/30"), "1402/06/31"); // the first half has 31 days
    EXPECT_EQ(NextPersianDay("1402/06/31"), "1402/07/01");
    EXPECT_EQ(NextPersianDay("1402/07/30"), "1402/08/01");
    EXPECT_EQ(NextPersianDay("1402/12/29"), "1403/01/01"); // a common year
    EXPECT_EQ(NextPersianDay("1403/12/29"), "1403/12/30"); // a leap year
    EXPECT_EQ(NextPersianDay("1403/12/30"), "1404/01/01");
    // Every day of sixteen years against an independent calendar.
    for (QDate d(2016, 3, 20); d < QDate(2032, 3, 20); d = d.addDays(1))
        ASSERT_EQ(NextPersianDay(jalali(d)), jalali(d.addDays(1))) << d.toString().toStdString();
}

TEST(NextPersianDay, RefusesWhatIsNotACompleteRealDate) {
    for (const char* text : {"    /  /  ", "1402/0 /01", "1402/06/3 ", "1402/12/30", "1402/07/31",
                             "1402/13/01", "1402/00/05", "1402/05/00", "0000/01/01", ""})
        EXPECT_EQ(NextPersianDay(QString::fromUtf8(text)), std::nullopt) << text;
}

class Loh : public gctest::RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        ins = std::make_unique<gc::registers::Tloh_ins>(*ctx);
        list = std::make_unique<gc::registers::Tloh_src>(*ctx, *ins);
    }
    void TearDown() override {
        list.reset();
        ins.reset();
    }
    void addRow(const QString& dat, const QString& loc, const QString& day, const QString& shift,
                const QString& guard) {
        exec("insert into loh (dat, loc, day, shift, negahban) values (" +
             QStringList{quoted(dat), quoted(loc), quoted(day), quoted(shift), quoted(guard)}.join(
                 ", ") +
             ")");
    }
    QString rows() { return scalar("select dat, loc, day, shift, negahban from loh order by id"); }
    void untickAll() {
        for (int i = 1; i <= 4; ++i)
            list->CheckBox(i)->setChecked(false);
    }
    void expectLines(const QStringList& lines) {
        EXPECT_EQ(dm->ADOQuery1.sql().lines(), QStringList{kCount} + lines);
        EXPECT_EQ(dm->ADOQ_loh.sql().lines(), QStringList{kSelect} + lines);
    }
    std::unique_ptr<gc::registers::Tloh_ins> ins;
    std::unique_ptr<gc::registers::Tloh_src> list;
    // Made after the harness's own, so these answer.
    gctest::RecordingDialogs boxes;
};

TEST_P(Loh, NewRowsAreStoredAndASecondRowForTheSameSlotIsRefused) {
    addPreset(kPlace, "نگهباني شمالي");
    addPreset(kPlace, "درب اصلي");
    addPreset(kGuard, "كريمي");
    list->prepare();
    ins->dat()->setText("1402/02/02");
    ins->negahban()->setEditText("مانده از قبل");
    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(ins->dat()->storedText(), "1403/01/01");
        for (QComboBox* box : {ins->day(), ins->loc(), ins->shift(), ins->negahban()})
            EXPECT_EQ(box->currentText(), "") << box->objectName().toStdString();
        EXPECT_FALSE(ins->insButton()->isHidden());
        EXPECT_TRUE(ins->editButton()->isHidden());
        EXPECT_EQ(items(ins->day()), (QStringList{"شنبه", "يکشنبه", "دوشنبه", "سه شنبه", "چهارشنبه",
                                                  "پنجشنبه", "جمعه"}));
        EXPECT_EQ(items(ins->loc()), (QStringList{"درب اصلي", "نگهباني شمالي"}));
        EXPECT_EQ(items(ins->negahban()), QStringList{"كريمي"});
        EXPECT_EQ(items(ins->shift()), (QStringList{"روز", "روز و شب", "شب"}));

        // 1403/01/01 is a Wednesday: the weekday is stored as picked.
        ins->day()->setEditText("شنبه");
        ins->loc()->setEditText("درب اصلي");
        ins->shift()->setEditText("روز");
        ins->negahban()->setEditText("كريمي");
        ins->insButton()->click();
        EXPECT_EQ(boxes.texts(), QStringList{"ثبت شد"});
        EXPECT_TRUE(ins->isVisible());

        // Another guard in the same slot is refused; another shift is not.
        ins->negahban()->setEditText("احمدي");
        ins->insButton()->click();
        EXPECT_EQ(boxes.texts().last(), "تکراري است");
        ins->shift()->setEditText("شب");
        ins->insButton()->click();
        EXPECT_EQ(boxes.texts().last(), "ثبت شد");
    });
    EXPECT_EQ(rows(), "1403/01/01|درب اصلي|شنبه|روز|كريمي\n"
                      "1403/01/01|درب اصلي|شنبه|شب|احمدي");
    EXPECT_EQ(dm->ADOQ_loh.fieldByName("negahban").asString(), "احمدي");
}

TEST_P(Loh, EditCopiesTheRowStaysOpenAndCannotMakeADuplicate) {
    addRow("1403/01/01", "درب اصلي", "چهارشنبه", "روز", "كريمي");
    addRow("1403/01/02", "درب اصلي", "پنجشنبه", "روز", "رضايي");
    untickAll();
    list->search();
    ASSERT_TRUE(dm->ADOQ_loh.locate("negahban", "رضايي"));
    list->showQueryRow();
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->dat()->storedText(), "1403/01/02");
        EXPECT_EQ(ins->day()->currentText(), "پنجشنبه");
        EXPECT_EQ(ins->loc()->currentText(), "درب اصلي");
        EXPECT_EQ(ins->shift()->currentText(), "روز");
        EXPECT_EQ(ins->negahban()->currentText(), "رضايي");
        EXPECT_TRUE(ins->insButton()->isHidden());
        EXPECT_FALSE(ins->editButton()->isHidden());

        // Its own slot with another guard is no duplicate.
        ins->negahban()->setEditText("احمدي");
        ins->editButton()->click();
        EXPECT_EQ(boxes.texts(), QStringList{"ويرايش شد"});
        EXPECT_TRUE(ins->isVisible());

        // The slot of the other row is.
        ins->dat()->setText("1403/01/01");
        ins->day()->setEditText("چهارشنبه");
        ins->editButton()->click();
        EXPECT_EQ(boxes.texts().last(), "تکراري است");
    });
    EXPECT_EQ(rows(), "1403/01/01|درب اصلي|چهارشنبه|روز|كريمي\n"
                      "1403/01/02|درب اصلي|پنجشنبه|روز|احمدي");
}

// The window stays open after an edit: each further edit is written, a guard put back
// included, and closing after the last one has nothing to ask.
TEST_P(Loh, EveryEditInTheOpenWindowIsStoredBackAndForth) {
    addRow("1403/01/02", "درب اصلي", "پنجشنبه", "روز", "رضايي");
    untickAll();
    list->search();
    whileModal(list->editAction(), ins.get(), [&] {
        for (const QString guard : {"احمدي", "رضايي", "احمدي"}) {
            SCOPED_TRACE(guard.toStdString());
            boxes.messages.clear();
            type(ins->negahban(), guard);
            ins->editButton()->click();
            EXPECT_EQ(boxes.texts(), QStringList{"ويرايش شد"});
            EXPECT_EQ(scalar("select negahban from loh"), guard);
            EXPECT_EQ(dm->ADOQ_loh.fieldByName("negahban").asString(), guard);
        }
        // Another column alone leaves the guard as last saved.
        boxes.messages.clear();
        type(ins->shift(), "شب");
        ins->editButton()->click();
        EXPECT_EQ(boxes.texts(), QStringList{"ويرايش شد"});
        boxes.messages.clear();
        ins->close();
        EXPECT_FALSE(ins->isVisible());
        EXPECT_TRUE(boxes.messages.isEmpty());
    });
    EXPECT_EQ(rows(), "1403/01/02|درب اصلي|پنجشنبه|شب|احمدي");
}

// Another workstation changes the shift while the window is open: saves of the guard go on,
// but the shift it still shows as before is never written over the change unseen. Opened
// again, the window shows the new shift, and a change of it is stored.
TEST_P(Loh, AShiftChangedElsewhereBetweenTwoSavesIsNeverOverwrittenUnseen) {
    addRow("1403/01/02", "درب اصلي", "پنجشنبه", "روز", "رضايي");
    untickAll();
    list->search();
    const qint64 id = scalar("select id from loh").toLongLong();
    whileModal(list->editAction(), ins.get(), [&] {
        otherWorkstationSaves("loh", id, {{"shift", "روز و شب"}});
        for (const QString guard : {"احمدي", "كريمي"}) {
            SCOPED_TRACE(guard.toStdString());
            boxes.messages.clear();
            type(ins->negahban(), guard);
            ins->editButton()->click();
            EXPECT_EQ(boxes.texts(), QStringList{"ويرايش شد"});
        }
        EXPECT_EQ(ins->shift()->currentText(), "روز");
        boxes.messages.clear();
        type(ins->shift(), "شب");
        ins->editButton()->click();
        ASSERT_EQ(boxes.messages.size(), 1);
        EXPECT_EQ(boxes.messages.front().icon, gc::ui::MsgIcon::Error);
        EXPECT_TRUE(boxes.texts().front().contains("shift")) << boxes.texts().front().toStdString();
        EXPECT_TRUE(ins->isVisible());
        EXPECT_EQ(ins->shift()->currentText(), "شب");
    });
    EXPECT_EQ(rows(), "1403/01/02|درب اصلي|پنجشنبه|روز و شب|كريمي");

    boxes.messages.clear();
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->shift()->currentText(), "روز و شب");
        type(ins->shift(), "شب");
        ins->editButton()->click();
        EXPECT_EQ(boxes.texts(), QStringList{"ويرايش شد"});
    });
    EXPECT_EQ(rows(), "1403/01/02|درب اصلي|پنجشنبه|شب|كريمي");
}

TEST_P(Loh, EditBeforeAnySearchAddsARowAndLeavesTheStoredOnesAlone) {
    addRow("1403/01/01", "درب اصلي", "چهارشنبه", "روز", "كريمي");
    list->prepare();
    ASSERT_FALSE(dm->ADOQ_loh.isActive());
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->dat()->storedText(), gc::registers::kBlankDate);
        EXPECT_EQ(ins->negahban()->currentText(), "");
        ins->dat()->setText("1403/01/02");
        ins->day()->setEditText("پنجشنبه");
        ins->loc()->setEditText("درب شمالي");
        ins->shift()->setEditText("شب");
        ins->negahban()->setEditText("رضايي");
        ins->editButton()->click();
        // The next edit changes the row just added, which is no duplicate of itself.
        type(ins->negahban(), "احمدي");
        ins->editButton()->click();
        EXPECT_EQ(boxes.texts(), (QStringList{"ويرايش شد", "ويرايش شد"}));
    });
    EXPECT_EQ(rows(), "1403/01/01|درب اصلي|چهارشنبه|روز|كريمي\n"
                      "1403/01/02|درب شمالي|پنجشنبه|شب|احمدي");
}

TEST_P(Loh, ATooLongValueIsRefusedNamingTheFieldAsTheWindowLabelsIt) {
    list->prepare();
    whileModal(list->insertAction(), ins.get(), [&] {
        ins->loc()->setEditText("درب اصلي");
        ins->negahban()->setEditText(QString(60, QChar(0x0643)));
        ins->insButton()->click();
    });
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages.front().icon, gc::ui::MsgIcon::Error);
    EXPECT_TRUE(boxes.texts().front().contains("«نگهبان» (negahban)"))
        << boxes.texts().front().toStdString();
    EXPECT_EQ(scalar("select count(*) from loh"), "0");
}

TEST_P(Loh, TheDayStepFollowsTheCalendarAndLeavesABadDateAlone) {
    QToolButton* next = ins->findChild<QToolButton*>("SpeedButton2");
    QToolButton* blank = ins->findChild<QToolButton*>("SpeedButton1");
    ASSERT_TRUE(next && blank);
    EXPECT_EQ(next->text(), "<");
    ins->dat()->setText("1402/06/30");
    next->click();
    EXPECT_EQ(ins->dat()->storedText(), "1402/06/31");
    ins->dat()->setText("1402/12/29");
    next->click();
    EXPECT_EQ(ins->dat()->storedText(), "1403/01/01");
    EXPECT_TRUE(boxes.messages.isEmpty());

    blank->click();
    EXPECT_EQ(ins->dat()->storedText(), gc::registers::kBlankDate);
    next->click();
    EXPECT_EQ(ins->dat()->storedText(), gc::registers::kBlankDate);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages.front().icon, gc::ui::MsgIcon::Error);
    ins->dat()->setText("1402/12/30"); // no such day in a common year
    next->click();
    EXPECT_EQ(ins->dat()->storedText(), "1402/12/30");
    EXPECT_EQ(boxes.messages.size(), 2);
}

TEST_P(Loh, PersianDigitsTypedIntoDatesAreCheckedStoredAndSearchedAsAscii) {
    addRow("1403/01/02", "درب اصلي", "پنجشنبه", "روز", "كريمي");
    // After login the keyboard is Persian: its number row types Persian digits.
    ins->dat()->clearToBlank();
    ins->dat()->setCursorPosition(0);
    gctest::typeKeys(ins->dat(), QString::fromUtf8("۱۴۰۲۱۲۲۹"));
    EXPECT_EQ(ins->dat()->storedText(), "1402/12/29");
    ins->findChild<QToolButton*>("SpeedButton2")->click();
    EXPECT_EQ(ins->dat()->storedText(), "1403/01/01");
    EXPECT_TRUE(boxes.messages.isEmpty());

    // Pasted Arabic-Indic digits too.
    ins->dat()->clearToBlank();
    ins->dat()->setCursorPosition(0);
    ins->dat()->insert(QString::fromUtf8("١٤٠٣/٠١/٠٢"));
    EXPECT_EQ(ins->dat()->storedText(), "1403/01/02");

    untickAll();
    list->CheckBox(1)->setChecked(true);
    for (gc::registers::MaskEdit* bound : {list->dat1(), list->dat2()}) {
        bound->clearToBlank();
        bound->setCursorPosition(0);
        gctest::typeKeys(bound, QString::fromUtf8("۱۴۰۳۰۱۰۲"));
    }
    list->search();
    EXPECT_EQ(dm->ADOQ_loh.recordCount(), 1);
}

TEST_P(Loh, PreparedListHasTodayAndEmptyFiltersAndSearchesNothingYet) {
    addPreset(kPlace, "درب اصلي");
    addPreset(kGuard, "كريمي");
    list->loc()->setEditText("قبلي");
    list->negahban()->setEditText("قبلي");
    list->shift()->setEditText("شب");
    list->prepare();
    EXPECT_EQ(list->dat1()->storedText(), "1403/01/01");
    EXPECT_EQ(list->dat2()->storedText(), "1403/01/01");
    for (QComboBox* box : {list->loc(), list->negahban(), list->shift()})
        EXPECT_EQ(box->currentText(), "");
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(list->CheckBox(i)->isChecked());
    EXPECT_FALSE(dm->ADOQ_loh.isActive());
    list->show();
    EXPECT_EQ(items(list->loc()), QStringList{"درب اصلي"});
    EXPECT_EQ(items(list->negahban()), QStringList{"كريمي"});
    list->hide();

    QStringList menu;
    for (QAction* a : list->findChild<QMenuBar*>("MainMenu1")->actions())
        menu << a->objectName() + " " + a->text();
    EXPECT_EQ(menu, (QStringList{"N3 ثبت", "N4 ويرايش", "N5 حذف", "N6 اکسل", "N1 خروج"}));
    ASSERT_NE(list->searchButton(), nullptr);
    EXPECT_EQ(list->searchButton()->objectName(), "BitBtn1");

    gc::registers::RegisterListPage page(*list, [&](const gc::PageContext&) { list->prepare(); });
    const gc::PageCommands commands = page.commands();
    EXPECT_EQ(commands.insert, QList<QObject*>{list->findChild<QAction*>("N3")});
    EXPECT_EQ(commands.edit, QList<QObject*>{list->findChild<QAction*>("N4")});
    EXPECT_EQ(commands.remove, QList<QObject*>{list->findChild<QAction*>("N5")});
}

TEST_P(Loh, EachFilterAddsItsLineCountFirst) {
    addRow("1403/01/01", "درب اصلي", "چهارشنبه", "روز", "علي كريمي");
    addRow("1403/01/01", "درب شمالي", "چهارشنبه", "روز و شب", "رضايي");
    addRow("1403/01/02", "درب اصلي", "پنجشنبه", "شب", "كريم'ي");
    addRow("1403/01/05", "پاركينگ", "يکشنبه", "روز", "علي كريمي");
    list->prepare();
    list->loc()->setEditText("اصلي"); // unticked: no effect
    list->search();
    expectLines({});
    EXPECT_EQ(list->countLabel()->text(), "4");

    list->CheckBox(1)->setChecked(true);
    EXPECT_TRUE(list->dat1()->isEnabled());
    EXPECT_EQ(list->dat2()->palette().color(QPalette::Base), QColor(Qt::yellow));
    list->dat2()->setText("1403/01/02");
    list->search();
    expectLines({" and dat>='1403/01/01' and dat<='1403/01/02'"});
    EXPECT_EQ(list->countLabel()->text(), "3");

    list->CheckBox(2)->setChecked(true);
    list->CheckBox(3)->setChecked(true);
    list->negahban()->setEditText("كريم'");
    list->search();
    expectLines({" and dat>='1403/01/01' and dat<='1403/01/02'",
                 " and loc like '%اصلي%' escape '\\'",
                 " and negahban like '%كريم''%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(), "1");
    EXPECT_EQ(dm->ADOQ_loh.fieldByName("shift").asString(), "شب");

    untickAll();
    list->CheckBox(4)->setChecked(true);
    EXPECT_EQ(list->shift()->palette().color(QPalette::Base), QColor(Qt::yellow));
    list->shift()->setEditText("روز");
    list->search();
    expectLines({" and shift='روز'"}); // exact: not "روز و شب"
    EXPECT_EQ(list->countLabel()->text(), scalar("select count(*) from loh where shift='روز'"));
    EXPECT_EQ(dm->ADOQ_loh.recordCount(), 2);
    list->CheckBox(4)->setChecked(false);
    EXPECT_FALSE(list->shift()->isEnabled());

    // Rows unordered until a title click, then by that column.
    list->search();
    list->grid()->horizontalHeader()->sectionClicked(list->gridModel()->gridToField(1));
    EXPECT_EQ(dm->ADOQ_loh.sort(), "dat ASC");
    list->grid()->horizontalHeader()->sectionClicked(list->gridModel()->gridToField(1));
    EXPECT_EQ(dm->ADOQ_loh.sort(), "dat DESC");
    dm->ADOQ_loh.first();
    EXPECT_EQ(dm->ADOQ_loh.fieldByName("dat").asString(), "1403/01/05");
}

TEST_P(Loh, DeleteNeedsThePasswordAndExportUsesTheCaptions) {
    addPreset("رمز حذف", "12");
    addRow("1403/01/01", "درب اصلي", "چهارشنبه", "روز", "كريمي");
    addRow("1403/01/02", "درب اصلي", "پنجشنبه", "شب", "رضايي");
    untickAll();
    list->search();

    list->command(Command::Export)->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject cells = gctest::readXlsx(opener.opened.front())["cells"].toObject();
    const QStringList heads = {"id", "تاريخ", "محل کار", "روز هفته", "شيفت", "نگهبان"};
    for (int i = 0; i < heads.size(); ++i)
        EXPECT_EQ(cells[QString(QChar('A' + i)) + "1"].toObject()["value"].toString(), heads[i]);
    EXPECT_EQ(cells["F3"].toObject()["value"].toString(), "رضايي");
    boxes.messages.clear(); // where the workbook was written

    ASSERT_TRUE(dm->ADOQ_loh.locate("negahban", "رضايي"));
    list->showQueryRow();
    boxes.inputs = {"21"};
    list->deleteAction()->trigger();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(scalar("select count(*) from loh"), "2");
    boxes.inputs = {"12"};
    list->deleteAction()->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(scalar("select negahban from loh"), "كريمي");
    ASSERT_EQ(boxes.asked.size(), 2);
    EXPECT_EQ(boxes.asked.front().caption, "Delete Password");
}

INSTANTIATE_TEST_SUITE_P(Engines, Loh,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);

} // namespace
