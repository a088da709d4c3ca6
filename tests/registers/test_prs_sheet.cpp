#include "core/data_module.h"
#include "core/stamp_text.h"
#include "platform/db/connection.h"
#include "platform/db/sql_text.h"
#include "recording_dialogs.h"
#include "register_harness.h"
#include "registers/prs/core/monthly_sheet.h"
#include "registers/prs/prs.h"
#include "registers/prs/prs_chap.h"
#include "registers/prs/prs_list.h"
#include "registers/shared/mask_inputs.h"
#include "report/pdf_tools.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QCalendar>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLineEdit>
#include <QTableView>
#include <thread>

using gc::db::quoted;
using namespace gctest;
namespace prs = gc::registers::prs;
namespace pdf = gc::report::pdf;

namespace {

const QCalendar kJalali(QCalendar::System::Jalali);

QString jalaliText(const QDate& d) {
    const QCalendar::YearMonthDay p = kJalali.partsFromDate(d);
    return QStringLiteral("%1/%2/%3")
        .arg(p.year, 4, 10, QChar('0'))
        .arg(p.month, 2, 10, QChar('0'))
        .arg(p.day, 2, 10, QChar('0'));
}

QDate dateOf(int y, int m, int d) {
    return kJalali.dateFromParts(y, m, d);
}

// The calendar's weekday of a date, 0 for Saturday.
int jalaliWeekday(int y, int m, int d) {
    // Qt's days from Monday (1) to Sunday (7).
    static const int fromMonday[] = {2, 3, 4, 5, 6, 0, 1};
    return fromMonday[dateOf(y, m, d).dayOfWeek() - 1];
}

TEST(SheetDays, FollowTheRealCalendarAcrossMonthAndYearEnds) {
    EXPECT_EQ(prs::SheetDayList("1403/06/30", "1403/07/02").days,
              (QStringList{"1403/06/30", "1403/06/31", "1403/07/01", "1403/07/02"}));
    // 1403 is a leap year: Esfand has its 30th day; 1402 is not.
    EXPECT_EQ(prs::SheetDayList("1403/12/29", "1404/01/01").days,
              (QStringList{"1403/12/29", "1403/12/30", "1404/01/01"}));
    EXPECT_EQ(prs::SheetDayList("1402/12/29", "1403/01/01").days,
              (QStringList{"1402/12/29", "1403/01/01"}));
    EXPECT_EQ(prs::SheetDayList("1403/05/05", "1403/05/05").days, QStringList{"1403/05/05"});

    // Every day of twelve years, the leap years around the 33-year cycles included.
    const prs::SheetDays year = prs::SheetDayList("1403/01/01", "1403/12/30");
    ASSERT_EQ(year.days.size(), 366);
    for (int y = 1400; y < 1412; ++y) {
        const QString last = QStringLiteral("%1/12/%2").arg(y).arg(kJalali.isLeapYear(y) ? 30 : 29);
        const prs::SheetDays days = prs::SheetDayList(QStringLiteral("%1/01/01").arg(y), last);
        ASSERT_TRUE(days.error.isEmpty()) << y;
        QDate d = dateOf(y, 1, 1);
        for (const QString& day : days.days) {
            ASSERT_EQ(day, jalaliText(d));
            d = d.addDays(1);
        }
    }
}

TEST(SheetDays, RefuseWhatIsNoRealRangeOfAtMost366Days) {
    for (const auto& [from, to] :
         std::vector<std::pair<QString, QString>>{
             {"1403/07/02", "1403/06/30"},  // reversed
             {"1403/07/01", "1403/07/31"},  // day 31 of month 7
             {"1402/12/30", "1403/01/02"},  // Esfand 30 of a common year
             {"1403/07/01", "1403/0 /  "},  // partly typed
             {"    /  /  ", "1403/07/01"},  // blank
             {"1403/13/01", "1403/13/02"},  // no month 13
             {"1403/01/01", "1404/01/01"}}) // 367 days
    {
        const prs::SheetDays days = prs::SheetDayList(from, to);
        EXPECT_TRUE(days.days.isEmpty()) << from.toStdString() << " " << to.toStdString();
        EXPECT_FALSE(days.error.isEmpty());
    }
    EXPECT_EQ(prs::SheetDayList("1403/01/02", "1404/01/01").days.size(), 366);
}

TEST(SheetDays, WeekdaysAgreeWithTheCalendar) {
    for (QDate d = dateOf(1399, 1, 1); d < dateOf(1412, 1, 1); d = d.addDays(1)) {
        const QCalendar::YearMonthDay p = kJalali.partsFromDate(d);
        ASSERT_EQ(prs::PersianWeekday(jalaliText(d)), jalaliWeekday(p.year, p.month, p.day))
            << jalaliText(d).toStdString();
    }
    EXPECT_EQ(prs::WeekdayName(0), "شنبه");
    EXPECT_EQ(prs::WeekdayName(6), "جمعه");
    EXPECT_EQ(prs::PersianWeekday("1403/07/31"), std::nullopt);
    EXPECT_EQ(prs::ParseWeekday("۵"), 5);
    EXPECT_EQ(prs::ParseWeekday(" 0 "), 0);
    for (const char* bad : {"7", "-1", "x", "", "1.5", "12"})
        EXPECT_EQ(prs::ParseWeekday(QString::fromUtf8(bad)), std::nullopt) << bad;
}

class Sheet : public RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        ins = std::make_unique<gc::registers::Tprs>(*ctx);
        list = std::make_unique<gc::registers::Tprs_list>(*ctx, *ins);
        chap = std::make_unique<gc::registers::Tprs_chap>(*list);
        list->prepare();
    }
    void TearDown() override {
        chap.reset();
        list.reset();
        ins.reset();
    }
    void addPrs(const QString& card, const QString& surname, const QString& day,
                const QString& entry, const QString& exit, const QString& semat = {}) {
        exec("insert into prs (cart_no, nam, semat, exit_dat, vorod_tim, exit_tim) values (" +
             quoted(card) + ", " + quoted(surname) + ", " + quoted(semat) + ", " + quoted(day) +
             ", " + quoted(entry) + ", " + quoted(exit) + ")");
    }
    void range(const QString& from, const QString& to) {
        list->exit_dat1()->setText(from);
        list->exit_dat2()->setText(to);
    }
    void byCard(const QString& card) {
        list->CheckBox(1)->setChecked(true);
        type(list->cart_no(), card);
    }
    QStringList sheetRow(const QJsonObject& sheet, int row) {
        QStringList out;
        for (const char* column : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K"})
            out << sheet["cells"]
                       .toObject()[QStringLiteral("%1%2").arg(column).arg(row)]
                       .toObject()["value"]
                       .toString();
        return out;
    }
    // The sheet exported, read back by openpyxl.
    QJsonObject exported() {
        opener.opened.clear();
        list->sheetExportAction()->trigger();
        if (opener.opened.size() != 1)
            return {};
        return readXlsx(opener.opened.front());
    }

    RecordingDialogs asked;
    std::unique_ptr<gc::registers::Tprs> ins;
    std::unique_ptr<gc::registers::Tprs_list> list;
    std::unique_ptr<gc::registers::Tprs_chap> chap;
};

