// Every value arrives as it left, read back with the engines' own clients: date-times at
// their wall-clock text in any pair of time zones, empty pictures empty and missing ones
// NULL; keys the copy cannot use are refused; the source file is never written.
#include "core/transfer/copier.h"
#include "transfer_fixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>

using namespace gctest;
using gc::transfer::TransferOptions;
using gc::transfer::TransferResult;

namespace {

TransferOptions only(const TestDb& source, const TestDb& destination) {
    TransferOptions o;
    o.source = source.connectionString;
    o.destination = destination.connectionString;
    o.startDate = kBlank;
    return o;
}

struct Zones {
    const char* workstation;
    const char* server;
};

class WallClock : public ::testing::TestWithParam<std::tuple<Pair, Zones>> {
  protected:
    void SetUp() override {
        if (std::get<0>(GetParam()).needsServer() && !postgresAvailable())
            GTEST_SKIP() << "no PostgreSQL test server";
    }
};

// 2021-03-22 00:30 never happened in Tehran: the clocks went from 00:00 to 01:00.
TEST_P(WallClock, DateTimesArriveAsTheSameTextInAnyTimeZones) {
    const auto [pair, zones] = GetParam();
    WorkstationZone workstation(zones.workstation);
    TestDb source(pair.from);
    TestDb destination(pair.to);
    // The server is also set to write its date-times in another style than ISO.
    for (TestDb* db : {&source, &destination})
        if (db->pg()) {
            db->setServerZone(zones.server);
            db->exec("alter database " + gc::db::connectionTarget(db->connectionString).database +
                     " set datestyle to 'SQL, DMY'");
        }
    const QStringList texts{"2024-12-12 09:45:33", "2021-03-22 00:30:00",
                            "2024-03-24 10:15:30.123456", "2023-09-22 23:59:59"};
    for (int i = 0; i < texts.size(); ++i)
        source.insert("log",
                      {{"tarikh", QString("1403/01/0%1").arg(i + 1)}, {"saat_sys", texts[i]}});
    source.insert("log", {{"tarikh", "1403/01/09"}, {"saat_sys", QVariant()}});
    source.insert("log", {{"tarikh", "1403/01/10"}}); // the engine's own clock
    const QString read = "select tarikh, saat_sys from log order by tarikh";
    const QStringList before = source.client(read);
    ASSERT_EQ(before.mid(0, 5),
              (QStringList{"1403/01/01|2024-12-12 09:45:33", "1403/01/02|2021-03-22 00:30:00",
                           "1403/01/03|2024-03-24 10:15:30.123456",
                           "1403/01/04|2023-09-22 23:59:59", "1403/01/09|NULL"}));

    TransferOptions o = only(source, destination);
    o.other = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination.client(read), before);
}

using PairAndZones = std::tuple<Pair, Zones>;

std::string pairAndZonesName(const ::testing::TestParamInfo<PairAndZones>& info) {
    const auto& [pair, zones] = info.param;
    return (backendName(pair.from) + "_to_" + backendName(pair.to) +
            (QByteArray(zones.workstation) == "UTC" ? "_ServerInTehran" : "_ServerInUtc"))
        .toStdString();
}

INSTANTIATE_TEST_SUITE_P(PairsAndZones, WallClock,
                         ::testing::Combine(::testing::ValuesIn(allPairs()),
                                            ::testing::Values(Zones{"Asia/Tehran", "UTC"},
                                                              Zones{"UTC", "Asia/Tehran"})),
                         pairAndZonesName);

using Faithful = PairOfDatabases;

