#include "bench/support/bench_support.h"
#include "platform/xlsx/spreadsheet.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

class NoOpener : public gc::xlsx::FileOpener {
  public:
    bool open(const QString&) override { return false; }
};

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A list export of 100,000 rows of 15 text fields, through the whole object model.
void BM_Export100kRows15Columns(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int columns = 15;
    QTemporaryDir dir;
    const QStringList sample = {QStringLiteral("علي رضايي"),    QStringLiteral("12ب345-67"),
                                QStringLiteral("1403/05/21"),   QStringLiteral("14:30"),
                                QStringLiteral("0012"),         QStringLiteral("شخصي"),
                                QStringLiteral("ماموريت اداري")};
    for (auto _ : state) {
        NoOpener opener;
        gc::xlsx::Application excel(opener, dir.path());
        excel.WorkBooks().Add(gc::xlsx::xlWBATWorksheet);
        gc::xlsx::Worksheet* sheet = excel.WorkBooks().Item(1)->WorkSheets("Sheet1");
        for (int c = 1; c <= columns; ++c) {
            sheet->Cells(1, c).setValue(QStringLiteral("ستون %1").arg(c));
            sheet->Columns(c).setColumnWidth(10);
        }
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                sheet->Cells(r + 2, c + 1).setValue(sample[(r + c) % sample.size()]);
        }
        sheet->Range("A1:AA1").Font().setBold(true);
        sheet->Range("A1:M1").Borders().setLineStyle(13);
        sheet->Range(QStringLiteral("A2:M%1").arg(rows + 1)).Borders().setLineStyle(1);
        const auto done = excel.show();
        if (done.size() != 1 || !done[0].error.isEmpty()) {
            state.SkipWithError("export failed");
            return;
        }
        QFile::remove(done[0].path);
    }
    state.counters["peak_rss_MB"] = peakRssMb();
}
BENCHMARK(BM_Export100kRows15Columns)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
