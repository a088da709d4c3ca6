// The database server restarts while the program runs: the next save, search and poll
// open the connection again and go on; while the server is away each action says so once,
// keeps what was typed and reports nothing saved. The test runs a server of its own, so
// that stopping it disturbs no other test.
#include "core/schema.h"
#include "core/unread_messages.h"
#include "khodro_harness.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/visit_register.h"
#include "registers/asami/core/asami_pictures.h"
#include "registers/asami/core/asami_sql.h"
#include "registers/prs/core/monthly_sheet.h"
#include "support/spawn.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <csignal>
#include <thread>

using namespace gctest::khodro;

namespace {

const QString kOfficial = QStringLiteral("اداري");
const QString kSaved = QStringLiteral("ثبت شد");

// pgserver.sh COMMAND on this test's own server directory.
bool server(const QString& command) {
    return gctest::runProgram(GC_PGSERVER_SCRIPT, {command, GC_OWN_PG_DIR}).exitCode == 0;
}

QString port() {
    QFile f(QStringLiteral(GC_OWN_PG_DIR) + "/port");
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
}

// psql's answer on `database`, trimmed: what is really stored.
QString psql(const QString& database, const QString& sql) {
    const gctest::Ran ran = gctest::runProgram(
        "psql", {"-h", "127.0.0.1", "-p", port(), "-U", "gc", "-d", database, "-At", "-c", sql});
    return QString::fromUtf8(ran.out).trimmed();
}

class Reconnect : public Harness {
  protected:
    static void SetUpTestSuite() { up_ = server("start"); }
    static void TearDownTestSuite() { server("stop"); }

    void SetUp() override {
        if (!up_)
            GTEST_SKIP() << "the test's own PostgreSQL server did not start";
        database_ = "gate" + QString::number(++databases_);
        ASSERT_EQ(psql("postgres", "create database " + database_), "CREATE DATABASE");
        dm = std::make_unique<gc::Tdm>();
        dm->ADOConnection1.setConnectionString(
            "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial "
            "Catalog=" +
            database_ + ";Data Source=127.0.0.1," + port());
        dm->ADOConnection1.open();
        ASSERT_TRUE(gc::EnsureSchema(*dm).complete());
        clock.set(QDateTime(QDate(2024, 3, 20), QTime(13, 5)));
        ctx = std::make_unique<gc::registers::RegisterContext>(gc::registers::RegisterContext{
            *dm, date, clock, [] { return gctest::kGuard; }, opener, printUi, dir.path()});
        ins = std::make_unique<gc::registers::Tkhodro_ins>(*ctx);
        list = std::make_unique<gc::registers::Tkhodro_list>(*ctx, *ins);
        addPreset("نام راننده اداري", "حسيني");
        addPreset("شماره خودرو اداري", "55د555");
    }
    void TearDown() override {
        if (up_) {
            server("resume"); // a failed test must not leave the next one without a server
            psql("postgres", "alter system reset all");
            psql("postgres", "select pg_reload_conf()");
        }
        Harness::TearDown();
    }
    QString stored(const QString& sql) { return psql(database_, sql); }
    void restart() {
        ASSERT_TRUE(server("halt"));
        ASSERT_TRUE(server("resume"));
    }
    // The server makes this workstation's next commit durable, but its answer waits for a
    // standby that does not exist. Other sessions commit as usual.
    void commitsWaitForAStandby() {
        ASSERT_EQ(psql("postgres", "alter system set synchronous_standby_names = 'nowhere'"),
                  "ALTER SYSTEM");
        ASSERT_EQ(psql("postgres", "alter system set synchronous_commit = local"), "ALTER SYSTEM");
        ASSERT_EQ(psql("postgres", "select pg_reload_conf()"), "t");
        // The server's background process that tells commits to wait reads it a moment later.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        dm->ADOConnection1.execute("set synchronous_commit = on");
    }
    void typeACar() {
        pick(ins->khodro_typ(), kOfficial);
        type(ins->ranande(), "حسيني");
        pick(ins->num(), "55د555");
    }

