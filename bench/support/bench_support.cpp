#include "bench/support/bench_support.h"

#include "core/schema.h"
#include "platform/db/query.h"
#include "registers/khodro/core/khodro_sql.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace gcbench {

namespace {

void openFileDatabase(gc::Tdm& dm, const QTemporaryDir& dir) {
    dm.ADOConnection1.setConnectionString(
        "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + dir.filePath("bench.accdb") +
        ";Persist Security Info=False");
    dm.ADOConnection1.open();
}

// Each failed check as "sql gave x, not y".
QStringList failedChecks(gc::Tdm& dm, const std::vector<DataCheck>& checks) {
    QStringList failed;
    for (const DataCheck& check : checks) {
        QSqlQuery q(dm.ADOConnection1.database());
        const QString got = q.exec(check.sql) && q.next() ? q.value(0).toString()
                                                          : "an error: " + q.lastError().text();
        if (got != check.expected)
            failed << check.sql + " gave " + got + ", not " + check.expected;
    }
    return failed;
}

} // namespace

int runOnFileDatabase(int argc, char** argv, void (*fill)(gc::Tdm&),
                      const std::vector<DataCheck>& checks,
                      const std::vector<DatabaseBenchmark>& benchmarks) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    openFileDatabase(dm, dir);
    gc::EnsureSchema(dm);
    fill(dm);
    if (const QStringList failed = failedChecks(dm, checks); !failed.isEmpty()) {
        std::fprintf(stderr, "the data is not what the benchmarks claim:\n%s\n",
                     qPrintable(failed.join('\n')));
        return 1;
    }
    for (const DatabaseBenchmark& b : benchmarks) {
        auto* registered = benchmark::RegisterBenchmark(b.name, b.run, &dm)->Unit(b.unit);
        for (int64_t arg : b.args)
            registered->Arg(arg);
    }
    return runBenchmarks(argc, argv);
}

QString openBenchDatabase(gc::Tdm& dm, const QTemporaryDir& dir) {
    const QString server = qEnvironmentVariable("GC_BENCH_PG");
    if (server.isEmpty()) {
        openFileDatabase(dm, dir);
        return QStringLiteral("SQLite");
    }
    dm.ADOConnection1.setConnectionString(server);
    dm.ADOConnection1.open();
    return QStringLiteral("PostgreSQL");
}

void insertRows(gc::Tdm& dm, const QString& insertSql, int count,
                const std::function<QVariantList(int)>& row) {
    insertRows(dm.ADOConnection1, insertSql, count, row);
}

void insertRows(gc::db::Connection& c, const QString& insertSql, int count,
                const std::function<QVariantList(int)>& row) {
    QSqlDatabase db = c.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(insertSql);
    for (int i = 0; i < count; ++i) {
        for (const QVariant& v : row(i))
            q.addBindValue(v);
        if (!q.exec())
            qFatal("row %d refused: %s", i, qPrintable(q.lastError().text()));
    }
    db.commit();
}

void insertVehicles(gc::db::Connection& c, int count) {
    namespace khodro = gc::registers::khodro;
    insertRows(c,
               "insert into khodro (ranande, num, exit_dat, exit_tim, elat, maghsad, vorod_dat, "
               "vorod_tim, cmt, negahban1, negahban2, khodro_typ) values (?,?,?,?,?,?,?,?,?,?,?,?)",
               count, [](int i) -> QVariantList {
                   const QString day = dayText(i / kVehiclesPerDay);
                   const QString time = timeText(i);
                   return {QStringLiteral("راننده %1").arg(i % kVehicleDrivers),
                           QString::number(100000 + i % 9000),
                           day,
                           time,
                           QStringLiteral("ماموريت"),
                           QStringLiteral("دفتر مركزي"),
                           day,
                           time,
                           QString(),
                           QStringLiteral("نگهبان يك"),
                           QStringLiteral("نگهبان دو"),
                           i % 3 ? khodro::kPersonal : khodro::kOfficial};
               });
}

QString dayText(int day) {
    return QStringLiteral("14%1/%2/%3")
        .arg(day / 360, 2, 10, QChar('0'))
        .arg(day / 30 % 12 + 1, 2, 10, QChar('0'))
        .arg(day % 30 + 1, 2, 10, QChar('0'));
}

std::vector<gc::registers::FilterInput> dateFilter(int filters, int index, int first, int last) {
    std::vector<gc::registers::FilterInput> inputs(filters);
    inputs[index] = {true, {dayText(first), dayText(last)}};
    return inputs;
}

QString timeText(int i) {
    return QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
}

void searchAndCount(benchmark::State& state, gc::db::Query& list, gc::db::Query& counter,
                    const gc::registers::SearchSpec& spec,
                    const std::vector<gc::registers::FilterInput>& inputs,
                    const QString& expected) {
    for (auto _ : state) {
        const QString count = gc::registers::RunSearch(list, counter, spec, inputs);
        benchmark::DoNotOptimize(list.valueAt(0, 1));
        if (count != expected)
            state.SkipWithError("wrong count");
    }
}

namespace {

// How a benchmark stopped as asked begins its message; the run does not fail for it.
constexpr const char* kSkipped = "skipped as GC_BENCH_SKIP_PG asks: ";

bool skipAsked() {
    return qEnvironmentVariable("GC_BENCH_SKIP_PG") == QLatin1String("1");
}

// The console's report, noting whether a benchmark stopped with an error.
class ErrorNotingReporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, as the library's own console report.
    ErrorNotingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Color : OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            failed_ = failed_ || (run.error_occurred && run.error_message.rfind(kSkipped, 0) != 0);
        ConsoleReporter::ReportRuns(runs);
    }
    bool failed() const { return failed_; }

  private:
    bool failed_ = false;
};

} // namespace

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

double peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

int runBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ErrorNotingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.failed()) {
        std::fprintf(stderr, "a benchmark stopped with an error: its figures do not hold\n");
        return 1;
    }
    return 0;
}

bool serverMissing(const QString& why) {
    if (skipAsked()) {
        std::fprintf(stderr, "PostgreSQL benchmarks %s%s\n", kSkipped, qPrintable(why));
        return false;
    }
    std::fprintf(stderr,
                 "PostgreSQL benchmarks cannot run: %s (GC_BENCH_SKIP_PG=1 runs the others "
                 "without them)\n",
                 qPrintable(why));
    return true;
}

void stopWithoutServer(benchmark::State& state, const QString& why) {
    state.SkipWithError(((skipAsked() ? kSkipped : "") + why.toStdString()).c_str());
}

} // namespace gcbench
