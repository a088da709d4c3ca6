// The copy on the four engine pairs: what arrives, how it links, and that a failure or
// a cancel leaves the destination as it was.
#include "core/schema.h"
#include "platform/db/dialect.h"
#include "transfer_fixture.h"

#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QThread>

using namespace gctest;
using gc::transfer::TransferResult;

namespace {

const char* kPersonPictures = "select a.surname, a.name, p.ext, p.pic from per_pic p "
                              "join asami a on a.id = p.per_id";
const char* kVisitPictures = "select a.name, a.dat, p.cmt, p.ext, p.pic from arbabrojo_pic p "
                             "join arbabrojo a on a.id = p.arbabrojo_id";
const char* kRights = "select u.us, d.page_name, case when d.darj then 1 else 0 end, "
                      "case when d.virayesh then 1 else 0 end, case when d.hazf then 1 else 0 "
                      "end, case when d.namayesh then 1 else 0 end from dastrasi d "
                      "join users u on u.id = d.prs_id";

class Copy : public PairOfDatabases {
  protected:
    void SetUp() override {
        PairOfDatabases::SetUp();
        if (!IsSkipped())
            seedSource(*source);
    }
};

TEST_P(Copy, EveryTableArrivesLinkedAndTheSourceStaysAsItWas) {
    const auto before = source->counts();
    const QByteArray hash = source->pg() ? QByteArray() : source->fileHash();
    const auto sourcePeople = source->rows(kPersonPictures);
    const auto sourceVisits =
        source->rows(QString(kVisitPictures) + " where a.dat >= '" + kStart + "'");
    auto expectedRights = source->rows(kRights); // the right of user 9 has no user

    const TransferResult r = transfer(everything(*source, *destination));
    ASSERT_TRUE(r.ok) << r.message.toStdString();

    const QMap<QString, int> expected{
        {"amval", 2},    {"anbar", 1},         {"khodro", 1},    {"prs", 1},
        {"parking", 1},  {"phone", 2},         {"kala", 1},      {"otaghha", 1},
        {"asami", 3},    {"per_pic", 3},       {"arbabrojo", 2}, {"arbabrojo_pic", 2},
        {"zamaem", 1},   {"molaghat_file", 1}, {"barcod", 2},    {"users", 3},
        {"dastrasi", 3}, {"log", 1},           {"taradod", 2},   {"setting", 2},
        {"loh", 1},      {"payamha", 0}};
    EXPECT_EQ(destination->counts(), expected);

    // Every picture at the person or visit with the same texts; none for those without.
    EXPECT_EQ(destination->rows(kPersonPictures), sourcePeople);
    EXPECT_EQ(destination->rows(kVisitPictures), sourceVisits);
    // Each right at its copied user; the source's admin took the place of the seeded one.
    EXPECT_EQ(destination->rows(kRights), expectedRights);
    EXPECT_EQ(destination->rows("select us, ps from users"),
              source->rows("select us, ps from users"));

    // Values as what they are: NULL stays NULL, the empty text stays empty, date-times
    // in the destination's own form, bytes as bytes.
    EXPECT_EQ(destination->scalar("select count(*) from amval where cmt is null").toInt(), 1);
    EXPECT_EQ(destination->scalar("select count(*) from amval where cmt = ''").toInt(), 1);
    EXPECT_EQ(destination->rows("select " + destination->dateTimeText("saat_sys") + " from log"),
              QList<QStringList>{{"2024-03-24 10:15:30"}});
    EXPECT_EQ(destination->rows("select title, ext, koroki from otaghha"),
              source->rows("select title, ext, koroki from otaghha"));
    EXPECT_EQ(destination->rows("select name, tel from phone"),
              source->rows("select name, tel from phone"));

    EXPECT_EQ(source->counts(), before);
    if (!source->pg()) {
        EXPECT_EQ(source->fileHash(), hash);
    }

    ASSERT_FALSE(r.log.isEmpty());
    EXPECT_EQ(r.log.first(), QString::fromUtf8(" در حال انتقال اطلاعات اموال به تعداد 2"));
    EXPECT_EQ(r.log.last(), QString::fromUtf8("پايان عمليات انتقال"));
    for (const char* line :
         {"اطلاعات اموال منتقل شد", "1 رديف اموال با تاريخ خالي منتقل نشد",
          "1 رديف خودرو با تاريخ خالي منتقل نشد",
          "1 رديف دسترسي کاربراني که منتقل نشده اند منتقل نشد",
          " در حال انتقال اطلاعات کاربران به تعداد 3", "3 تصوير همراه اسامي و تصاويرشان منتقل شد"})
        EXPECT_TRUE(r.log.contains(QString::fromUtf8(line))) << line;
    // Users come before the rights that point at them.
    EXPECT_LT(r.log.indexOf(QString::fromUtf8("اطلاعات کاربران منتقل شد")),
              r.log.indexOf(QString::fromUtf8("اطلاعات دسترسي منتقل شد")));
}

TEST_P(Copy, ABlankStartDateTakesEveryDatedRowAndCountsNothingLeftOut) {
    auto o = everything(*source, *destination);
    o.startDate = kBlank;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination->count("amval"), 4);
    EXPECT_EQ(destination->count("arbabrojo"), 4);
    EXPECT_EQ(destination->count("arbabrojo_pic"), 3);
    for (const QString& line : r.log)
        EXPECT_FALSE(line.contains(QString::fromUtf8("تاريخ خالي"))) << line.toStdString();
}

