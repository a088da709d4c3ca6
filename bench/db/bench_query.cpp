// A register of a million visits read as the grid and the list commands read it, the same
// benchmarks on the file database and on a throwaway PostgreSQL server, side by side: the
// first rows, rows deep in the list and then further up, the count against a plain count,
// a scroll through every row, and lists whose order has heavy ties; on the server also a
// marked wait's own cost. The register's open is also read through the engine's own C
// library in the same run, with the ratio printed.
// Run: bench_query [--benchmark_filter=...]
#include "bench/support/bench_engines.h"
#include "bench/support/bench_peers.h"
#include "bench/support/bench_support.h"
#include "bench/support/engine_databases.h"
#include "bench/support/kept_database.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/db/result_pages.h"
#include "platform/db/sql_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

using gcbench::Engine;

// Raised whenever the rows below change, so that a kept file of other rows is not measured.
constexpr int kGeneratorVersion = 1;
constexpr int kRows = 1'000'000;
constexpr int kVisitsPerDay = 600;
constexpr int kDistinctTimes = 30;
constexpr int kFirstRows = 100;
const QString kLastDay = gcbench::dayText((kRows - 1) / kVisitsPerDay);
const QString kList = QStringLiteral("select * from arbabrojo where id<>-1 order by id desc");
const QString kTied =
    QStringLiteral("select * from arbabrojo where id<>-1 order by dat desc, vorod desc");
const QString kTiedDay = kTied.left(kTied.indexOf(" order")) +
                         " and dat=" + gc::db::quoted(gcbench::dayText(1000)) +
                         " order by dat desc, vorod desc";

// Visit i has the key i + 1.
QString visitorName(int i) {
    return QString::fromUtf8("مراجع ") + QString::number(i);
}

QString visitValues(int i) {
    using gc::db::quoted;
    const QString n = QString::number(i);
    const QString time = QStringLiteral("%1:%2")
                             .arg(8 + i % 5, 2, 10, QChar('0'))
                             .arg(i / 5 % 6 * 10, 2, 10, QChar('0'));
    return "(" +
           QStringList{quoted(visitorName(i)),
                       quoted(QString::fromUtf8("اداره مالي")),
                       "'2'",
                       "'21'",
                       quoted(n),
                       quoted(QString::fromUtf8("کارت ملي")),
                       quoted(gcbench::dayText(i / kVisitsPerDay)),
                       quoted(time),
                       "'  :  '",
                       quoted(QString::fromUtf8("مرد")),
                       "''",
                       quoted(QString::fromUtf8("نگهبان")),
                       quoted(n),
                       "''"}
               .join(',') +
           ")";
}

bool load(gc::db::Connection& c) {
    if (!gc::EnsureSchema(c).complete())
        return false;
    QSqlDatabase db = c.database();
    db.transaction();
    QSqlQuery q(db);
    for (int start = 0; start < kRows; start += 500) {
        QStringList values;
        for (int i = start; i < start + 500; ++i)
            values << visitValues(i);
        if (!q.exec("insert into arbabrojo (name, maghsad, tabaghe, otagh, cart_no, madrak, dat, "
                    "vorod, khoroj, gender, cmt, negahban, barcod, nazar) values " +
                    values.join(',')))
            return false;
    }
    if (!db.commit())
        return false;
    if (c.engine() == gc::db::Engine::PostgreSQL)
        q.exec("vacuum analyze arbabrojo");
    return true;
}

// What is wrong with the data, if anything: a million visits keyed 1 to 1,000,000, 600 a
// day, 30 times of entry, and a sample visitor where the generator puts it.
QString dataProblem(const QSqlDatabase& db) {
    QSqlQuery q(db);
    if (!q.exec("select count(*), min(id), max(id), count(distinct vorod) from arbabrojo") ||
        !q.next())
        return "no visits table: " + q.lastError().text();
    const QString found = QStringLiteral("%1 visits keyed %2 to %3 in %4 times of entry")
                              .arg(q.value(0).toInt())
                              .arg(q.value(1).toInt())
                              .arg(q.value(2).toInt())
                              .arg(q.value(3).toInt());
    if (found != QStringLiteral("%1 visits keyed 1 to %1 in %2 times of entry")
                     .arg(kRows)
                     .arg(kDistinctTimes))
        return found;
    q.exec("select count(*) from arbabrojo where dat=" + gc::db::quoted(gcbench::dayText(1000)));
    if (!q.next() || q.value(0).toInt() != kVisitsPerDay)
        return "a day does not hold " + QString::number(kVisitsPerDay) + " visits";
    q.exec("select name from arbabrojo where id=500001");
    if (!q.next() || q.value(0).toString() != visitorName(500000))
        return "visit 500001 is not " + visitorName(500000);
    return {};
}

// One data module, as in the program (its connection has a fixed name), pointed at the
// engine a benchmark runs on.
std::unique_ptr<gc::Tdm>& modulePtr() {
    static std::unique_ptr<gc::Tdm> dm = std::make_unique<gc::Tdm>();
    return dm;
}

