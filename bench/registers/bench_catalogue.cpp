#include "bench/support/bench_support.h"
#include "platform/db/query.h"
#include "registers/kala/core/kala_sql.h"
#include "registers/loh/core/loh_sql.h"

#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kGoods = 100000;
constexpr int kRosterDays = 3650; // ten years
constexpr int kPlaces = 10;
constexpr int kShifts = 3;

// 100,000 goods and ten years of a roster of ten places and three shifts (109,500 rows).
void fill(gc::Tdm& dm) {
    gcbench::insertRows(
        dm, "insert into kala (cod, cmt, vahed) values (?,?,?)", kGoods, [](int i) -> QVariantList {
            return {QString::number(100000 + i), QStringLiteral("قطعه شماره %1").arg(i % 20000),
                    i % 2 ? QStringLiteral("عدد") : QStringLiteral("بسته")};
        });
    const QStringList shifts = {"روز", "روز و شب", "شب"};
    gcbench::insertRows(dm, "insert into loh (dat, loc, day, shift, negahban) values (?,?,?,?,?)",
                        kRosterDays * kPlaces * kShifts, [&shifts](int row) -> QVariantList {
                            const int shift = row % kShifts;
                            const int place = row / kShifts % kPlaces;
                            const int day = row / (kShifts * kPlaces);
                            return {gcbench::dayText(day), QStringLiteral("درب %1").arg(place),
                                    QStringLiteral("شنبه"), shifts[shift],
                                    QStringLiteral("نگهبان %1").arg((day + place + shift) % 40)};
                        });
}

// One keystroke in the catalogue's search box: the search and its count.
void BM_CatalogueKeystroke(benchmark::State& state, gc::Tdm* dm) {
    const QString typed = QStringLiteral("1234");
    int expected = 0;
    for (int i = 0; i < kGoods; ++i)
        expected += QString::number(100000 + i).contains(typed) ? 1 : 0;
    gcbench::searchAndCount(state, dm->ADOQ_kala, dm->ADOQuery1, kala::catalogueSearch(),
                            {{true, {typed}, 0}}, QString::number(expected));
}

// The duplicate check before a new catalogue entry.
void BM_CatalogueDuplicateCheck(benchmark::State& state, gc::Tdm* dm) {
    gc::db::Query& q = dm->ADOQuery1;
    for (auto _ : state) {
        q.openSql(kala::duplicateSql("150000", "قطعه شماره 10000", "بسته"));
        if (q.isEmpty())
            state.SkipWithError("duplicate not found");
    }
}

// The guard log's count and search on one day.
void BM_RosterOneDay(benchmark::State& state, gc::Tdm* dm) {
    gcbench::searchAndCount(state, dm->ADOQ_loh, dm->ADOQuery1, loh::listSearch(),
                            gcbench::dateFilter(4, 0, 1800, 1800),
                            QString::number(kPlaces * kShifts));
}

// The roster slot check before a new row.
void BM_RosterDuplicateCheck(benchmark::State& state, gc::Tdm* dm) {
    gc::db::Query& q = dm->ADOQuery1;
    for (auto _ : state) {
        q.openSql({loh::duplicateSql(gcbench::dayText(1800), "درب 3", "شنبه", "شب")});
        if (q.isEmpty())
            state.SkipWithError("slot not found");
    }
}

} // namespace

int main(int argc, char** argv) {
    return gcbench::runOnFileDatabase(
        argc, argv, fill,
        {{"select count(*) from kala", QString::number(kGoods)},
         {"select cmt from kala where id=20001", QStringLiteral("قطعه شماره 0")},
         {"select count(*) from loh", QString::number(kRosterDays * kPlaces * kShifts)}},
        {{"CatalogueKeystroke_100k", BM_CatalogueKeystroke},
         {"CatalogueDuplicateCheck_100k", BM_CatalogueDuplicateCheck},
         {"RosterOneDay_110k", BM_RosterOneDay},
         {"RosterDuplicateCheck_110k", BM_RosterDuplicateCheck}});
}
