#pragma once

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

// "Key=Value;Key=Value": keys compared without regard to case, values as written.
QMap<QString, QString> parseConnectionString(const QString& text);

// Throws DbError with a message for the user when the string names no supported provider.
ConnectionTarget connectionTarget(const QString& connectionString);

} // namespace gc::db
