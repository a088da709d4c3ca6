#pragma once

#include "core/data_module.h"
#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QVariantList>
#include <benchmark/benchmark.h>
#include <functional>
#include <vector>

class QElapsedTimer;
class QTemporaryDir;

namespace gcbench {

// A benchmark on a file database: its name, its run, its time unit and arguments.
struct DatabaseBenchmark {
    const char* name;
    void (*run)(benchmark::State&, gc::Tdm*);
    benchmark::TimeUnit unit = benchmark::kMillisecond;
    std::vector<int64_t> args = {};
};

// A statement of one value, and the value the data must give before anything is measured.
struct DataCheck {
    QString sql;
    QString expected;
};

// Makes a new database file with the program's own schema, fills it with `fill`, then
// runs `benchmarks` on it with the command line's options. When a check fails it says so
// and returns 1 without measuring.
int runOnFileDatabase(int argc, char** argv, void (*fill)(gc::Tdm&),
                      const std::vector<DataCheck>& checks,
                      const std::vector<DatabaseBenchmark>& benchmarks);

// Inserts `count` rows through `insertSql` (a "?" for each value) in one transaction;
// `row(i)` gives row i's values. Stops the program when a row is refused: a benchmark
// must not measure data other than it claims.
void insertRows(gc::Tdm& dm, const QString& insertSql, int count,
                const std::function<QVariantList(int)>& row);
void insertRows(gc::db::Connection& c, const QString& insertSql, int count,
                const std::function<QVariantList(int)>& row);

// `count` vehicle rows, kVehiclesPerDay a day from dayText(0) on, kVehicleDrivers drivers,
// one in three official.
inline constexpr int kVehiclesPerDay = 1000;
inline constexpr int kVehicleDrivers = 5000;
void insertVehicles(gc::db::Connection& c, int count);

// Opens the data module on the server database named by the connection string in
// GC_BENCH_PG when it is set, otherwise on a new database file in `dir`. Returns the engine's
// name for the report.
QString openBenchDatabase(gc::Tdm& dm, const QTemporaryDir& dir);

// Day `day` as a date text from 1400/01/01 on, in months of 30 days: enough for spreading
// rows over dates that compare in order.
QString dayText(int day);

// Search inputs with only filter `index` of `filters` on: the dates of days `first` to `last`.
std::vector<gc::registers::FilterInput> dateFilter(int filters, int index, int first, int last);

// A time text "hh:mm" that moves with `i`.
QString timeText(int i);

// A list's search and its count, as its page runs them; an error when the count is not
// `expected`.
void searchAndCount(benchmark::State& state, gc::db::Query& list, gc::db::Query& counter,
                    const gc::registers::SearchSpec& spec,
                    const std::vector<gc::registers::FilterInput>& inputs, const QString& expected);

// The milliseconds since `t` was started.
double msSince(const QElapsedTimer& t);

// The process's peak resident memory so far, in MB.
double peakMb();

// Runs the registered benchmarks with the command line's options on the console; 1 when
// one of them stopped with an error (a skip asked for is none).
int runBenchmarks(int argc, char** argv);

// A benchmark that needs a PostgreSQL server fails when none can be had, unless the run
// asked to go on without one: GC_BENCH_SKIP_PG=1. Says which, and why there is no server;
// true when the run is to fail.
bool serverMissing(const QString& why);

// The same inside a benchmark: it stops with an error, or as skipped when that was asked for.
void stopWithoutServer(benchmark::State& state, const QString& why);

} // namespace gcbench
