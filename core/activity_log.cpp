#include "core/activity_log.h"

#include "core/current_user.h"
#include "core/persian_date.h"
#include "platform/db/query.h"
#include "platform/net/workstation.h"
#include "platform/text/codepage.h"

#include <QLocale>
#include <QTime>

namespace gc {

namespace {

// Drops the time-zone letters outside quoted literals, then any brackets and blanks
// they leave behind.
QString withoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    out.remove(QStringLiteral("()"));
    return out.trimmed();
}

QString fitted(const QString& text, int width) {
    QString out;
    for (const QChar c : text)
        out += codepage::toRepertoire(QString(c)).value_or(QStringLiteral("?"));
    return out.left(width);
}

} // namespace

ActivityLogEntry FitForLog(const ActivityLogEntry& entry) {
    // The widths of the log's columns.
    return {fitted(entry.karbar, 150), fitted(entry.ip, 20),     fitted(entry.computer_name, 50),
            fitted(entry.saat, 30),    fitted(entry.tarikh, 10), fitted(entry.cmt, 200)};
}

QString LongTimeText(const QTime& time, const QLocale& locale) {
    return locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

ActivityLogEntry ActivityLogEntryNow(const CurrentUser& user, platform::Workstation& workstation,
                                     CurrentPersianDate& date, const platform::Clock& clock,
                                     const QString& operation) {
    ActivityLogEntry e;
    e.karbar = user.name();
    e.ip = workstation.LocalIP();
    e.computer_name = workstation.IPAddrToName(e.ip);
    e.saat = LongTimeText(clock.now().time(), QLocale::system());
    e.tarikh = date.todayText();
    e.cmt = operation;
    return e;
}

void WriteActivityLog(db::Connection& connection, const ActivityLogEntry& logged) {
    const ActivityLogEntry entry = FitForLog(logged);
    db::Query q(connection, QStringLiteral("log_writer"));
    q.setSql(QStringLiteral("select * from log where id=-1"));
    q.open();
    q.append();
    q.fieldByName(QStringLiteral("karbar")).setAsString(entry.karbar);
    q.fieldByName(QStringLiteral("ip")).setAsString(entry.ip);
    q.fieldByName(QStringLiteral("computer_name")).setAsString(entry.computer_name);
    q.fieldByName(QStringLiteral("saat")).setAsString(entry.saat);
    q.fieldByName(QStringLiteral("tarikh")).setAsString(entry.tarikh);
    q.fieldByName(QStringLiteral("cmt")).setAsString(entry.cmt);
    q.post();
}

QString PhoneInsertOperation(const QString& name) {
    return QString::fromUtf8("ثبت دفترچه تلفن ") + name;
}

} // namespace gc
