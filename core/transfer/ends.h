#pragma once

#include "platform/db/connection.h"

#include <QString>

namespace gc::transfer {

// Both databases of a run, opened on the calling thread: the source only to read from its
// first statement, the destination only once it is known to be another database. A
// destination file is made only when `create` says so; one that holds the program's tables
// gets the program's file settings. Throws DbError, with the refusal when both name the same
// database.
class Ends {
  public:
    Ends(const QString& source, const QString& destination, const QString& namePrefix,
         bool create = false);
    Ends(const Ends&) = delete;
    Ends& operator=(const Ends&) = delete;

    db::Connection source;
    db::Connection destination;

    // A place the user recognises: the file, or the database and its server.
    static QString describe(const QString& connectionString);
};

// The message for a destination that is the source itself.
QString sameDatabaseMessage();

// The message for a destination file that does not exist.
QString missingFileMessage(const QString& file);

// Whether a connection string names a database file that does not exist (yet).
bool destinationFileMissing(const QString& connectionString);

// Whether two paths name one file, whatever their spelling (links, relative parts).
bool sameFile(const QString& a, const QString& b);

// Whether two open PostgreSQL connections reach one database, whatever the host spelling.
bool sameServerDatabase(db::Connection& a, db::Connection& b);

} // namespace gc::transfer
