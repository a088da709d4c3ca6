#pragma once

#include "platform/db/db_error.h"

#include <QMap>
#include <QString>

namespace gc::db {

enum class Engine { None, SQLite, PostgreSQL };

// The parts of a connection string that pick and reach an engine.
struct ConnectionTarget {
    Engine engine = Engine::None;
    QString provider;
    // SQLite: the database file. PostgreSQL: host, port (0 = default), database.
    QString file;
    QString host;
    int port = 0;
    QString database;
    QString user;
    QString password;
    bool integratedSecurity = false;
};

// "Key=Value;Key=Value": keys compared without regard to case, values as written. A value
// in double or single quotes may hold ';' and its own quote doubled.
QMap<QString, QString> parseConnectionString(const QString& text);

// A setting's value as a connection string holds it: unchanged when nothing in it could
// end the value or start a quoted one, else quoted, so that it never adds a keyword.
QString connectionStringValue(const QString& value);

// A server name the user typed that names no server, such as a port that is not a number:
// shown as it is, whatever else the connection's failures show.
class DataSourceError : public DbError {
  public:
    using DbError::DbError;
};

// Throws DbError with a message for the user when the string names no supported provider,
// and DataSourceError when its server name holds a port that is not one.
ConnectionTarget connectionTarget(const QString& connectionString);

} // namespace gc::db
