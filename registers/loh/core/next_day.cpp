#include "registers/loh/core/next_day.h"

#include "core/persian_date.h"

#include <QRegularExpression>

namespace gc::registers {

namespace {

int monthLength(int year, int month) {
    if (month <= 6)
        return 31;
    if (month <= 11)
        return 30;
    TPersianDate d;
    d.PYear = std::uint16_t(year);
    return IsPersianLeap(d) ? 30 : 29;
}

} // namespace

std::optional<QString> NextPersianDay(const QString& date) {
    static const QRegularExpression shape(QStringLiteral("^([0-9]{4})/([0-9]{2})/([0-9]{2})$"));
    const QRegularExpressionMatch m = shape.match(date);
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(1).toInt();
    int month = m.captured(2).toInt();
    int day = m.captured(3).toInt();
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > monthLength(year, month))
        return std::nullopt;
    if (++day > monthLength(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    if (year > 9999)
        return std::nullopt;
    return QStringLiteral("%1/%2/%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

} // namespace gc::registers