TEST_P(Sheet, FiveRecordsOnADayGiveTheFirstFourByIdAndNameTheDay) {
    for (const char* t : {"09:00", "08:00", "10:00", "07:00", "11:00"})
        addPrs("1001", "رضايي", "1403/06/30", t, "12:00");
    addPrs("1001", "رضايي", "1403/07/01", "08:30", "16:30");
    addPrs("1001", "رضايي", "1403/07/03", "06:00", "06:30"); // after the range

    const prs::MonthlySheet sheet =
        prs::BuildMonthlySheet(dm->ADOConnection1, {QString("1001"), std::nullopt},
                               prs::SheetDayList("1403/06/30", "1403/07/02").days, 6);
    ASSERT_EQ(sheet.lines.size(), 4u);
    EXPECT_EQ(sheet.lines[0].v, (std::array<QString, 4>{"09:00", "08:00", "10:00", "07:00"}));
    EXPECT_EQ(sheet.lines[1].v[0], "");
    EXPECT_EQ(sheet.lines[2].v[0], "08:30");
    EXPECT_EQ(sheet.lines[2].e[0], "16:30");
    EXPECT_EQ(sheet.lines[2].v[1], "");
    EXPECT_EQ(sheet.lines[3].v[0], "");
    EXPECT_EQ(sheet.crowdedDays, QStringList{"1403/06/30"});
    EXPECT_EQ(sheet.persons, 1);
    EXPECT_EQ((QStringList{sheet.lines[0].roz, sheet.lines[1].roz, sheet.lines[2].roz}),
              (QStringList{"جمعه", "شنبه", "يکشنبه"}));

    // The window still previews the sheet, after saying which day was cut.
    range("1403/06/30", "1403/07/02");
    byCard("1001");
    list->search();
    list->sheetPrintAction()->trigger();
    EXPECT_EQ(asked.texts(), QStringList{prs::CrowdedDaysMessage({"1403/06/30"})});
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();
    EXPECT_EQ(printUi.result.rows, 4);
    EXPECT_TRUE(pdf::pageSize(printUi.path()).startsWith("595 x 842"));
    const QString page = pdf::text(printUi.path(), 1);
    for (const char* text : {"ورود و خروج", "دفتر مرکزي حراست", "1403/06/31", "10:00", "16:30",
                             "رضايي", "مرخصي استعلاجي", "نوع تردد"})
        EXPECT_TRUE(page.contains(pdf::printedLetters(QString::fromUtf8(text)))) << text;
    EXPECT_FALSE(page.contains("11:00"));
    EXPECT_FALSE(page.contains("06:30"));
}

