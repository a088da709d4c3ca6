// The transfer of a year of records (140,000 rows over the 20 sections, no pictures) for
// each engine pair; a year of visits with their pictures (30,000 visits, one 20 KB picture
// each) from the file database; and the memory of a run over pictures that weigh far more
// than it may hold. Before any figure is reported, sample rows of what arrived are compared
// value by value with the source. The PostgreSQL pairs need a server: GC_PG_DIR names the folder of
// a running test server (tests/support/pgserver.sh start DIR). The one-engine pairs are compared
// with the same copy done by the engine's own library: sqlite3 (ATTACH, INSERT ... SELECT) and
// libpq (COPY out, COPY in; for the pictures, sqlite3 reading and libpq's COPY writing); x_peer is
// our time over theirs.
// Run: bench_transfer [--benchmark_filter=...]
#include "bench/support/bench_support.h"
#include "core/schema.h"
#include "core/transfer/copier.h"
#include "platform/db/connection.h"
#include "platform/db/connection_string.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <thread>

namespace {

using gc::transfer::TransferOptions;
using gc::transfer::TransferResult;

// Rows per table: a busy year of one guard post, 140,000 in all.
const std::vector<std::pair<QString, int>> kYear{
    {"amval", 12000},  {"anbar", 15000},     {"khodro", 16000}, {"prs", 20000},
    {"parking", 6000}, {"phone", 1500},      {"kala", 2500},    {"otaghha", 200},
    {"asami", 3000},   {"arbabrojo", 30000}, {"zamaem", 1},     {"molaghat_file", 1},
    {"barcod", 2000},  {"users", 60},        {"dastrasi", 900}, {"log", 25000},
    {"taradod", 600},  {"setting", 700},     {"loh", 4538}};

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString pgDataSource() {
    QFile f(qEnvironmentVariable("GC_PG_DIR") + "/port");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return "127.0.0.1," + QString::fromLatin1(f.readAll()).trimmed();
}

// A new empty database: a file, or a database on the server.
QString freshDatabase(bool pg) {
    static int counter = 0;
    const QString name = QString("bench_%1_%2")
                             .arg(++counter)
                             .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
    if (!pg)
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder().filePath(name + ".accdb");
    {
        auto admin = QSqlDatabase::addDatabase("QPSQL", "bench_admin");
        const auto t =
            gc::db::connectionTarget("Provider=SQLOLEDB.1;Data Source=" + pgDataSource());
        admin.setHostName(t.host);
        admin.setPort(t.port);
        admin.setUserName("gc");
        admin.setDatabaseName("postgres");
        if (!admin.open() || !QSqlQuery(admin).exec("create database " + name))
            qFatal("no PostgreSQL server: set GC_PG_DIR");
        admin.close();
    }
    QSqlDatabase::removeDatabase("bench_admin");
    return "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial Catalog=" +
           name + ";Data Source=" + pgDataSource();
}

// Opens `c` on the new database `cs` and makes the program's tables in it.
void openWithSchema(gc::db::Connection& c, const QString& cs) {
    c.setConnectionString(cs);
    c.open();
    gc::EnsureSchema(c);
}

// Fills every column of the table's rows with plausible text, flags as flags.
void fill(gc::db::Connection& c, const QString& table, int rows, int pictureBytes = 0) {
    const gc::TableSpec* spec = nullptr;
    for (const gc::TableSpec& t : gc::SchemaTables())
        if (t.name == table)
            spec = &t;
    QStringList names;
    QList<QString> types;
    for (const auto* cols : {&spec->columns, &spec->added})
        for (const gc::ColumnSpec& col : *cols)
            if (!col.type.contains("identity")) {
                names << col.name;
                types << col.type;
            }
    QSqlQuery q(c.database());
    q.prepare("insert into " + table + " (" + names.join(", ") + ") values (" +
              QStringList(names.size(), "?").join(", ") + ")");
    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < names.size(); ++i) {
            const QString& type = types[i];
            if (type == "bit")
                q.addBindValue(r % 2 == 0);
            else if (type == "int")
                q.addBindValue(r % 50 + 2); // users 2.., after the deleted admin
            else if (type == "image")
                q.addBindValue(QByteArray(pictureBytes ? pictureBytes : 64, char(r)));
            else if (type == "datetime")
                q.addBindValue(QString("2024-03-24 10:15:30"));
            else if (names[i] == "dat" || names[i].endsWith("_dat") || names[i] == "tarikh")
                q.addBindValue(QString("1403/%1/%2")
                                   .arg(r % 12 + 1, 2, 10, QChar('0'))
                                   .arg(r % 29 + 1, 2, 10, QChar('0')));
            else
                q.addBindValue(QString::number(r).left(type.contains("(5)") ? 5 : 10));
        }
        if (!q.exec())
            qFatal("seed %s: %s", qPrintable(table), qPrintable(q.lastError().text()));
    }
}

