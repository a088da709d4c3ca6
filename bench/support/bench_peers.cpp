#include "bench/support/bench_peers.h"

#include "platform/db/collation.h"
#include "platform/db/connection_string.h"

#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace gcbench {

std::unique_ptr<Peer> makePeer(const QString& connectionString) {
    const gc::db::ConnectionTarget t = gc::db::connectionTarget(connectionString);
    if (t.engine == gc::db::Engine::SQLite)
        return std::make_unique<SqlitePeer>(t.file);
    return std::make_unique<PostgresPeer>(QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
                                              .arg(t.host)
                                              .arg(t.port)
                                              .arg(t.database, t.user));
}

void setPeerCounters(benchmark::State& state, const Peer& peer, double oursMs, double peerMs) {
    state.counters["ours_ms"] = oursMs;
    state.counters[std::string(peer.name()) + "_ms"] = peerMs;
    state.counters["ratio_to_" + std::string(peer.name())] = oursMs / peerMs;
}

double readAllMs(Peer& peer, const QStringList& statements, int runs) {
    QElapsedTimer t;
    t.start();
    for (int r = 0; r < runs; ++r)
        for (const QString& sql : statements)
            if (peer.readAll(sql).rows < 0)
                qFatal("%s refused %s", peer.name(), qPrintable(sql));
    return double(t.nsecsElapsed()) / 1e6 / runs;
}

SqlitePeer::SqlitePeer(const QString& file) {
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        qFatal("sqlite3 cannot open %s: %s", qPrintable(file), sqlite3_errmsg(db_));
    // The program's text order, so that the peer can sort as the lists do.
    gc::db::registerPersianCollation(db_);
}

SqlitePeer::~SqlitePeer() {
    sqlite3_close(db_);
}

PeerRead SqlitePeer::step(const QString& sql, int count) {
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
        return {};
    PeerRead read{0, {}};
    int rc = SQLITE_DONE;
    while ((count < 0 || read.rows < count) && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(st, c));
        if (read.rows++ == 0)
            read.firstValue =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        read.rows = -1;
    return read;
}

PostgresPeer::PostgresPeer(const QString& conninfo)
    : conn_(PQconnectdb(conninfo.toUtf8().constData())) {
    if (PQstatus(conn_) != CONNECTION_OK)
        qFatal("libpq cannot connect: %s", PQerrorMessage(conn_));
}

PostgresPeer::~PostgresPeer() {
    PQfinish(conn_);
}

PeerRead PostgresPeer::readAll(const QString& sql) {
    PGresult* r = PQexec(conn_, sql.toUtf8().constData());
    PeerRead read;
    if (PQresultStatus(r) == PGRES_TUPLES_OK) {
        read.rows = PQntuples(r);
        for (int i = 0; i < read.rows; ++i)
            for (int c = 0; c < PQnfields(r); ++c)
                benchmark::DoNotOptimize(PQgetvalue(r, i, c));
        if (read.rows > 0)
            read.firstValue = QString::fromUtf8(PQgetvalue(r, 0, 0));
    }
    PQclear(r);
    return read;
}

PeerRead PostgresPeer::readFirst(const QString& sql, int count) {
    return readAll(sql + " limit " + QString::number(count));
}

} // namespace gcbench
