#pragma once

#include <QString>
#include <QTemporaryDir>

namespace gctest {

// A fresh, empty database for one test, on either engine, reached through the
// program's own connection-string texts.
enum class Backend { SQLite, PostgreSQL };

QString backendName(Backend b);

// True when the throwaway PostgreSQL server of this test run is up.
bool postgresAvailable();

// Creates a new empty database and returns its connection string.
// SQLite: a file in a temporary folder that lives as long as the process.
// PostgreSQL: a new database on the test server, "SQL Server" authentication form.
QString freshDatabase(Backend b);

// host,port of the test server (empty when not running).
QString postgresDataSource();

// A file database in write-ahead-log mode as another program leaves it when it stops: the
// statements' rows still in its -wal beside it, which the sqlite3 client writes. False when
// the client failed.
bool leaveFileWithLog(const QString& path, const QString& sql);

// A file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

} // namespace gctest