TEST_P(Faithful, AnEmptyPictureStaysEmptyAndAMissingOneNull) {
    const QByteArray empty(0, '\0');
    source->insert("asami", {{"id", 1}, {"surname", "a"}});
    source->insert("per_pic", {{"per_id", 1}, {"ext", ".e"}, {"pic", empty}});
    source->insert("per_pic", {{"per_id", 1}, {"ext", ".n"}, {"pic", QVariant()}});
    source->insert("per_pic", {{"per_id", 1}, {"ext", ".f"}, {"pic", QByteArray("abc")}});
    source->insert("arbabrojo", {{"id", 7}, {"name", "v"}, {"dat", "1403/01/01"}});
    source->insert("arbabrojo_pic", {{"arbabrojo_id", 7}, {"cmt", "e"}, {"pic", empty}});
    source->insert("arbabrojo_pic", {{"arbabrojo_id", 7}, {"cmt", "n"}, {"pic", QVariant()}});
    source->insert("zamaem", {{"pic", empty}});
    source->insert("otaghha", {{"title", "room"}, {"koroki", empty}});
    const QString pictures = "select ext, coalesce(length(pic), -1) from per_pic order by ext";
    const QString visits = "select cmt, coalesce(length(pic), -1) from arbabrojo_pic order by cmt";
    const QString others = "select coalesce(length(pic), -1) from zamaem union all "
                           "select coalesce(length(koroki), -1) from otaghha";
    ASSERT_EQ(source->client(pictures), (QStringList{".e|0", ".f|3", ".n|-1"}));

    TransferOptions o = only(*source, *destination);
    o.asami = o.asamiPic = o.arbabrojo = o.arbabrojoPic = o.otagh = o.other = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination->client(pictures), source->client(pictures));
    EXPECT_EQ(destination->client(visits), (QStringList{"e|0", "n|-1"}));
    EXPECT_EQ(destination->client(others), (QStringList{"0", "0"}));
}

// A key the copy cannot number by (a plain integer): a message naming the table, and
// the destination as it was.
TEST_P(Faithful, AKeyThatIsNotAutoNumberedIsRefusedByName) {
    seedSource(*source);
    destination->exec("drop table users");
    destination->exec("create table users (id integer, us varchar(25), ps varchar(25), "
                      "ver varchar(25))");
    destination->exec("insert into users (id, us, ps, ver) values (1, 'kept', 'k', '1')");
    destination->insert("phone", {{"name", "kept"}});
    const QStringList before = destination->client("select id, us, ps from users");
    const TransferResult r = transfer(everything(*source, *destination));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QString::fromUtf8("«users»"))) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QString::fromUtf8("کليد"))) << r.message.toStdString();
    EXPECT_EQ(destination->client("select id, us, ps from users"), before);
    EXPECT_EQ(destination->client("select name from phone"), QStringList{"kept"});
}

