#include "core/persian_date.h"
#include "fakes/fake_clock.h"

#include <QCalendar>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure output for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

using gc::FormatPersianDate;
using gc::PersianDateOf;
using gc::TPersianDate;

namespace {

QString textOf(int y, int m, int d) {
    return FormatPersianDate(PersianDateOf(QDate(y, m, d)));
}

TPersianDate persianYear(int year) {
    TPersianDate d;
    d.PYear = static_cast<std::uint16_t>(year);
    return d;
}

TPersianDate gregorian(int y, int m, int d) {
    TPersianDate v;
    v.GYear = static_cast<std::uint16_t>(y);
    v.GMonth = static_cast<std::uint16_t>(m);
    v.GDay = static_cast<std::uint16_t>(d);
    return v;
}

} // namespace

// Qt's Jalali calendar follows the official one over this range: every day must agree.
TEST(PersianDate, AgreesWithQtJalaliEveryDay1300To1434) {
    const QCalendar jalali(QCalendar::System::Jalali);
    ASSERT_TRUE(jalali.isValid());
    const QDate last(2056, 3, 19);
    int checked = 0;
    for (QDate day(1921, 3, 21); day <= last; day = day.addDays(1)) {
        const TPersianDate ours = PersianDateOf(day);
        const QCalendar::YearMonthDay theirs = jalali.partsFromDate(day);
        ASSERT_EQ(ours.PYear, theirs.year) << day.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(ours.PMonth, theirs.month) << day.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(ours.PDay, theirs.day) << day.toString(Qt::ISODate).toStdString();
        ASSERT_EQ(gc::IsPersianLeap(ours), jalali.isLeapYear(theirs.year));
        ++checked;
    }
    EXPECT_EQ(checked, 49'308);
    EXPECT_EQ(textOf(1921, 3, 21), "1300/01/01");
    EXPECT_EQ(textOf(2056, 3, 19), "1434/12/29");
}

TEST(PersianDate, TableRows) {
    const struct {
        int y, m, d;
        const char* text;
    } rows[] = {
        {2023, 1, 1, "1401/10/11"},
        {2023, 3, 20, "1401/12/29"},
        {2023, 3, 21, "1402/01/01"},
        {2024, 3, 19, "1402/12/29"},
        {2024, 3, 20, "1403/01/01"},
        {2024, 12, 31, "1403/10/11"},
        {2025, 3, 20, "1403/12/30"},
        {2025, 3, 21, "1404/01/01"},
        {2025, 9, 22, "1404/06/31"},
        {2025, 9, 23, "1404/07/01"},
        // A fixed four-year rule goes wrong from here on.
        {2029, 3, 19, "1407/12/29"},
        {2029, 3, 20, "1408/01/01"},
        // 2100 has no February 29, but 1478 is a leap year: Esfand 1 is February 19 and
        // 1479 starts on March 21, so March 1 stays Esfand 11.
        {2100, 2, 28, "1478/12/10"},
        {2100, 3, 1, "1478/12/11"},
        {2100, 3, 20, "1478/12/30"},
        {2100, 3, 21, "1479/01/01"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(textOf(r.y, r.m, r.d), r.text) << r.y << '-' << r.m << '-' << r.d;
}

TEST(PersianDate, MonthAndYearEnds) {
    EXPECT_EQ(textOf(2024, 9, 21), "1403/06/31"); // last 31-day month
    EXPECT_EQ(textOf(2024, 9, 22), "1403/07/01");
    EXPECT_EQ(textOf(2025, 2, 18), "1403/11/30");
    EXPECT_EQ(textOf(2025, 2, 19), "1403/12/01");
    EXPECT_EQ(textOf(2026, 3, 20), "1404/12/29"); // common year ends on Esfand 29
    EXPECT_EQ(textOf(2026, 3, 21), "1405/01/01");
    EXPECT_EQ(textOf(2024, 2, 29), "1402/12/10");
    EXPECT_EQ(textOf(2023, 12, 31), "1402/10/10"); // Gregorian year end inside a Persian year
    EXPECT_EQ(textOf(2024, 1, 1), "1402/10/11");
    EXPECT_EQ(textOf(2030, 3, 20), "1408/12/30"); // five years after 1403, not four
    EXPECT_EQ(textOf(2030, 3, 21), "1409/01/01");
}

// No gaps or overlaps: each Persian year runs 365 or 366 days, the last day of a
// year being Esfand 29 or 30 exactly as the leap test says, over 1300-1500 and beyond.
TEST(PersianDate, YearsAreContiguousAndLeapTellsTheTruth) {
    QDate day(1921, 3, 21);
    for (int year = 1300; year <= 1600; ++year) {
        ASSERT_EQ(FormatPersianDate(PersianDateOf(day)), QStringLiteral("%1/01/01").arg(year));
        const bool leap = gc::IsPersianLeap(persianYear(year));
        const QDate end = day.addDays(leap ? 365 : 364);
        const TPersianDate last = PersianDateOf(end);
        ASSERT_EQ(last.PYear, year);
        ASSERT_EQ(last.PMonth, 12);
        ASSERT_EQ(last.PDay, leap ? 30 : 29) << year;
        day = end.addDays(1);
    }
}

TEST(PersianDate, LeapYearRules) {
    for (int y : {1399, 1403, 1408, 1412, 1416, 1420})
        EXPECT_TRUE(gc::IsPersianLeap(persianYear(y))) << y;
    for (int y : {1400, 1401, 1402, 1404, 1407, 1411})
        EXPECT_FALSE(gc::IsPersianLeap(persianYear(y))) << y;

    EXPECT_TRUE(gc::IsGregorianLeap(gregorian(2024, 1, 1)));
    EXPECT_TRUE(gc::IsGregorianLeap(gregorian(2000, 1, 1)));
    EXPECT_FALSE(gc::IsGregorianLeap(gregorian(2100, 1, 1)));
    EXPECT_FALSE(gc::IsGregorianLeap(gregorian(2023, 1, 1)));
}

TEST(PersianDate, GregorianDayOfYear) {
    EXPECT_EQ(gc::GregorianDayOfYear(gregorian(2023, 1, 1)), 1);
    EXPECT_EQ(gc::GregorianDayOfYear(gregorian(2023, 3, 20)), 79);
    EXPECT_EQ(gc::GregorianDayOfYear(gregorian(2024, 3, 20)), 80);
    EXPECT_EQ(gc::GregorianDayOfYear(gregorian(2024, 12, 31)), 366);
    EXPECT_EQ(gc::GregorianDayOfYear(gregorian(2100, 3, 1)), 60);
    EXPECT_EQ(gc::GregorianDayOfYear(gregorian(2023, 2, 29)), 0);
}

TEST(PersianDate, RefusesWhatItCannotConvert) {
    for (TPersianDate d : {gregorian(2023, 2, 29), gregorian(2023, 13, 1), gregorian(2023, 0, 1),
                           gregorian(5000, 1, 1), gregorian(0, 1, 1)}) {
        EXPECT_FALSE(gc::GregorianToPersian(d));
        EXPECT_EQ(d.PYear, 0);
        EXPECT_EQ(d.PMonth, 0);
        EXPECT_EQ(d.PDay, 0);
    }
    EXPECT_EQ(PersianDateOf(QDate()).PYear, 0);
}

TEST(PersianDate, FormatPadsMonthAndDayOnly) {
    TPersianDate d;
    d.PYear = 1403;
    d.PMonth = 1;
    d.PDay = 9;
    EXPECT_EQ(FormatPersianDate(d), "1403/01/09");
    d.PYear = 999;
    d.PMonth = 12;
    d.PDay = 30;
    EXPECT_EQ(FormatPersianDate(d), "999/12/30");
}

// The program-wide value keeps the last refresh until the next one.
TEST(PersianDate, CurrentDateFollowsTheClockOnRefreshOnly) {
    gc::test::FakeClock clock;
    gc::CurrentPersianDate current(clock);
    EXPECT_EQ(current.PersianDate().PYear, 0);

    clock.set(QDateTime(QDate(2025, 3, 20), QTime(23, 59, 59)));
    EXPECT_EQ(current.todayText(), "1403/12/30");
    EXPECT_EQ(current.PersianDate().GYear, 2025);
    EXPECT_EQ(current.PersianDate().GMonth, 3);
    EXPECT_EQ(current.PersianDate().GDay, 20);

    clock.set(QDateTime(QDate(2025, 3, 21), QTime(0, 0)));
    EXPECT_EQ(FormatPersianDate(current.PersianDate()), "1403/12/30");
    EXPECT_EQ(current.PersianToday().PDay, 1);
    EXPECT_EQ(FormatPersianDate(current.PersianDate()), "1404/01/01");
    EXPECT_EQ(FormatPersianDate(gc::PersianToday(clock)), "1404/01/01");
}
