#pragma once

#include "bench/support/bench_support.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>

// The two engines a database benchmark runs on: the file database, and a throwaway
// PostgreSQL server started with the tests' own script (initdb into a temporary folder).
namespace gcbench {

enum class Engine { SQLite, PostgreSQL };

inline const char* engineName(Engine e) {
    return e == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

class ThrowawayPostgres {
  public:
    ThrowawayPostgres() {
        // The server runs as another user when the benchmark runs as root.
        QFile::setPermissions(dir_.path(),
                              QFile::permissions(dir_.path()) | QFile::ReadOther | QFile::ExeOther);
        QProcess p;
        p.start(GC_PGSERVER_SCRIPT, {"start", dir_.filePath("pg")});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            error_ = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
            if (error_.isEmpty())
                error_ = "the server did not start";
            failed_ = serverMissing(error_);
            return;
        }
        QFile f(dir_.filePath("pg/port"));
        if (f.open(QIODevice::ReadOnly))
            port_ = QString::fromLatin1(f.readAll()).trimmed();
        std::fprintf(stderr, "Throwaway PostgreSQL server on port %s\n", qPrintable(port_));
    }
    ~ThrowawayPostgres() {
        if (!port_.isEmpty())
            QProcess::execute(GC_PGSERVER_SCRIPT, {"stop", dir_.filePath("pg")});
    }
    ThrowawayPostgres(const ThrowawayPostgres&) = delete;
    ThrowawayPostgres& operator=(const ThrowawayPostgres&) = delete;

    bool available() const { return !port_.isEmpty(); }
    // The server did not start and going on without it was not asked for: the run fails.
    bool failed() const { return failed_; }
    const QString& error() const { return error_; }

    // A new empty database, as the program's connection string ("SQL Server" authentication).
    QString createDatabase() {
        const QString name = "b_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
        {
            auto admin = QSqlDatabase::addDatabase("QPSQL", "gcbench_admin");
            admin.setHostName("127.0.0.1");
            admin.setPort(port_.toInt());
            admin.setUserName("gc");
            admin.setDatabaseName("postgres");
            if (!admin.open() || !QSqlQuery(admin).exec("create database " + name))
                qFatal("cannot create the benchmark database: %s",
                       qPrintable(admin.lastError().text()));
            admin.close();
        }
        QSqlDatabase::removeDatabase("gcbench_admin");
        return "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;"
               "Initial Catalog=" +
               name + ";Data Source=127.0.0.1," + port_;
    }

  private:
    QTemporaryDir dir_;
    QString port_;
    QString error_;
    bool failed_ = false;
};

} // namespace gcbench
