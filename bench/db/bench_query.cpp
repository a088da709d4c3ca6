// Opening a large register and showing its first rows, and scrolling through it all,
// on the file database. Run: bench_query [--benchmark_filter=...]
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query_model.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kRows = 1'000'000;

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

// A file of a million visits, made once and kept in the temporary folder.
gc::Tdm& database() {
    static gc::Tdm* dm = [] {
        auto* d = new gc::Tdm;
        const QString path = QDir::temp().filePath("gatecontrol-bench-visits.accdb");
        const bool fresh = !QFile::exists(path);
        d->ADOConnection1.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                              path);
        d->ADOConnection1.open();
        if (fresh) {
            gc::EnsureSchema(*d);
            QSqlDatabase db = d->ADOConnection1.database();
            db.transaction();
            QSqlQuery q(db);
            q.prepare("insert into arbabrojo (name, maghsad, tabaghe, otagh, cart_no, madrak, dat, "
                      "vorod, khoroj, gender, cmt, negahban, barcod, nazar) values "
                      "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            for (int i = 0; i < kRows; ++i) {
                const QString n = QString::number(i);
                for (const QString& v :
                     {QString::fromUtf8("مراجع ") + n, QString::fromUtf8("اداره مالي"),
                      QString("2"), QString("21"), n, QString::fromUtf8("کارت ملي"),
                      QString("1403/%1/%2")
                          .arg(i % 12 + 1, 2, 10, QChar('0'))
                          .arg(i % 29 + 1, 2, 10, QChar('0')),
                      QString("08:15"), QString("  :  "), QString::fromUtf8("مرد"), QString(),
                      QString::fromUtf8("نگهبان"), n, QString()})
                    q.addBindValue(v);
                q.exec();
            }
            db.commit();
        }
        return d;
    }();
    return *dm;
}

void OpenAndShowFirstRows(benchmark::State& state) {
    gc::db::Query& q = database().ADOQ_arbabrojo;
    for (auto _ : state) {
        q.sql().clear();
        q.sql().add("select * from arbabrojo where id<>-1 order by id desc");
        q.open();
        gc::db::QueryModel model(q);
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.data(model.index(r, c)));
    }
    state.counters["peak_MB"] = peakMb();
}
BENCHMARK(OpenAndShowFirstRows)->Unit(benchmark::kMillisecond);

void ScrollThroughEveryRow(benchmark::State& state) {
    gc::db::Query& q = database().ADOQ_arbabrojo;
    for (auto _ : state) {
        q.sql().clear();
        q.sql().add("select * from arbabrojo where id<>-1 order by id desc");
        q.open();
        gc::db::QueryModel model(q);
        while (model.canFetchMore({}))
            model.fetchMore({});
        for (int r = 0; r < model.rowCount(); r += 37)
            benchmark::DoNotOptimize(model.data(model.index(r, 1)));
        state.counters["rows"] = model.rowCount();
    }
    state.counters["peak_MB"] = peakMb();
}
BENCHMARK(ScrollThroughEveryRow)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    database();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
