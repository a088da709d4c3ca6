#include "bench/support/bench_support.h"
#include "platform/db/query.h"
#include "registers/prs/core/prs_sql.h"

#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kRows = 500000;
constexpr int kDays = 1000; // 500 traffic records a day
constexpr int kPersons = 20000;

// 500,000 traffic rows and 20,000 persons.
void fill(gc::Tdm& dm) {
    gcbench::insertRows(
        dm,
        "insert into prs (cart_no, nam, semat, exit_tim, exit_dat, elat, vorod_tim, cmt, "
        "negahban1, negahban2) values (?,?,?,?,?,?,?,?,?,?)",
        kRows, [](int i) -> QVariantList {
            const QString time = gcbench::timeText(i);
            return {QString::number(i % kPersons),
                    QStringLiteral("نام %1").arg(i % kPersons),
                    QStringLiteral("كارمند"),
                    time,
                    gcbench::dayText(i / (kRows / kDays)),
                    QStringLiteral("ماموريت"),
                    time,
                    i % 4 ? QString() : QStringLiteral("پرسنل با خودرو"),
                    QStringLiteral("نگهبان يك"),
                    QStringLiteral("نگهبان دو")};
        });
    gcbench::insertRows(dm,
                        "insert into asami (surname, card_no, khodro_num, vahed_tabe, mobile) "
                        "values (?,?,?,?,?)",
                        kPersons, [](int i) -> QVariantList {
                            return {QStringLiteral("نام %1").arg(i), QString::number(i),
                                    QString::number(10000 + i), QStringLiteral("مالي"),
                                    QStringLiteral("0912")};
                        });
}

// The list's search and count on one day, the way the page opens.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    gcbench::searchAndCount(state, dm->ADOQ_prs, dm->ADOQuery1, prs::listSearch(),
                            gcbench::dateFilter(7, 5, 500, 500), "500");
}

// What a save runs before it writes: the duplicate check of day, card and surname, for a
// person who has no record that day (card 123 writes on days 640, 680, 720...).
void BM_DuplicateCheck(benchmark::State& state, gc::Tdm* dm) {
    for (auto _ : state) {
        dm->ADOQuery1.openSql(
            prs::duplicateSql(gcbench::dayText(700), "123", QStringLiteral("نام 123")));
        if (!dm->ADOQuery1.isEmpty())
            state.SkipWithError("a duplicate where there is none");
    }
}

// One keystroke in the card box: the directory look-up by card.
void BM_CardLookUp(benchmark::State& state, gc::Tdm* dm) {
    for (auto _ : state) {
        dm->ADOQuery1.openSql({prs::personByCardSql("15000")});
        if (dm->ADOQuery1.isEmpty() ||
            dm->ADOQuery1.fieldByName("surname").asString() != QStringLiteral("نام 15000"))
            state.SkipWithError("card 15000 is not its person");
    }
}

} // namespace

int main(int argc, char** argv) {
    return gcbench::runOnFileDatabase(
        argc, argv, fill,
        {{"select count(*) from prs", QString::number(kRows)},
         {"select count(*) from asami", QString::number(kPersons)},
         {"select nam from prs where id=32346", QStringLiteral("نام 12345")}},
        {{"OneDaySearchAndCount_500k", BM_OneDaySearchAndCount},
         {"DuplicateCheck_500k", BM_DuplicateCheck, benchmark::kMicrosecond},
         {"CardLookUp_20k", BM_CardLookUp, benchmark::kMicrosecond}});
}
