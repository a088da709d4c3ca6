// The visitor prints at their largest: a batch of 500 blank cards issued through the program's
// layer beside the same statements through the engine's own client library (sqlite3 on the
// file database; libpq on a server named by GC_BENCH_PG_PORT, a local server with the test
// suite's "gc" superuser), and the 500 cards and one visit slip written as PDF.
#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/db_error.h"
#include "platform/report/memory_source.h"
#include "platform/report/output.h"
#include "registers/arbab/barge_molaghat.h"
#include "registers/arbab/core/visit_print_sql.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <libpq-fe.h>
#include <sqlite3.h>

using gc::registers::arbab::BlankCard;

namespace {

constexpr int kCards = 500;

// A batch is right when it holds 1 to kCards in order under numbers without a gap.
bool batchIsRight(const QList<BlankCard>& cards) {
    if (cards.size() != kCards)
        return false;
    for (int i = 0; i < kCards; ++i)
        if (cards[i].position != i + 1 || cards[i].number != cards[0].number + i)
            return false;
    return true;
}

QList<BlankCard> tableRows(gc::Tdm& dm) {
    QSqlQuery q(dm.ADOConnection1.database());
    q.exec("select barcod, name from barcod order by barcod");
    QList<BlankCard> out;
    while (q.next())
        out.push_back({q.value(0).toInt(), q.value(1).toInt()});
    return out;
}

// The peers: the same transaction, one prepared insert reading back its number.
QList<BlankCard> sqliteBatch(sqlite3* db) {
    QList<BlankCard> out;
    sqlite3_exec(db, "begin immediate; delete from barcod", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "insert into barcod (name) values (?)", -1, &insert, nullptr);
    for (int i = 1; i <= kCards; ++i) {
        const QByteArray name = QByteArray::number(i);
        sqlite3_bind_text(insert, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert) == SQLITE_DONE)
            out.push_back({int(sqlite3_last_insert_rowid(db)), i});
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    return out;
}

QList<BlankCard> pgBatch(PGconn* pg) {
    QList<BlankCard> out;
    PQclear(PQexec(pg, "begin; lock table barcod in share row exclusive mode; delete from barcod"));
    for (int i = 1; i <= kCards; ++i) {
        const QByteArray name = QByteArray::number(i);
        const char* values[] = {name.constData()};
        PGresult* r = PQexecParams(pg, "insert into barcod (name) values ($1) returning barcod", 1,
                                   nullptr, values, nullptr, nullptr, 0);
        if (PQresultStatus(r) == PGRES_TUPLES_OK)
            out.push_back({std::atoi(PQgetvalue(r, 0, 0)), i});
        PQclear(r);
    }
    PQclear(PQexec(pg, "commit"));
    return out;
}

// Times the program's batch and the peer's in turn; reports the program's time and the
// ratio of the two.
template <class Peer> void compareBatches(benchmark::State& state, gc::Tdm& dm, Peer peer) {
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const auto cards = gc::registers::arbab::issueBlankCards(dm.ADOConnection1, dm.ADOQuery1,
                                                                 dm.ADOQ_barcod, kCards);
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (!batchIsRight(cards) || tableRows(dm) != cards) {
            state.SkipWithError("the program's batch is not the batch asked for");
            return;
        }
        t.restart();
        const auto peerCards = peer();
        theirs += double(t.nsecsElapsed()) / 1e6;
        if (!batchIsRight(peerCards)) {
            state.SkipWithError("the peer's batch is not the batch asked for");
            return;
        }
        ours += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["peer_ms"] = theirs / double(state.iterations());
    state.counters["ratio"] = ours / theirs;
}

void BM_CardBatchSqlite(benchmark::State& state) {
    QTemporaryDir dir;
    gc::Tdm dm;
    dm.ADOConnection1.setConnectionString(
        "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + dir.filePath("bench.accdb") +
        ";Persist Security Info=False");
    dm.ADOConnection1.open();
    gc::EnsureSchema(dm);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(dir.filePath("bench.accdb")).constData(), &db);
    sqlite3_busy_timeout(db, 10000);
    compareBatches(state, dm, [db] { return sqliteBatch(db); });
    sqlite3_close(db);
}
BENCHMARK(BM_CardBatchSqlite)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_CardBatchPostgres(benchmark::State& state) {
    const QByteArray port = qgetenv("GC_BENCH_PG_PORT");
    if (port.isEmpty()) {
        gcbench::stopWithoutServer(state, "GC_BENCH_PG_PORT names no server");
        return;
    }
    const QByteArray admin = "host=127.0.0.1 user=gc dbname=postgres port=" + port;
    PGconn* setup = PQconnectdb(admin.constData());
    PQclear(PQexec(setup, "drop database if exists bench_arbab"));
    PQclear(PQexec(setup, "create database bench_arbab"));
    PQfinish(setup);
    gc::Tdm dm;
    dm.ADOConnection1.setConnectionString(
        "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial "
        "Catalog=bench_arbab;Data Source=127.0.0.1," +
        QString::fromLatin1(port));
    dm.ADOConnection1.open();
    gc::EnsureSchema(dm);
    PGconn* pg =
        PQconnectdb(("host=127.0.0.1 user=gc dbname=bench_arbab port=" + port).constData());
    compareBatches(state, dm, [pg] { return pgBatch(pg); });
    PQfinish(pg);
}
BENCHMARK(BM_CardBatchPostgres)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The cards of one batch of 500 as a PDF, one slip-sized page each.
void BM_CardsPdf(benchmark::State& state) {
    QTemporaryDir dir;
    gc::report::MemorySource rows({"barcod", "name"});
    for (int i = 1; i <= kCards; ++i)
        rows.addRow({QString::number(100000 + i), QString::number(i)});
    int pages = 0;
    for (auto _ : state) {
        auto cards = gc::registers::Tbarge_molaghat::Report1(
            gc::registers::Tbarge_molaghat::Content::BlankCard);
        cards->data = &rows;
        pages = gc::report::writePdf(*cards, dir.filePath("cards.pdf")).pages;
        if (pages != kCards) {
            state.SkipWithError("not one page per card");
            return;
        }
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_CardsPdf)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