// The server's identity columns are keys like its serial ones, "always" ones too.
TEST_P(Faithful, IdentityKeysOfTheServerNumberTheCopies) {
    if (!destination->pg())
        GTEST_SKIP() << "identity columns are the server's";
    seedSource(*source);
    destination->exec("drop table asami");
    destination->exec("create table asami (id integer generated by default as identity primary "
                      "key, surname varchar(100), name varchar(100), uniq_code varchar(100), "
                      "card_no varchar(50), vahed_tabe varchar(100), khodro_num varchar(150), "
                      "mobile varchar(50), nation varchar(10))");
    destination->exec("drop table per_pic");
    destination->exec("create table per_pic (id integer generated always as identity primary "
                      "key, per_id integer, ext varchar(10), pic bytea)");
    TransferOptions o = only(*source, *destination);
    o.asami = o.asamiPic = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const QString linked = "select a.surname, p.ext, md5(p.pic) from per_pic p join asami a on "
                           "a.id = p.per_id order by 1, 2";
    const QStringList expected{"Ahmadi|.jpg|", "Ahmadi|.png|", "Karimi|.jpg|"};
    const QStringList got = destination->client(linked);
    ASSERT_EQ(got.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(got[i].startsWith(expected[i])) << got[i].toStdString();
    // The numbering goes on after the copies.
    destination->exec("insert into asami (surname) values ('next')");
    EXPECT_EQ(destination->client("select count(distinct id) from asami"), QStringList{"4"});
}

// Users are one of a name: the source's account replaces the destination's of the same
// name, password and rights; the set-up's lone administrator makes way for the source's
// accounts; the log says what happened.
TEST_P(Faithful, UsersOfOneNameAreReplacedNeverDoubled) {
    source->insert("users", {{"id", 5}, {"us", "ali"}, {"ps", "new"}, {"ver", "2"}});
    source->insert("users", {{"id", 6}, {"us", "reza"}, {"ps", "r"}, {"ver", "1"}});
    source->insert("dastrasi", {{"prs_id", 5},
                                {"page_name", "khodro"},
                                {"darj", true},
                                {"virayesh", true},
                                {"hazf", false},
                                {"namayesh", true}});
    destination->insert("users", {{"us", "ali"}, {"ps", "old"}, {"ver", "1"}});
    destination->insert("users", {{"us", "bob"}, {"ps", "b"}, {"ver", "1"}});
    const QString ali = destination->scalar("select id from users where us = 'ali'").toString();
    destination->insert("dastrasi", {{"prs_id", ali},
                                     {"page_name", "amval"},
                                     {"darj", true},
                                     {"virayesh", true},
                                     {"hazf", true},
                                     {"namayesh", true}});
    TransferOptions o = only(*source, *destination);
    o.other = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    const QString users = "select us, ps from users order by us";
    EXPECT_EQ(destination->client(users), (QStringList{"admin|1", "ali|new", "bob|b", "reza|r"}));
    EXPECT_EQ(destination->client("select u.us, d.page_name from dastrasi d join users u on "
                                  "u.id = d.prs_id order by 1, 2"),
              (QStringList{"admin|karbaran", "ali|khodro"}));
    EXPECT_TRUE(r.log.contains(QString::fromUtf8(
        "کاربران هم نام بانک مقصد با رمز و دسترسي هاي مبدا جايگزين شدند: admin، ali")));
    EXPECT_TRUE(r.log.contains(QString::fromUtf8("1 کاربر تازه به بانک مقصد افزوده شد")));
}

TEST_P(Faithful, TheSeededAdministratorMakesWayForTheSourcesUsers) {
    source->exec("delete from users");
    source->exec("delete from dastrasi");
    source->insert("users", {{"us", "boss"}, {"ps", "secret"}, {"ver", "1"}});
    TransferOptions o = only(*source, *destination);
    o.other = true;
    const TransferResult r = transfer(o);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(destination->client("select us, ps from users"), QStringList{"boss|secret"});
    EXPECT_EQ(destination->client("select count(*) from dastrasi"), QStringList{"0"});
    EXPECT_TRUE(r.log.contains(
        QString::fromUtf8("کاربر اوليه «admin» با رمز پيش فرض از بانک مقصد حذف شد")));
}

// The bar runs on through the pictures, up to the visits and their pictures together.
TEST_P(Faithful, ProgressGoesOnThroughThePictures) {
    for (int i = 0; i < 30; ++i) {
        source->insert("arbabrojo", {{"id", 100 + i}, {"name", "v"}, {"dat", "1403/02/02"}});
        source->insert("arbabrojo_pic", {{"arbabrojo_id", 100 + i}, {"pic", QByteArray(10, 'x')}});
    }
    class Progress : public RecordingObserver {
      public:
        std::vector<std::pair<int, int>> steps;
        void progress(int done, int total) override { steps.emplace_back(done, total); }
    } observer;
    TransferOptions o = only(*source, *destination);
    o.arbabrojo = o.arbabrojoPic = true;
    std::atomic_bool cancel = false;
    ASSERT_TRUE(gc::transfer::runTransfer(o, observer, cancel, "progress").ok);
    ASSERT_FALSE(observer.steps.empty());
    EXPECT_EQ(observer.steps.back(), std::make_pair(60, 60));
    int previous = 0;
    for (const auto& [done, total] : observer.steps) {
        EXPECT_GE(done, previous);
        previous = done;
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, Faithful, ::testing::ValuesIn(allPairs()), pairName);

QByteArray hashOf(const QString& file) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A source file in rollback-journal mode: read from the first statement on, its bytes
// stay as they were (a switch to the write-ahead log would change its header).
class UntouchedSource : public PairTest {};

TEST_P(UntouchedSource, AFileInRollbackJournalModeIsNeverWritten) {
    if (GetParam().from != Backend::SQLite)
        GTEST_SKIP() << "a file source";
    TestDb source(Backend::SQLite);
    TestDb destination(GetParam().to);
    seedSource(source);
    source.c->close();
    EXPECT_EQ(source.client("pragma journal_mode=delete"), QStringList{"delete"});
    const QByteArray before = hashOf(source.file());
    const TransferResult r = transfer(everything(source, destination));
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(hashOf(source.file()), before);
    EXPECT_EQ(source.client("pragma journal_mode"), QStringList{"delete"});
    EXPECT_FALSE(QFile::exists(source.file() + "-wal"));
}

INSTANTIATE_TEST_SUITE_P(Pairs, UntouchedSource, ::testing::ValuesIn(allPairs()), pairName);

} // namespace