int total(gc::db::Connection& c, const QStringList& tables) {
    int n = 0;
    for (const QString& t : tables) {
        QSqlQuery q(c.database());
        q.exec("select count(*) from " + t);
        q.next();
        n += q.value(0).toInt();
    }
    return n;
}

QStringList yearTables() {
    QStringList out;
    for (const auto& [t, n] : kYear)
        out << t;
    return out;
}

struct Source {
    QString connectionString;
};

// The year's source, made once per engine.
const Source& yearSource(bool pg) {
    static std::map<bool, Source> made;
    auto it = made.find(pg);
    if (it != made.end())
        return it->second;
    Source s{freshDatabase(pg)};
    gc::db::Connection c(pg ? "bench_seed_pg" : "bench_seed_file");
    openWithSchema(c, s.connectionString);
    c.execute("delete from users");
    c.execute("delete from dastrasi");
    c.beginTransaction();
    for (const auto& [table, rows] : kYear)
        fill(c, table, rows);
    c.commit();
    if (total(c, yearTables()) != 140000)
        qFatal("the year's source does not hold 140,000 rows");
    return made.emplace(pg, s).first->second;
}

class Quiet : public gc::transfer::TransferObserver {
  public:
    void logLine(const QString&) override {}
    void progress(int, int) override {}
};

TransferOptions everyGroup(const QString& source, const QString& destination) {
    TransferOptions o;
    o.source = source;
    o.destination = destination;
    o.startDate = "    /  /  ";
    o.amval = o.anbar = o.khodro = o.prs = o.parking = o.phone = o.kala = o.otagh = true;
    o.asami = o.arbabrojo = o.other = true;
    return o;
}

QString newDestination(bool pg) {
    const QString cs = freshDatabase(pg);
    gc::db::Connection c("bench_destination");
    openWithSchema(c, cs);
    c.execute("delete from users");
    c.execute("delete from dastrasi");
    return cs;
}

int destinationRows(const QString& cs) {
    gc::db::Connection c("bench_check");
    c.setConnectionString(cs);
    c.open();
    return total(c, yearTables());
}

QStringList columnsOf(const QString& table) {
    QStringList names;
    for (const gc::TableSpec& t : gc::SchemaTables())
        if (t.name == table)
            for (const auto* cols : {&t.columns, &t.added})
                for (const gc::ColumnSpec& col : *cols)
                    if (!col.type.contains("identity"))
                        names << col.name;
    return names;
}

