// The visitor list window as a guard uses it, through its own widgets (offscreen), over
// 1,000,000 visits on the file database and on a throwaway PostgreSQL server: the search
// button with its count, a click on each column title, and the first visit to a page at
// 90 % of the list, in its own order and sorted by a click on the date title. Beside each, the
// engine's own client library (sqlite3, libpq) doing the same in the same run, with the ratio
// printed. GC_BENCH_LIST_ROWS=100000 runs at 100,000 visits. Run: bench_list_window
// [--benchmark_filter=...]
#include "bench/support/bench_engines.h"
#include "bench/support/bench_peers.h"
#include "bench/support/bench_support.h"
#include "bench/support/engine_databases.h"
#include "bench/support/kept_database.h"
#include "bench/support/quiet_windows.h"
#include "capture/synthetic_kernel.h"
#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/schema.h"
#include "platform/clock/clock.h"
#include "platform/db/connection.h"
#include "platform/db/query.h"
#include "platform/report/output.h"
#include "platform/ui/dialogs.h"
#include "platform/xlsx/file_opener.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/arbab/arbabrojo_list.h"
#include "registers/shared/register_context.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

using gcbench::Engine;
namespace reg = gc::registers;

// Raised whenever the rows below change, so that a kept file of other rows is not measured.
constexpr int kGeneratorVersion = 1;
constexpr int kPerDay = 600;
constexpr int kNames = 50'000;
constexpr int kFirstPage = 256;
constexpr int kChecked = 40;

// The visits: 1,000,000, or GC_BENCH_LIST_ROWS (at least 10,000); 0 when that is not a
// number of visits.
int rowCount() {
    static const int rows = [] {
        if (!qEnvironmentVariableIsSet("GC_BENCH_LIST_ROWS"))
            return 1'000'000;
        bool ok = false;
        const int n = qEnvironmentVariableIntValue("GC_BENCH_LIST_ROWS", &ok);
        return ok && n >= 10'000 ? n : 0;
    }();
    return rows;
}

// The grid's titles, in grid order (the hidden key first).
const QStringList kColumns = {"id",       "name",   "maghsad", "cart_no", "madrak",
                              "dat",      "vorod",  "khoroj",  "gender",  "cmt",
                              "negahban", "barcod", "tabaghe", "otagh",   "nazar"};

// The list's own order, which the search restores.
const QString kListOrder = QStringLiteral(" order by dat desc, vorod desc, id");

// The visit whose name the name search types, there at every number of visits.
int searchedVisit() {
    return std::min(12345, rowCount() / 2);
}

// The visits that share visit g's name.
int namesakes(int g) {
    return (rowCount() - 1 - g % kNames) / kNames + 1;
}

// Visit g (from 0) as SQL on either engine. Numbers in texts have fixed widths and texts of
// one column share their words, so that every collation (code points, the server's, the
// alphabet) orders a column alike and the expected first rows are the engine's own. Each
// (dat, vorod) is one visit only: 600 entry minutes a day from 07:00, so the list's order is
// the key's reversed and row r of the list is visit N - 1 - r.
QString fillSql(bool postgres, int rows) {
    const auto pad = [postgres](const QString& e, int width) {
        return postgres ? QStringLiteral("lpad((%1)::text, %2, '0')").arg(e).arg(width)
                        : QStringLiteral("substr('0000000000' || (%1), -%2)").arg(e).arg(width);
    };
    const QString d = QStringLiteral("(g / %1)").arg(kPerDay);
    const QString m = QStringLiteral("(g % %1)").arg(kPerDay);
    const QString day = "'14' || " + pad(d + " / 360", 2) + " || '/' || " +
                        pad(d + " / 30 % 12 + 1", 2) + " || '/' || " + pad(d + " % 30 + 1", 2);
    const QString lastDay = QString::number((rows - 1) / kPerDay);
    const QStringList values = {
        "'مراجع ' || " + pad(QStringLiteral("g % %1").arg(kNames), 5),
        "'اداره ' || " + pad("g % 40", 2),
        "'' || (1000000000 + g % 200000)",
        "'مدرك ' || (g % 3)",
        day,
        pad("7 + " + m + " / 60", 2) + " || ':' || " + pad(m + " % 60", 2),
        "case when " + d + " = " + lastDay + " then '  :  ' else '17:' || " + pad("g % 60", 2) +
            " end",
        "case when g % 3 = 0 then 'زن' else 'مرد' end",
        "''",
        "'نگهبان ' || (g % 7)",
        "'' || (1000 + g % 5000)",
        "'' || (g % 5)",
        "'' || (100 + g % 50)",
        "case g % 4 when 0 then 'عالي' when 1 then 'خوب' when 2 then 'متوسط' else 'ضعيف' end"};
    const QString insert =
        "insert into arbabrojo (" + kColumns.mid(1).join(", ") + ") select " + values.join(", ");
    const QString last = QString::number(rows - 1);
    if (postgres)
        return insert + " from generate_series(0, " + last + ") g";
    return "with recursive s(g) as (select 0 union all select g + 1 from s where g < " + last +
           ") " + insert + " from s";
}

