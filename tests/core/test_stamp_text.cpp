#include "core/stamp_text.h"

#include <QCalendar>
#include <gtest/gtest.h>

using namespace gc;

namespace {

QString dateText(int y, int m, int d) {
    return QStringLiteral("%1/%2/%3")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

} // namespace

// Qt's Jalali calendar agrees with the official one over these years: every text the masks can
// hold for a month and day is a date exactly when the oracle says so.
TEST(StampText, DatesAreThoseOfTheCalendar1300To1434) {
    const QCalendar jalali(QCalendar::System::Jalali);
    for (int y = 1300; y <= 1434; ++y)
        for (int m = 0; m <= 13; ++m)
            for (int d = 0; d <= 32; ++d)
                ASSERT_EQ(IsAcceptableDate(dateText(y, m, d)), jalali.isDateValid(y, m, d))
                    << dateText(y, m, d).toStdString();
}

TEST(StampText, PartlyTypedOrImpossibleDatesAreRefusedAndTheBlankIsNot) {
    EXPECT_TRUE(IsAcceptableDate(kBlankDate));
    EXPECT_TRUE(IsAcceptableDate("1403/12/30")); // a leap year
    for (const char* bad : {"1404/12/30", "1403/07/31", "1403/13/01", "1403/00/10", "1403/01/00",
                            "14  /  /  ", "1403/01/0 ", " 403/01/01", "1403/ 1/01", "0000/01/01",
                            "", "1403-01-01", "1403/01/01 ", "۱۴۰۳/۰۱/۰۱"})
        EXPECT_FALSE(IsAcceptableDate(QString::fromUtf8(bad))) << bad;
}

TEST(StampText, TimesRunFromMidnightToOneMinuteBefore) {
    EXPECT_TRUE(IsAcceptableTime(kBlankTime));
    for (const char* good : {"00:00", "09:05", "12:30", "19:59", "23:59"})
        EXPECT_TRUE(IsAcceptableTime(good)) << good;
    for (const char* bad :
         {"24:00", "25:61", "99:99", "7 :  ", " 7:30", "07:3 ", "12:60", "", "1230", "12:30:00"})
        EXPECT_FALSE(IsAcceptableTime(bad)) << bad;
}

TEST(StampText, RefusalsNameTheFieldAndWhatWasTyped) {
    const QString date = BadDateMessage("تاريخ خروج", "1404/12/30");
    EXPECT_TRUE(date.startsWith("«تاريخ خروج»")) << date.toStdString();
    EXPECT_TRUE(date.contains("«1404/12/30»"));
    const QString time = BadTimeMessage("ساعت ورود", "7 :  ");
    EXPECT_TRUE(time.startsWith("«ساعت ورود»"));
    EXPECT_TRUE(time.contains("«7 :  »"));
    EXPECT_TRUE(time.contains("23:59"));
}
