#include "bench/support/bench_support.h"
#include "platform/db/query.h"
#include "registers/khodro/core/khodro_sql.h"
#include "registers/shared/core/sort_text.h"

#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kRows = 1000000;

// 1,000,000 vehicle rows.
void fill(gc::Tdm& dm) {
    gcbench::insertVehicles(dm.ADOConnection1, kRows);
}

// The exit-date filter on days `first` to `last`.
std::vector<FilterInput> exitDates(int first, int last) {
    return gcbench::dateFilter(6, 2, first, last);
}

// The search and its count with the exit-date filter on one day.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    gcbench::searchAndCount(state, dm->ADOQ_khodro, dm->ADOQuery1, khodro::listSearch(),
                            exitDates(500, 500), "1000");
}

// Every filter off: the list query opens and shows its first rows; the count is separate.
void BM_AllFiltersOffFirstRows(benchmark::State& state, gc::Tdm* dm) {
    const SearchSql sql = buildSearch(khodro::listSearch(), std::vector<FilterInput>(6));
    gc::db::Query& q = dm->ADOQ_khodro;
    for (auto _ : state) {
        q.openSql(sql.select);
        for (int row = 0; row < 40; ++row)
            benchmark::DoNotOptimize(q.valueAt(row, 1));
        if (!q.valueAt(39, 1).isValid())
            state.SkipWithError("the list opened with fewer than 40 rows");
    }
}

void BM_AllFiltersOffCount(benchmark::State& state, gc::Tdm* dm) {
    const SearchSql sql = buildSearch(khodro::listSearch(), std::vector<FilterInput>(6));
    for (auto _ : state) {
        dm->ADOQuery1.openSql(sql.count);
        if (dm->ADOQuery1.fieldByName("c").asString() != QString::number(kRows))
            state.SkipWithError("wrong count");
    }
}

// A title click on a list of 10,000 fetched rows (ten days), ascending and descending in turn.
void BM_TitleClickSort10k(benchmark::State& state, gc::Tdm* dm) {
    gc::db::Query& q = dm->ADOQ_khodro;
    RunSearch(q, dm->ADOQuery1, khodro::listSearch(), exitDates(600, 609));
    q.last();
    if (q.recordCount() != 10000)
        state.SkipWithError("wrong row count");
    q.first();
    for (auto _ : state) {
        q.setSort(NextSortText(q.sort(), QStringLiteral("ranande")));
        for (int row = 0; row < 40; ++row)
            benchmark::DoNotOptimize(q.valueAt(row, 1));
    }
}

} // namespace

int main(int argc, char** argv) {
    return gcbench::runOnFileDatabase(
        argc, argv, fill,
        {{"select count(*) from khodro", QString::number(kRows)},
         {"select ranande from khodro where id=777778", QStringLiteral("راننده 2777")}},
        {{"OneDaySearchAndCount_1M", BM_OneDaySearchAndCount},
         {"AllFiltersOffFirstRows_1M", BM_AllFiltersOffFirstRows},
         {"AllFiltersOffCount_1M", BM_AllFiltersOffCount},
         {"TitleClickSort_10k", BM_TitleClickSort10k}});
}
