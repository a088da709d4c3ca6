#pragma once

#include "platform/clock/clock.h"

#include <QString>
#include <cstdint>

// Solar Hijri (Persian) dates as the program stores them: "yyyy/mm/dd" texts.
// The conversion follows the official calendar through the break-year rule, valid
// for Persian years 1 to 3177 (Gregorian 622 to 3798).
namespace gc {

struct TPersianDate {
    std::uint16_t GYear = 0;
    std::uint16_t GMonth = 0;
    std::uint16_t GDay = 0;
    std::uint16_t PYear = 0;
    std::uint16_t PMonth = 0;
    std::uint16_t PDay = 0;
};

// A value with the Gregorian fields of `date` and its Persian fields filled.
TPersianDate PersianDateOf(const QDate& date);

// Fills PYear, PMonth, PDay from GYear, GMonth, GDay. Returns false, and leaves the
// Persian fields zero, when the Gregorian date is not a real date or lies outside
// the supported range.
bool GregorianToPersian(TPersianDate& date);

// The Gregorian date of Persian `day`/`month`/`year`; invalid when that is no real Persian
// date (day 31 of months 7 to 12, day 30 of month 12 in a common year) or lies outside the
// supported range.
QDate GregorianOfPersian(int year, int month, int day);

// "yyyy/mm/dd": month and day zero-padded to two digits, the year unpadded.
QString FormatPersianDate(const TPersianDate& date);

// Whether PYear has 366 days (Esfand has 30 days).
bool IsPersianLeap(const TPersianDate& date);

// Whether GYear has a February 29 (the full Gregorian rule, centuries included).
bool IsGregorianLeap(const TPersianDate& date);

// 1 for January 1; 0 when the Gregorian fields are not a real date.
int GregorianDayOfYear(const TPersianDate& date);

// Today's date from `clock`, both calendars filled.
TPersianDate PersianToday(const platform::Clock& clock);

// The one program-wide current date: created once at start-up and shared by
// reference, so every caller sees the most recent refresh.
class CurrentPersianDate {
  public:
    explicit CurrentPersianDate(const platform::Clock& clock) : clock_(clock) {}

    // Reads the clock and refreshes PersianDate().
    const TPersianDate& PersianToday();

    // The date of the most recent refresh; zero-filled before the first.
    const TPersianDate& PersianDate() const { return date_; }

    // PersianToday followed by FormatPersianDate: today's "yyyy/mm/dd".
    QString todayText();

  private:
    const platform::Clock& clock_;
    TPersianDate date_;
};

} // namespace gc