TEST_P(Sheet, WeekdayQuestionOffersTheCalendarsDayAndCancelKeepsIt) {
    range("1403/06/30", "1403/07/02");
    asked.inputs = {QString()}; // Cancel
    list->sheetPrintAction()->trigger();
    const int calendar = jalaliWeekday(1403, 6, 30);
    ASSERT_EQ(asked.asked.size(), 1);
    EXPECT_EQ(asked.asked[0].caption, "1403/06/30");
    EXPECT_EQ(asked.asked[0].prompt, prs::PrintWeekdayQuestion("1403/06/30").prompt);
    EXPECT_EQ(asked.asked[0].initial, QString::number(calendar));
    const QJsonObject cancelled = [&] {
        asked.inputs = {QString()};
        return exported();
    }();
    EXPECT_EQ(asked.asked[1].caption, "ايام هفته");
    EXPECT_EQ(asked.asked[1].prompt,
              "1403/06/30 اين تاريخ چند شنبه است؟ (0 تا 6 يک عدد را وارد نماييد) ");
    EXPECT_EQ(sheetRow(cancelled, 2)[0], prs::WeekdayName(calendar));
    EXPECT_EQ(sheetRow(cancelled, 3)[0], prs::WeekdayName((calendar + 1) % 7));

    // Out of range and not a number ask again; the guard's own answer wins over the calendar.
    asked.asked.clear();
    asked.inputs = {"9", "x", "5"};
    const QJsonObject answered = exported();
    EXPECT_EQ(asked.asked.size(), 3);
    EXPECT_EQ(sheetRow(answered, 2).mid(0, 2), (QStringList{"پنجشنبه", "1403/06/30"}));
    EXPECT_EQ(sheetRow(answered, 3).mid(0, 2), (QStringList{"جمعه", "1403/06/31"}));
    EXPECT_EQ(sheetRow(answered, 5).mid(0, 2), (QStringList{"يکشنبه", "1403/07/02"}));
}

