#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;

namespace gc::db {

// The file database's own file, before and while SQLite holds it. Each throws DbError with the
// path in its message.

// The engine's own handle of a file database opened through Qt's driver; null for another
// driver.
sqlite3* engineHandle(const QSqlDatabase& db);

// Refuses what a database cannot be, before anything opens it: a directory, a device, a
// socket, a FIFO (SQLite's read-only open of one waits for a writer for ever). A missing path
// and a link to nothing pass: the file is made there.
void refuseUnlessRegularFile(const QString& path);

// Makes a new, empty file readable by its owner only (it holds the users' passwords), also
// where the path is a link to a file not made yet; SQLite gives the file's -wal and -shm the
// same mode.
void createPrivateFile(const QString& path);

// Whether a write-ahead log with rows in it lies beside the file (looked at without opening).
bool holdsLog(const QString& path);

// SQLite copies a write-ahead log into its file and deletes it when the last connection to the
// file closes. A file that is not yet the program's own, found with rows in its log, keeps the
// log and its bytes as they were: `keep` until the file is taken as the program's own. Without
// rows there is nothing to copy, and the empty log SQLite made for the reads goes.
void keepLogOnClose(const QSqlDatabase& db, bool keep);

} // namespace gc::db