// Texts of visit g the checks compare with what the engine holds.
QString visitName(int g) {
    return QStringLiteral("مراجع %1").arg(g % kNames, 5, 10, QChar('0'));
}

QString visitTime(int g) {
    const int m = g % kPerDay;
    return QStringLiteral("%1:%2")
        .arg(7 + m / 60, 2, 10, QChar('0'))
        .arg(m % 60, 2, 10, QChar('0'));
}

bool fill(gc::db::Connection& c) {
    if (!gc::EnsureSchema(c).complete())
        return false;
    const bool postgres = c.engine() == gc::db::Engine::PostgreSQL;
    QSqlQuery q(c.database());
    if (!q.exec(fillSql(postgres, rowCount())))
        return false;
    if (postgres)
        q.exec("vacuum analyze arbabrojo");
    return true;
}

// What is wrong with the visits, if anything.
QString dataProblem(gc::db::Connection& c) {
    const int rows = rowCount();
    QSqlQuery q(c.database());
    if (!q.exec("select count(*), min(id), max(id), count(distinct name), count(distinct dat) "
                "from arbabrojo") ||
        !q.next())
        return "no visits table: " + q.lastError().text();
    const QString found = QStringLiteral("%1 visits keyed %2 to %3, %4 names, %5 days")
                              .arg(q.value(0).toInt())
                              .arg(q.value(1).toInt())
                              .arg(q.value(2).toInt())
                              .arg(q.value(3).toInt())
                              .arg(q.value(4).toInt());
    const QString claimed = QStringLiteral("%1 visits keyed 1 to %1, %2 names, %3 days")
                                .arg(rows)
                                .arg(std::min(rows, kNames))
                                .arg((rows + kPerDay - 1) / kPerDay);
    if (found != claimed)
        return found + ", not " + claimed;
    for (int g : {0, searchedVisit(), rows * 9 / 10 + 7, rows - 1}) {
        q.exec("select name, dat, vorod from arbabrojo where id=" + QString::number(g + 1));
        const QString want =
            visitName(g) + " " + gcbench::dayText(g / kPerDay) + " " + visitTime(g);
        const QString got = q.next() ? q.value(0).toString() + " " + q.value(1).toString() + " " +
                                           q.value(2).toString()
                                     : QStringLiteral("nothing");
        if (got != want)
            return QStringLiteral("visit %1 is %2, not %3").arg(g + 1).arg(got, want);
    }
    return {};
}

