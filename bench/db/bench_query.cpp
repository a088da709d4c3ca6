// A register of a million visits read as the grid and the list commands read it, the same
// benchmarks on the file database and on a throwaway PostgreSQL server, side by side: the
// first rows, rows deep in the list and then further up, the count against a plain count,
// a scroll through every row, and lists whose order has heavy ties.
// Run: bench_query [--benchmark_filter=...]
#include "bench/support/bench_engines.h"
#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "platform/db/query_model.h"
#include "platform/db/sql_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace {

using gcbench::Engine;

constexpr int kRows = 1'000'000;
constexpr int kVisitsPerDay = 600;
constexpr int kDistinctTimes = 30;
const QString kList = QStringLiteral("select * from arbabrojo where id<>-1 order by id desc");
const QString kTied =
    QStringLiteral("select * from arbabrojo where id<>-1 order by dat desc, vorod desc");
const QString kTiedDay = kTied.left(kTied.indexOf(" order")) +
                         " and dat=" + gc::db::quoted(gcbench::dayText(1000)) +
                         " order by dat desc, vorod desc";

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

QString visitValues(int i) {
    using gc::db::quoted;
    const QString n = QString::number(i);
    const QString time = QStringLiteral("%1:%2")
                             .arg(8 + i % 5, 2, 10, QChar('0'))
                             .arg(i / 5 % 6 * 10, 2, 10, QChar('0'));
    return "(" +
           QStringList{quoted(QString::fromUtf8("مراجع ") + n),
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

void load(gc::Tdm& dm, Engine engine) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    db.transaction();
    QSqlQuery q(db);
    for (int start = 0; start < kRows; start += 500) {
        QStringList values;
        for (int i = start; i < start + 500; ++i)
            values << visitValues(i);
        if (!q.exec("insert into arbabrojo (name, maghsad, tabaghe, otagh, cart_no, madrak, dat, "
                    "vorod, khoroj, gender, cmt, negahban, barcod, nazar) values " +
                    values.join(',')))
            qFatal("loading the visits failed");
    }
    db.commit();
    if (engine == Engine::PostgreSQL)
        q.exec("vacuum analyze arbabrojo");
}

QVariant scalar(gc::Tdm& dm, const QString& sql) {
    QSqlQuery q(dm.ADOConnection1.database());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

// The data is what the benchmarks claim: a million visits, 600 a day, 30 times of entry.
bool dataHolds(gc::Tdm& dm) {
    return scalar(dm, "select count(*) from arbabrojo").toInt() == kRows &&
           scalar(dm, "select count(*) from arbabrojo where dat=" +
                          gc::db::quoted(gcbench::dayText(1000)))
                   .toInt() == kVisitsPerDay &&
           scalar(dm, "select count(distinct vorod) from arbabrojo").toInt() == kDistinctTimes;
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

std::map<Engine, QString>& connectionStrings() {
    static std::map<Engine, QString> all;
    return all;
}

gc::Tdm& on(Engine engine) {
    static std::optional<Engine> current;
    if (current != engine) {
        module().ADOConnection1.setConnectionString(connectionStrings()[engine]);
        module().ADOConnection1.open();
        current = engine;
    }
    return module();
}

bool openFileDatabase() {
    // Made once and kept in the temporary folder: loading a million rows takes a while.
    const QString path = QDir::temp().filePath("gatecontrol-bench-visits-600.accdb");
    connectionStrings()[Engine::SQLite] = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path;
    if (scalar(on(Engine::SQLite), "select count(*) from arbabrojo").toInt() != kRows) {
        module().ADOConnection1.close();
        QFile::remove(path);
        module().ADOConnection1.open();
        load(module(), Engine::SQLite);
    }
    return dataHolds(module());
}

bool openServerDatabase(gcbench::ThrowawayPostgres& server) {
    connectionStrings()[Engine::PostgreSQL] = server.createDatabase();
    load(on(Engine::PostgreSQL), Engine::PostgreSQL);
    return dataHolds(module());
}

void touchRows(gc::db::QueryModel& model, int from, int rows) {
    for (int r = from; r < from + rows; ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            benchmark::DoNotOptimize(model.data(model.index(r, c)));
}

void FirstRows(benchmark::State& state, Engine engine, const QString& sql) {
    gc::db::Query& q = on(engine).ADOQ_arbabrojo;
    for (auto _ : state) {
        q.openSql({sql});
        gc::db::QueryModel model(q);
        touchRows(model, 0, 100);
    }
    state.counters["peak_MB"] = peakMb();
}

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
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
        for (int r = 900'000 - shift; r < 900'100 - shift; ++r) {
            q.setRecNo(r + 1);
            benchmark::DoNotOptimize(q.fieldByName("name").asString());
        }
        deep += msSince(t);
        t.restart();
        for (int r = 400'000 + shift; r < 400'100 + shift; ++r) {
            q.setRecNo(r + 1);
            benchmark::DoNotOptimize(q.fieldByName("name").asString());
        }
        up += msSince(t);
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
        benchmark::DoNotOptimize(scalar(dm, "select count(*) from arbabrojo where id<>-1"));
        plain += msSince(t);
        state.ResumeTiming();
        if (dm.ADOQ_arbabrojo.recordCount() != kRows)
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
    }
    state.counters["peak_MB"] = peakMb();
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
    add("FirstRows", [](benchmark::State& s, Engine e) { FirstRows(s, e, kList); });
    add("DeepThenBackUp", DeepThenBackUp, 10);
    add("Count", Count, 5);
    add("TiedFirstRows", [](benchmark::State& s, Engine e) { FirstRows(s, e, kTied); });
    add("TiedDay", TiedDay);
    add(
        "ScrollEveryRow", [](benchmark::State& s, Engine e) { ScrollEveryRow(s, e, kList); }, 1);
    add(
        "TiedScrollEveryRow", [](benchmark::State& s, Engine e) { ScrollEveryRow(s, e, kTied); },
        1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    gcbench::ThrowawayPostgres server;
    if (!openFileDatabase())
        qFatal("the file database does not hold the visits the benchmarks claim");
    std::vector<Engine> engines = {Engine::SQLite};
    if (server.available()) {
        if (!openServerDatabase(server))
            qFatal("the server database does not hold the visits the benchmarks claim");
        engines.push_back(Engine::PostgreSQL);
    }
    registerAll(engines);
    const int rc = gcbench::runBenchmarks(argc, argv);
    modulePtr().reset(); // before the application and the SQL drivers go
    return rc;
}
