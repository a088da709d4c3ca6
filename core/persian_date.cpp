#include "core/persian_date.h"

#include <array>
#include <optional>

namespace gc {

namespace {

constexpr std::array<int, 12> kGregorianMonthDays = {31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};

// Esfand gets its 30th day in a leap year.
constexpr std::array<int, 12> kPersianMonthDays = {31, 31, 31, 31, 31, 31, 30, 30, 30, 30, 30, 29};

// Persian years at which the pattern of leap years in the 33-year cycles shifts
// (the published break-year rule); the last entry ends the supported range.
constexpr std::array<int, 20> kBreaks = {-61,  9,    38,   199,  426,  686,  756,
                                         818,  1111, 1181, 1210, 1635, 2060, 2097,
                                         2192, 2262, 2324, 2394, 2456, 3178};

constexpr int kFirstYear = 1;
constexpr int kLastYear = kBreaks.back() - 1;

constexpr int floorDiv(int a, int b) {
    return (a - (((a % b) + b) % b)) / b;
}
constexpr int floorMod(int a, int b) {
    return ((a % b) + b) % b;
}

constexpr bool gregorianLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

constexpr int gregorianYearDays(int year) {
    return gregorianLeap(year) ? 366 : 365;
}

struct SolarYear {
    bool leap;
    int nowruzDayOfYear; // Gregorian day of year (in Persian year + 621) of 1 Farvardin
};

std::optional<SolarYear> solarYear(int year) {
    if (year < kFirstYear || year > kLastYear)
        return std::nullopt;

    // Leap days counted since the first break, up to the cycle holding `year`.
    int leapDays = -14;
    int start = kBreaks[0];
    int jump = 0;
    for (std::size_t i = 1; i < kBreaks.size(); ++i) {
        jump = kBreaks[i] - start;
        if (year < kBreaks[i])
            break;
        leapDays += floorDiv(jump, 33) * 8 + floorDiv(floorMod(jump, 33), 4);
        start = kBreaks[i];
    }
    int n = year - start;
    leapDays += floorDiv(n, 33) * 8 + floorDiv(floorMod(n, 33) + 3, 4);
    if (floorMod(jump, 33) == 4 && jump - n == 4)
        ++leapDays;

    const int gYear = year + 621;
    const int gregorianLeapDays =
        floorDiv(gYear, 4) - floorDiv((floorDiv(gYear, 100) + 1) * 3, 4) - 150;
    const int marchDay = 20 + leapDays - gregorianLeapDays;

    if (jump - n < 6)
        n = n - jump + floorDiv(jump + 4, 33) * 33;
    const int position = floorMod(floorMod(n + 1, 33) - 1, 4);

    const int daysBeforeMarch = 59 + (gregorianLeap(gYear) ? 1 : 0);
    return SolarYear{position == 0, daysBeforeMarch + marchDay};
}

bool validGregorian(const TPersianDate& d) {
    if (d.GMonth < 1 || d.GMonth > 12 || d.GDay < 1)
        return false;
    const int length =
        kGregorianMonthDays[d.GMonth - 1] + (d.GMonth == 2 && gregorianLeap(d.GYear) ? 1 : 0);
    return d.GDay <= length;
}

} // namespace

bool IsGregorianLeap(const TPersianDate& date) {
    return gregorianLeap(date.GYear);
}

bool IsPersianLeap(const TPersianDate& date) {
    const auto info = solarYear(date.PYear);
    return info && info->leap;
}

int GregorianDayOfYear(const TPersianDate& date) {
    if (!validGregorian(date))
        return 0;
    int day = date.GDay;
    for (int m = 1; m < date.GMonth; ++m)
        day += kGregorianMonthDays[m - 1] + (m == 2 && IsGregorianLeap(date) ? 1 : 0);
    return day;
}

bool GregorianToPersian(TPersianDate& date) {
    date.PYear = date.PMonth = date.PDay = 0;
    const int dayOfYear = GregorianDayOfYear(date);
    if (dayOfYear == 0)
        return false;

    int year = date.GYear - 621;
    const auto current = solarYear(year);
    if (!current)
        return false;
    int n; // days since 1 Farvardin, 0-based
    if (dayOfYear >= current->nowruzDayOfYear) {
        n = dayOfYear - current->nowruzDayOfYear;
    } else {
        --year;
        const auto previous = solarYear(year);
        if (!previous)
            return false;
        n = gregorianYearDays(date.GYear - 1) - previous->nowruzDayOfYear + dayOfYear;
    }

    int month = 1;
    while (n >= kPersianMonthDays[month - 1] && month < 12) {
        n -= kPersianMonthDays[month - 1];
        ++month;
    }
    date.PYear = static_cast<std::uint16_t>(year);
    date.PMonth = static_cast<std::uint16_t>(month);
    date.PDay = static_cast<std::uint16_t>(n + 1);
    return true;
}

QDate GregorianOfPersian(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1)
        return {};
    const auto info = solarYear(year);
    if (!info)
        return {};
    const int length = month == 12 && info->leap ? 30 : kPersianMonthDays[month - 1];
    if (day > length)
        return {};
    int offset = day - 1;
    for (int m = 1; m < month; ++m)
        offset += kPersianMonthDays[m - 1];
    return QDate(year + 621, 1, 1).addDays(info->nowruzDayOfYear - 1 + offset);
}

TPersianDate PersianDateOf(const QDate& date) {
    TPersianDate value;
    if (date.isValid() && date.year() > 0 && date.year() <= 0xFFFF) {
        value.GYear = static_cast<std::uint16_t>(date.year());
        value.GMonth = static_cast<std::uint16_t>(date.month());
        value.GDay = static_cast<std::uint16_t>(date.day());
        GregorianToPersian(value);
    }
    return value;
}

QString FormatPersianDate(const TPersianDate& date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.PYear)
        .arg(date.PMonth, 2, 10, QLatin1Char('0'))
        .arg(date.PDay, 2, 10, QLatin1Char('0'));
}

TPersianDate PersianToday(const platform::Clock& clock) {
    return PersianDateOf(clock.now().date());
}

const TPersianDate& CurrentPersianDate::PersianToday() {
    date_ = gc::PersianToday(clock_);
    return date_;
}

QString CurrentPersianDate::todayText() {
    return FormatPersianDate(PersianToday());
}

} // namespace gc
