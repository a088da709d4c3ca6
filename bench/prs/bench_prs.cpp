#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "registers/prs/core/prs_sql.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kRows = 500000;
constexpr int kDays = 1000; // 500 traffic records a day
constexpr int kPersons = 20000;

// A file database of 500,000 traffic rows and 20,000 persons, with the program's schema.
void fill(gc::Tdm& dm) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("insert into prs (cart_no, nam, semat, exit_tim, exit_dat, elat, vorod_tim, cmt, "
              "negahban1, negahban2) values (?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < kRows; ++i) {
        const QString time =
            QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
        for (const QVariant& v :
             {QVariant(QString::number(i % kPersons)),
              QVariant(QStringLiteral("نام %1").arg(i % kPersons)),
              QVariant(QStringLiteral("كارمند")), QVariant(time),
              QVariant(gcbench::dayText(i / (kRows / kDays))), QVariant(QStringLiteral("ماموريت")),
              QVariant(time), QVariant(i % 4 ? QString() : QStringLiteral("پرسنل با خودرو")),
              QVariant(QStringLiteral("نگهبان يك")), QVariant(QStringLiteral("نگهبان دو"))})
            q.addBindValue(v);
        q.exec();
    }
    q.prepare("insert into asami (surname, card_no, khodro_num, vahed_tabe, mobile) values "
              "(?,?,?,?,?)");
    for (int i = 0; i < kPersons; ++i) {
        for (const QVariant& v :
             {QVariant(QStringLiteral("نام %1").arg(i)), QVariant(QString::number(i)),
              QVariant(QString::number(10000 + i)), QVariant(QStringLiteral("مالي")),
              QVariant(QStringLiteral("0912"))})
            q.addBindValue(v);
        q.exec();
    }
    db.commit();
}

void open(gc::db::Query& q, const QStringList& lines) {
    q.close();
    q.sql().clear();
    for (const QString& line : lines)
        q.sql().add(line);
    q.open();
}

// The list's search and count on one day, the way the page opens.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    std::vector<FilterInput> in(7);
    in[5] = {true, {gcbench::dayText(500), gcbench::dayText(500)}};
    for (auto _ : state) {
        const QString count = RunSearch(dm->ADOQ_prs, dm->ADOQuery1, prs::listSearch(), in);
        benchmark::DoNotOptimize(dm->ADOQ_prs.fieldByName("nam").asString());
        if (count != "500")
            state.SkipWithError("wrong count");
    }
}

// What a save runs before it writes: the duplicate check of day, card and surname.
void BM_DuplicateCheck(benchmark::State& state, gc::Tdm* dm) {
    for (auto _ : state) {
        open(dm->ADOQuery1,
             prs::duplicateSql(gcbench::dayText(700), "123", QStringLiteral("نام 123")));
        benchmark::DoNotOptimize(dm->ADOQuery1.isEmpty());
    }
}

// One keystroke in the card box: the directory look-up by card.
void BM_CardLookUp(benchmark::State& state, gc::Tdm* dm) {
    for (auto _ : state) {
        open(dm->ADOQuery1, {prs::personByCardSql("15000")});
        benchmark::DoNotOptimize(dm->ADOQuery1.fieldByName("surname").asString());
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    gcbench::openFileDatabase(dm, dir);
    fill(dm);
    benchmark::RegisterBenchmark("OneDaySearchAndCount_500k", BM_OneDaySearchAndCount, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DuplicateCheck_500k", BM_DuplicateCheck, &dm)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("CardLookUp_20k", BM_CardLookUp, &dm)
        ->Unit(benchmark::kMicrosecond);
    return gcbench::runBenchmarks(argc, argv);
}
