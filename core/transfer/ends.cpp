#include "core/transfer/ends.h"

#include "core/transfer/statements.h"
#include "platform/db/db_error.h"
#include "platform/text/bidi.h"

#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace gc::transfer {

QString sameDatabaseMessage() {
    return QString::fromUtf8(
        "بانک مقصد همان بانک اطلاعاتي است که برنامه به آن وصل است؛ انتقال انجام نشد");
}

QString missingFileMessage(const QString& file) {
    return QString::fromUtf8("فايل بانک اطلاعاتي «%1» وجود ندارد").arg(text::isolatedLtr(file));
}

bool destinationFileMissing(const QString& connectionString) {
    const db::ConnectionTarget t = db::connectionTarget(connectionString);
    return t.engine == db::Engine::SQLite && !t.file.isEmpty() && !QFileInfo::exists(t.file);
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (ca.isEmpty() || cb.isEmpty())
        return false;
    if (ca == cb)
        return true;
#ifdef Q_OS_UNIX
    struct stat sa {};
    struct stat sb {};
    if (::stat(ca.toLocal8Bit().constData(), &sa) == 0 &&
        ::stat(cb.toLocal8Bit().constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
    return false;
}

// An advisory lock belongs to one database of one server: when the second connection
// cannot take the lock the first holds, both reach the same database.
bool sameServerDatabase(db::Connection& a, db::Connection& b) {
    const QString key = QString::number(qint64(QRandomGenerator::global()->generate64() >> 1));
    scalar(a, "select pg_advisory_lock(" + key + ")");
    const bool taken = scalar(b, "select pg_try_advisory_lock(" + key + ")").toBool();
    if (taken)
        scalar(b, "select pg_advisory_unlock(" + key + ")");
    scalar(a, "select pg_advisory_unlock(" + key + ")");
    return !taken;
}

Ends::Ends(const QString& sourceString, const QString& destinationString, const QString& namePrefix,
           bool create)
    : source(namePrefix + "_source"), destination(namePrefix + "_destination") {
    const db::ConnectionTarget from = db::connectionTarget(sourceString);
    const db::ConnectionTarget to = db::connectionTarget(destinationString);
    if (from.engine == db::Engine::SQLite && to.engine == db::Engine::SQLite &&
        sameFile(from.file, to.file))
        throw db::DbError(sameDatabaseMessage());
    source.setConnectionString(sourceString);
    source.setReadOnly(true);
    source.open();
    if (!create && destinationFileMissing(destinationString))
        throw db::DbError(missingFileMessage(to.file));
    destination.setConnectionString(destinationString);
    destination.open();
    if (destination.tableInfo("users"))
        destination.useAsOwnFile();
    if (from.engine == db::Engine::PostgreSQL && to.engine == db::Engine::PostgreSQL &&
        sameServerDatabase(source, destination))
        throw db::DbError(sameDatabaseMessage());
}

QString Ends::describe(const QString& connectionString) {
    const db::ConnectionTarget t = db::connectionTarget(connectionString);
    // Set apart, so that a path or a host name reads left to right inside Persian questions.
    if (t.engine == db::Engine::SQLite)
        return text::isolatedLtr(t.file);
    return QString::fromUtf8("%1 روي %2")
        .arg(text::isolatedLtr(t.database),
             text::isolatedLtr(t.host.isEmpty() ? QStringLiteral("localhost") : t.host));
}

} // namespace gc::transfer
