#include "bench/support/bench_support.h"
#include "platform/db/query.h"
#include "registers/anbar/core/anbar_sql.h"

#include <benchmark/benchmark.h>

using namespace gc::registers;

namespace {

constexpr int kRows = 365000;
constexpr int kDays = 365; // 1,000 movements a day for a year
constexpr int kPersons = 300;

int dayOf(int row) {
    return row / (kRows / kDays);
}

QString receiver(int row) {
    return QStringLiteral("گيرنده %1").arg(row % kPersons);
}

// A year of movements.
void fill(gc::Tdm& dm) {
    const QStringList types = anbar::movementTypes();
    gcbench::insertRows(
        dm,
        "insert into anbar (typ, cod, kala, vahed, cnt, dat, saat, maghsad, prs1, prs2, "
        "negahban) values (?,?,?,?,?,?,?,?,?,?,?)",
        kRows, [&types](int i) -> QVariantList {
            return {types[i % 4],
                    QString::number(i % 5000),
                    QStringLiteral("كالاي %1").arg(i % 5000),
                    QStringLiteral("عدد"),
                    QString::number(i % 50),
                    gcbench::dayText(dayOf(i)),
                    QStringLiteral("%1:00").arg(i % 24, 2, 10, QChar('0')),
                    QStringLiteral("انبار %1").arg(i % 7),
                    QStringLiteral("تحويل دهنده %1").arg(i % kPersons),
                    receiver(i),
                    QStringLiteral("نگهبان يك")};
        });
}

// The list as it opens: today's movements and their count.
void BM_OneDaySearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    gcbench::searchAndCount(state, dm->ADOQ_anbar, dm->ADOQuery1, anbar::listSearch(),
                            gcbench::dateFilter(5, 2, 200, 200), "1000");
}

// A month with the deliverer-or-receiver filter, which no index helps.
void BM_MonthPersonSearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    const int first = 180;
    const int last = 209;
    const QString person = QStringLiteral("گيرنده 17");
    std::vector<FilterInput> in = gcbench::dateFilter(5, 2, first, last);
    in[4] = {true, {person}};
    int expected = 0;
    for (int i = 0; i < kRows; ++i)
        expected += dayOf(i) >= first && dayOf(i) <= last && receiver(i).contains(person);
    gcbench::searchAndCount(state, dm->ADOQ_anbar, dm->ADOQuery1, anbar::listSearch(), in,
                            QString::number(expected));
}

} // namespace

int main(int argc, char** argv) {
    return gcbench::runOnFileDatabase(
        argc, argv, fill,
        {{"select count(*) from anbar", QString::number(kRows)},
         {"select prs2 from anbar where id=18", receiver(17)}},
        {{"OneDaySearchAndCount_365k", BM_OneDaySearchAndCount},
         {"MonthPersonSearchAndCount_365k", BM_MonthPersonSearchAndCount}});
}
