#pragma once

#include <QString>

class QLocale;
class QTime;

namespace gc {

class CurrentPersianDate;
class CurrentUser;
namespace db {
class Connection;
}
namespace platform {
class Clock;
class Workstation;
} // namespace platform

// One row of table `log`; `saat_sys` is left to the database's default.
struct ActivityLogEntry {
    QString karbar;
    QString ip;
    QString computer_name;
    QString saat;
    QString tarikh;
    QString cmt;
};

// The time of day in the locale's long time format, without a time-zone part (the
// log column is short and the zone says nothing the server stamp does not).
QString LongTimeText(const QTime& time, const QLocale& locale);

// The entry for `operation` done now by the logged-in user on this workstation: its
// address, that address's host name (empty when none), the system locale's long
// time and today's Persian date, refreshed.
ActivityLogEntry ActivityLogEntryNow(const CurrentUser& user, platform::Workstation& workstation,
                                     CurrentPersianDate& date, const platform::Clock& clock,
                                     const QString& operation);

// The entry as the log's columns can take it: characters outside the code page become "?"
// and each value is cut to its column's width, so the log row never fails the operation it
// records.
ActivityLogEntry FitForLog(const ActivityLogEntry& entry);

// Appends the entry (fitted) to `log` through a query of its own, so that no shared query
// moves. Throws DbError; nothing is written then.
void WriteActivityLog(db::Connection& connection, const ActivityLogEntry& entry);

// The operation text of a phone-book insert.
QString PhoneInsertOperation(const QString& name);

} // namespace gc