double seconds(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

// The seconds sqlite3 itself takes to run `inserts` in one transaction on the destination
// file, with the source file attached as "src".
double sqlite3Inserts(const QString& source, const QString& destination, const QString& inserts) {
    sqlite3* db = nullptr;
    sqlite3_open(gc::db::connectionTarget(destination).file.toUtf8().constData(), &db);
    QElapsedTimer t;
    t.start();
    const QString sql = "attach database '" + gc::db::connectionTarget(source).file +
                        "' as src; begin;" + inserts + "commit;";
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("sqlite3: %s", error);
    const double s = seconds(t);
    sqlite3_close(db);
    return s;
}

// The year copied by sqlite3 itself, file to file (ATTACH, INSERT ... SELECT).
double sqlite3Copy(const QString& source, const QString& destination) {
    QString inserts;
    for (const auto& [table, rows] : kYear) {
        const QString names = columnsOf(table).join(", ");
        inserts += "insert into main." + table + " (" + names + ") select " + names + " from src." +
                   table + ";";
    }
    return sqlite3Inserts(source, destination, inserts);
}

PGconn* pgConnect(const QString& connectionString) {
    const auto t = gc::db::connectionTarget(connectionString);
    const QString info = QString("host=%1 port=%2 dbname=%3 user=%4")
                             .arg(t.host)
                             .arg(t.port)
                             .arg(t.database, t.user);
    PGconn* c = PQconnectdb(info.toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));
    return c;
}

void pgRun(PGconn* c, const QString& sql, ExecStatusType expected) {
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    if (PQresultStatus(r) != expected)
        qFatal("libpq: %s", PQerrorMessage(c));
    PQclear(r);
}

// Ends a COPY into `to`, stopping the program when the server refused its rows.
void endCopyIn(PGconn* to) {
    PQputCopyEnd(to, nullptr);
    PGresult* r = PQgetResult(to);
    if (PQresultStatus(r) != PGRES_COMMAND_OK)
        qFatal("libpq: %s", PQerrorMessage(to));
    PQclear(r);
}

// The year copied by libpq itself, server to server: COPY out of one into the other.
double libpqCopy(const QString& source, const QString& destination) {
    PGconn* from = pgConnect(source);
    PGconn* to = pgConnect(destination);
    QElapsedTimer t;
    t.start();
    pgRun(to, "begin", PGRES_COMMAND_OK);
    for (const auto& [table, rows] : kYear) {
        const QString names = columnsOf(table).join(", ");
        pgRun(from, "copy (select " + names + " from " + table + ") to stdout", PGRES_COPY_OUT);
        pgRun(to, "copy " + table + " (" + names + ") from stdin", PGRES_COPY_IN);
        char* line = nullptr;
        int n = 0;
        while ((n = PQgetCopyData(from, &line, 0)) > 0) {
            PQputCopyData(to, line, n);
            PQfreemem(line);
        }
        PQclear(PQgetResult(from));
        endCopyIn(to);
    }
    pgRun(to, "commit", PGRES_COMMAND_OK);
    const double s = seconds(t);
    PQfinish(from);
    PQfinish(to);
    return s;
}

// A value as comparable text on either engine: flags as 1/0, bytes by their hash.
QString comparable(const QVariant& v) {
    if (v.isNull())
        return "NULL";
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "1" : "0";
    case QMetaType::QByteArray:
        return QCryptographicHash::hash(v.toByteArray(), QCryptographicHash::Md5).toHex();
    case QMetaType::QDateTime:
        return v.toDateTime().toString("yyyy-MM-dd HH:mm:ss");
    default:
        return v.toString();
    }
}

// The first, middle and last rows of every table in order of its key (the copy numbers
// them in that order), every column the transfer copies as text.
QStringList sampleRows(const QString& cs) {
    gc::db::Connection c("bench_sample");
    c.setConnectionString(cs);
    c.open();
    QStringList out;
    for (const gc::transfer::Section& s : gc::transfer::sectionsFor(everyGroup({}, {}))) {
        const int rows = std::find_if(kYear.begin(), kYear.end(), [&](const auto& t) {
                             return t.first == s.table;
                         })->second;
        const QString key = gc::transfer::keyColumnOf(s.table);
        const QString order = key.isEmpty() ? s.columns.join(", ") : key;
        for (const int at : {0, rows / 2, rows - 1}) {
            QSqlQuery q(c.database());
            if (!q.exec("select " + s.columns.join(", ") + " from " + s.table + " order by " +
                        order + " limit 1 offset " + QString::number(at)) ||
                !q.next())
                qFatal("sample of %s: %s", qPrintable(s.table), qPrintable(q.lastError().text()));
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << comparable(q.value(i));
            out << s.table + ": " + values.join(" | ");
        }
    }
    return out;
}

