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

} // namespace gctest
