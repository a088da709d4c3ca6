// The vehicle list's printed report over 100,000 rows as the list window prints it: the
// register's query searched with every filter off, its rows read through the query's data
// source and written as PDF. Beside it the same layout over rows held in memory, which
// leaves the database out. The first, middle and last pages are read back with pdftotext and
// compared with the list's rows. Run: bench_report [--benchmark_filter=...]
#include "bench/support/bench_support.h"
#include "bench/support/kept_database.h"
#include "bench/support/quiet_windows.h"
#include "bench/support/read_back.h"
#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/schema.h"
#include "platform/clock/clock.h"
#include "platform/db/connection.h"
#include "platform/db/query.h"
#include "platform/report/output.h"
#include "platform/xlsx/file_opener.h"
#include "registers/khodro/core/khodro_sql.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/khodro/khodro_list.h"
#include "registers/khodro/khodro_rep.h"
#include "registers/shared/register_context.h"
#include "sample_layouts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>

namespace {

namespace reg = gc::registers;

// Raised whenever the rows below change, so that a kept file of other rows is not measured.
constexpr int kGeneratorVersion = 1;
constexpr int kRows = 100'000;

bool fill(gc::db::Connection& c) {
    if (!gc::EnsureSchema(c).complete())
        return false;
    gcbench::insertVehicles(c, kRows);
    return true;
}

// What is wrong with the vehicle rows, if anything.
QString dataProblem(gc::db::Connection& c) {
    QSqlQuery q(c.database());
    if (!q.exec("select count(*), count(distinct ranande), min(exit_dat), max(exit_dat) from "
                "khodro") ||
        !q.next())
        return QStringLiteral("no vehicle table");
    const QString found = QStringLiteral("%1 rows, %2 drivers, %3 to %4")
                              .arg(q.value(0).toInt())
                              .arg(q.value(1).toInt())
                              .arg(q.value(2).toString(), q.value(3).toString());
    const QString claimed =
        QStringLiteral("%1 rows, %2 drivers, %3 to %4")
            .arg(kRows)
            .arg(gcbench::kVehicleDrivers)
            .arg(gcbench::dayText(0), gcbench::dayText(kRows / gcbench::kVehiclesPerDay - 1));
    return found == claimed ? QString() : found + ", not " + claimed;
}

// The rows a list report's page holds.
int rowsPerPage(const gc::report::Report& layout) {
    const double freeMm = layout.page.contentMm().height() - layout.pageHeader.heightMm -
                          layout.columnHeader.heightMm - layout.pageFooter.heightMm;
    return int(std::floor(freeMm / layout.detail.heightMm));
}

// The printed texts of list row `row` (1-based): its number and the fields written in
// digits, read from the list's own query.
QStringList rowTexts(gc::db::Query& q, int row) {
    q.setRecNo(row);
    QStringList texts{QString::number(row)};
    for (const char* field : {"num", "exit_dat", "exit_tim", "vorod_dat", "vorod_tim"})
        texts << q.fieldByName(field).asString();
    texts << q.fieldByName("ranande").asString().split(' ');
    return texts;
}

// The first, middle and last pages read back: each row the list holds there is printed on a
// line of its own with its texts. What is missing, or nothing.
QString printedProblem(gc::db::Query& q, const QString& pdf, int pages, int perPage) {
    for (int page : {1, (pages + 1) / 2, pages}) {
        const QStringList lines = gcbench::pdfPageLines(pdf, page);
        const int first = (page - 1) * perPage + 1;
        for (int row = first; row < first + perPage && row <= kRows; ++row) {
            const QStringList texts = rowTexts(q, row);
            const bool printed = std::any_of(lines.begin(), lines.end(), [&](const QString& l) {
                return std::all_of(texts.begin(), texts.end(),
                                   [&](const QString& t) { return gcbench::showsText(l, t); });
            });
            if (!printed)
                return QStringLiteral("page %1 does not show row %2 (%3)")
                    .arg(page)
                    .arg(row)
                    .arg(texts.join(' '));
        }
    }
    return {};
}

// The pages a list report needs for `rows` rows: its headers on every page, then as many
// detail rows as fit inside the margins.
int pagesNeeded(const gc::report::Report& layout, int rows) {
    const int perPage = rowsPerPage(layout);
    return (rows + perPage - 1) / perPage;
}

void BM_VehicleListPrint(benchmark::State& state, gc::Tdm* dm) {
    gc::platform::SystemClock clock;
    gc::CurrentPersianDate date(clock);
    gcbench::NoOpener opener;
    gcbench::NoQuestions questions;
    QTemporaryDir dir;
    reg::RegisterContext ctx{*dm,    date,      clock,     [] { return QStringLiteral("نگهبان"); },
                             opener, questions, dir.path()};
    reg::Tkhodro_ins entry(ctx);
    reg::Tkhodro_list list(ctx, entry);
    const reg::Tkhodro_rep layout(list);
    for (int box = 1; box <= 6; ++box)
        list.CheckBox(box)->setChecked(false);
    if (!list.search() || list.query().recordCount() != kRows) {
        state.SkipWithError("the list does not hold every vehicle");
        return;
    }
    const int expectedPages = pagesNeeded(*layout.Report1(), kRows);
    const QString path = dir.filePath("list.pdf");
    gc::report::PdfFilePrinter printer(path);
    const double peakBefore = gcbench::peakMb();
    gc::report::PrintOutcome outcome;
    for (auto _ : state) {
        outcome = list.print(printer);
        if (outcome.status != gc::report::PrintStatus::Sent || outcome.pages != expectedPages) {
            state.SkipWithError("the report does not hold the pages its rows need");
            return;
        }
    }
    state.counters["pages"] = outcome.pages;
    state.counters["pdf_MB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = gcbench::peakMb();
    state.counters["peak_rss_before_MB"] = peakBefore;
    const QString problem =
        printedProblem(list.query(), path, outcome.pages, rowsPerPage(*layout.Report1()));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        state.SkipWithError("the printed texts are not the list's rows");
    }
}

// The same layout over rows held in memory: the report layer alone.
void BM_MemoryRowsPdf(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    auto rows = gc::report::sample::vehicleRows(kRows);
    if (rows->recordCount() != kRows) {
        state.SkipWithError("the rows in memory are not the rows claimed");
        return;
    }
    int pages = 0;
    for (auto _ : state) {
        gc::report::Report report;
        gc::report::sample::layoutVehicleList(report);
        report.data = rows.get();
        const auto result = gc::report::writePdf(report, path);
        if (!result.ok() || result.pages != pagesNeeded(report, kRows)) {
            state.SkipWithError("the report does not hold the pages its rows need");
            return;
        }
        pages = result.pages;
    }
    state.counters["pages"] = pages;
    state.counters["pdf_MB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = gcbench::peakMb();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const gcbench::KeptDatabaseFile kept(QDir::tempPath(), "gatecontrol-bench-vehicles",
                                         kGeneratorVersion);
    if (const QString error = kept.prepare(fill, dataProblem); !error.isEmpty()) {
        std::fprintf(stderr, "the vehicle rows are not what the benchmark claims: %s\n",
                     qPrintable(error));
        return 1;
    }
    gc::Tdm dm;
    dm.ADOConnection1.setConnectionString(kept.connectionString());
    dm.ADOConnection1.open();
    // The file's own rows first: the memory figures below add to the peak.
    benchmark::RegisterBenchmark("VehicleListPrint_100k", BM_VehicleListPrint, &dm)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("MemoryRowsPdf_100k", BM_MemoryRowsPdf)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    return gcbench::runBenchmarks(argc, argv);
}