// A dated delete of visits takes only the pictures of the visits it removes; the
// persons' delete takes their pictures with them.
TEST_P(Copy, DeletingTheOldRangeTakesOnlyItsOwnPictures) {
    destination->insert("arbabrojo", {{"id", 50}, {"name", "kept"}, {"dat", "1402/05/05"}});
    destination->insert("arbabrojo", {{"id", 60}, {"name", "replaced"}, {"dat", "1403/07/07"}});
    destination->insert("arbabrojo_pic", {{"arbabrojo_id", 50}, {"cmt", "kept pic"}});
    destination->insert("arbabrojo_pic", {{"arbabrojo_id", 60}, {"cmt", "replaced pic"}});
    destination->insert("asami", {{"id", 70}, {"surname", "Old"}, {"name", "Person"}});
    destination->insert("per_pic", {{"per_id", 70}, {"ext", ".gif"}});
    gc::transfer::TransferOptions o;
    o.source = source->connectionString;
    o.destination = destination->connectionString;
    o.startDate = kStart;
    o.deleteOld = o.arbabrojo = o.arbabrojoPic = o.asami = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination->rows("select name from arbabrojo"),
              (QList<QStringList>{{"kept"}, {"visit no picture"}, {"visit two pictures"}}));
    EXPECT_EQ(destination->rows("select cmt from arbabrojo_pic"),
              (QList<QStringList>{{"back"}, {"front"}, {"kept pic"}}));
    EXPECT_EQ(destination->count("asami"), 3);
    EXPECT_EQ(destination->count("per_pic"), 0); // pictures box not ticked
}

// Pictures without their persons go to the one destination person with the same card
// number, surname, name and personnel code; none or several: left out and counted.
TEST_P(Copy, PicturesAloneFindTheirPersonOrAreCounted) {
    destination->insert("asami", {{"surname", "Ahmadi"}, {"name", "Ali"}, {"card_no", "1"}});
    destination->insert("asami", {{"surname", "Karimi"}, {"name", "Cyrus"}, {"card_no", "3"}});
    destination->insert("asami", {{"surname", "Karimi"}, {"name", "Cyrus"}, {"card_no", "3"}});
    gc::transfer::TransferOptions o;
    o.source = source->connectionString;
    o.destination = destination->connectionString;
    o.startDate = kStart;
    o.asamiPic = true; // the persons' own box unticked
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination->count("asami"), 3);
    EXPECT_EQ(destination->rows(kPersonPictures),
              source->rows(QString(kPersonPictures) + " where a.surname = 'Ahmadi'"));
    EXPECT_EQ(destination->count("per_pic"), 2);
    EXPECT_TRUE(r.log.contains(QString::fromUtf8("1 تصوير که شخص همتايي در مقصد ندارد منتقل نشد")));
    EXPECT_TRUE(
        r.log.contains(QString::fromUtf8("1 تصوير که چند شخص همتا در مقصد دارد منتقل نشد")));
    EXPECT_EQ(r.counts.front().skipped, 2);
}

