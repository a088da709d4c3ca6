#pragma once

#include <QString>

// The dates and times that a guard types into the masked inputs, checked where they are saved
// or searched: a real Solar Hijri day "yyyy/mm/dd", a time of day "hh:mm" from 00:00 to 23:59,
// or the blank mask, which means "not recorded yet".
namespace gc {

inline const QString kBlankDate = QStringLiteral("    /  /  ");
inline const QString kBlankTime = QStringLiteral("  :  ");

bool IsAcceptableDate(const QString& text);
bool IsAcceptableTime(const QString& text);

// The refusal of a date or time that is not acceptable, naming the field as its window labels it.
QString BadDateMessage(const QString& field, const QString& text);
QString BadTimeMessage(const QString& field, const QString& text);

} // namespace gc