// Skips a run that needs the server when there is none.
bool serverMissing(benchmark::State& state, bool needed) {
    if (!needed || !pgDataSource().isEmpty())
        return false;
    gcbench::stopWithoutServer(state, "no PostgreSQL server: set GC_PG_DIR");
    return true;
}

void checkSamples(const QString& source, const QString& destination) {
    const QStringList from = sampleRows(source);
    const QStringList to = sampleRows(destination);
    for (int i = 0; i < from.size(); ++i)
        if (from[i] != to[i])
            qFatal("a copied row differs:\n  source      %s\n  destination %s", qPrintable(from[i]),
                   qPrintable(to[i]));
}

// Copies `options` into a fresh destination once an iteration, timing the copy alone, and
// checks each destination outside the timing; the seconds the copies took.
double timedTransfers(benchmark::State& state, bool toPg,
                      const std::function<TransferOptions(const QString&)>& options,
                      const std::function<void(const QString&)>& check, const QString& namePrefix) {
    std::atomic_bool cancel = false;
    double copying = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString destination = newDestination(toPg);
        Quiet quiet;
        const TransferOptions o = options(destination);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        const auto r = gc::transfer::runTransfer(o, quiet, cancel, namePrefix);
        copying += seconds(t);
        state.PauseTiming();
        if (!r.ok)
            qFatal("%s", qPrintable(r.message));
        check(destination);
        state.ResumeTiming();
    }
    return copying;
}

void TransferAYear(benchmark::State& state) {
    const bool fromPg = state.range(0) != 0;
    const bool toPg = state.range(1) != 0;
    if (serverMissing(state, fromPg || toPg))
        return;
    const Source& source = yearSource(fromPg);
    // The same copy by the engine's own library, where both ends are one engine.
    double peer = 0;
    if (fromPg == toPg) {
        const QString destination = newDestination(toPg);
        peer = toPg ? libpqCopy(source.connectionString, destination)
                    : sqlite3Copy(source.connectionString, destination);
        if (destinationRows(destination) != 140000)
            qFatal("the library's own copy did not copy every row");
        checkSamples(source.connectionString, destination);
    }
    const double ours = timedTransfers(
        state, toPg,
        [&](const QString& destination) {
            return everyGroup(source.connectionString, destination);
        },
        [&](const QString& destination) {
            if (const int rows = destinationRows(destination); rows != 140000)
                qFatal("%d rows arrived, not 140,000", rows);
            checkSamples(source.connectionString, destination);
        },
        "bench");
    state.counters["rows_per_s"] =
        benchmark::Counter(140000.0 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = gcbench::peakMb();
    if (peer > 0) {
        state.counters["peer_s"] = peer;
        state.counters["x_peer"] = ours / double(state.iterations()) / peer;
    }
}
BENCHMARK(TransferAYear)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"from_pg", "to_pg"})
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();

constexpr int kVisits = 30000;
constexpr int kPictureBytes = 20 * 1024;

// Visit r's picture: bytes that do not compress, as a photograph's do not.
QByteArray visitPicture(int r) {
    QByteArray bytes(kPictureBytes, Qt::Uninitialized);
    quint32 x = 2654435761u * quint32(r + 1);
    for (char& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = char(x >> 24);
    }
    return bytes;
}

