#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace gc::db {
class Connection;
}

// The monthly personnel sheet: one line per day of a date range with the weekday and up to
// four entry and exit pairs of that day, built in memory so that workstations making sheets
// at the same time never see each other's lines.
namespace gc::registers::prs {

inline constexpr int kMaxSheetLines = 366;
inline constexpr int kSheetPairs = 4;

// 0 "شنبه" to 6 "جمعه"; empty outside 0 to 6.
QString WeekdayName(int weekday);

// The weekday of a real "yyyy/mm/dd" date by the calendar, 0 for Saturday.
std::optional<int> PersianWeekday(const QString& date);

// A typed answer to the weekday question: a whole number from 0 to 6 (Persian digits too).
std::optional<int> ParseWeekday(const QString& answer);

// The days from `from` to `to`, both included, or why there are none: a date that is not a
// real one, a range that runs backwards or one longer than 366 days.
struct SheetDays {
    QStringList days;
    QString error;
};
SheetDays SheetDayList(const QString& from, const QString& to);

// One person of the records, by card number and name as stored.
struct SheetPerson {
    QString card;
    QString name;
};

// The list's card and surname filters that are on, and the one person the sheet is for.
struct SheetFilter {
    std::optional<QString> card;
    std::optional<QString> surname;
    std::optional<SheetPerson> person = std::nullopt;
};

// Every record of the range in one statement, each day's in the order they were written.
QStringList SheetRecordsSql(const SheetFilter& filter, const QString& from, const QString& to);

struct SheetLine {
    QString roz;
    QString dat;
    std::array<QString, kSheetPairs> v; // entry times
    std::array<QString, kSheetPairs> e; // exit times
};

struct MonthlySheet {
    std::vector<SheetLine> lines;
    QStringList crowdedDays; // more than four records: the first four are on the sheet
    int persons = 0;         // different card and name pairs among the records
};

// One line per day of `days`, the first named `firstWeekday`, the records read once.
// Throws db::DbError.
MonthlySheet BuildMonthlySheet(db::Connection& connection, const SheetFilter& filter,
                               const QStringList& days, int firstWeekday);

// The sheet's columns, named as the stored sheet table names them, and a line's text in one.
const QStringList& SheetFields();
QString SheetText(const SheetLine& line, const QString& field);
// The export's header texts by column.
QList<QPair<QString, QString>> SheetCaptions();

// The weekday question of the print and of the export.
struct WeekdayQuestion {
    QString caption;
    QString prompt;
};
WeekdayQuestion PrintWeekdayQuestion(const QString& from);
WeekdayQuestion ExportWeekdayQuestion(const QString& from);

QString CrowdedDaysMessage(const QStringList& days);
QString SeveralPersonsMessage(int persons);

} // namespace gc::registers::prs