    // Every process of the server (the postmaster first, so that it starts no other), stopped
    // or let go on.
    static void signalServer(int signal) {
        QFile pidFile(QStringLiteral(GC_OWN_PG_DIR) + "/data/postmaster.pid");
        if (!pidFile.open(QIODevice::ReadOnly))
            return;
        const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toInt());
        ::kill(postmaster, signal);
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + entry + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // pid (name) state ppid ...: the name may hold spaces, the fields after it do not.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (after.size() > 1 && after[1].toInt() == postmaster)
                ::kill(pid_t(entry.toInt()), signal);
        }
    }

    QString database_;
    static inline bool up_ = false;
    static inline int databases_ = 0;
};

} // namespace

TEST_P(Reconnect, SaveWhileTheServerIsAwayKeepsTheTypedRowAndTheNextSaveGoesThrough) {
    ASSERT_TRUE(list->search());
    whileModal(list->insertAction(), ins.get(), [&] {
        pick(ins->khodro_typ(), kOfficial);
        type(ins->ranande(), "حسيني");
        pick(ins->num(), "55د555");
        ASSERT_TRUE(server("halt"));
        ins->insButton()->click();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
        EXPECT_NE(dialogs.texts().value(0), kSaved);
        EXPECT_EQ(in("ranande"), "حسيني");
        EXPECT_EQ(in("num"), "55د555");

        ASSERT_TRUE(server("resume"));
        dialogs.messages.clear();
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{kSaved});
    });
    EXPECT_EQ(stored("select ranande||'|'||num||'|'||khodro_typ from khodro"),
              "حسيني|55د555|" + kOfficial);
    EXPECT_EQ(dm->ADOQ_khodro.recordCount(), 1);
}

TEST_P(Reconnect, SearchAndPollAfterARestartGoOnWithoutAMessage) {
    exec("insert into khodro (ranande, exit_dat, khodro_typ) values ('a', '1403/01/01', 'x')");
    ASSERT_TRUE(list->search());
    restart();
    stored("insert into khodro (ranande, exit_dat, khodro_typ) values ('b', '1403/01/01', 'x')");
    EXPECT_TRUE(list->search());
    EXPECT_EQ(dm->ADOQ_khodro.recordCount(), 2);
    restart();
    EXPECT_EQ(gc::CountUnreadMessages(*dm, "1"), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join('\n').toStdString();
}

// Pages read while the grid scrolls: after a restart the next page reopens the connection;
// while the server is away the grid keeps its rows and says so once, nothing escapes into
// Qt's painting and event code.
TEST_P(Reconnect, AGridScrolledAcrossARestartReadsOnAndSaysOnceWhileTheServerIsAway) {
    stored("insert into khodro (ranande, exit_dat, khodro_typ) select 'r' || g, '1403/01/01', "
           "'x' from generate_series(1, 800) g");
    ASSERT_TRUE(list->search());
    QAbstractItemModel* model = list->grid()->model();
    ASSERT_LT(model->rowCount(), 800);
    restart();
    while (model->canFetchMore({}))
        model->fetchMore({});
    EXPECT_EQ(model->rowCount(), 800);

    ASSERT_TRUE(list->search());
    const int shown = model->rowCount();
    ASSERT_TRUE(server("halt"));
    model->fetchMore({});
    model->fetchMore({});
    EXPECT_EQ(model->rowCount(), shown);
    EXPECT_FALSE(model->canFetchMore({}));
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages.size(), 1) << dialogs.texts().join('\n').toStdString();
    // The rows read before stay on show, and the list reads on once the server is back.
    const int nameColumn = dm->ADOQ_khodro.fieldIndex("ranande");
    EXPECT_FALSE(model->index(shown - 1, nameColumn).data().toString().isEmpty());
    ASSERT_TRUE(server("resume"));
    QTest::qWait(2100);
    while (model->canFetchMore({}))
        model->fetchMore({});
    EXPECT_EQ(model->rowCount(), 800);
    EXPECT_EQ(dialogs.messages.size(), 1);

    // A search that fails leaves no count beside the empty grid.
    EXPECT_FALSE(list->countLabel()->text().isEmpty());
    ASSERT_TRUE(server("halt"));
    EXPECT_FALSE(list->search());
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_TRUE(list->countLabel()->text().isEmpty());
    ASSERT_TRUE(server("resume"));
    EXPECT_TRUE(list->search());
    EXPECT_EQ(list->countLabel()->text(), "800");
}