// The extra right goes to the destination's admin only when it lacks one, never to
// no one.
TEST_P(Copy, TheAdminRightIsAddedOnlyWhereItIsMissing) {
    source->exec("delete from dastrasi where page_name = 'karbaran'");
    gc::transfer::TransferOptions o;
    o.source = source->connectionString;
    o.destination = destination->connectionString;
    o.startDate = kStart;
    o.deleteOld = o.other = true;
    ASSERT_TRUE(transfer(o).ok);
    EXPECT_EQ(destination->rows(QString(kRights) + " where d.page_name = 'karbaran'"),
              (QList<QStringList>{{"admin", "karbaran", "1", "1", "1", "1"}}));

    source->exec("delete from users where us = 'admin'");
    ASSERT_TRUE(transfer(o).ok);
    EXPECT_EQ(destination->count("users"), 2);
    EXPECT_EQ(
        destination->scalar("select count(*) from dastrasi where page_name = 'karbaran'").toInt(),
        0);
    EXPECT_EQ(destination->scalar("select count(*) from dastrasi where prs_id is null").toInt(), 0);
}

// A value too wide for the destination's column in the last section: the deletes and
// rows of every earlier section are undone, and the message names table, row and column.
TEST_P(Copy, AFailureInTheMiddleLeavesTheDestinationAsItWas) {
    destination->exec("drop table loh");
    destination->c->execute("create table loh (id int identity primary key, dat nvarchar(10), "
                            "loc nvarchar(100), day nvarchar(20), shift nvarchar(50), "
                            "negahban nvarchar(5))");
    destination->insert("amval", {{"exit_dat", "1403/02/02"}, {"nam", "already there"}});
    destination->insert("phone", {{"name", "already there"}});
    const auto before = destination->counts();
    const auto amvalBefore = destination->rows("select nam from amval");

    auto o = everything(*source, *destination);
    o.deleteOld = true;
    const TransferResult r = transfer(o);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.message.contains(QString::fromUtf8("هيچ اطلاعاتي در بانک مقصد نوشته نشد")));
    EXPECT_TRUE(r.message.contains("negahban")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("loh")) << r.message.toStdString();
    const QString rowId =
        source->scalar("select id from loh where dat = '" + kStart + "'").toString();
    EXPECT_TRUE(r.message.contains(rowId)) << r.message.toStdString();
    EXPECT_EQ(destination->counts(), before);
    EXPECT_EQ(destination->rows("select nam from amval"), amvalBefore);
}

// A row the engine itself refuses, among many written at once: named by its source key.
TEST_P(Copy, ARowTheEngineRefusesIsNamed) {
    destination->exec("drop table phone");
    destination->c->execute("create table phone (id int identity primary key, name nvarchar(100), "
                            "tel nvarchar(40) check (tel <> '120'), cmt nvarchar(150))");
    for (int i = 0; i < 30; ++i)
        source->insert("phone", {{"name", QString("n%1").arg(i)}, {"tel", "130"}});
    auto o = everything(*source, *destination);
    o.deleteOld = true;
    const TransferResult r = transfer(o);
    EXPECT_FALSE(r.ok);
    const QString rowId = source->scalar("select id from phone where tel = '120'").toString();
    EXPECT_TRUE(
        r.message.contains(QString::fromUtf8("(جدول «phone»، رديف شماره %1 مبدا)").arg(rowId)))
        << r.message.toStdString();
    EXPECT_EQ(destination->count("phone"), 0);
    EXPECT_EQ(destination->count("users"), 1);
}

