// The visitor list's spreadsheet export through the program's own path (the register's
// shared query read by ExportGridToExcel) against libxlsxwriter alone writing the same cells
// with the same formats, in the same run: time, ratio and peak memory. Sample rows of the
// written file are read back and compared with the database before a figure is reported.
// Run: bench_xlsx [--benchmark_filter=...]
#include "bench/support/bench_support.h"
#include "bench/support/read_back.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/query.h"
#include "platform/xlsx/file_opener.h"
#include "registers/shared/grid_export.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <xlsxwriter.h>

namespace {

constexpr int kColumns = 15;
constexpr int kVisitsPerDay = 600;

// Visit g (from 0) in SQL and the same texts in C++, so the peer writes exactly the cells
// the export writes (trimmed, as the export trims them).
const char* const kFillSelect =
    "select 'مراجع ' || g, 'اداره ' || (g % 40), '' || (g % 5), '' || (100 + g % 50), "
    "'' || (1000000000 + g % 200000), 'کارت ملي', "
    "'14' || substr('0' || (g / 600 / 360), -2) || '/' || substr('0' || (g / 600 / 30 % 12 + 1), "
    "-2) || '/' || substr('0' || (g / 600 % 30 + 1), -2), "
    "'08:' || substr('0' || (g % 60), -2), '  :  ', 'مرد', '', 'نگهبان ' || (g % 7), "
    "'' || (5000 + g), 'خوب'";

std::string visitCell(int g, int column) {
    const auto n = [](long v) { return std::to_string(v); };
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    switch (column) {
    case 0:
        return n(g + 1L);
    case 1:
        return "مراجع " + n(g);
    case 2:
        return "اداره " + n(g % 40);
    case 3:
        return n(g % 5);
    case 4:
        return n(100 + g % 50);
    case 5:
        return n(1000000000L + g % 200000);
    case 6:
        return "کارت ملي";
    case 7:
        return gcbench::dayText(g / kVisitsPerDay).toStdString();
    case 8:
        return "08:" + two(g % 60);
    case 9:
        return ":";
    case 10:
        return "مرد";
    case 11:
        return "";
    case 12:
        return "نگهبان " + n(g % 7);
    case 13:
        return n(5000 + g);
    default:
        return "خوب";
    }
}

// The first row: each column's caption, or its name where the map has none.
const std::array<const char*, kColumns> kHeader = {
    "id",    "name",   "maghsad", "tabaghe", "otagh",    "شماره كارت", "madrak", "dat",
    "vorod", "khoroj", "gender",  "توضيحات", "negahban", "barcod",     "nazar"};

const gc::registers::CaptionMap kCaptions = {{"cart_no", "شماره كارت"}, {"cmt", "توضيحات"}};

void fill(gc::Tdm& dm, int rows) {
    gc::EnsureSchema(dm);
    QSqlQuery q(dm.ADOConnection1.database());
    const QString sql =
        "with recursive s(g) as (select 0 union all select g + 1 from s where g < " +
        QString::number(rows - 1) +
        ") insert into arbabrojo (name, maghsad, tabaghe, otagh, cart_no, madrak, "
        "dat, vorod, khoroj, gender, cmt, negahban, barcod, nazar) " +
        kFillSelect + " from s";
    if (!q.exec(sql))
        qFatal("filling the visits failed");
}

// The data is what the benchmark claims: the row count, and sample rows equal to the texts
// the peer writes.
bool dataHolds(gc::Tdm& dm, int rows) {
    QSqlQuery q(dm.ADOConnection1.database());
    if (!q.exec("select count(*) from arbabrojo") || !q.next() || q.value(0).toInt() != rows)
        return false;
    for (int g : {0, 7, rows / 2, rows - 1}) {
        if (!q.exec("select * from arbabrojo where id=" + QString::number(g + 1)) || !q.next())
            return false;
        for (int c = 0; c < kColumns; ++c)
            if (q.value(c).toString().trimmed().toStdString() != visitCell(g, c))
                return false;
    }
    return true;
}

class KeepFile : public gc::xlsx::FileOpener {
  public:
    bool open(const QString&) override { return true; }
};

// The sheet's stated extent, read from the start of the written sheet: "A1:O<rows + 1>".
QString sheetExtent(const QString& path) {
    QProcess py;
    py.start("python3", {"-c",
                         "import re,sys,zipfile;"
                         "d=zipfile.ZipFile(sys.argv[1]).open('xl/worksheets/sheet1.xml')"
                         ".read(600).decode();"
                         "print(re.search(r'dimension ref=\"([^\"]+)\"',d).group(1))",
                         path});
    py.waitForFinished(120000);
    return QString::fromLatin1(py.readAllStandardOutput()).trimmed();
}

// The header, the first and last visit and ten others at random, every column, as the
// database holds them (trimmed, as the export trims); what differs, or nothing.
QString exportProblem(gc::Tdm& dm, const QString& path, int rows) {
    QList<int> sheet = {1, 2, rows + 1};
    QRandomGenerator random(20261207);
    for (int i = 0; i < 10; ++i)
        sheet << 2 + int(random.bounded(quint32(rows)));
    const std::map<int, QStringList> read = gcbench::sheetRows(path, sheet, kColumns);
    QStringList header;
    for (const char* name : kHeader)
        header << QString::fromUtf8(name);
    if (read.count(1) == 0 || read.at(1) != header)
        return QStringLiteral("the header is not the list's captions");
    QSqlQuery q(dm.ADOConnection1.database());
    for (int r : sheet.mid(1)) {
        // The list is ordered by key: sheet row r holds visit r - 1.
        if (!q.exec("select * from arbabrojo where id=" + QString::number(r - 1)) || !q.next())
            return QStringLiteral("visit %1 is not in the database").arg(r - 1);
        QStringList stored;
        for (int c = 0; c < kColumns; ++c)
            stored << q.value(c).toString().trimmed();
        const auto it = read.find(r);
        if (it == read.end() || it->second != stored)
            return QStringLiteral("sheet row %1 holds [%2], the database [%3]")
                .arg(r)
                .arg(it == read.end() ? QString() : it->second.join('|'), stored.join('|'));
    }
    return {};
}

// libxlsxwriter alone: the same header, cells, formats, widths and right-to-left sheet.
double peerSeconds(const QString& path, int rows) {
    QElapsedTimer t;
    t.start();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(book, "Sheet1");
    worksheet_right_to_left(ws);
    lxw_format* thin = workbook_add_format(book);
    format_set_border(thin, LXW_BORDER_THIN);
    lxw_format* header = workbook_add_format(book);
    format_set_bold(header);
    format_set_border(header, LXW_BORDER_SLANT_DASH_DOT);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    for (int c = 0; c < kColumns; ++c) {
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), 10, nullptr);
        worksheet_write_string(ws, 0, lxw_col_t(c), kHeader[std::size_t(c)],
                               c < 13 ? header : bold);
    }
    for (int c = kColumns; c < 27; ++c)
        worksheet_write_blank(ws, 0, lxw_col_t(c), bold);
    for (int g = 0; g < rows; ++g)
        for (int c = 0; c < kColumns; ++c)
            worksheet_write_string(ws, lxw_row_t(g + 1), lxw_col_t(c), visitCell(g, c).c_str(),
                                   c < 13 ? thin : nullptr);
    if (workbook_close(book) != LXW_NO_ERROR)
        return -1;
    return double(t.nsecsElapsed()) / 1e9;
}

