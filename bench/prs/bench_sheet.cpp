// The monthly sheet over 500,000 traffic rows: one person's 31 days, everyone's 31 days and a
// whole year, on the file database or (GC_BENCH_PG set to a connection string) a server.
// Each figure is set against the same statement read through the engine's own C library.
#include "bench/support/bench_peers.h"
#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/sql_text.h"
#include "registers/prs/core/monthly_sheet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace prs = gc::registers::prs;

namespace {

constexpr int kRows = 500000;
constexpr int kDays = 1000; // 500 records a day
constexpr int kPersons = 20000;
constexpr int kBatch = 500;

// Day `day` from 1400/01/01 on, in real months: 31 days in months 1 to 6, 30 after.
QString realDay(int day) {
    int year = 1400 + day / 365;
    int rest = day % 365;
    int month = 1;
    while (rest >= (month <= 6 ? 31 : 30)) {
        rest -= month <= 6 ? 31 : 30;
        ++month;
    }
    return QStringLiteral("%1/%2/%3")
        .arg(year)
        .arg(month, 2, 10, QChar('0'))
        .arg(rest + 1, 2, 10, QChar('0'));
}

void fill(gc::Tdm& dm) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    QSqlQuery q(db);
    q.exec("delete from prs");
    db.transaction();
    for (int start = 0; start < kRows; start += kBatch) {
        QStringList values;
        for (int i = start; i < start + kBatch; ++i) {
            const QString time = QStringLiteral("%1:%2")
                                     .arg(i % 24, 2, 10, QChar('0'))
                                     .arg(i % 60, 2, 10, QChar('0'));
            values << "(" + gc::db::quoted(QString::number(i % kPersons)) + "," +
                          gc::db::quoted(QStringLiteral("نام %1").arg(i % kPersons)) + "," +
                          gc::db::quoted(realDay(i / (kRows / kDays))) + "," +
                          gc::db::quoted(time) + "," + gc::db::quoted(time) + ")";
        }
        q.exec("insert into prs (cart_no, nam, exit_dat, vorod_tim, exit_tim) values " +
               values.join(','));
    }
    db.commit();
    q.exec("analyze");
}

struct Range {
    QString from, to;
};

void BM_Sheet(benchmark::State& state, gc::Tdm* dm, Range range, prs::SheetFilter filter,
              int expectedRecords) {
    const prs::SheetDays days = prs::SheetDayList(range.from, range.to);
    int records = 0;
    for (const prs::SheetLine& line :
         prs::BuildMonthlySheet(dm->ADOConnection1, filter, days.days, 0).lines)
        for (const QString& v : line.v)
            records += v.isEmpty() ? 0 : 1;
    if (!days.error.isEmpty() || records != expectedRecords) {
        state.SkipWithError(
            qPrintable(QStringLiteral("data: %1 records, %2").arg(records).arg(days.error)));
        return;
    }
    QElapsedTimer t;
    t.start();
    for (auto _ : state)
        benchmark::DoNotOptimize(prs::BuildMonthlySheet(dm->ADOConnection1, filter, days.days, 0));
    const double oursMs = double(t.nsecsElapsed()) / 1e6 / double(state.iterations());
    const auto reader = gcbench::makePeer(dm->ADOConnection1.connectionString());
    const double peer = gcbench::readAllMs(
        *reader, {prs::SheetRecordsSql(filter, days.days.front(), days.days.back()).join('\n')},
        10);
    state.counters["peer_ms"] = peer;
    state.counters["ratio_to_peer"] = oursMs / peer;
    state.counters["lines"] = double(days.days.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    const QString engine = gcbench::openBenchDatabase(dm, dir);
    fill(dm);
    QSqlQuery check(dm.ADOConnection1.database());
    if (!check.exec("select count(*) from prs") || !check.next() ||
        check.value(0).toInt() != kRows) {
        qCritical("the traffic table does not hold %d rows", kRows);
        return 1;
    }
    const Range month{realDay(400), realDay(430)};      // 31 days
    const Range year{realDay(365), realDay(365 + 365)}; // 366 days
    // Card 15000 writes one record every 20,000: none or one a month.
    auto* one = benchmark::RegisterBenchmark(
        qPrintable(engine + "/Sheet_OnePerson_31Days_500k"), BM_Sheet, &dm, month,
        prs::SheetFilter{QStringLiteral("15000"), std::nullopt}, 1);
    // Everyone: 500 records a day, the first four of each day on the sheet.
    auto* all = benchmark::RegisterBenchmark(qPrintable(engine + "/Sheet_Everyone_31Days_500k"),
                                             BM_Sheet, &dm, month, prs::SheetFilter{}, 31 * 4);
    auto* whole = benchmark::RegisterBenchmark(qPrintable(engine + "/Sheet_Everyone_366Days_500k"),
                                               BM_Sheet, &dm, year, prs::SheetFilter{}, 366 * 4);
    for (auto* b : {one, all, whole})
        b->Unit(benchmark::kMillisecond);
    return gcbench::runBenchmarks(argc, argv);
}
