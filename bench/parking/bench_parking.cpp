#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/preset_lists.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "registers/parking/core/parking_sql.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kPlates = 300;     // official vehicles
constexpr int kDays = 3000;      // about eight years
constexpr int kParkedADay = 250; // the rest are absent each day: 750,000 rows

QString plate(int i) {
    return QStringLiteral("%1د%2").arg(10 + i % 90).arg(100 + i);
}

// A file database with the official plate list and 750,000 parking rows, made with the
// program's own schema.
void fill(gc::Tdm& dm) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("insert into setting (component, cmt) values (?, ?)");
    for (int i = 0; i < kPlates; ++i) {
        q.addBindValue(gc::presets::kOfficialPlate);
        q.addBindValue(plate(i));
        q.exec();
    }
    q.prepare("insert into parking (num, dat, loc, cmt, negahban) values (?, ?, ?, ?, ?)");
    for (int day = 0; day < kDays; ++day)
        for (int i = 0; i < kParkedADay; ++i) {
            q.addBindValue(plate((day + i) % kPlates));
            q.addBindValue(gcbench::dayText(day));
            q.addBindValue(i % 7 ? QStringLiteral("حياط") : QStringLiteral("انبار"));
            q.addBindValue(QString());
            q.addBindValue(QStringLiteral("نگهبان يك"));
            q.exec();
        }
    db.commit();
}

// The absentee count and list for one day and for a month.
void BM_Absentees(benchmark::State& state, gc::Tdm* dm) {
    const int days = int(state.range(0));
    const QString from = gcbench::dayText(1500);
    const QString to = gcbench::dayText(1500 + days - 1);
    // Each day parks the next run of plates: a range of days covers that many more.
    const int expected = std::max(0, kPlates - kParkedADay - (days - 1));
    for (auto _ : state) {
        const parking::Absentees a = parking::ReadAbsentees(dm->ADOQuery1, from, to);
        if (a.plates.size() != expected || a.count.toInt() != expected)
            state.SkipWithError("wrong absentees");
    }
}

// The list's search and count on one day.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    std::vector<FilterInput> in(3);
    in[0] = {true, {gcbench::dayText(1500), gcbench::dayText(1500)}};
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_parking, dm->ADOQuery1, parking::listSearch(), in);
        benchmark::DoNotOptimize(dm->ADOQ_parking.fieldByName("num").asString());
        if (count != QString::number(kParkedADay))
            state.SkipWithError("wrong count");
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    gcbench::openFileDatabase(dm, dir);
    fill(dm);
    benchmark::RegisterBenchmark("Absentees_750k", BM_Absentees, &dm)
        ->Arg(1)
        ->Arg(30)
        ->Arg(365)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OneDaySearchAndCount_750k", BM_OneDaySearchAndCount, &dm)
        ->Unit(benchmark::kMillisecond);
    return gcbench::runBenchmarks(argc, argv);
}