TEST_P(Sheet, EachLineHoldsItsOwnDayAlsoWithTheDateBoxUnticked) {
    addPrs("1001", "رضايي", "1403/12/29", "08:00", "14:00");
    addPrs("1001", "رضايي", "1403/12/30", "08:10", "14:10");
    addPrs("1001", "رضايي", "1404/01/01", "08:20", "14:20");
    addPrs("1001", "رضايي", "1404/01/01", "15:00", "17:00");
    range("1403/12/29", "1404/01/01");
    byCard("1001");
    list->CheckBox(3)->setChecked(false);
    const QJsonObject sheet = exported();
    EXPECT_EQ(sheetRow(sheet, 1), (QStringList{"روز", "تاريخ", "ورود1", "خروج1", "ورود2", "خروج2",
                                               "ورود3", "خروج3", "ورود4", "خروج4", "توضيحات"}));
    EXPECT_EQ(sheet["maxRow"].toInt(), 4);
    EXPECT_EQ(sheetRow(sheet, 2).mid(1, 4), (QStringList{"1403/12/29", "08:00", "14:00", ""}));
    EXPECT_EQ(sheetRow(sheet, 3).mid(1, 4), (QStringList{"1403/12/30", "08:10", "14:10", ""}));
    EXPECT_EQ(sheetRow(sheet, 4).mid(1, 5),
              (QStringList{"1404/01/01", "08:20", "14:20", "15:00", "17:00"}));
    EXPECT_TRUE(asked.texts().filter("نفر").isEmpty());
}

TEST_P(Sheet, WithTwoPersonsTheSheetIsTheSelectedRowsPersonsOnly) {
    addPrs("1001", "رضايي", "1403/01/01", "08:00", "14:00", "نگهبان");
    addPrs("2002", "كريمي", "1403/01/01", "09:00", "15:00", "راننده");
    addPrs("2002", "كريمي", "1403/01/02", "09:30", "15:30", "راننده");
    range("1403/01/01", "1403/01/02");
    list->search();
    const int rows = list->grid()->model()->rowCount();
    ASSERT_EQ(rows, 3);
    QStringList seen;
    for (int row = 1; row <= rows; ++row) {
        dm->ADOQ_prs.setRecNo(row);
        const QString name = dm->ADOQ_prs.fieldByName("nam").asString();
        const bool first = name == "رضايي";
        asked.messages.clear();
        list->sheetPrintAction()->trigger();
        EXPECT_TRUE(asked.messages.isEmpty()) << asked.texts().join('|').toStdString();
        ASSERT_TRUE(printUi.result.ok());
        const QString page = pdf::text(printUi.path(), 1);
        EXPECT_TRUE(page.contains(pdf::printedLetters(name)));
        EXPECT_TRUE(page.contains(pdf::printedLetters(first ? "نگهبان" : "راننده")));
        EXPECT_EQ(page.contains("08:00"), first) << name.toStdString();
        EXPECT_EQ(page.contains("09:00"), !first) << name.toStdString();
        EXPECT_EQ(page.contains("15:30"), !first) << name.toStdString();

        const QJsonObject sheet = exported();
        EXPECT_EQ(sheetRow(sheet, 2).mid(2, 2),
                  first ? (QStringList{"08:00", "14:00"}) : (QStringList{"09:00", "15:00"}));
        EXPECT_EQ(sheetRow(sheet, 2)[4], ""); // no second pair from the other person
        // The list keeps its rows and the row the guard chose.
        EXPECT_EQ(list->grid()->model()->rowCount(), rows);
        EXPECT_EQ(dm->ADOQ_prs.fieldByName("nam").asString(), name);
        seen << name;
    }
    EXPECT_TRUE(seen.contains("رضايي") && seen.contains("كريمي"));

    // With no row to choose the person by, records of two persons are refused, not mixed.
    range("1402/01/01", "1402/01/01");
    list->search();
    ASSERT_EQ(list->grid()->model()->rowCount(), 0);
    range("1403/01/01", "1403/01/02");
    asked.messages.clear();
    QFile::remove(printUi.path());
    list->sheetPrintAction()->trigger();
    EXPECT_EQ(asked.texts(), QStringList{prs::SeveralPersonsMessage(2)});
    EXPECT_FALSE(QFileInfo::exists(printUi.path()));
    asked.messages.clear();
    EXPECT_TRUE(exported().isEmpty());
    EXPECT_EQ(asked.texts(), QStringList{prs::SeveralPersonsMessage(2)});
}

