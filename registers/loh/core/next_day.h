#pragma once

#include <QString>
#include <optional>

namespace gc::registers {

// The day after `date` ("yyyy/mm/dd") in the Persian calendar: months 1 to 6 have 31 days,
// 7 to 11 have 30, and month 12 has 30 in a leap year and 29 otherwise. nullopt when the
// text is blank, partly typed or not a real date.
std::optional<QString> NextPersianDay(const QString& date);

} // namespace gc::registers
