#pragma once

#include <QString>

class QSqlDatabase;

namespace gc::db {

// The file database's own file, before and while SQLite holds it. Each throws DbError with the
// path in its message.

// Refuses what a database cannot be, before anything opens it: a directory, a device, a
// socket, a FIFO (SQLite's read-only open of one waits for a writer for ever). A missing path
// and a link to nothing pass: the file is made there.
void refuseUnlessRegularFile(const QString& path);

// Makes a new, empty file readable by its owner only (it holds the users' passwords), also
// where the path is a link to a file not made yet; SQLite gives the file's -wal and -shm the
// same mode.
void createPrivateFile(const QString& path);

// SQLite copies a write-ahead log into its file and deletes it when the last connection to the
// file closes. A file that is not yet the program's own keeps its log and its bytes as they
// were: `keep` until the file is taken as the program's own.
void keepLogOnClose(const QSqlDatabase& db, bool keep);

} // namespace gc::db