gc::Tdm& module() {
    return *modulePtr();
}

gcbench::EngineDatabases& databases() {
    static gcbench::EngineDatabases all;
    return all;
}

gc::Tdm& on(Engine engine) {
    static std::optional<Engine> current;
    if (current != engine) {
        module().ADOConnection1.setConnectionString(databases().connectionString(engine));
        module().ADOConnection1.open();
        current = engine;
    }
    return module();
}

// Each returns what is wrong with the engine's data, empty when it holds the visits.
QString openFileDatabase() {
    // Kept in the temporary folder between runs: loading a million rows takes a while.
    const gcbench::KeptDatabaseFile kept(QDir::tempPath(), "gatecontrol-bench-visits",
                                         kGeneratorVersion);
    const QString error =
        kept.prepare(load, [](gc::db::Connection& c) { return dataProblem(c.database()); });
    if (!error.isEmpty())
        return error;
    databases().add(Engine::SQLite, kept.connectionString());
    return dataProblem(on(Engine::SQLite).ADOConnection1.database());
}

QString openServerDatabase(gcbench::ThrowawayPostgres& server) {
    databases().add(Engine::PostgreSQL, server.createDatabase());
    if (!load(on(Engine::PostgreSQL).ADOConnection1))
        return "the visits could not be loaded";
    return dataProblem(module().ADOConnection1.database());
}

// The rows that were there to read.
int touchRows(gc::db::QueryModel& model, int from, int rows) {
    int read = 0;
    for (int r = from; r < from + rows; ++r) {
        read += model.index(r, 0).isValid() ? 1 : 0;
        for (int c = 0; c < model.columnCount(); ++c)
            benchmark::DoNotOptimize(model.data(model.index(r, c)));
    }
    return read;
}

// The list's newest visits, as the window opens on them; `firstKey` is the first row's key
// where the order fixes it.
void FirstRows(benchmark::State& state, Engine engine, const QString& sql,
               std::optional<qint64> firstKey) {
    gc::db::Query& q = on(engine).ADOQ_arbabrojo;
    QElapsedTimer t;
    t.start();
    for (auto _ : state) {
        q.openSql({sql});
        const bool firstRight = q.fieldByName("dat").asString() == kLastDay &&
                                (!firstKey || q.fieldByName("id").asInteger() == *firstKey);
        gc::db::QueryModel model(q);
        if (touchRows(model, 0, kFirstRows) != kFirstRows || !firstRight)
            state.SkipWithError("the list did not open on its newest visits");
    }
    const double oursMs = gcbench::msSince(t) / double(state.iterations());
    state.counters["peak_MB"] = gcbench::peakMb();
    if (!firstKey)
        return;
    gcbench::Peer& peer = databases().peer(engine);
    t.restart();
    for (int i = 0; i < state.iterations(); ++i) {
        const gcbench::PeerRead read = peer.readFirst(sql, kFirstRows);
        if (read.rows != kFirstRows || read.firstValue != QString::number(*firstKey)) {
            state.SkipWithError("the peer did not read the newest visits");
            return;
        }
    }
    const double peerMs = gcbench::msSince(t) / double(state.iterations());
    gcbench::setPeerCounters(state, peer, oursMs, peerMs);
}

// 100 rows from list row `from` on (counted from 0), the last one checked: the list is
// newest first, so row r is visit kRows - 1 - r.
bool readRows(gc::db::Query& q, int from) {
    QString name;
    for (int r = from; r < from + 100; ++r) {
        q.setRecNo(r + 1);
        name = q.fieldByName("name").asString();
    }
    return name == visitorName(kRows - from - 100);
}

