#include "bench/support/bench_support.h"
#include "platform/report/output.h"
#include "sample_layouts.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

// A register list report of 10,000 rows (12 columns a row) laid out and written as PDF.
void BM_ListReportPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    auto rows = gc::report::sample::vehicleRows(int(state.range(0)));
    int pages = 0;
    for (auto _ : state) {
        gc::report::Report report;
        gc::report::sample::layoutVehicleList(report);
        report.data = rows.get();
        const auto result = gc::report::writePdf(report, path);
        if (!result.ok()) {
            state.SkipWithError("report failed");
            return;
        }
        pages = result.pages;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["pages"] = pages;
    state.counters["pdf_MB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ListReportPdf)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