// A width is counted in characters, as the engines count them: a text of 150 with an emoji
// among them fits a column of 150; one more character is refused, naming the column.
TEST_P(Copy, AWidthIsCountedInCharacters) {
    source->exec("drop table phone");
    source->c->execute("create table phone (id int identity primary key, name nvarchar(100), "
                       "tel nvarchar(40), cmt nvarchar(200))");
    const QString fits = QString(149, QChar(0x0628)) + QString::fromUcs4(U"\U0001F600");
    ASSERT_EQ(fits.size(), 151);
    source->insert("phone", {{"name", "fits"}, {"cmt", fits}});
    auto o = everything(*source, *destination);
    o.deleteOld = true;
    TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination->scalar("select cmt from phone where name = 'fits'").toString(), fits);

    source->insert("phone", {{"name", "wide"}, {"cmt", fits + "x"}});
    r = transfer(o);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(gc::db::widthMessage("cmt", 150))) << r.message.toStdString();
    EXPECT_EQ(destination->scalar("select count(*) from phone").toInt(), 1);
}

// Cancel in the middle, the delete box ticked: nothing of the run stays.
TEST_P(Copy, ACancelLeavesTheDestinationAsItWas) {
    destination->insert("amval", {{"exit_dat", "1403/02/02"}, {"nam", "already there"}});
    const auto before = destination->counts();
    class CancelAtVehicles : public RecordingObserver {
      public:
        std::atomic_bool cancel = false;
        void logLine(const QString& line) override {
            RecordingObserver::logLine(line);
            if (line.contains(QString::fromUtf8("خودرو")))
                cancel = true;
        }
    } observer;
    auto o = everything(*source, *destination);
    o.deleteOld = true;
    const TransferResult r = gc::transfer::runTransfer(o, observer, observer.cancel, "cancel");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.message.contains(QString::fromUtf8("هيچ اطلاعاتي در بانک مقصد نوشته نشد")));
    EXPECT_FALSE(r.log.contains(QString::fromUtf8("پايان عمليات انتقال")));
    EXPECT_EQ(destination->counts(), before);
}

INSTANTIATE_TEST_SUITE_P(Pairs, Copy, ::testing::ValuesIn(allPairs()), pairName);

// A source of several chunks, pictures among them: every row and every byte arrives.
class Chunks : public PairTest {};

TEST_P(Chunks, EveryRowOfALargeSourceArrives) {
    TestDb source(GetParam().from);
    TestDb destination(GetParam().to);
    QSqlDatabase db = source.c->database();
    db.transaction();
    for (int i = 0; i < 2500; ++i)
        source.insert("amval",
                      {{"exit_dat", QString("1403/%1/01").arg(i % 12 + 1, 2, 10, QChar('0'))},
                       {"nam", QString::number(i)}});
    for (int i = 0; i < 30; ++i) {
        source.insert("asami", {{"surname", QString("p%1").arg(i)}, {"name", "n"}});
        const qint64 person = source.scalar("select max(id) from asami").toLongLong();
        QByteArray bytes(40000 + i, char(i));
        source.insert("per_pic", {{"per_id", person}, {"ext", ".jpg"}, {"pic", bytes}});
    }
    db.commit();
    gc::transfer::TransferOptions o;
    o.source = source.connectionString;
    o.destination = destination.connectionString;
    o.startDate = kStart;
    o.amval = o.asami = o.asamiPic = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination.rows("select nam, exit_dat from amval"),
              source.rows("select nam, exit_dat from amval"));
    EXPECT_EQ(destination.rows(kPersonPictures), source.rows(kPersonPictures));
    EXPECT_EQ(destination.count("per_pic"), 30);
}

INSTANTIATE_TEST_SUITE_P(Pairs, Chunks,
                         ::testing::Values(Pair{Backend::PostgreSQL, Backend::SQLite},
                                           Pair{Backend::PostgreSQL, Backend::PostgreSQL}),
                         pairName);

