#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "registers/anbar/core/anbar_sql.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kRows = 365000;
constexpr int kDays = 365; // 1,000 movements a day for a year

QString dayText(int day) {
    return QStringLiteral("1403/%1/%2")
        .arg(day / 30 % 12 + 1, 2, 10, QChar('0'))
        .arg(day % 30 + 1, 2, 10, QChar('0'));
}

// A file database of a year of movements, made with the program's own schema.
void fill(gc::Tdm& dm) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("insert into anbar (typ, cod, kala, vahed, cnt, dat, saat, maghsad, prs1, prs2, "
              "negahban) values (?,?,?,?,?,?,?,?,?,?,?)");
    const QStringList types = anbar::movementTypes();
    for (int i = 0; i < kRows; ++i) {
        const int day = i / (kRows / kDays);
        for (const QVariant& v :
             {QVariant(types[i % 4]), QVariant(QString::number(i % 5000)),
              QVariant(QStringLiteral("كالاي %1").arg(i % 5000)), QVariant(QStringLiteral("عدد")),
              QVariant(QString::number(i % 50)), QVariant(dayText(day)),
              QVariant(QStringLiteral("%1:00").arg(i % 24, 2, 10, QChar('0'))),
              QVariant(QStringLiteral("انبار %1").arg(i % 7)),
              QVariant(QStringLiteral("تحويل دهنده %1").arg(i % 300)),
              QVariant(QStringLiteral("گيرنده %1").arg(i % 300)),
              QVariant(QStringLiteral("نگهبان يك"))})
            q.addBindValue(v);
        q.exec();
    }
    db.commit();
}

// The list as it opens: today's movements and their count.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    std::vector<FilterInput> in(5);
    in[2] = {true, {dayText(200), dayText(200)}};
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_anbar, dm->ADOQuery1, anbar::listSearch(), in);
        benchmark::DoNotOptimize(dm->ADOQ_anbar.fieldByName("kala").asString());
        if (count != "1000")
            state.SkipWithError("wrong count");
    }
}

// A month with the deliverer-or-receiver filter, which no index helps.
void BM_MonthPersonSearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    std::vector<FilterInput> in(5);
    in[2] = {true, {dayText(180), dayText(209)}};
    in[4] = {true, {QStringLiteral("گيرنده 17")}};
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_anbar, dm->ADOQuery1, anbar::listSearch(), in);
        benchmark::DoNotOptimize(count);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    gcbench::openFileDatabase(dm, dir);
    fill(dm);
    benchmark::RegisterBenchmark("OneDaySearchAndCount_365k", BM_OneDaySearchAndCount, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MonthPersonSearchAndCount_365k", BM_MonthPersonSearchAndCount,
                                 &dm)
        ->Unit(benchmark::kMillisecond);
    return gcbench::runBenchmarks(argc, argv);
}
