// The personnel directory over 20,000 persons: the search with its count, and saving every
// picture to files with the memory it takes, on the file database or (GC_BENCH_PG set to a
// connection string) a server. The search is set against the same statements read through
// the engine's own C library.
#include "bench/support/bench_peers.h"
#include "bench/support/bench_support.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/sql_text.h"
#include "registers/asami/core/asami_pictures.h"
#include "registers/asami/core/asami_sql.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace asami = gc::registers::asami;
using gc::registers::FilterInput;

namespace {

constexpr int kPersons = 20000;
constexpr int kPictured = 5000; // one picture each
constexpr int kBatch = 500;

// A noisy 160 x 200 JPEG of about 40 KB, as a camera's portrait is.
QByteArray portrait() {
    QImage image(160, 200, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, random.generate() | 0xff000000u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

void fill(gc::Tdm& dm, const QByteArray& picture) {
    gc::EnsureSchema(dm);
    QSqlDatabase db = dm.ADOConnection1.database();
    QSqlQuery q(db);
    q.exec("delete from asami");
    q.exec("delete from per_pic");
    db.transaction();
    for (int start = 0; start < kPersons; start += kBatch) {
        QStringList values;
        for (int i = start; i < start + kBatch; ++i)
            values << "(" + gc::db::quoted(QStringLiteral("نام %1").arg(i)) + "," +
                          gc::db::quoted(QStringLiteral("کوچک %1").arg(i)) + "," +
                          gc::db::quoted(QString::number(i)) + "," +
                          gc::db::quoted(QString::number(100000 + i)) + "," +
                          gc::db::quoted(QStringLiteral("مالي")) + ")";
        q.exec("insert into asami (surname, name, card_no, uniq_code, vahed_tabe) values " +
               values.join(','));
    }
    q.prepare("insert into per_pic (per_id, ext, pic) select id, '.jpg', ? from asami where "
              "card_no=?");
    for (int i = 0; i < kPictured; ++i) {
        q.addBindValue(picture);
        q.addBindValue(QString::number(i * (kPersons / kPictured)));
        q.exec();
    }
    db.commit();
    QSqlQuery(db).exec("analyze");
}

// A surname filter as the guard types it: "نام 1234" matches 1234 and 12340 to 12349.
void BM_SearchAndCount(benchmark::State& state, gc::Tdm* dm) {
    std::vector<FilterInput> in(5);
    in[0] = {true, {QStringLiteral("نام 1234")}};
    const gc::registers::SearchSpec spec = asami::directorySearch();
    if (gc::registers::RunSearch(dm->ADOQ_asami, dm->ADOQuery1, spec, in) != "11") {
        state.SkipWithError("the directory does not hold the persons it should");
        return;
    }
    QElapsedTimer t;
    t.start();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gc::registers::RunSearch(dm->ADOQ_asami, dm->ADOQuery1, spec, in));
        benchmark::DoNotOptimize(dm->ADOQ_asami.fieldByName("surname").asString());
    }
    const double oursMs = double(t.nsecsElapsed()) / 1e6 / double(state.iterations());
    const gc::registers::SearchSql sql = gc::registers::buildSearch(spec, in);
    const auto reader = gcbench::makePeer(dm->ADOConnection1.connectionString());
    const double peer =
        gcbench::readAllMs(*reader, {sql.select.join('\n'), sql.count.join('\n')}, 20);
    state.counters["peer_ms"] = peer;
    state.counters["ratio_to_peer"] = oursMs / peer;
}

// The highest resident memory since the last reset, in megabytes.
double peakMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    static const QRegularExpression hwm(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    return hwm.match(QString::fromLatin1(status.readAll())).captured(1).toDouble() / 1024.0;
}

void resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void BM_SaveAllPictures(benchmark::State& state, gc::Tdm* dm) {
    double growthMb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir out;
        resetPeak();
        const double before = peakMb();
        state.ResumeTiming();
        const asami::SaveAllOutcome o = asami::SaveAllPictures(
            dm->ADOConnection1, std::vector<FilterInput>(5), out.filePath(QStringLiteral("p")));
        state.PauseTiming();
        growthMb = std::max(growthMb, peakMb() - before);
        if (o.written != kPictured || o.withoutPicture != kPersons - kPictured)
            state.SkipWithError("not every picture was written");
        state.ResumeTiming();
    }
    state.counters["files"] = kPictured;
    state.counters["peak_growth_MB"] = growthMb;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    gc::Tdm dm;
    const QString engine = gcbench::openBenchDatabase(dm, dir);
    const QByteArray picture = portrait();
    fill(dm, picture);
    QSqlQuery check(dm.ADOConnection1.database());
    if (!check.exec("select count(*), sum(length(pic)) from asami left join per_pic on "
                    "asami.id=per_pic.per_id") ||
        !check.next() || check.value(0).toInt() != kPersons ||
        check.value(1).toLongLong() != qint64(kPictured) * picture.size()) {
        qCritical("the directory does not hold %d persons and %d pictures", kPersons, kPictured);
        return 1;
    }
    qInfo("%d pictures of %lld bytes", kPictured, qint64(picture.size()));
    benchmark::RegisterBenchmark(qPrintable(engine + "/SearchAndCount_20k"), BM_SearchAndCount, &dm)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(qPrintable(engine + "/SaveAllPictures_5000"), BM_SaveAllPictures,
                                 &dm)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    return gcbench::runBenchmarks(argc, argv);
}