// Rows around 900,000 and then around 400,000, on a list opened at its end; each iteration
// reads other pages, so none is still in memory.
void DeepThenBackUp(benchmark::State& state, Engine engine) {
    gc::db::Query& q = on(engine).ADOQ_arbabrojo;
    q.openSql({kList});
    q.setRecNo(kRows);
    int step = 0;
    double deep = 0;
    double up = 0;
    for (auto _ : state) {
        const int shift = step++ * 2600;
        QElapsedTimer t;
        t.start();
        bool right = readRows(q, 900'000 - shift);
        deep += gcbench::msSince(t);
        t.restart();
        right = readRows(q, 400'000 + shift) && right;
        up += gcbench::msSince(t);
        if (!right)
            state.SkipWithError("a row deep in the list is not the visit in its place");
    }
    state.counters["around_900k_ms"] = deep / double(state.iterations());
    state.counters["around_400k_ms"] = up / double(state.iterations());
}

void Count(benchmark::State& state, Engine engine) {
    gc::Tdm& dm = on(engine);
    double plain = 0;
    for (auto _ : state) {
        state.PauseTiming();
        dm.ADOQ_arbabrojo.openSql({kList});
        QElapsedTimer t;
        t.start();
        QSqlQuery plainCount(dm.ADOConnection1.database());
        plainCount.exec("select count(*) from arbabrojo where id<>-1");
        const bool plainRight = plainCount.next() && plainCount.value(0).toInt() == kRows;
        plain += gcbench::msSince(t);
        state.ResumeTiming();
        if (dm.ADOQ_arbabrojo.recordCount() != kRows || !plainRight)
            state.SkipWithError("wrong count");
    }
    state.counters["plain_count_ms"] = plain / double(state.iterations());
}

void ScrollEveryRow(benchmark::State& state, Engine engine, const QString& sql) {
    gc::db::Query& q = on(engine).ADOQ_arbabrojo;
    for (auto _ : state) {
        q.openSql({sql});
        gc::db::QueryModel model(q);
        while (model.canFetchMore({}))
            model.fetchMore({});
        for (int r = 0; r < model.rowCount(); r += 37)
            benchmark::DoNotOptimize(model.data(model.index(r, 1)));
        state.counters["rows"] = model.rowCount();
        if (model.rowCount() != kRows)
            state.SkipWithError("the scroll did not reach every visit");
    }
    state.counters["peak_MB"] = gcbench::peakMb();
}

// A marked wait's own cost on the open server connection, its begin and end, in ns; and a
// row's share of it as the grid's pages read (one wait for a statement's rows, at least 256).
void MarkedWait(benchmark::State& state, Engine engine) {
    gc::db::Connection& c = on(engine).ADOConnection1;
    QElapsedTimer t;
    t.start();
    for (auto _ : state) {
        const gc::db::ServerWait wait = c.serverWait();
        benchmark::DoNotOptimize(&wait);
    }
    const double ns = double(t.nsecsElapsed()) / double(state.iterations());
    state.counters["wait_ns"] = ns;
    state.counters["row_share_ns"] = ns / gc::db::ResultPages::kPageRows;
    if (!c.connected())
        state.SkipWithError("the connection is not open");
}

// A day of 600 visits in 30 times of entry, read through: every visit once.
void TiedDay(benchmark::State& state, Engine engine) {
    gc::db::Query& q = on(engine).ADOQ_arbabrojo;
    QSet<qint64> ids;
    for (auto _ : state) {
        q.openSql({kTiedDay});
        ids.clear();
        for (q.first(); !q.eof(); q.next())
            ids.insert(q.fieldByName("id").asInteger());
        if (ids.size() != kVisitsPerDay)
            state.SkipWithError("the day was not read through once");
    }
    state.counters["distinct_ids"] = double(ids.size());
}

// Each benchmark on every engine in turn, so that the figures stand side by side.
void registerAll(const std::vector<Engine>& engines) {
    using Fn = std::function<void(benchmark::State&, Engine)>;
    const auto add = [&](const std::string& name, const Fn& fn, int iterations = 0) {
        for (Engine engine : engines) {
            auto* b =
                benchmark::RegisterBenchmark((name + "/" + gcbench::engineName(engine)).c_str(),
                                             [fn, engine](benchmark::State& s) { fn(s, engine); });
            b->Unit(benchmark::kMillisecond);
            if (iterations > 0)
                b->Iterations(iterations);
        }
    };
    add("FirstRows", [](benchmark::State& s, Engine e) { FirstRows(s, e, kList, kRows); });
    add("DeepThenBackUp", DeepThenBackUp, 10);
    add("Count", Count, 5);
    add("TiedFirstRows",
        [](benchmark::State& s, Engine e) { FirstRows(s, e, kTied, std::nullopt); });
    add("TiedDay", TiedDay);
    add(
        "ScrollEveryRow", [](benchmark::State& s, Engine e) { ScrollEveryRow(s, e, kList); }, 1);
    add(
        "TiedScrollEveryRow", [](benchmark::State& s, Engine e) { ScrollEveryRow(s, e, kTied); },
        1);
    if (std::find(engines.begin(), engines.end(), Engine::PostgreSQL) != engines.end())
        benchmark::RegisterBenchmark(
            (std::string("MarkedWait/") + gcbench::engineName(Engine::PostgreSQL)).c_str(),
            [](benchmark::State& s) { MarkedWait(s, Engine::PostgreSQL); })
            ->Unit(benchmark::kNanosecond);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    gcbench::ThrowawayPostgres server;
    if (server.failed())
        return 1;
    if (const QString error = openFileDatabase(); !error.isEmpty()) {
        std::fprintf(stderr,
                     "the file database does not hold the visits the benchmarks claim: %s\n",
                     qPrintable(error));
        return 1;
    }
    std::vector<Engine> engines = {Engine::SQLite};
    if (server.available()) {
        if (const QString error = openServerDatabase(server); !error.isEmpty()) {
            std::fprintf(stderr,
                         "the server database does not hold the visits the benchmarks claim: %s\n",
                         qPrintable(error));
            return 1;
        }
        engines.push_back(Engine::PostgreSQL);
    }
    registerAll(engines);
    const int rc = gcbench::runBenchmarks(argc, argv);
    databases().clear();
    modulePtr().reset(); // before the application and the SQL drivers go
    return rc;
}
