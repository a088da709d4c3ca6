#include "bench/support/bench_support.h"
#include "core/preset_lists.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "registers/parking/core/parking_sql.h"

#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kPlates = 300;     // official vehicles
constexpr int kDays = 3000;      // about eight years
constexpr int kParkedADay = 250; // the rest are absent each day: 750,000 rows

QString plate(int i) {
    return QStringLiteral("%1د%2").arg(10 + i % 90).arg(100 + i);
}

// The official plate list and 750,000 parking rows.
void fill(gc::Tdm& dm) {
    gcbench::insertRows(dm, "insert into setting (component, cmt) values (?, ?)", kPlates,
                        [](int i) -> QVariantList {
                            return {gc::presets::kOfficialPlate, plate(i)};
                        });
    gcbench::insertRows(dm,
                        "insert into parking (num, dat, loc, cmt, negahban) values (?, ?, ?, ?, ?)",
                        kDays * kParkedADay, [](int row) -> QVariantList {
                            const int day = row / kParkedADay;
                            const int i = row % kParkedADay;
                            return {plate((day + i) % kPlates), gcbench::dayText(day),
                                    i % 7 ? QStringLiteral("حياط") : QStringLiteral("انبار"),
                                    QString(), QStringLiteral("نگهبان يك")};
                        });
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
    gcbench::searchAndCount(state, dm->ADOQ_parking, dm->ADOQuery1, parking::listSearch(),
                            gcbench::dateFilter(3, 0, 1500, 1500), QString::number(kParkedADay));
}

} // namespace

int main(int argc, char** argv) {
    return gcbench::runOnFileDatabase(
        argc, argv, fill,
        {{"select count(*) from setting where component=" +
              gc::db::quoted(gc::presets::kOfficialPlate),
          QString::number(kPlates)},
         {"select count(*) from parking", QString::number(kDays * kParkedADay)},
         {"select num from parking where id=1", plate(0)}},
        {{"Absentees_750k", BM_Absentees, benchmark::kMillisecond, {1, 30, 365}},
         {"OneDaySearchAndCount_750k", BM_OneDaySearchAndCount}});
}
