#include "bench/support/bench_peers.h"
#include "bench/support/bench_support.h"
#include "bench/support/quiet_windows.h"
#include "capture/synthetic_kernel.h"
#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/schema.h"
#include "platform/clock/clock.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/report/output.h"
#include "platform/xlsx/file_opener.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/visit_register.h"
#include "registers/shared/entry_behaviour.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

// The visitor register's look-ups, name list, exit by scan and register over 1,000,000
// visits by as many visitors.
namespace {

namespace ar = gc::registers::arbab;

constexpr int kVisits = 1'000'000;
constexpr int kPerDay = 500;         // 2,000 days
constexpr int kNames = kVisits;      // every visitor a new name: the name list's worst case
constexpr int kNameListLength = 100; // the names the entry window offers at a time
constexpr int kCards = 200'000;
constexpr int kDays = kVisits / kPerDay;
const QString kLastDay = gcbench::dayText(kDays - 1);

// The rows in one statement on either engine: visit g gets name g % kNames, card g % kCards,
// day g / kPerDay, barcode 1000 + g % kPerDay; only the last day's visitors are inside.
QString fillSql(bool postgres) {
    const QString day = "'14' || substr('0' || (d / 360), -2) || '/' || substr('0' || (d / 30 % "
                        "12 + 1), -2) || '/' || substr('0' || (d % 30 + 1), -2)";
    const QString select =
        "select 'name' || (g % " + QString::number(kNames) + "), 'dest' || (g % 40), '1', '2', " +
        "'' || (100000 + g % " + QString::number(kCards) + "), 'doc', " + day +
        ", '09:00', case when d = " + QString::number(kDays - 1) +
        " then '  :  ' else '10:00' end, 'مرد', '', 'guard', '' || (1000 + g % " +
        QString::number(kPerDay) + "), ''";
    const QString rows = "(select g, g / " + QString::number(kPerDay) + " as d from ";
    const QString insert = "insert into arbabrojo (name, maghsad, tabaghe, otagh, cart_no, madrak, "
                           "dat, vorod, khoroj, gender, cmt, negahban, barcod, nazar) ";
    if (postgres) {
        QString s = select;
        s.replace("substr('0' || (d / 360), -2)", "lpad((d / 360)::text, 2, '0')")
            .replace("substr('0' || (d / 30 % 12 + 1), -2)",
                     "lpad((d / 30 % 12 + 1)::text, 2, '0')")
            .replace("substr('0' || (d % 30 + 1), -2)", "lpad((d % 30 + 1)::text, 2, '0')");
        return insert + s + " from " + rows + "generate_series(0, " + QString::number(kVisits - 1) +
               ") g) v";
    }
    return "with recursive s(g) as (select 0 union all select g + 1 from s where g < " +
           QString::number(kVisits - 1) + ") " + insert + select + " from " + rows + "s) v";
}

bool fill(gc::Tdm& dm) {
    if (!gc::EnsureSchema(dm).complete())
        return false;
    QSqlQuery q(dm.ADOConnection1.database());
    const bool postgres = dm.ADOConnection1.engine() == gc::db::Engine::PostgreSQL;
    if (!q.exec(fillSql(postgres)))
        return false;
    // Statistics and visibility as a long-lived database has them (autovacuum on a server).
    q.exec(postgres ? "vacuum analyze arbabrojo" : "analyze");
    // The data is what it claims: the count, the distinct names, today's open visits.
    q.exec("select count(*), count(distinct name), sum(case when khoroj='  :  ' then 1 else 0 "
           "end) from arbabrojo");
    return q.next() && q.value(0).toInt() == kVisits && q.value(1).toInt() == kNames &&
           q.value(2).toInt() == kPerDay;
}

void BM_CardLookUp(benchmark::State& state, gc::Tdm* dm) {
    int i = 0;
    for (auto _ : state) {
        const QString card = QString::number(100000 + (i++ * 7919) % kCards);
        dm->ADOQuery1.openSql({ar::cardLookupSql(card)});
        if (dm->ADOQuery1.isEmpty())
            state.SkipWithError("card not found");
    }
}

struct LookUpRun {
    gc::Tdm* dm;
    gcbench::Peer* peer;
};

// The card look-up as the window runs it, with the peer's time and the ratio beside it.
void BM_CardLookUpVsPeer(benchmark::State& state, LookUpRun run) {
    int i = 0;
    qint64 oursNs = 0;
    qint64 peerNs = 0;
    QElapsedTimer t;
    for (auto _ : state) {
        const QString sql = ar::cardLookupSql(QString::number(100000 + (i++ * 7919) % kCards));
        t.start();
        run.dm->ADOQuery1.openSql({sql});
        const int ours = run.dm->ADOQuery1.recordCount();
        oursNs += t.nsecsElapsed();
        state.PauseTiming();
        t.start();
        const int peer = run.peer->readAll(sql).rows;
        peerNs += t.nsecsElapsed();
        if (ours < 1 || ours != peer)
            state.SkipWithError("the look-up and its peer disagree");
        state.ResumeTiming();
    }
    state.counters["peer_ms"] = double(peerNs) / 1e6 / double(std::max<int64_t>(1, i));
    state.counters["ratio"] = double(oursNs) / double(std::max<qint64>(1, peerNs));
}

void BM_NamesakeCheck(benchmark::State& state, gc::Tdm* dm) {
    int i = 0;
    for (auto _ : state) {
        dm->ADOQuery1.openSql({ar::namesakeSql("name" + QString::number((i++ * 31) % kNames))});
        if (dm->ADOQuery1.isEmpty())
            state.SkipWithError("name not found");
    }
}

// The entry window's first showing: a new window shown once, its lists filled from the
// database, with the extra memory it took.
void BM_EntryFirstShowing(benchmark::State& state, gc::Tdm* dm) {
    gc::platform::SystemClock clock;
    gc::CurrentPersianDate date(clock);
    gcbench::NoOpener opener;
    gcbench::NoQuestions questions;
    gc::registers::RegisterContext ctx{
        *dm, date, clock, [] { return QStringLiteral("guard"); }, opener, questions};
    const gc::capture::SyntheticKernel noCamera(std::vector<gc::capture::SyntheticCamera>{});
    const double peakBefore = gcbench::peakMb();
    for (auto _ : state) {
        state.PauseTiming();
        auto entry = std::make_unique<gc::registers::Tarbabrojo>(ctx, noCamera.table());
        state.ResumeTiming();
        entry->show();
        state.PauseTiming();
        if (entry->name()->count() != kNameListLength ||
            entry->name()->itemText(0) != QStringLiteral("name0"))
            state.SkipWithError("the name list is not the first names");
        entry->hide();
        entry.reset();
        state.ResumeTiming();
    }
    state.counters["extra_MB"] = gcbench::peakMb() - peakBefore;
}

// The name list as the guard types a name key by key: each key reads the names that begin
// with the typed text and refills the drop-down; the engine's own client runs the same
// statements for the ratio.
void BM_NameCompletionVsPeer(benchmark::State& state, LookUpRun run) {
    int n = 0;
    int keys = 0;
    qint64 oursNs = 0;
    qint64 peerNs = 0;
    QElapsedTimer t;
    QComboBox box;
    box.setEditable(true);
    gc::registers::setSortedList(&box);
    for (auto _ : state) {
        const QString name = "name" + QString::number((n++ * 7919) % kNames);
        for (int typed = 1; typed <= name.size(); ++typed, ++keys) {
            const QString prefix = name.left(typed);
            t.start();
            gc::registers::fillFromPreset(
                &box, ar::ReadVisitorNames(run.dm->ADOConnection1, prefix, kNameListLength));
            oursNs += t.nsecsElapsed();
            state.PauseTiming();
            QString sql = ar::namesSql(kNameListLength);
            sql.replace(sql.indexOf('?'), 1, gc::db::quoted(prefix));
            sql.replace(sql.indexOf('?'), 1, gc::db::quoted(prefix + QChar(0xFFFF)));
            t.start();
            const gcbench::PeerRead peer = run.peer->readAll(sql);
            peerNs += t.nsecsElapsed();
            if (peer.rows != box.count() || box.count() == 0 || box.count() > kNameListLength)
                state.SkipWithError("the name list and its peer disagree");
            state.ResumeTiming();
        }
        if (box.findText(name) < 0)
            state.SkipWithError("the typed name is not offered");
    }
    state.counters["ms_per_key"] = double(oursNs) / 1e6 / double(std::max(1, keys));
    state.counters["peer_ms_per_key"] = double(peerNs) / 1e6 / double(std::max(1, keys));
    state.counters["ratio"] = double(oursNs) / double(std::max<qint64>(1, peerNs));
}

std::vector<gc::registers::FilterInput> lastDayFilters(const QString& barcode) {
    std::vector<gc::registers::FilterInput> in(8);
    in[ar::Dates] = {true, {kLastDay, kLastDay}};
    in[ar::Gender] = {true, {ar::kBoth}, 2};
    if (!barcode.isEmpty())
        in[ar::Barcode] = {true, {barcode}};
    return in;
}

// Search with the barcode, post the exit, search again and count.
void BM_ExitByScan(benchmark::State& state, gc::Tdm* dm) {
    int i = 0;
    QSqlQuery reset(dm->ADOConnection1.database());
    for (auto _ : state) {
        const QString barcode = QString::number(1000 + i++ % kPerDay);
        const QString count = gc::registers::RunSearch(dm->ADOQ_arbabrojo, dm->ADOQuery1,
                                                       ar::listSearch(), lastDayFilters(barcode));
        if (count != "1") {
            state.SkipWithError("the open visit was not found");
            break;
        }
        dm->ADOQ_arbabrojo.first();
        dm->ADOQ_arbabrojo.edit();
        dm->ADOQ_arbabrojo.fieldByName("khoroj").setAsString("11:00");
        dm->ADOQ_arbabrojo.post();
        const QString all = gc::registers::RunSearch(dm->ADOQ_arbabrojo, dm->ADOQuery1,
                                                     ar::listSearch(), lastDayFilters({}));
        if (all != QString::number(kPerDay))
            state.SkipWithError("wrong day count");
        state.PauseTiming();
        reset.exec("update arbabrojo set khoroj='  :  ' where dat='" + kLastDay + "' and barcod='" +
                   barcode + "'");
        state.ResumeTiming();
    }
}

QByteArray snapshot() {
    QImage frame(640, 480, QImage::Format_RGB888);
    frame.fill(Qt::gray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "BMP");
    return bytes;
}

// Check, insert, snapshot row, commit.
void BM_Register(benchmark::State& state, gc::Tdm* dm) {
    const QByteArray picture = snapshot();
    dm->ADOQ_arbabrojo.openSql({"select * from arbabrojo where id=-1"});
    // Fresh barcodes across the library's repeated runs, so that none is in use.
    static int i = 0;
    for (auto _ : state) {
        ar::VisitColumns visit;
        for (const QString& c : ar::visitColumnNames())
            visit.emplace_back(c, QString());
        visit[0].second = QStringLiteral("bench");
        visit[6].second = kLastDay;
        visit[8].second = ar::kInside;
        visit[12].second = QString::number(900000 + i++);
        const ar::RegisterResult r =
            ar::RegisterVisit(dm->ADOQ_arbabrojo, dm->ADOQuery1, visit, picture);
        if (r.status != ar::RegisterStatus::Saved)
            state.SkipWithError(qPrintable(r.error));
    }
}

void registerAll(const QString& engine, gc::Tdm* dm, gcbench::Peer* peer) {
    const auto name = [&](const char* what) {
        return (QString(what) + "_1M_" + engine).toStdString();
    };
    // First, so that the peak memory it reports is its own.
    benchmark::RegisterBenchmark(name("EntryFirstShowing").c_str(), BM_EntryFirstShowing, dm)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark(name("CardLookUp").c_str(), BM_CardLookUp, dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("CardLookUpVsPeer").c_str(), BM_CardLookUpVsPeer,
                                 LookUpRun{dm, peer})
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("NamesakeCheck").c_str(), BM_NamesakeCheck, dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("NameCompletionVsPeer").c_str(), BM_NameCompletionVsPeer,
                                 LookUpRun{dm, peer})
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("ExitByScan").c_str(), BM_ExitByScan, dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("Register").c_str(), BM_Register, dm)
        ->Unit(benchmark::kMillisecond);
}