// The destination's server stops while the rows go over (it has a server of its own, so that
// no other test loses its server): the message says why, and nothing of the run stays.
class StoppedDestination : public ::testing::Test {
  protected:
    static bool server(const QString& command) {
        QProcess p;
        p.start(GC_PGSERVER_SCRIPT, {command, GC_OWN_PG_DIR});
        return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }
    static QString port() {
        QFile f(QStringLiteral(GC_OWN_PG_DIR) + "/port");
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
    }
    // psql's answer on `database`, trimmed.
    static QString psql(const QString& database, const QString& sql) {
        QProcess p;
        p.start("psql",
                {"-h", "127.0.0.1", "-p", port(), "-U", "gc", "-d", database, "-At", "-c", sql});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    static void SetUpTestSuite() { up_ = server("start"); }
    static void TearDownTestSuite() { server("stop"); }
    void SetUp() override {
        if (!up_)
            GTEST_SKIP() << "the test's own PostgreSQL server did not start";
    }
    static inline bool up_ = false;
};

TEST_F(StoppedDestination, TheMessageGivesTheReasonAndNothingStays) {
    ASSERT_EQ(psql("postgres", "create database gate"), "CREATE DATABASE");
    const QString destination =
        "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial "
        "Catalog=gate;Data Source=127.0.0.1," +
        port();
    {
        gc::db::Connection c("stopped_setup");
        c.setConnectionString(destination);
        c.open();
        ASSERT_TRUE(gc::EnsureSchema(c).complete());
    }
    // The goods' rows go over several at a time; their insert waits on the server, where the
    // server is stopped.
    psql("gate", "create function slow() returns trigger language plpgsql as "
                 "$$ begin perform pg_sleep(30); return null; end $$");
    psql("gate",
         "create trigger slow before insert on amval for each statement execute function slow()");
    TestDb source(Backend::SQLite);
    seedSource(source);
    auto o = everything(source, source);
    o.destination = destination;
    o.deleteOld = true;

    QProcess halt;
    halt.start("sh", {"-c", "until psql -h 127.0.0.1 -p " + port() +
                                " -U gc -d gate -Atc \"select 1 from pg_stat_activity where "
                                "wait_event = 'PgSleep'\" | grep -q 1; do sleep 0.1; done; " +
                                GC_PGSERVER_SCRIPT + " halt " + GC_OWN_PG_DIR});
    RecordingObserver observer;
    const std::atomic_bool cancel = false;
    const TransferResult r = gc::transfer::runTransfer(o, observer, cancel, "stopped");
    const bool halted = halt.waitForFinished(60000) && halt.exitCode() == 0;
    const bool resumed = server("resume");
    ASSERT_TRUE(halted);
    EXPECT_FALSE(r.ok);
    const QString engine = QString::fromUtf8("خطاي بانک اطلاعاتي:");
    ASSERT_TRUE(r.message.contains(engine)) << r.message.toStdString();
    EXPECT_FALSE(r.message.section(engine, 1).trimmed().isEmpty()) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("terminating connection")) << r.message.toStdString();
    ASSERT_TRUE(resumed);
    EXPECT_EQ(psql("gate", "select count(*) from amval"), "0");
}

// The destination's commit is made durable but its answer never comes (it waits for a standby
// that does not exist): the run asks the outcome after reconnecting and is told copied, and
// each row is there once.
TEST_F(StoppedDestination, ACopyWhoseCommitAnswerIsLostIsToldCopiedOnce) {
    ASSERT_EQ(psql("postgres", "create database durable"), "CREATE DATABASE");
    const QString destination =
        "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial "
        "Catalog=durable;Data Source=127.0.0.1," +
        port();
    {
        gc::db::Connection c("durable_setup");
        c.setConnectionString(destination);
        c.open();
        ASSERT_TRUE(gc::EnsureSchema(c).complete());
    }
    psql("postgres", "alter system set synchronous_standby_names = 'nowhere'");
    psql("postgres", "alter system set synchronous_commit = local");
    psql("postgres", "alter database durable set synchronous_commit = on");
    psql("postgres", "select pg_reload_conf()");
    // The server's background process that tells commits to wait reads it a moment later.
    QThread::sleep(1);
    TestDb source(Backend::SQLite);
    seedSource(source);
    auto o = everything(source, source);
    o.destination = destination;
    RecordingObserver observer;
    const std::atomic_bool cancel = false;
    const TransferResult r = gc::transfer::runTransfer(o, observer, cancel, "durable");
    psql("postgres", "alter system reset all");
    psql("postgres", "alter database durable reset synchronous_commit");
    psql("postgres", "select pg_reload_conf()");
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    for (const gc::transfer::SectionCount& count : r.counts)
        if (count.table == "amval") {
            EXPECT_GT(count.copied, 0);
            EXPECT_EQ(psql("durable", "select count(*) from amval"), QString::number(count.copied));
        }
}
} // namespace
