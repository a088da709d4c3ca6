// Several copies of the program on one database file, as on a guard post's machine with
// two sessions: every row that a copy reported saved must be in the file afterwards.
#include "platform/db/connection.h"

#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using gc::db::Connection;

namespace {

// One db_writer process and the ids it reported saved.
class Writer {
  public:
    Writer(const QString& connectionString, const QString& who, int count, int pauseMs)
        : who_(who) {
        process_.start(GC_DB_WRITER,
                       {connectionString, who, QString::number(count), QString::number(pauseMs)});
    }
    ~Writer() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    const QString& who() const { return who_; }
    const QList<qint64>& ids() {
        read();
        return ids_;
    }
    // Until the writer reported `n` ids in all; false when it stopped first.
    bool waitForIds(qsizetype n) {
        while (ids().size() < n) {
            if (process_.state() == QProcess::NotRunning)
                return false;
            process_.waitForReadyRead(200);
        }
        return true;
    }
    // A normal end: the process exits by itself with status 0 (a writer without a count
    // once its input is closed).
    bool finished() {
        process_.closeWriteChannel();
        const bool ok = process_.waitForFinished(60000) &&
                        process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        read();
        return ok;
    }
    // The end of a crash: SIGKILL, no clean-up of any kind.
    void kill() {
        process_.kill();
        process_.waitForFinished();
        read();
    }
    QString errors() { return QString::fromUtf8(process_.readAllStandardError()); }

  private:
    void read() {
        pending_ += process_.readAllStandardOutput();
        qsizetype eol;
        while ((eol = pending_.indexOf('\n')) >= 0) {
            ids_ << pending_.left(eol).toLongLong();
            pending_.remove(0, eol + 1);
        }
    }
    QString who_;
    QProcess process_;
    QByteArray pending_;
    QList<qint64> ids_;
};

// The sqlite3 tool's answer, trimmed: an oracle independent of the program's layer.
QString sqlite3(const QString& file, const QString& sql) {
    QProcess p;
    p.start("sqlite3", {file, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString fileConnection(const QString& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

// A writer keeps saving while two others open the file, save 40 rows each and exit, and
// then a fourth does the same; the first writer saves 20 more and either ends normally or
// is killed.
void runCopies(bool killFirst) {
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.accdb");
    {
        Connection setup("setup");
        setup.setConnectionString(fileConnection(path));
        setup.open();
        setup.execute("create table w (id int identity primary key, who nvarchar(10), n int)");
    }
    Writer first(fileConnection(path), "first", 0, 5);
    ASSERT_TRUE(first.waitForIds(20)) << first.errors().toStdString();
    Writer second(fileConnection(path), "second", 40, 0);
    Writer third(fileConnection(path), "third", 40, 0);
    ASSERT_TRUE(second.finished()) << second.errors().toStdString();
    ASSERT_TRUE(third.finished()) << third.errors().toStdString();
    EXPECT_EQ(second.ids().size(), 40);
    EXPECT_EQ(third.ids().size(), 40);
    ASSERT_TRUE(first.waitForIds(first.ids().size() + 20)) << first.errors().toStdString();
    Writer fourth(fileConnection(path), "fourth", 40, 0);
    ASSERT_TRUE(fourth.finished()) << fourth.errors().toStdString();
    ASSERT_TRUE(first.waitForIds(first.ids().size() + 20)) << first.errors().toStdString();
    if (killFirst)
        first.kill();
    else
        ASSERT_TRUE(first.finished()) << first.errors().toStdString();

    QHash<qint64, QString> stored;
    for (const QString& line : sqlite3(path, "select id || '|' || who from w").split('\n')) {
        const QStringList parts = line.split('|');
        stored.insert(parts.value(0).toLongLong(), parts.value(1));
    }
    qsizetype reported = 0;
    for (Writer* w : {&first, &second, &third, &fourth}) {
        QStringList lost; // missing, or another copy's row under the same id
        for (const qint64 id : w->ids())
            if (stored.value(id) != w->who())
                lost << QString::number(id);
        reported += w->ids().size();
        EXPECT_TRUE(lost.isEmpty())
            << w->who().toStdString()
            << " reported saved, not stored: " << lost.join(' ').toStdString();
    }
    // A killed copy may have saved one row that it had no time to report.
    EXPECT_GE(stored.size(), reported);
    EXPECT_LE(stored.size(), reported + (killFirst ? 1 : 0));
    EXPECT_EQ(sqlite3(path, "PRAGMA integrity_check"), "ok");
}

TEST(SharedFile, EveryRowReportedSavedIsThereWhenTheFirstCopyEnds) {
    runCopies(false);
}

TEST(SharedFile, EveryRowReportedSavedIsThereWhenTheFirstCopyIsKilled) {
    runCopies(true);
}

} // namespace