TEST_P(Sheet, RangesThatAreNotRealAreRefusedAndNothingIsMade) {
    for (const auto& [from, to] :
         std::vector<std::pair<QString, QString>>{{"1403/07/02", "1403/06/30"},
                                                  {"1403/07/01", "1403/07/31"},
                                                  {"1403/07/01", ""},
                                                  {"1402/01/01", "1403/01/02"}}) {
        range(from, to);
        asked.messages.clear();
        list->sheetPrintAction()->trigger();
        list->sheetExportAction()->trigger();
        EXPECT_EQ(asked.messages.size(), 2) << from.toStdString() << " " << to.toStdString();
    }
    // A day the calendar does not have is named as the list's date filter names it.
    range("1403/07/01", "1403/07/31");
    asked.messages.clear();
    list->sheetPrintAction()->trigger();
    EXPECT_EQ(asked.texts(), QStringList{gc::BadDateMessage("تاريخ", "1403/07/31")});
    EXPECT_TRUE(asked.asked.isEmpty());
    EXPECT_EQ(printUi.result.pages, 0);
    EXPECT_FALSE(QFile::exists(printUi.path()));
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_P(Sheet, TwoWorkstationsBuildingAtOnceGetOnlyTheirOwnLines) {
    for (int day = 1; day <= 31; ++day)
        for (const char* card : {"1001", "2002"})
            addPrs(card, card, QStringLiteral("1403/02/%1").arg(day, 2, 10, QChar('0')),
                   QString(card).left(2) + ":00", "");
    const QStringList days = prs::SheetDayList("1403/02/01", "1403/02/31").days;
    const QString connection = dm->ADOConnection1.connectionString();
    std::vector<prs::MonthlySheet> sheets(2);
    std::vector<QString> errors(2);
    auto build = [&](int who) {
        gc::db::Connection own(QStringLiteral("sheet%1").arg(who));
        own.setConnectionString(connection);
        try {
            own.open();
            for (int round = 0; round < 20; ++round)
                sheets[std::size_t(who)] = prs::BuildMonthlySheet(
                    own, {who == 0 ? QString("1001") : QString("2002"), std::nullopt}, days, 0);
        } catch (const std::exception& e) {
            errors[std::size_t(who)] = QString::fromStdString(e.what());
        }
    };
    std::thread first(build, 0);
    std::thread second(build, 1);
    first.join();
    second.join();
    for (int who = 0; who < 2; ++who) {
        ASSERT_TRUE(errors[std::size_t(who)].isEmpty()) << errors[std::size_t(who)].toStdString();
        const prs::MonthlySheet& s = sheets[std::size_t(who)];
        ASSERT_EQ(s.lines.size(), 31u);
        EXPECT_EQ(s.persons, 1);
        for (const prs::SheetLine& line : s.lines) {
            EXPECT_EQ(line.v[0], who == 0 ? "10:00" : "20:00");
            EXPECT_EQ(line.v[1], "");
        }
    }
    EXPECT_EQ(scalar("select count(*) from taradod"), "0");
}

INSTANTIATE_TEST_SUITE_P(Engines, Sheet, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         engineName);

} // namespace