void BM_ExportVisits(benchmark::State& state) {
    const int rows = int(state.range(0));
    QTemporaryDir dir;
    gc::Tdm dm;
    dm.ADOConnection1.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" +
                                          dir.filePath("bench.accdb"));
    dm.ADOConnection1.open();
    fill(dm, rows);
    if (!dataHolds(dm, rows)) {
        state.SkipWithError("the visits are not what the benchmark claims");
        return;
    }
    gc::db::Query& list = dm.ADOQ_arbabrojo;
    list.openSql({"select * from arbabrojo where id<>-1 order by id"});
    KeepFile opener;
    double ours = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const auto out =
            gc::registers::ExportGridToExcel(list, kCaptions, opener, dir.path(), "bench");
        ours = double(t.nsecsElapsed()) / 1e9;
        state.counters["peak_MB"] = gcbench::peakMb();
        if (!out.error.isEmpty() || out.rows != rows ||
            sheetExtent(out.path) != QStringLiteral("A1:AA%1").arg(rows + 1)) {
            state.SkipWithError("the export did not write every row");
            return;
        }
        state.PauseTiming();
        const QString problem = exportProblem(dm, out.path, rows);
        QFile::remove(out.path);
        state.ResumeTiming();
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            state.SkipWithError("the exported cells are not the database's");
            return;
        }
    }
    const double peer = peerSeconds(dir.filePath("peer.xlsx"), rows);
    if (peer < 0 ||
        sheetExtent(dir.filePath("peer.xlsx")) != QStringLiteral("A1:AA%1").arg(rows + 1)) {
        state.SkipWithError("libxlsxwriter alone failed");
        return;
    }
    state.counters["ours_s"] = ours;
    state.counters["libxlsxwriter_s"] = peer;
    state.counters["ratio_to_libxlsxwriter"] = ours / peer;
}
BENCHMARK(BM_ExportVisits)->Arg(100'000)->Arg(1'000'000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
