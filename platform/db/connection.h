#pragma once

#include "platform/db/connection_string.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVector>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QSqlError;
class QSqlQuery;

namespace gc::db {

class ServerWatch;

enum class FieldKind { Text, Integer, AutoInc, Float, Boolean, Blob, DateTime };

struct ColumnInfo {
    QString name;
    FieldKind kind = FieldKind::Text;
    int width = 0; // characters, for text columns; 0 = unbounded
};

struct TableInfo {
    QString name;
    QVector<ColumnInfo> columns;
    QString keyColumn; // the auto-numbered key, empty when the table has none
    const ColumnInfo* column(const QString& name) const;
};

// Marks a wait for the server while it lives (see ServerWatch); nothing on the file database.
class ServerWait {
  public:
    explicit ServerWait(ServerWatch* watch) : watch_(watch) {}
    ~ServerWait();
    ServerWait(const ServerWait&) = delete;
    ServerWait& operator=(const ServerWait&) = delete;

  private:
    ServerWatch* watch_;
};

// The shared database connection. Its connection string is the program's own text;
// the provider named in it picks the engine.
//
// The file database: never open and close the SQLite file, or its -wal and -shm, with a
// descriptor of our own while any connection to it is open in this process. On POSIX
// systems closing any descriptor of a file drops every lock the process holds on it;
// SQLite then loses its lock, another process takes itself for the last user and deletes
// the write-ahead log under us, and committed rows vanish. Look at a file before SQLite
// opens it, or through SQLite.
class Connection {
  public:
    explicit Connection(const QString& name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& name() const { return name_; }
    QString connectionString() const { return connectionString_; }
    void setConnectionString(const QString& text) { connectionString_ = text; }
    // Set before open: the database is only read. A missing file is an error instead of a
    // new file, and nothing is written, not even the file's journal mode.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // A read-only file that could not be shared (on read-only media SQLite cannot make its
    // -shm beside it) was opened as a snapshot: read as it is, without locks, so a change
    // made to it meanwhile is not seen.
    bool readAsSnapshot() const { return snapshot_; }

    // Throws DbError. Gives up within 15 seconds on an unreachable server, and on a server
    // that sends nothing as long while it is waited for.
    void open();
    void close();
    bool connected() const;
    // Called before each user action (save, search, poll): a server connection that was
    // lost is opened again, once, within the same 15 seconds. Inside a transaction nothing
    // is reopened; its statements fail instead. Throws DbError when it cannot reopen.
    void revive();
    // revive(), then throws DbError when there is no connection at all (never opened, or
    // closed): what every read and write needs before it starts.
    void reviveOpen();
    // The file holds the program's tables, or has just been given them: it gets the program's
    // own settings (the write-ahead log, copied into the file as the last connection closes).
    // Another program's file, a file whose set-up was declined and a read-only connection are
    // left byte for byte as they are, their write-ahead log too; a file the connection made
    // itself has them from its start. Nothing for a server.
    void useAsOwnFile();
    Engine engine() const { return engine_; }
    QSqlDatabase database() const;

    // Runs a statement that returns no rows, translated for the engine; returns the
    // number of rows it changed. On the server, outside a transaction, it is a save of its
    // own (saveAtomically): no write is left to the server's own commit. Throws DbError.
    int execute(const QString& sql);

    // Every call that may wait for the server runs while a ServerWait of its connection
    // lives, so that the watch gives up on a silent server and on nothing else. A wait looks
    // nothing up and makes no system call; a read loop marks one wait around all its rows.
    // Statements run through db::Statement, which marks each of its calls and its end.
    ServerWait serverWait();
    // A Statement's end: its query goes while a wait is marked, at once, or inside a
    // transaction on the server when the transaction ends.
    void endStatement(std::unique_ptr<QSqlQuery> query);

    // Runs the statements of one save. On the server they are a transaction of their own
    // (within an open transaction they are part of it), committed as commit() does.
    // Throws DbError.
    void saveAtomically(const std::function<void()>& write);

    void beginTransaction();
    // A transaction that holds the right to write `table` from its start, so that a check
    // and the write that follows it cannot interleave with another workstation's.
    void beginWriteTransaction(const QString& table);
    // On the server, when the answer to the commit never comes, the earlier server process
    // is ended and the transaction's outcome asked over a new connection: a commit the
    // server made stands; one it cannot have made is reported not done; otherwise the error
    // says the outcome is not known. All of it within kOutcomeLimit. Throws DbError.
    void commit();
    void rollback();

    // The longest a save waits for the server before the guard is told its outcome: the
    // watch's limit of silence, its ending of the server process, and the look-up.
    static constexpr std::chrono::seconds kOutcomeLimit{20};

    // Column metadata, cached; nullptr when the table does not exist. Throws DbError when
    // the engine fails to answer.
    const TableInfo* tableInfo(const QString& table);
    QStringList tables();
    void forgetSchema() { tableCache_.clear(); }

    // The collation text sorts and compares by in Persian alphabetical order (empty: the
    // column's own), and the text columns left to it: dates and times, whose fixed digits
    // sort alike either way and whose indexes then serve their order.
    QString textCollation() const { return textCollation_; }
    void setBytewiseColumns(const QStringList& columns);
    bool sortsAsBytes(const QString& column) const;

    // The user-facing text of an engine error.
    QString errorMessage(const QSqlError& error) const;
    // The same, for a statement that writes or locks the whole `table`: a lock that ran out
    // names the table rather than a record.
    QString errorMessage(const QSqlError& error, const QString& table) const;

  private:
    void openSqlite(const ConnectionTarget& t);
    void openPostgres(const ConnectionTarget& t);
    void openSnapshot(QSqlDatabase& db, const QString& file);
    static void applyOwnFileSettings(QSqlDatabase& db);
    bool serverLost() const;
    bool cut() const;
    void watchServer();
    void startServerSession(QSqlDatabase& db);
    void reopen(int connectTimeout);
    void endParkedStatements();
    // The server's own transaction, known before its commit: its id and its server process.
    struct ServerTransaction {
        qint64 id = 0;
        int serverPid = 0;
    };
    ServerTransaction noteTransaction();
    void commitLookingUp();
    void runInFileTransaction(const std::function<void()>& write);
    QString transactionOutcome(const ServerTransaction& transaction);
    void endEarlierServerProcess(int serverPid);
    TableInfo loadTableInfo(const QString& table);

    QString name_;
    QString connectionString_;
    Engine engine_ = Engine::None;
    bool inTransaction_ = false;
    std::vector<std::unique_ptr<QSqlQuery>> parked_; // statements ended with the transaction
    bool readOnly_ = false;
    bool snapshot_ = false;
    QHash<QString, TableInfo> tableCache_;
    std::unique_ptr<ServerWatch> watch_;
    QString textCollation_;
    QSet<QString> bytewise_;
};

} // namespace gc::db
