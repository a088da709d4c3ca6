#include "support/test_db.h"

#include "support/spawn.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

namespace gctest {

namespace {

QString pgPort() {
    const QString dir = qEnvironmentVariable("GC_PG_DIR");
    if (dir.isEmpty())
        return {};
    QFile f(dir + "/port");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).trimmed();
}

QTemporaryDir& tempDir() {
    static QTemporaryDir dir;
    return dir;
}

QString createPgDatabase() {
    const QString name = "t_" + QUuid::createUuid().toString(QUuid::Id128).left(16);
    {
        auto admin = QSqlDatabase::addDatabase("QPSQL", "gctest_admin_" + name);
        admin.setHostName("127.0.0.1");
        admin.setPort(pgPort().toInt());
        admin.setUserName("gc");
        admin.setDatabaseName("postgres");
        if (!admin.open())
            throw std::runtime_error(admin.lastError().text().toStdString());
        QSqlQuery q(admin);
        if (!q.exec("create database " + name))
            throw std::runtime_error(q.lastError().text().toStdString());
        admin.close();
    }
    QSqlDatabase::removeDatabase("gctest_admin_" + name);
    return "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial Catalog=" +
           name + ";Data Source=" + postgresDataSource() + ";Workstation ID=TEST";
}

} // namespace

QString backendName(Backend b) {
    return b == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

bool postgresAvailable() {
    return !pgPort().isEmpty();
}

QString postgresDataSource() {
    const QString port = pgPort();
    return port.isEmpty() ? QString() : "127.0.0.1," + port;
}

QString freshDatabase(Backend b) {
    static QAtomicInt counter;
    if (b == Backend::PostgreSQL)
        return createPgDatabase();
    const QString path =
        tempDir().filePath(QString("db%1.accdb").arg(counter.fetchAndAddRelaxed(1)));
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

// The client's last connection would copy the log into the file as it closes; told not to, it
// leaves the log as a stopped program does.
bool leaveFileWithLog(const QString& path, const QString& sql) {
    const Ran ran = runProgram(
        "sqlite3", {path, ".dbconfig no_ckpt_on_close on", "pragma journal_mode=wal", sql});
    return ran.exitCode == 0 && QFileInfo(path + "-wal").size() > 0;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace gctest