// A year of visits from the file database, each with one picture; made once.
const QString& visitsSource() {
    static const QString made = [] {
        const QString cs = freshDatabase(false);
        gc::db::Connection c("bench_seed_visits");
        openWithSchema(c, cs);
        c.beginTransaction();
        fill(c, "arbabrojo", kVisits);
        QSqlQuery ids(c.database());
        ids.exec("select id, name from arbabrojo order by id");
        QSqlQuery q(c.database());
        q.prepare("insert into arbabrojo_pic (arbabrojo_id, cmt, ext, pic) values (?, ?, ?, ?)");
        while (ids.next()) {
            q.addBindValue(ids.value(0));
            q.addBindValue(ids.value(1).toString());
            q.addBindValue(QString(".jpg"));
            q.addBindValue(visitPicture(ids.value(1).toInt()));
            if (!q.exec())
                qFatal("seed pictures: %s", qPrintable(q.lastError().text()));
        }
        c.commit();
        QSqlQuery check(c.database());
        check.exec("select count(*), sum(length(pic)) from arbabrojo_pic p join arbabrojo o on "
                   "o.id = p.arbabrojo_id");
        if (!check.next() || check.value(0).toInt() != kVisits ||
            check.value(1).toLongLong() != qint64(kVisits) * kPictureBytes)
            qFatal("the source does not hold 30,000 visits with a 20 KB picture each");
        return cs;
    }();
    return made;
}

// Every picture at its visit, with its bytes: the first, a middle and the last visit.
void checkVisitPictures(const QString& destination) {
    gc::db::Connection c("bench_check_visits");
    c.setConnectionString(destination);
    c.open();
    QSqlQuery q(c.database());
    q.exec("select count(*) from arbabrojo_pic p join arbabrojo o on o.id = p.arbabrojo_id");
    if (!q.next() || q.value(0).toInt() != kVisits)
        qFatal("not every picture arrived at its visit");
    for (const int r : {0, kVisits / 2, kVisits - 1}) {
        QSqlQuery one(c.database());
        one.exec("select o.dat, p.cmt, p.ext, p.pic from arbabrojo_pic p join arbabrojo o on "
                 "o.id = p.arbabrojo_id where o.name = '" +
                 QString::number(r) + "'");
        if (!one.next() || one.value(1).toString() != QString::number(r) ||
            one.value(2).toString() != ".jpg" || one.value(3).toByteArray() != visitPicture(r) ||
            !one.value(0).toString().startsWith("1403/"))
            qFatal("visit %d arrived without its own picture", r);
    }
}

// The visits and their pictures copied by sqlite3 itself, file to file.
double sqlite3CopyVisits(const QString& source, const QString& destination) {
    const QString names = columnsOf("arbabrojo").join(", ");
    return sqlite3Inserts(
        source, destination,
        "insert into main.arbabrojo (id, " + names + ") select id, " + names +
            " from src.arbabrojo order by id; "
            "insert into main.arbabrojo_pic (arbabrojo_id, cmt, ext, pic) select p.arbabrojo_id, "
            "p.cmt, p.ext, p.pic from src.arbabrojo_pic p join src.arbabrojo o on o.id = "
            "p.arbabrojo_id order by p.arbabrojo_id, p.id;");
}

// One value in COPY's text form: NULL as \N, bytes as \\x and hex.
void appendCopyValue(QByteArray& line, sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL:
        line += "\\N";
        break;
    case SQLITE_BLOB:
        line += "\\\\x";
        line += QByteArray::fromRawData(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                        sqlite3_column_bytes(st, i))
                    .toHex();
        break;
    default: {
        QByteArray text(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                        sqlite3_column_bytes(st, i));
        line += text.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n");
    }
    }
}

void copyInto(PGconn* to, sqlite3* from, const QString& select, const QString& copy) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(from, select.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        qFatal("sqlite3: %s", sqlite3_errmsg(from));
    pgRun(to, copy, PGRES_COPY_IN);
    QByteArray buffer;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (i > 0)
                buffer += '\t';
            appendCopyValue(buffer, st, i);
        }
        buffer += '\n';
        if (buffer.size() > (1 << 20)) {
            PQputCopyData(to, buffer.constData(), int(buffer.size()));
            buffer.clear();
        }
    }
    sqlite3_finalize(st);
    PQputCopyData(to, buffer.constData(), int(buffer.size()));
    endCopyIn(to);
}

