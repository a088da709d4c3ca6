#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "registers/kala/core/kala_sql.h"
#include "registers/loh/core/loh_sql.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kGoods = 100000;
constexpr int kRosterDays = 3650; // ten years
constexpr int kPlaces = 10;
constexpr int kShifts = 3;

QString dayText(int day) {
    return QStringLiteral("1%1/%2/%3")
        .arg(395 + day / 365, 3, 10, QChar('0'))
        .arg(day % 365 / 31 + 1, 2, 10, QChar('0'))
        .arg(day % 31 + 1, 2, 10, QChar('0'));
}

// 100,000 goods and ten years of a roster of ten places and three shifts (109,500 rows).
void fill(gc::Tdm& dm) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("insert into kala (cod, cmt, vahed) values (?,?,?)");
    for (int i = 0; i < kGoods; ++i) {
        q.addBindValue(QString::number(100000 + i));
        q.addBindValue(QStringLiteral("قطعه شماره %1").arg(i % 20000));
        q.addBindValue(i % 2 ? QStringLiteral("عدد") : QStringLiteral("بسته"));
        q.exec();
    }
    q.prepare("insert into loh (dat, loc, day, shift, negahban) values (?,?,?,?,?)");
    const QStringList shifts = {"روز", "روز و شب", "شب"};
    for (int day = 0; day < kRosterDays; ++day)
        for (int place = 0; place < kPlaces; ++place)
            for (int shift = 0; shift < kShifts; ++shift) {
                q.addBindValue(dayText(day));
                q.addBindValue(QStringLiteral("درب %1").arg(place));
                q.addBindValue(QStringLiteral("شنبه"));
                q.addBindValue(shifts[shift]);
                q.addBindValue(QStringLiteral("نگهبان %1").arg((day + place + shift) % 40));
                q.exec();
            }
    db.commit();
}

// One keystroke in the catalogue's search box: the search and its count.
void BM_CatalogueKeystroke(benchmark::State& state, gc::Tdm* dm) {
    const QString typed = QStringLiteral("1234");
    const std::vector<FilterInput> in = {{true, {typed}, 0}};
    int expected = 0;
    for (int i = 0; i < kGoods; ++i)
        expected += QString::number(100000 + i).contains(typed) ? 1 : 0;
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_kala, dm->ADOQuery1, kala::catalogueSearch(), in);
        if (count != QString::number(expected))
            state.SkipWithError("wrong count");
    }
}

// The duplicate check before a new catalogue entry.
void BM_CatalogueDuplicateCheck(benchmark::State& state, gc::Tdm* dm) {
    gc::db::Query& q = dm->ADOQuery1;
    for (auto _ : state) {
        q.sql().clear();
        for (const QString& line : kala::duplicateSql("150000", "قطعه شماره 10000", "بسته"))
            q.sql().add(line);
        q.open();
        if (q.isEmpty())
            state.SkipWithError("duplicate not found");
    }
}

// The guard log's count and search on one day.
void BM_RosterOneDay(benchmark::State& state, gc::Tdm* dm) {
    std::vector<FilterInput> in(4);
    in[0] = {true, {dayText(1800), dayText(1800)}};
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_loh, dm->ADOQuery1, loh::listSearch(), in);
        if (count != "30")
            state.SkipWithError("wrong count");
    }
}

// The roster slot check before a new row.
void BM_RosterDuplicateCheck(benchmark::State& state, gc::Tdm* dm) {
    gc::db::Query& q = dm->ADOQuery1;
    for (auto _ : state) {
        q.sql().clear();
        q.sql().add(loh::duplicateSql(dayText(1800), "درب 3", "شنبه", "شب"));
        q.open();
        if (q.isEmpty())
            state.SkipWithError("slot not found");
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    gcbench::openFileDatabase(dm, dir);
    fill(dm);
    benchmark::RegisterBenchmark("CatalogueKeystroke_100k", BM_CatalogueKeystroke, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CatalogueDuplicateCheck_100k", BM_CatalogueDuplicateCheck, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RosterOneDay_110k", BM_RosterOneDay, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RosterDuplicateCheck_110k", BM_RosterDuplicateCheck, &dm)
        ->Unit(benchmark::kMillisecond);
    return gcbench::runBenchmarks(argc, argv);
}
