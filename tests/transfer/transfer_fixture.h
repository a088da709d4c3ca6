#pragma once

#include "core/transfer/copier.h"
#include "platform/db/connection.h"
#include "support/test_db.h"
#include "support/workstation_zone.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace gctest {

// A database of a test on a connection of its own.
class TestDb {
  public:
    explicit TestDb(Backend backend, bool schema = true);
    ~TestDb();

    Backend backend;
    QString connectionString;
    std::unique_ptr<gc::db::Connection> c;

    bool pg() const { return backend == Backend::PostgreSQL; }
    QString file() const; // the SQLite file
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    int count(const QString& table) { return scalar("select count(*) from " + table).toInt(); }
    // Every row, values as text (NULL as "NULL", bytes by their hash), in sorted order.
    QList<QStringList> rows(const QString& sql);
    // Binds the values; explicit keys keep the numbering ahead of them.
    void insert(const QString& table, const QList<std::pair<QString, QVariant>>& values);
    // A date-time column as "yyyy-MM-dd HH:mm:ss" text on either engine.
    QString dateTimeText(const QString& column) const;
    // Row counts of every table of the schema.
    QMap<QString, int> counts();
    // Flushes the write-ahead log into the file and returns the hash of what is on disk.
    QByteArray fileHash();
    // What the engine's own client (sqlite3, psql) prints for `sql`: one line a row,
    // values split by '|', NULL as "NULL".
    QStringList client(const QString& sql) const;
    // The server's time zone for this database's new sessions and this connection.
    void setServerZone(const QString& zone);
};

// What the engine's own client prints for `sql` on the database of `connectionString`.
QStringList client(const QString& connectionString, const QString& sql);

// The start date of the seeded runs.
inline const QString kStart = "1403/01/01";
inline const QString kBlank = "    /  /  ";

// Rows on both sides of kStart and with blank dates in every dated table; persons 10
// (two pictures), 20 (none) and 30 (one), and a picture of no one; visits 100 (two
// pictures), 101 (none), 102 (before the start, one), 103 (blank date); users 1 (admin),
// 5 and 7 with rights, and a right of a user 9 who does not exist.
void seedSource(TestDb& db);

// Every group ticked, pictures too.
gc::transfer::TransferOptions everything(const TestDb& source, const TestDb& destination);

// Keeps what a run reports.
class RecordingObserver : public gc::transfer::TransferObserver {
  public:
    QStringList lines;
    void logLine(const QString& line) override { lines << line; }
    void progress(int, int) override {}
};

gc::transfer::TransferResult transfer(const gc::transfer::TransferOptions& options);

// The four engine pairs.
struct Pair {
    Backend from;
    Backend to;
    bool needsServer() const { return from == Backend::PostgreSQL || to == Backend::PostgreSQL; }
};
std::string pairName(const ::testing::TestParamInfo<Pair>& info);
const std::vector<Pair>& allPairs();

class PairTest : public ::testing::TestWithParam<Pair> {
  protected:
    void SetUp() override {
        if (GetParam().needsServer() && !postgresAvailable())
            GTEST_SKIP() << "no PostgreSQL test server";
    }
};

// A pair of the pair's engines: the source and the destination, each with the schema.
class PairOfDatabases : public PairTest {
  protected:
    void SetUp() override {
        PairTest::SetUp();
        if (IsSkipped())
            return;
        source = std::make_unique<TestDb>(GetParam().from);
        destination = std::make_unique<TestDb>(GetParam().to);
    }
    std::unique_ptr<TestDb> source;
    std::unique_ptr<TestDb> destination;
};

} // namespace gctest