// Reads walked row by row (the monthly sheet, saving every picture) and the directory's filter
// lists follow the same rules as a list: Latin letters match without regard to case, a lost
// server is reopened, and the lists come in alphabetical order.
TEST_P(Reconnect, ForwardReadsAndFilterListsMatchLatinCaseAndGoOnAfterARestart) {
    stored("insert into asami (surname, name, card_no) values ('Smith', 'J', '7'), "
           "('رضايي', 'a', '8'), ('رضا', 'b', '9')");
    stored("insert into prs (cart_no, nam, exit_dat, vorod_tim, exit_tim) values "
           "('7', 'Smith', '1403/01/02', '08:00', '16:00')");
    const gc::registers::prs::SheetFilter byName{std::nullopt, QStringLiteral("smith")};
    const QStringList days = {"1403/01/01", "1403/01/02"};
    QTemporaryDir out;
    std::vector<gc::registers::FilterInput> filters(4);
    filters[0] = {true, {"smith"}, -1};
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "before the restart" : "after the restart");
        const auto sheet =
            gc::registers::prs::BuildMonthlySheet(dm->ADOConnection1, byName, days, 0);
        EXPECT_EQ(sheet.persons, 1);
        EXPECT_EQ(sheet.lines[1].v[0], "08:00");
        const auto saved = gc::registers::asami::SaveAllPictures(
            dm->ADOConnection1, filters, out.path() + "/p" + QString::number(pass));
        EXPECT_EQ(saved.withoutPicture, 1);
        gc::db::Query& q = dm->ADOQuery1;
        q.openSql({gc::registers::asami::distinctSql("surname")});
        QStringList surnames;
        for (q.first(); !q.eof(); q.next())
            surnames << q.fieldByName("surname").asString();
        EXPECT_EQ(surnames, (QStringList{"رضا", "رضايي", "Smith"}));
        if (pass == 0)
            restart();
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join('\n').toStdString();
}

// A transaction cut by the restart is not carried on over a new connection: its later
// statements and its commit fail, and none of its rows is stored.
TEST_P(Reconnect, ATransactionCutByARestartStoresNothing) {
    gc::db::Connection& c = dm->ADOConnection1;
    c.beginTransaction();
    c.execute("insert into phone (name) values ('first')");
    restart();
    EXPECT_THROW(c.execute("insert into phone (name) values ('second')"), gc::db::DbError);
    EXPECT_THROW(c.commit(), gc::db::DbError);
    c.rollback();
    EXPECT_EQ(stored("select count(*) from phone"), "0");
    c.execute("insert into phone (name) values ('third')");
    EXPECT_EQ(stored("select string_agg(name, ',') from phone"), "third");
}

// The answer to a save's commit never comes: the watch gives up, and the save's outcome is
// asked over a new connection. It was stored, so it is shown as saved, and stored once.
TEST_P(Reconnect, ASaveWhoseCommitIsCutIsLookedUpAndStandsOnce) {
    ASSERT_TRUE(list->search());
    whileModal(list->insertAction(), ins.get(), [&] {
        typeACar();
        commitsWaitForAStandby();
        QElapsedTimer waited;
        waited.start();
        ins->insButton()->click();
        EXPECT_LT(waited.elapsed(), 15000);
        EXPECT_EQ(dialogs.texts(), QStringList{kSaved});
    });
    EXPECT_EQ(stored("select ranande || '|' || num from khodro"), "حسيني|55د555");
    EXPECT_EQ(dm->ADOQ_khodro.recordCount(), 1);
}