// What the windows say instead of showing it: a benchmark that made the window say anything
// (a database error) did not measure the operation it claims.
class NoteMessages : public gc::ui::Dialogs {
  public:
    int message(gc::ui::MsgIcon, const QString& text, int) override {
        said << text;
        return gc::ui::Cancel;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    std::optional<QString> inputText(const QString&, const QString&, const QString&,
                                     bool) override {
        return std::nullopt;
    }
    QStringList said;
};

// The program's data module and the visitor windows on it, shown offscreen.
struct Windows {
    NoteMessages messages;
    gc::ui::ScopedDialogs scoped{messages};
    gc::Tdm dm;
    gc::platform::SystemClock clock;
    gc::CurrentPersianDate date{clock};
    gcbench::NoOpener opener;
    gcbench::NoQuestions questions;
    QTemporaryDir dir;
    reg::RegisterContext ctx{dm,     date,      clock,     [] { return QStringLiteral("نگهبان"); },
                             opener, questions, dir.path()};
    gc::capture::SyntheticKernel cameras{{}};
    reg::Tarbabrojo entry{ctx, cameras.table()};
    reg::Tarbabrojo_list list{ctx, entry};
};

std::unique_ptr<Windows>& windowsPtr() {
    static std::unique_ptr<Windows> w;
    return w;
}

gcbench::EngineDatabases& databases() {
    static gcbench::EngineDatabases all;
    return all;
}

// The window on the engine's database, its filters off and searched, as after the guard's
// click on the search button.
reg::Tarbabrojo_list& on(Engine engine) {
    static std::optional<Engine> current;
    Windows& w = *windowsPtr();
    if (current != engine) {
        w.dm.ADOQ_arbabrojo.close();
        w.dm.ADOQuery1.close();
        w.dm.ADOConnection1.setConnectionString(databases().connectionString(engine));
        w.dm.ADOConnection1.open();
        current = engine;
    }
    w.list.search();
    return w.list;
}

// Whether the window has said nothing since the run began.
bool silent() {
    return windowsPtr()->messages.said.isEmpty();
}

// Stops the benchmark with `what`, and what the window said, if anything.
void fail(benchmark::State& state, const char* what) {
    for (const QString& text : windowsPtr()->messages.said)
        std::fprintf(stderr, "the window said: %s\n", qPrintable(text));
    state.SkipWithError(what);
}

// Paints the grid as the screen would and returns the rows it shows, first to last.
QPair<int, int> paintedRows(QTableView& grid) {
    QCoreApplication::processEvents();
    grid.viewport()->grab();
    const int first = grid.rowAt(0);
    int last = grid.rowAt(grid.viewport()->height() - 1);
    if (last < 0)
        last = grid.model()->rowCount() - 1;
    return {first, last};
}

QString cell(reg::Tarbabrojo_list& list, int row, const QString& field) {
    return list.gridModel()->index(row, list.query().fieldIndex(field)).data().toString();
}

// The key of each row from `first` to `last`, as the grid shows it.
QList<qint64> shownKeys(reg::Tarbabrojo_list& list, int first, int last) {
    QList<qint64> keys;
    for (int r = first; r <= last; ++r)
        keys << cell(list, r, "id").toLongLong();
    return keys;
}

// The key of list row `row`: the list's order is the key's reversed, the date's the key's.
qint64 keyAt(int row, bool byDate) {
    return byDate ? row + 1 : rowCount() - row;
}

// Whether the rows from `first` on hold the keys of their places.
bool keysInPlace(const QList<qint64>& keys, int first, bool byDate) {
    for (int i = 0; i < keys.size(); ++i)
        if (keys[i] != keyAt(first + i, byDate))
            return false;
    return !keys.isEmpty();
}

// A search as the guard runs it: the filter typed, the search button clicked, the grid
// painted with the first rows and the count shown. `name` empty: every filter off.
void Search(benchmark::State& state, Engine engine, const QString& name) {
    reg::Tarbabrojo_list& list = on(engine);
    QLineEdit* input = list.name();
    list.CheckBox(2)->setChecked(!name.isEmpty());
    input->setText(name);
    const int expected = name.isEmpty() ? rowCount() : namesakes(searchedVisit());
    gcbench::Peer& peer = databases().peer(engine);
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(list.searchButton(), Qt::LeftButton, {},
                          list.searchButton()->rect().center());
        const auto [first, last] = paintedRows(*list.grid());
        const double ms = gcbench::msSince(t);
        ours += ms;
        state.SetIterationTime(ms / 1000);
        const QList<qint64> keys = shownKeys(list, first, last);
        const bool right = silent() && list.countLabel()->text() == QString::number(expected) &&
                           first == 0 &&
                           (name.isEmpty() ? keysInPlace(keys, 0, false)
                                           : cell(list, 0, "name") == name && keys.size() > 0);
        // The peer runs the statements the window gave its engine: the list's, its first page
        // as a plain client asks for it, and the count's.
        const QString select = list.query().engineSql();
        const QString counted = list.context().dm.ADOQuery1.engineSql();
        t.restart();
        const auto rows = peer.readAll(select + " limit " + QString::number(kFirstPage));
        const auto count = peer.readAll(counted);
        theirs += gcbench::msSince(t);
        if (!right || count.firstValue != QString::number(expected) ||
            rows.firstValue != QString::number(keys.value(0, -1))) {
            fail(state, "the search did not show the visits and count it should");
            break;
        }
    }
    list.CheckBox(2)->setChecked(false);
    const double n = double(state.iterations());
    gcbench::setPeerCounters(state, peer, ours / n, theirs / n);
}

