#pragma once

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <memory>

struct sqlite3;
struct pg_conn;

namespace gcbench {

// What a peer read: its rows (-1 on an error) and the first row's first column as text.
struct PeerRead {
    int rows = -1;
    QString firstValue;
};

// A statement read through the engine's own C library on a connection of its own, every
// column of every row taken as text: what the program's layer is measured against.
class Peer {
  public:
    virtual ~Peer() = default;
    // "sqlite3" or "libpq", for the counters' names.
    virtual const char* name() const = 0;
    // Every row of `sql`.
    virtual PeerRead readAll(const QString& sql) = 0;
    // The first `count` rows of `sql`, as a plain client of the library asks for them.
    virtual PeerRead readFirst(const QString& sql, int count) = 0;
};

// The milliseconds a run of `statements`, every row of each read, takes the peer, averaged
// over `runs`; exits with a message when a statement fails.
double readAllMs(Peer& peer, const QStringList& statements, int runs);

// Our milliseconds and the peer's for the same work, and their ratio, as the run's counters.
void setPeerCounters(benchmark::State& state, const Peer& peer, double oursMs, double peerMs);

// The peer on the database of the program's connection string, the file database's or the
// server's; exits with a message when it cannot connect.
std::unique_ptr<Peer> makePeer(const QString& connectionString);

class SqlitePeer : public Peer {
  public:
    explicit SqlitePeer(const QString& file);
    ~SqlitePeer() override;
    SqlitePeer(const SqlitePeer&) = delete;
    SqlitePeer& operator=(const SqlitePeer&) = delete;
    const char* name() const override { return "sqlite3"; }
    PeerRead readAll(const QString& sql) override { return step(sql, -1); }
    // Steps the statement itself only as far as `count` rows.
    PeerRead readFirst(const QString& sql, int count) override { return step(sql, count); }

  private:
    PeerRead step(const QString& sql, int count);
    sqlite3* db_ = nullptr;
};

class PostgresPeer : public Peer {
  public:
    explicit PostgresPeer(const QString& conninfo);
    ~PostgresPeer() override;
    PostgresPeer(const PostgresPeer&) = delete;
    PostgresPeer& operator=(const PostgresPeer&) = delete;
    const char* name() const override { return "libpq"; }
    PeerRead readAll(const QString& sql) override;
    // PQexec returns whole results: the statement asks for `count` rows with LIMIT.
    PeerRead readFirst(const QString& sql, int count) override;

  private:
    pg_conn* conn_;
};

} // namespace gcbench