// The server goes away while the commit's answer is awaited: whether the save was stored
// cannot be told, and the guard is told just that, with what was typed kept.
TEST_P(Reconnect, ASaveWhoseOutcomeCannotBeToldSaysSo) {
    ASSERT_TRUE(list->search());
    whileModal(list->insertAction(), ins.get(), [&] {
        typeACar();
        commitsWaitForAStandby();
        std::thread halt([] {
            std::this_thread::sleep_for(std::chrono::seconds(3));
            server("halt");
        });
        ins->insButton()->click();
        halt.join();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].text.contains("معلوم نيست ثبت شده است يا نه"))
            << dialogs.texts().join('\n').toStdString();
        EXPECT_EQ(in("ranande"), "حسيني");
    });
    ASSERT_TRUE(server("resume"));
    // The server had made it durable: a second save would have stored it twice.
    EXPECT_EQ(stored("select count(*) from khodro"), "1");
}

// A visitor whose registration's commit was made durable, its answer lost: told saved, and
// registered once.
TEST_P(Reconnect, AVisitorWhoseCommitAnswerIsLostIsToldSavedAndRegisteredOnce) {
    namespace ar = gc::registers::arbab;
    dm->ADOQ_arbabrojo.openSql({"select * from arbabrojo"});
    ar::VisitColumns visit;
    for (const QString& column : ar::visitColumnNames())
        visit.emplace_back(column, column == "name"     ? QStringLiteral("رضايي")
                                   : column == "dat"    ? QStringLiteral("1403/01/01")
                                   : column == "khoroj" ? ar::kInside
                                                        : QString());
    commitsWaitForAStandby();
    const ar::RegisterResult result =
        ar::RegisterVisit(dm->ADOQ_arbabrojo, dm->ADOQuery1, visit, std::nullopt);
    EXPECT_EQ(result.status, ar::RegisterStatus::Saved) << result.error.toStdString();
    EXPECT_EQ(stored("select count(*) from arbabrojo where name = 'رضايي'"), "1");
}

// The whole server stops for 20 s: before a write, the guard is told it was not done, and
// it never is; during a commit made durable, that its outcome is not known. Each within the
// limit, and the next action reconnects.
TEST_P(Reconnect, AWholeServerFrozenIsToldTrulyWithinTheLimit) {
    gc::db::Connection& c = dm->ADOConnection1;
    const qint64 limit = std::chrono::milliseconds(gc::db::Connection::kOutcomeLimit).count();
    const auto frozenFor20s = [](int afterSeconds) {
        return std::thread([afterSeconds] {
            std::this_thread::sleep_for(std::chrono::seconds(afterSeconds));
            signalServer(SIGSTOP);
            std::this_thread::sleep_for(std::chrono::seconds(20));
            signalServer(SIGCONT);
        });
    };
    for (const bool duringCommit : {false, true}) {
        SCOPED_TRACE(duringCommit ? "during the commit" : "before the write");
        if (duringCommit)
            commitsWaitForAStandby();
        std::thread freeze = frozenFor20s(duringCommit ? 2 : 0);
        if (!duringCommit)
            std::this_thread::sleep_for(std::chrono::seconds(1));
        QString told;
        QElapsedTimer waited;
        waited.start();
        try {
            c.execute(duringCommit ? "insert into phone (name) values ('second')"
                                   : "insert into phone (name) values ('first')");
        } catch (const gc::db::DbError& e) {
            told = e.message();
        }
        EXPECT_LT(waited.elapsed(), limit);
        freeze.join();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (duringCommit) {
            EXPECT_TRUE(told.contains("معلوم نيست ثبت شده است يا نه")) << told.toStdString();
            psql("postgres", "alter system reset all");
            psql("postgres", "select pg_reload_conf()");
        } else {
            EXPECT_TRUE(told.contains("کار انجام نشد")) << told.toStdString();
            EXPECT_EQ(stored("select count(*) from phone where name = 'first'"), "0");
        }
    }
    c.execute("set synchronous_commit = local");
    c.execute("insert into phone (name) values ('third')");
    EXPECT_EQ(stored("select count(*) from phone where name = 'third'"), "1");
}

INSTANTIATE_TEST_SUITE_P(Engines, Reconnect, ::testing::Values(gctest::Backend::PostgreSQL),
                         gctest::engineName);