// The point of the title of `field` that a click hits, the title scrolled into view.
QPoint titleCentre(QTableView& grid, int field) {
    QHeaderView& header = *grid.horizontalHeader();
    grid.scrollTo(grid.model()->index(std::max(0, grid.rowAt(0)), field));
    const int pos = header.sectionViewportPosition(field);
    const int size = header.sectionSize(field);
    const int y = header.height() / 2;
    for (int x : {pos + size / 2, header.viewport()->width() - pos - size / 2})
        if (header.logicalIndexAt(x) == field)
            return {x, y};
    return {-1, y};
}

// The column as the list sorts it: text in the program's Persian order, the rest as it is.
QString sortTerm(reg::Tarbabrojo_list& list, const QString& field) {
    const gc::db::Connection& c = list.context().dm.ADOConnection1;
    const bool text =
        c.database().record("arbabrojo").field(field).metaType().id() == QMetaType::QString;
    return text && !c.sortsAsBytes(field) && !c.textCollation().isEmpty()
               ? field + " collate \"" + c.textCollation() + "\""
               : field;
}

// The column's first values in the order a click should give, read by the engine.
QStringList expectedFirst(reg::Tarbabrojo_list& list, const QString& field, bool descending) {
    QSqlQuery q(list.context().dm.ADOConnection1.database());
    q.exec("select " + field + " from arbabrojo where id<>-1 order by " + sortTerm(list, field) +
           (descending ? " desc" : "") + " limit " + QString::number(kChecked));
    QStringList values;
    while (q.next())
        values << q.value(0).toString();
    return values;
}

// A click on a column's title: ascending, then on the same title descending. Measured until
// the grid is painted and the first rows of the new order are read.
void TitleClick(benchmark::State& state, Engine engine, int gridColumn) {
    reg::Tarbabrojo_list& list = on(engine);
    QTableView& grid = *list.grid();
    const QString field = kColumns[gridColumn];
    const int fieldIndex = list.gridModel()->gridToField(gridColumn);
    const QStringList ascending = expectedFirst(list, field, false);
    const QStringList descending = expectedFirst(list, field, true);
    const QString term = sortTerm(list, field);
    if (fieldIndex < 0 || ascending.size() != kChecked) {
        fail(state, "the column is not in the list");
        return;
    }
    gcbench::Peer& peer = databases().peer(engine);
    double ours = 0;
    double theirs = 0;
    bool down = false;
    for (auto _ : state) {
        const QPoint at = titleCentre(grid, fieldIndex);
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, at);
        paintedRows(grid);
        QStringList values;
        QSet<qint64> keys;
        for (int r = 0; r < kChecked; ++r) {
            values << cell(list, r, field);
            keys.insert(cell(list, r, "id").toLongLong());
        }
        const double ms = gcbench::msSince(t);
        ours += ms;
        state.SetIterationTime(ms / 1000);
        const QString order = down ? " desc" : "";
        t.restart();
        const auto peerRows =
            peer.readAll("select * from arbabrojo where id<>-1 order by " + term + order + ", id" +
                         order + " limit " + QString::number(kFirstPage));
        theirs += gcbench::msSince(t);
        const bool right = silent() && at.x() >= 0 && list.LastSortColumn() == gridColumn &&
                           values == (down ? descending : ascending) && keys.size() == kChecked &&
                           peerRows.rows == kFirstPage;
        if (!right) {
            fail(state, "the click did not give the rows of the column's order");
            break;
        }
        down = !down;
    }
    const double n = double(state.iterations());
    gcbench::setPeerCounters(state, peer, ours / n, theirs / n);
}