// The visits and their pictures read by sqlite3 and written by libpq's COPY.
double libpqCopyVisits(const QString& source, const QString& destination) {
    sqlite3* from = nullptr;
    sqlite3_open_v2(gc::db::connectionTarget(source).file.toUtf8().constData(), &from,
                    SQLITE_OPEN_READONLY, nullptr);
    PGconn* to = pgConnect(destination);
    QElapsedTimer t;
    t.start();
    pgRun(to, "begin", PGRES_COMMAND_OK);
    const QString names = columnsOf("arbabrojo").join(", ");
    copyInto(to, from, "select id, " + names + " from arbabrojo order by id",
             "copy arbabrojo (id, " + names + ") from stdin");
    copyInto(to, from,
             "select p.arbabrojo_id, p.cmt, p.ext, p.pic from arbabrojo_pic p join arbabrojo o "
             "on o.id = p.arbabrojo_id order by p.arbabrojo_id, p.id",
             "copy arbabrojo_pic (arbabrojo_id, cmt, ext, pic) from stdin");
    pgRun(to, "commit", PGRES_COMMAND_OK);
    const double s = seconds(t);
    sqlite3_close(from);
    PQfinish(to);
    return s;
}

// Every visit since the beginning with its pictures, and nothing else.
TransferOptions visitPictures(const QString& source, const QString& destination) {
    TransferOptions o;
    o.source = source;
    o.destination = destination;
    o.startDate = "    /  /  ";
    o.arbabrojo = o.arbabrojoPic = true;
    return o;
}

// A year of visits with their pictures, from the file database to a file or a server.
void TransferVisitPictures(benchmark::State& state) {
    const bool toPg = state.range(0) != 0;
    if (serverMissing(state, toPg))
        return;
    const QString& source = visitsSource();
    const QString peerDestination = newDestination(toPg);
    const double peer = toPg ? libpqCopyVisits(source, peerDestination)
                             : sqlite3CopyVisits(source, peerDestination);
    checkVisitPictures(peerDestination);
    const double ours = timedTransfers(
        state, toPg, [&](const QString& destination) { return visitPictures(source, destination); },
        checkVisitPictures, "bench_visits");
    state.counters["peak_MB"] = gcbench::peakMb();
    state.counters["peer_s"] = peer;
    state.counters["x_peer"] = ours / double(state.iterations()) / peer;
}
BENCHMARK(TransferVisitPictures)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("to_pg")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// Runs a transfer on its own thread, presses Cancel once `ready` returns, and gives the
// milliseconds from the press to the run's end.
double cancelledAfter(const std::function<TransferResult(std::atomic_bool&)>& transfer,
                      const std::function<void()>& ready) {
    std::atomic_bool cancel = false;
    TransferResult r;
    std::thread run([&] { r = transfer(cancel); });
    ready();
    QElapsedTimer stopping;
    stopping.start();
    cancel = true;
    run.join();
    if (!r.cancelled)
        qFatal("the run was not cancelled");
    return double(stopping.nsecsElapsed()) / 1e6;
}

void reportCancel(benchmark::State& state, double ms, double& worstMs) {
    state.SetIterationTime(ms / 1000.0);
    worstMs = std::max(worstMs, ms);
    state.counters["worst_ms"] = worstMs;
}

