#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "registers/shared/core/search_sql.h"
#include "registers/shared/core/sort_text.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gc::registers;
using gc::db::quoted;

namespace {

constexpr int kRows = 1000000;
constexpr int kDays = 1000; // 1,000 vehicles a day

// A file database of 1,000,000 vehicle rows, made with the program's own schema.
void fill(gc::Tdm& dm) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("insert into khodro (ranande, num, exit_dat, exit_tim, elat, maghsad, vorod_dat, "
              "vorod_tim, cmt, negahban1, negahban2, khodro_typ) values (?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < kRows; ++i) {
        const int day = i / (kRows / kDays);
        const QString time =
            QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
        for (const QVariant& v :
             {QVariant(QStringLiteral("راننده %1").arg(i % 5000)),
              QVariant(QString::number(100000 + i % 9000)), QVariant(gcbench::dayText(day)),
              QVariant(time), QVariant(QStringLiteral("ماموريت")),
              QVariant(QStringLiteral("دفتر مركزي")), QVariant(gcbench::dayText(day)),
              QVariant(time), QVariant(QString()), QVariant(QStringLiteral("نگهبان يك")),
              QVariant(QStringLiteral("نگهبان دو")),
              QVariant(i % 3 ? QStringLiteral("شخصي") : QStringLiteral("اداري"))})
            q.addBindValue(v);
        q.exec();
    }
    db.commit();
}

SearchSpec vehicleSearch() {
    SearchSpec s = searchOn("khodro", "ID<>-1", " order by exit_dat desc,exit_tim desc ");
    s.filters = {likeFilter(" and ranande like "),
                 likeFilter(" and num like "),
                 rangeFilter(" and exit_dat>=", " and exit_dat<="),
                 rangeFilter(" and vorod_dat>=", " and vorod_dat<="),
                 fixedFilter(" and vorod_dat=" + quoted(QStringLiteral("    /  /  "))),
                 exactFilter(" and khodro_typ=")};
    return s;
}

std::vector<FilterInput> dateRange(const QString& from, const QString& to) {
    std::vector<FilterInput> in(6);
    in[2] = {true, {from, to}};
    return in;
}

// The search and its count with the exit-date filter on one day.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    const auto in = dateRange(gcbench::dayText(500), gcbench::dayText(500));
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_khodro, dm->ADOQuery1, vehicleSearch(), in);
        benchmark::DoNotOptimize(dm->ADOQ_khodro.fieldByName("ranande").asString());
        if (count != "1000")
            state.SkipWithError("wrong count");
    }
}

// Every filter off: the list query opens and shows its first rows; the count is separate.
void BM_AllFiltersOffFirstRows(benchmark::State& state, gc::Tdm* dm) {
    const SearchSql sql = buildSearch(vehicleSearch(), std::vector<FilterInput>(6));
    gc::db::Query& q = dm->ADOQ_khodro;
    for (auto _ : state) {
        q.close();
        q.sql().clear();
        for (const QString& line : sql.select)
            q.sql().add(line);
        q.open();
        for (int row = 0; row < 40; ++row)
            benchmark::DoNotOptimize(q.valueAt(row, 1));
    }
}

void BM_AllFiltersOffCount(benchmark::State& state, gc::Tdm* dm) {
    const SearchSql sql = buildSearch(vehicleSearch(), std::vector<FilterInput>(6));
    for (auto _ : state) {
        dm->ADOQuery1.sql().clear();
        for (const QString& line : sql.count)
            dm->ADOQuery1.sql().add(line);
        dm->ADOQuery1.open();
        benchmark::DoNotOptimize(dm->ADOQuery1.fieldByName("c").asString());
    }
}

// A title click on a list of 10,000 fetched rows (ten days), ascending and descending in turn.
void BM_TitleClickSort10k(benchmark::State& state, gc::Tdm* dm) {
    gc::db::Query& q = dm->ADOQ_khodro;
    RunSearch(q, dm->ADOQuery1, vehicleSearch(),
              dateRange(gcbench::dayText(600), gcbench::dayText(609)));
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
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    gcbench::openFileDatabase(dm, dir);
    fill(dm);
    benchmark::RegisterBenchmark("OneDaySearchAndCount_1M", BM_OneDaySearchAndCount, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("AllFiltersOffFirstRows_1M", BM_AllFiltersOffFirstRows, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("AllFiltersOffCount_1M", BM_AllFiltersOffCount, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TitleClickSort_10k", BM_TitleClickSort10k, &dm)
        ->Unit(benchmark::kMillisecond);
    return gcbench::runBenchmarks(argc, argv);
}