// The engine's own way to a deep page: the sort values and key of the row `skip` rows down,
// read without the other columns, then the page from that row on. `byDate`: in the order of
// a click on the date title (the date, then the key), else in the list's own order.
QString keysetSkip(gcbench::Peer& peer, int skip, bool byDate) {
    const QString order = byDate ? QStringLiteral(" order by dat, id") : kListOrder;
    const gcbench::PeerRead boundary =
        peer.readAll("select id, dat, vorod from arbabrojo where id<>-1" + order +
                     " limit 1 offset " + QString::number(skip));
    QSqlQuery parts(windowsPtr()->dm.ADOConnection1.database());
    parts.exec("select dat, vorod from arbabrojo where id=" + boundary.firstValue);
    if (!parts.next())
        return {};
    const QString d = "'" + parts.value(0).toString() + "'";
    const QString v = "'" + parts.value(1).toString() + "'";
    const QString k = boundary.firstValue;
    const QString after = byDate ? "dat>" + d + " or (dat=" + d + " and id>=" + k + ")"
                                 : "dat<" + d + " or (dat=" + d + " and (vorod<" + v +
                                       " or (vorod=" + v + " and id>=" + k + ")))";
    const gcbench::PeerRead page =
        peer.readAll("select * from arbabrojo where id<>-1 and (" + after + ")" + order +
                     " limit " + QString::number(kFirstPage));
    return page.rows == kFirstPage ? page.firstValue : QString();
}

// The rows from `first` that fill the grid's height, every column read as the grid's model
// reads it to paint; their keys.
QList<qint64> pageKeys(reg::Tarbabrojo_list& list, int first) {
    QTableView& grid = *list.grid();
    const int rows = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize();
    gc::db::Query& q = list.query();
    const int key = q.fieldIndex("id");
    QList<qint64> keys;
    for (int r = first; r < first + rows; ++r) {
        for (int c = 0; c < q.fieldCount(); ++c)
            benchmark::DoNotOptimize(q.valueAt(r, c));
        keys << q.valueAt(r, key).toLongLong();
    }
    return keys;
}

// The page at 90 % of a freshly searched list (`byDate`: then sorted by a click on the date
// title), its rows read for the first time. A grid
// that spans the rows is dragged there and painted; one that spans only the rows read so
// far cannot be dragged there, and the list's query is moved there as the list's commands
// move it, and the page read as the grid reads it.
void DeepPage(benchmark::State& state, Engine engine, bool byDate) {
    gcbench::Peer& peer = databases().peer(engine);
    const int step = rowCount() / 1000;
    double ours = 0;
    double theirs = 0;
    int visit = 0;
    for (auto _ : state) {
        state.PauseTiming();
        reg::Tarbabrojo_list& list = on(engine);
        if (byDate)
            list.ToggleColumnSort(kColumns.indexOf("dat"));
        // The window lays its grid out again before the guard can drag its bar.
        QCoreApplication::processEvents();
        QTableView& grid = *list.grid();
        const int target = rowCount() * 9 / 10 + visit++ * step;
        const bool spanned = list.gridModel()->rowCount() > target;
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        int first = target;
        if (spanned) {
            grid.scrollTo(list.gridModel()->index(target, 1), QAbstractItemView::PositionAtTop);
            first = paintedRows(grid).first;
        } else {
            list.query().setRecNo(target + 1);
        }
        const QList<qint64> keys = pageKeys(list, first);
        const double ms = gcbench::msSince(t);
        ours += ms;
        state.SetIterationTime(ms / 1000);
        t.restart();
        const QString peerFirst = keysetSkip(peer, target, byDate);
        theirs += gcbench::msSince(t);
        if (!silent() || first != target || !keysInPlace(keys, first, byDate) ||
            peerFirst != QString::number(keyAt(target, byDate))) {
            fail(state, "the deep page does not show the visits in its place");
            break;
        }
        state.counters["grid_spans_rows"] = spanned ? 1 : 0;
    }
    const double n = double(state.iterations());
    gcbench::setPeerCounters(state, peer, ours / n, theirs / n);
}