// How long a run takes to stop once Cancel is pressed half a second into it.
void CancelLatency(benchmark::State& state) {
    const bool fromPg = state.range(0) != 0;
    const bool toPg = state.range(1) != 0;
    if (serverMissing(state, fromPg || toPg))
        return;
    const Source& source = yearSource(fromPg);
    double worstMs = 0;
    for (auto _ : state) {
        const QString destination = newDestination(toPg);
        const double ms = cancelledAfter(
            [&](std::atomic_bool& cancel) {
                Quiet quiet;
                return gc::transfer::runTransfer(everyGroup(source.connectionString, destination),
                                                 quiet, cancel, "bench_cancel");
            },
            [] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); });
        reportCancel(state, ms, worstMs);
    }
}
BENCHMARK(CancelLatency)
    ->Args({0, 0})
    ->Args({1, 1})
    ->ArgNames({"from_pg", "to_pg"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();

// Says when the pictures of the visits have begun to go over.
class PicturesWatch : public Quiet {
  public:
    void progress(int done, int) override {
        if (done > kVisits)
            pictures = true;
    }
    std::atomic_bool pictures = false;
};

// How long a run takes to stop once Cancel is pressed while the visits' pictures go over.
void CancelDuringPictures(benchmark::State& state) {
    const bool toPg = state.range(0) != 0;
    if (serverMissing(state, toPg))
        return;
    const QString& source = visitsSource();
    double worstMs = 0;
    for (auto _ : state) {
        const QString destination = newDestination(toPg);
        PicturesWatch watch;
        const double ms = cancelledAfter(
            [&](std::atomic_bool& cancel) {
                return gc::transfer::runTransfer(visitPictures(source, destination), watch, cancel,
                                                 "bench_cancel_pictures");
            },
            [&] {
                while (!watch.pictures)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            });
        reportCancel(state, ms, worstMs);
    }
}
BENCHMARK(CancelDuringPictures)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("to_pg")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime();

// The first, a middle and the last person's picture: surname and the bytes' hash.
QStringList personPictures(const QString& cs) {
    gc::db::Connection c("bench_person_pictures");
    c.setConnectionString(cs);
    c.open();
    QStringList out;
    for (const int at : {0, 600, 1199}) {
        QSqlQuery q(c.database());
        if (!q.exec("select a.surname, p.pic from per_pic p join asami a on a.id = p.per_id "
                    "order by a.id limit 1 offset " +
                    QString::number(at)) ||
            !q.next())
            qFatal("person pictures: %s", qPrintable(q.lastError().text()));
        out << q.value(0).toString() + " " + comparable(q.value(1));
    }
    return out;
}

// Pictures that weigh far more than the memory a run may take: 1,200 persons with a
// picture of 400 KB each, 480 MB in all.
void TransferHeavyPictures(benchmark::State& state) {
    const bool fromPg = state.range(0) != 0;
    const bool toPg = state.range(1) != 0;
    if (serverMissing(state, fromPg || toPg))
        return;
    const QString source = freshDatabase(fromPg);
    {
        gc::db::Connection c("bench_pictures");
        openWithSchema(c, source);
        c.beginTransaction();
        fill(c, "asami", 1200);
        QSqlQuery q(c.database());
        q.exec("insert into per_pic (per_id, ext, pic) select id, '.jpg', null from asami");
        c.commit();
        QSqlQuery set(c.database());
        set.prepare("update per_pic set pic = ? where id = ?");
        QSqlQuery ids(c.database());
        ids.exec("select id from per_pic");
        c.beginTransaction();
        while (ids.next()) {
            set.addBindValue(QByteArray(400 * 1024, char(ids.value(0).toInt())));
            set.addBindValue(ids.value(0));
            set.exec();
        }
        c.commit();
        QSqlQuery check(c.database());
        check.exec("select count(*) from per_pic where length(pic) = " +
                   QString::number(400 * 1024));
        if (!check.next() || check.value(0).toInt() != 1200)
            qFatal("the source does not hold 1,200 pictures of 400 KB");
    }
    std::atomic_bool cancel = false;
    for (auto _ : state) {
        state.PauseTiming();
        const QString destination = newDestination(toPg);
        Quiet quiet;
        TransferOptions o;
        o.source = source;
        o.destination = destination;
        o.startDate = "    /  /  ";
        o.asami = o.asamiPic = true;
        const double before = gcbench::peakMb();
        state.ResumeTiming();
        const auto r = gc::transfer::runTransfer(o, quiet, cancel, "bench_pictures");
        state.PauseTiming();
        if (!r.ok || r.counts.front().pictures != 1200)
            qFatal("pictures: %s", qPrintable(r.message));
        if (personPictures(destination) != personPictures(source))
            qFatal("the pictures arrived at other persons or with other bytes");
        state.counters["peak_MB_before"] = before;
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = gcbench::peakMb();
}
BENCHMARK(TransferHeavyPictures)
    ->Args({0, 1})
    ->Args({1, 0})
    ->ArgNames({"from_pg", "to_pg"})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