// A throwaway server in `dir`; its port, empty when none could start.
QString startPostgres(const QTemporaryDir& dir) {
    if (QProcess::execute(QStringLiteral(GC_PGSERVER_SCRIPT), {"start", dir.path()}) != 0)
        return {};
    QFile port(dir.filePath("port"));
    if (!port.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(port.readAll()).trimmed();
}

} // namespace

// One engine per run (the data module's connection is one per process): the file database,
// or with GC_BENCH_ENGINE=postgresql a throwaway PostgreSQL server. The card look-up is also
// run through the engine's own client library, with the ratio printed beside it.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool postgres = qgetenv("GC_BENCH_ENGINE") == "postgresql";
    QTemporaryDir dir;
    gc::Tdm dm;
    QString port;
    const QString file = dir.filePath("bench.accdb");
    if (postgres) {
        port = startPostgres(dir);
        if (port.isEmpty())
            return gcbench::serverMissing("no PostgreSQL server could be started") ? 1 : 0;
        dm.ADOConnection1.setConnectionString(
            "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;"
            "Initial Catalog=postgres;Data Source=127.0.0.1," +
            port);
    } else {
        dm.ADOConnection1.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" +
                                              file);
    }
    dm.ADOConnection1.open();
    int rc = 1;
    if (fill(dm)) {
        const auto peer = gcbench::makePeer(dm.ADOConnection1.connectionString());
        registerAll(postgres ? "PostgreSQL" : "SQLite", &dm, peer.get());
        rc = gcbench::runBenchmarks(argc, argv);
    } else {
        std::fprintf(stderr, "the database could not be filled\n");
    }
    if (postgres) {
        dm.ADOConnection1.close();
        QProcess::execute(QStringLiteral(GC_PGSERVER_SCRIPT), {"stop", dir.path()});
    }
    return rc;
}