QString openFileDatabase() {
    // Kept in the temporary folder between runs: filling takes a while.
    const gcbench::KeptDatabaseFile kept(
        QDir::tempPath(), QStringLiteral("gatecontrol-bench-list-%1").arg(rowCount()),
        kGeneratorVersion);
    if (const QString error = kept.prepare(fill, dataProblem); !error.isEmpty())
        return error;
    databases().add(Engine::SQLite, kept.connectionString());
    return {};
}

QString openServerDatabase(gcbench::ThrowawayPostgres& server) {
    const QString cs = server.createDatabase();
    gc::db::Connection c(QStringLiteral("gcbench_fill"));
    c.setConnectionString(cs);
    c.open();
    if (!fill(c))
        return "the visits could not be loaded: " + c.database().lastError().text();
    if (const QString problem = dataProblem(c); !problem.isEmpty())
        return problem;
    databases().add(Engine::PostgreSQL, cs);
    return {};
}

void registerAll(const std::vector<Engine>& engines) {
    const QString suffix = rowCount() == 1'000'000 ? QStringLiteral("1M")
                                                   : QStringLiteral("%1k").arg(rowCount() / 1000);
    const auto add = [&](const QString& name, int iterations, auto fn) {
        for (Engine engine : engines)
            benchmark::RegisterBenchmark(
                (name + "_" + suffix + "/" + gcbench::engineName(engine)).toStdString().c_str(),
                [fn, engine](benchmark::State& s) { fn(s, engine); })
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(iterations);
    };
    add("SearchAll", 3, [](benchmark::State& s, Engine e) { Search(s, e, {}); });
    add("SearchName", 3,
        [](benchmark::State& s, Engine e) { Search(s, e, visitName(searchedVisit())); });
    add("DeepPage", 3, [](benchmark::State& s, Engine e) { DeepPage(s, e, false); });
    add("DeepPageByDate", 3, [](benchmark::State& s, Engine e) { DeepPage(s, e, true); });
    for (int c = 1; c < kColumns.size(); ++c)
        add("TitleClick_" + kColumns[c], 2,
            [c](benchmark::State& s, Engine e) { TitleClick(s, e, c); });
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (rowCount() == 0) {
        std::fprintf(stderr, "GC_BENCH_LIST_ROWS is %s: it must be a number of at least 10000\n",
                     qPrintable(qEnvironmentVariable("GC_BENCH_LIST_ROWS")));
        return 1;
    }
    gcbench::ThrowawayPostgres server;
    if (server.failed())
        return 1;
    if (const QString error = openFileDatabase(); !error.isEmpty()) {
        std::fprintf(stderr, "the file database does not hold the visits claimed: %s\n",
                     qPrintable(error));
        return 1;
    }
    std::vector<Engine> engines = {Engine::SQLite};
    if (server.available()) {
        if (const QString error = openServerDatabase(server); !error.isEmpty()) {
            std::fprintf(stderr, "the server database does not hold the visits claimed: %s\n",
                         qPrintable(error));
            return 1;
        }
        engines.push_back(Engine::PostgreSQL);
    }
    windowsPtr() = std::make_unique<Windows>();
    on(engines.front()).resize(1400, 800);
    windowsPtr()->list.show();
    registerAll(engines);
    const int rc = gcbench::runBenchmarks(argc, argv);
    databases().clear();
    windowsPtr().reset(); // before the application and the SQL drivers go
    return rc;
}
