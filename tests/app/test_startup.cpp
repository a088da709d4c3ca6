#include "app/forms.h"
#include "app/program.h"
#include "app/startup.h"
#include "core/connection_settings.h"
#include "core/data_module.h"
#include "core/schema.h"
#include "core/services.h"
#include "fakes/fake_platform.h"
#include "platform/db/connection.h"
#include "platform/db/connection_string.h"
#include "platform/settings/registry.h"
#include "platform/text/bidi.h"
#include "platform/ui/widgets.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"
#include "support/virtual_display.h"
#include "windows/shell/login_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/server_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

using namespace gc;

namespace {

const QString kNoKey =
    QString::fromUtf8("لطفا\" ابتدا تنظيمات اتصال به بانک اطلاعاتي را انجام دهيد");
const QString kFailed = QString::fromUtf8(
    "تنظيمات اتصال به بانک اطلاعاتي اشتباه انجام شده است، لطفا با مدير شبکه تماس حاصل کنيد");

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        forms = std::make_unique<Forms>();
    }
    void store(const QString& auth, const QString& type, const QString& server,
               const QString& password = "x") {
        auto key = platform::RegistryKey::open(kSettingsKey, true);
        key->writeString(kValSystemType, type);
        key->writeString(kValSqlServerName, server);
        key->writeString(kValDataBase, "Tovarmesk");
        key->writeString(kValUserName, "sa");
        key->writeString(kValAuthentication, auth);
        key->writeString(kValPassword, ScramblePassword(password).value());
    }
    QString fileDb() const { return config.filePath("Tovarmesk.accdb"); }
    // Runs the start-up on settings it refuses: one message, then the settings window, which
    // is cancelled. Returns what the message said.
    QString refusedSaying() {
        ConnectionLoop loop(*forms->dm, *forms->server);
        int shown = 0;
        loop.showServerModal = [&] {
            ++shown;
            forms->server->Button2Click();
        };
        EXPECT_FALSE(loop.run());
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(dialogs.texts().size(), 1);
        return dialogs.texts().value(0);
    }

    QTemporaryDir config;
    gctest::ScriptedDialogs dialogs;
    std::unique_ptr<Forms> forms;
};

} // namespace

TEST_F(Startup, FirstStartAsksForSettingsThenConnects) {
    ConnectionLoop loop(*forms->dm, *forms->server);
    int shown = 0;
    loop.showServerModal = [&] {
        ++shown;
        Tserver& s = *forms->server;
        s.FormShow();
        s.RadioGroup1->setItemIndex(2);
        s.SqlServerName->setText(fileDb());
        s.Button1Click();
    };
    EXPECT_TRUE(loop.run());
    EXPECT_EQ(shown, 1);
    // The new file was set up at once: login can read its users.
    EXPECT_EQ(dialogs.texts(), QStringList({kNoKey, QString::fromUtf8("همه تنظيمات انجام شد")}));
    EXPECT_EQ(dialogs.messages[0].buttons, ui::Yes);
    EXPECT_TRUE(forms->dm->ADOConnection1.connected());
    EXPECT_EQ(forms->dm->ADOConnection1.engine(), db::Engine::SQLite);
}

TEST_F(Startup, FailedOpenRepeatsUntilFinish) {
    store("SQL Server", "32-bit", "127.0.0.1,1");
    ConnectionLoop loop(*forms->dm, *forms->server);
    int shown = 0;
    bool noteShown = true;
    loop.showServerModal = [&] {
        // At the start-up the settings saved are tried at once: no word of a next start.
        forms->server->show();
        noteShown = forms->server->findChild<QLabel*>("nextStartNote")->isVisible();
        forms->server->hide();
        if (++shown == 2)
            forms->server->Button2Click();
    };
    EXPECT_FALSE(loop.run());
    EXPECT_FALSE(noteShown);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(dialogs.texts(), QStringList({kFailed, kFailed}));
    EXPECT_EQ(forms->server->Button2->text(), "end");
    // The stored choice was selected during the attempt.
    EXPECT_EQ(forms->server->RadioGroup1->itemIndex(), 1);
}

// A server name whose port is mistyped is refused with its reason, not tried on the default
// port, and the settings window follows.
TEST_F(Startup, AMistypedPortIsNamedNotTriedOnTheDefault) {
    store("SQL Server", "32-bit", "127.0.0.1,5433x");
    const QString said = refusedSaying();
    EXPECT_TRUE(said.contains(forms->server->Label1->text()) &&
                said.contains(QChar(0x2066) + QString("5433x") + QChar(0x2069)))
        << said.toStdString();
    EXPECT_FALSE(forms->dm->ADOConnection1.connected());
}

TEST_F(Startup, NoStringIsBuiltSoThePreviousOneIsNotReused) {
    QFile(fileDb()).open(QIODevice::WriteOnly); // an empty file opens as a new database
    store("Access", "64-bit", fileDb());
    ConnectionLoop loop(*forms->dm, *forms->server);
    loop.showServerModal = [] {};
    loop.attempt();
    ASSERT_TRUE(forms->dm->ADOConnection1.connected());
    dialogs.messages.clear(); // the offer to set the empty file up, taken
    // Same settings but without a system type: no string, so the attempt fails.
    store("Access", "", fileDb());
    loop.KeepTrying = true;
    loop.attempt();
    EXPECT_FALSE(loop.RunApplication);
    EXPECT_FALSE(forms->dm->ADOConnection1.connected());
    EXPECT_EQ(dialogs.texts(), QStringList{kFailed});
    store("sql server", "32-bit", fileDb());
    loop.attempt();
    EXPECT_FALSE(loop.RunApplication);
}

TEST_F(Startup, SettingsWindowInitialContentsAndDefaults) {
    Tserver& s = *forms->server;
    s.FormShow();
    EXPECT_EQ(s.SqlServerName->text(), Tserver::kDefaultServer);
    EXPECT_EQ(s.DataBase->text(), "Tovarmesk.accdb");
    EXPECT_EQ(s.UserName->text(), "sa");
    EXPECT_EQ(s.Password->text(), "kimrod$#!");
    EXPECT_EQ(s.SystemType->currentText(), "32-bit");
    EXPECT_EQ(s.RadioGroup1->itemIndex(), 1);
    EXPECT_FALSE(s.StaticText1->isVisibleTo(&s));

    s.RadioGroup1->setItemIndex(2);
    EXPECT_EQ(s.DataBase->text(), "Tovarmesk.accdb");
    EXPECT_EQ(s.UserName->text(), "admin");
    EXPECT_EQ(s.Password->text(), "507913");
    EXPECT_TRUE(s.StaticText1->isVisibleTo(&s));
    s.SystemType->setCurrentIndex(1);
    s.SystemTypeChange();
    EXPECT_EQ(s.DataBase->text(), "Tovarmesk.mdb");
    s.RadioGroup1->setItemIndex(1);
    s.SystemTypeChange();
    EXPECT_EQ(s.DataBase->text(), "Tovarmesk");

    s.SqlServerName->clear();
    s.FormShow(); // no key: fields kept, an empty server field gets the file name
    EXPECT_EQ(s.SqlServerName->text(), "Tovarmesk.accdb");

    dialogs.files.push_back("/data/gate.accdb");
    s.StaticText1Click();
    EXPECT_EQ(s.SqlServerName->text(), "/data/gate.accdb");
    s.StaticText1Click(); // cancelled: unchanged
    EXPECT_EQ(s.SqlServerName->text(), "/data/gate.accdb");
}

TEST_F(Startup, SaveValidatesInOrderAndStoresScrambled) {
    Tserver& s = *forms->server;
    s.SqlServerName->clear();
    s.DataBase->clear();
    s.Button1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("محل قرارگيري فايل اكسس را مشخص نماييد"));
    EXPECT_EQ(dialogs.messages.last().icon, ui::MsgIcon::Question);
    EXPECT_FALSE(platform::RegistryKey::exists(kSettingsKey));
    s.SqlServerName->setText("db");
    s.Button1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("نام ديتابيس را وارد نمائيد"));
    s.DataBase->setText("Tovarmesk");
    s.UserName->clear();
    s.Button1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("کلمه کاربري را وارد نمائيد"));
    s.UserName->setText("sa");
    s.Password->clear();
    s.Button1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("رمز عبور را وارد نمائيد"));
    EXPECT_FALSE(platform::RegistryKey::exists(kSettingsKey));

    s.Password->setText(QString::fromUtf8("رمز✓"));
    s.Button1Click();
    EXPECT_FALSE(platform::RegistryKey::exists(kSettingsKey)); // refused, nothing mangled
    // The refusal names the character that cannot be held, not an empty one.
    EXPECT_TRUE(dialogs.texts().last().contains(QString::fromUtf8("«✓» (U+2713)")))
        << dialogs.texts().last().toStdString();

    // Persian digits and yeh are stored as everywhere else: ASCII digits and the Arabic yeh.
    s.Password->setText(QString::fromUtf8("ی۱۲٣"));
    s.Button1Click();
    EXPECT_EQ(ReadConnectionSettings().value().Password, QString::fromUtf8("ي123"));

    s.Password->setText("dcb");
    s.Button1Click();
    const auto key = platform::RegistryKey::open(kSettingsKey, false);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->readString(kValPassword), "abc");
    EXPECT_EQ(key->readString(kValAuthentication), "SQL Server");
    EXPECT_EQ(key->readString(kValSystemType), "32-bit");
}

TEST_F(Startup, StoredValuesSurviveTheShowOfTheStoredChoice) {
    store("Access", "64-bit", "/srv/gate.mdb", "secret");
    Tserver& s = *forms->server;
    ASSERT_EQ(s.RadioGroup1->itemIndex(), 1);
    s.FormShow();
    EXPECT_EQ(s.RadioGroup1->itemIndex(), 2);
    EXPECT_EQ(s.SqlServerName->text(), "/srv/gate.mdb");
    EXPECT_EQ(s.SystemType->currentText(), "64-bit");
    EXPECT_EQ(s.DataBase->text(), "Tovarmesk");
    EXPECT_EQ(s.Password->text(), "secret");
    s.Button1Click(); // saving again without retyping stores the same
    const auto key = platform::RegistryKey::open(kSettingsKey, false);
    EXPECT_EQ(key->readString(kValPassword), ScramblePassword("secret").value());
    EXPECT_EQ(key->readString(kValDataBase), "Tovarmesk");
}

TEST_F(Startup, SchemaSetUpBeforeTheFirstConnectionUsesTheTypedSettings) {
    Tserver& s = *forms->server;
    s.RadioGroup1->setItemIndex(2);
    s.SystemType->setCurrentIndex(0);
    s.SqlServerName->setText(fileDb());
    s.Label8Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("همه تنظيمات انجام شد"));
    EXPECT_NE(forms->dm->ADOConnection1.tableInfo("users"), nullptr);
    // The new file holds the users' passwords: its owner's alone.
    EXPECT_EQ(QFile::permissions(fileDb()) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);

    forms->dm->ADOConnection1.close();
    s.SqlServerName->setText(config.filePath("no/such/folder/x.accdb"));
    s.Label8Click();
    EXPECT_NE(dialogs.texts().last(), QString::fromUtf8("همه تنظيمات انجام شد"));
}

TEST_F(Startup, AFileDatabaseIsStoredByItsAbsolutePath) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(config.path());
    Tserver& s = *forms->server;
    s.RadioGroup1->setItemIndex(2);
    s.SqlServerName->setText("gate.accdb");
    s.Button1Click();
    QDir::setCurrent(before);
    const auto key = platform::RegistryKey::open(kSettingsKey, false);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(key->readString(kValSqlServerName), config.filePath("gate.accdb"));
    EXPECT_EQ(s.SqlServerName->text(), config.filePath("gate.accdb"));
}

TEST_F(Startup, ALaterStartReportsAMissingFileWithItsPathAndCreatesNone) {
    store("Access", "32-bit", fileDb());
    ConnectionLoop loop(*forms->dm, *forms->server);
    int shown = 0;
    loop.showServerModal = [&] {
        if (++shown == 2)
            forms->server->Button2Click();
    };
    EXPECT_FALSE(loop.run());
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(dialogs.texts().size(), 2);
    // The path read left to right inside the Persian text.
    EXPECT_TRUE(dialogs.texts()[0].contains(QChar(0x2066) + fileDb() + QChar(0x2069)));
    EXPECT_FALSE(QFile::exists(fileDb()));
    EXPECT_FALSE(forms->dm->ADOConnection1.connected());

    // "- - -" creates it; then the start goes on.
    Tserver& s = *forms->server;
    s.FormShow();
    s.Label8Click();
    EXPECT_TRUE(QFile::exists(fileDb()));
    forms->dm->ADOConnection1.close();
    ConnectionLoop again(*forms->dm, *forms->server);
    again.showServerModal = [] {};
    EXPECT_TRUE(again.run());
}

// A ';' typed into the password stays part of the password: it never switches the
// connection to the operating system's user.
TEST_F(Startup, APasswordWithASemicolonStaysAPassword) {
    if (!gctest::postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    const QString typed = "x;Integrated Security=SSPI";
    const auto target = db::connectionTarget(gctest::freshDatabase(gctest::Backend::PostgreSQL));
    ConnectionLoop loop(*forms->dm, *forms->server);
    int shown = 0;
    loop.showServerModal = [&] {
        Tserver& s = *forms->server;
        if (++shown > 1) {
            s.Button2Click();
            return;
        }
        s.FormShow();
        s.RadioGroup1->setItemIndex(1);
        s.SqlServerName->setText(gctest::postgresDataSource());
        s.DataBase->setText(target.database);
        s.UserName->setText("gc");
        s.Password->clear();
        QTest::keyClicks(s.Password, typed);
        s.Button1Click();
    };
    EXPECT_TRUE(loop.run());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ReadConnectionSettings()->Password, typed);
    QSqlQuery q(forms->dm->ADOConnection1.database());
    ASSERT_TRUE(q.exec("select current_user") && q.next());
    EXPECT_EQ(q.value(0).toString(), "gc");
}

namespace {

// A set-up file database whose user list spans several pages; where that list starts.
struct WorkingFile {
    QByteArray bytes;
    qint64 usersOffset = 0;
};

WorkingFile workingFile(const QString& path) {
    WorkingFile out;
    {
        db::Connection c("working");
        c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + path);
        c.open();
        EXPECT_TRUE(EnsureSchema(c).complete());
        for (int i = 0; i < 300; ++i)
            c.execute(
                QString("insert into users (us, ps, ver) values ('guard%1', 'p', '1')").arg(i));
        QSqlQuery q(c.database());
        q.exec("select (rootpage - 1) * (select page_size from pragma_page_size()) "
               "from sqlite_master where name = 'users'");
        q.next();
        out.usersOffset = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase("working");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    out.bytes = f.readAll();
    QFile::remove(path);
    return out;
}

} // namespace

// A damaged file at a later start says why, with its path, before the settings window; the
// file is left as it was.
TEST_F(Startup, ADamagedFileSaysWhyAtStart) {
    const WorkingFile working = workingFile(fileDb());
    ASSERT_GT(working.usersOffset, 0);
    QByteArray corrupted = working.bytes;
    corrupted.replace(working.usersOffset, 4096, QByteArray(4096, '\x5a'));
    const QByteArray foreign = QByteArray("\x00\x01\x00\x00Standard ACE DB", 19).repeated(300);
    const QString damaged = QString::fromUtf8("آسيب ديده است");
    const struct {
        const char* damage;
        QByteArray bytes;
        QString reason;
    } cases[] = {{"truncated", working.bytes.left(working.bytes.size() / 2), damaged},
                 {"corrupted", corrupted, damaged},
                 {"foreign", foreign, QString::fromUtf8("بانک اطلاعاتي اين برنامه نيست")}};
    store("Access", "32-bit", fileDb());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        QFile f(fileDb());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        dialogs.messages.clear();
        const QString said = refusedSaying();
        EXPECT_TRUE(said.contains(c.reason) &&
                    said.contains(QChar(0x2066) + fileDb() + QChar(0x2069)))
            << said.toStdString();
        // The engine's English reason reads left to right after the Persian text.
        if (c.reason == damaged) {
            EXPECT_TRUE(said.contains(QString::fromUtf8("(بريده يا خراب): ") + QChar(0x2066)))
                << said.toStdString();
        }
        EXPECT_FALSE(forms->dm->ADOConnection1.connected());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == c.bytes);
        f.close();
    }
}

namespace {

// The program run from its start to its end on a file database, with a keyboard that counts.
class ProgramRun : public Startup {
  protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        auto owned = std::make_unique<test::FakeKeyboardLayout>();
        keyboard = owned.get();
        useKeyboard(std::move(owned));
        QFile(fileDb()).open(QIODevice::WriteOnly); // set up at the start, when asked
        store("Access", "64-bit", fileDb());
    }

    void useKeyboard(std::unique_ptr<platform::KeyboardLayout> layout) {
        PlatformServices platform = PlatformServices::system();
        platform.keyboard = std::move(layout);
        forms = std::make_unique<Forms>(std::move(platform));
    }

    // Runs the program; `act` runs inside its message loop once the login window is shown.
    // A run that does not end fails the test.
    int run(const std::function<void()>& act) {
        QObject scope;
        auto* poll = new QTimer(&scope);
        QObject::connect(poll, &QTimer::timeout, &scope, [&] {
            if (!forms->login->isVisible())
                return;
            poll->stop();
            act();
        });
        poll->start(10);
        QTimer::singleShot(20000, &scope, [] {
            ADD_FAILURE() << "the program did not end";
            QCoreApplication::exit(1);
        });
        return runProgram(*forms);
    }

    void logInAsAdmin() {
        forms->login->us->setEditText("admin");
        forms->login->ps->setText(kInitialAdminPassword);
        forms->login->BitBtn1->click();
    }
    QAction* exitItem() { return forms->main->findChild<QAction*>("N2"); }

    test::FakeKeyboardLayout* keyboard = nullptr;
};

} // namespace

// An earlier run's lock is given back before the login window; the cancel ends the run and
// gives back what this one locked.
TEST_F(ProgramRun, TheLoginWindowsCancelGivesTheKeyboardBack) {
    int restoresAtLogin = -1;
    EXPECT_EQ(run([&] {
                  restoresAtLogin = keyboard->restores;
                  forms->login->BitBtn2->click();
              }),
              0);
    EXPECT_EQ(restoresAtLogin, 1);
    EXPECT_EQ(keyboard->activations, 0);
    // The last window closed asks the program to quit, and the end gives back once more.
    EXPECT_EQ(keyboard->restores, 3);
}

// "No" to the exit question keeps the program and its Persian keyboard; "Yes" gives it back.
TEST_F(ProgramRun, TheMainWindowsExitGivesTheKeyboardBack) {
    int restoresAfterNo = -1;
    bool stayed = false;
    run([&] {
        logInAsAdmin();
        ASSERT_TRUE(forms->main->isVisible());
        ASSERT_NE(exitItem(), nullptr);
        dialogs.answers = {ui::No};
        exitItem()->trigger();
        stayed = forms->main->isVisible();
        restoresAfterNo = keyboard->restores;
        exitItem()->trigger();
    });
    EXPECT_EQ(keyboard->activations, 1);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(restoresAfterNo, 1);
    EXPECT_EQ(keyboard->restores, 3);
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("آيا مي خواهيد از برنامه خارج شويد"));
}

// A session's end or a kill sent as SIGTERM ends the run through its end, not at once; the
// signal's own handling comes back with the run.
TEST_F(ProgramRun, ATerminationSignalEndsTheRunThroughItsEnd) {
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    run([this] {
        logInAsAdmin();
        std::raise(SIGTERM);
    });
    EXPECT_EQ(keyboard->activations, 1);
    EXPECT_EQ(keyboard->restores, 2);
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

// A checkpoint asks for the data and the state and the run goes on in Persian; the session's
// end, a quit asked of the whole program, gives the keyboard back before a window may keep
// it waiting.
TEST_F(ProgramRun, OnlyTheSessionsEndGivesTheKeyboardBack) {
    int afterCheckpoint = -1;
    int afterQuit = -1;
    QStringList askedAtQuit;
    bool stayed = false;
    run([&] {
        logInAsAdmin();
        auto* session = qApp->findChild<QSessionManager*>();
        ASSERT_NE(session, nullptr);
        emit qApp->commitDataRequest(*session);
        emit qApp->saveStateRequest(*session);
        afterCheckpoint = keyboard->restores;
        dialogs.answers = {ui::No};
        const qsizetype shown = dialogs.messages.size();
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        afterQuit = keyboard->restores;
        askedAtQuit = dialogs.texts().mid(shown);
        stayed = forms->main->isVisible();
        exitItem()->trigger();
    });
    EXPECT_EQ(afterCheckpoint, 1);
    // The main window asked whether to end, and "No" kept it; the keyboard was given back.
    EXPECT_EQ(afterQuit, 2);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(askedAtQuit, QStringList{QString::fromUtf8("آيا مي خواهيد از برنامه خارج شويد")});
}

#ifdef GC_TEST_XKB

// With the desktop's own keyboard: a run killed after login left Persian locked; the next run
// starts in the group the user had, switches after login and gives the group back at its exit.
TEST_F(ProgramRun, TheDesktopsKeyboardAroundARun) {
    gctest::VirtualDisplay display;
    if (!display.start() || !display.setLayouts("us,ir"))
        GTEST_SKIP() << "no X server with keyboard layouts";
    QTemporaryDir runtime;
    {
        platform::SystemKeyboardLayout killed(display.name(), runtime.path());
        ASSERT_EQ(killed.activatePersian(), platform::KeyboardSwitch::Switched);
    }
    ASSERT_EQ(display.lockedGroup(), 1);
    keyboard = nullptr;
    useKeyboard(std::make_unique<platform::SystemKeyboardLayout>(display.name(), runtime.path()));
    int atLogin = -1;
    int afterLogin = -1;
    run([&] {
        atLogin = display.lockedGroup();
        logInAsAdmin();
        afterLogin = display.lockedGroup();
        exitItem()->trigger();
    });
    EXPECT_EQ(atLogin, 0);
    EXPECT_EQ(afterLogin, 1);
    EXPECT_EQ(display.lockedGroup(), 0);
    EXPECT_TRUE(QDir(runtime.path()).isEmpty());
}

#endif

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Another program's file: its own tables and a row, in rollback-journal mode.
void writeForeignFile(const QString& path) {
    {
        auto db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* t : {"stock", "invoices", "notes", "customers"})
            ASSERT_TRUE(q.exec(QString("create table %1 (id integer primary key, v text)").arg(t)));
        ASSERT_TRUE(q.exec("insert into invoices (v) values ('kept')"));
    }
    QSqlDatabase::removeDatabase("foreign");
}

QString journalMode(const db::Connection& c) {
    QSqlQuery q(c.database());
    return q.exec("pragma journal_mode") && q.next() ? q.value(0).toString() : QString();
}

} // namespace

// A file whose set-up is declined is left byte for byte as it was, an empty one and another
// program's, which the offer says holds other tables; agreed, the set-up adds the program's
// tables beside them and the file is the program's own.
TEST_F(Startup, ADeclinedFileIsLeftAsItWasAndAForeignOneIsSaidToHoldOtherTables) {
    store("Access", "32-bit", fileDb());
    const QString other = QString::fromUtf8("جدول هاي ديگري دارد");
    for (const bool foreign : {false, true}) {
        SCOPED_TRACE(foreign ? "foreign" : "empty");
        QFile::remove(fileDb());
        if (foreign)
            writeForeignFile(fileDb());
        else
            ASSERT_TRUE(QFile(fileDb()).open(QIODevice::WriteOnly));
        const QByteArray before = bytesOf(fileDb());
        dialogs.messages.clear();
        dialogs.answers = {ui::No};
        ConnectionLoop loop(*forms->dm, *forms->server);
        loop.showServerModal = [&] { forms->server->Button2Click(); };
        EXPECT_FALSE(loop.run());
        ASSERT_EQ(dialogs.texts().size(), 1);
        const QString offer = dialogs.texts()[0];
        EXPECT_EQ(offer.contains(other), foreign) << offer.toStdString();
        if (foreign) {
            EXPECT_TRUE(offer.contains(text::quotedLtr("customers") + QString::fromUtf8("، ") +
                                       text::quotedLtr("invoices") + QString::fromUtf8("، ") +
                                       text::quotedLtr("notes") +
                                       QString::fromUtf8(" و 1 جدول ديگر")) &&
                        offer.contains(QString::fromUtf8("کنار آنها مي افزايد")))
                << offer.toStdString();
        }
        EXPECT_TRUE(bytesOf(fileDb()) == before);
        EXPECT_FALSE(QFile::exists(fileDb() + "-wal"));
        EXPECT_FALSE(QFile::exists(fileDb() + "-shm"));
        EXPECT_FALSE(QFile::exists(fileDb() + "-journal"));
    }

    dialogs.answers = {ui::Yes};
    ConnectionLoop agreed(*forms->dm, *forms->server);
    agreed.showServerModal = [] {};
    ASSERT_TRUE(agreed.run());
    const db::Connection& c = forms->dm->ADOConnection1;
    EXPECT_EQ(journalMode(c), "wal");
    QSqlQuery q(c.database());
    ASSERT_TRUE(q.exec("select v from invoices") && q.next());
    EXPECT_EQ(q.value(0).toString(), "kept");
}

// Another program's file left with rows in its write-ahead log keeps the file and the log byte
// for byte, whether its set-up is declined or it is refused for a user list it cannot read.
TEST_F(Startup, AFileLeftWithItsLogKeepsBothWhenDeclinedOrRefused) {
    store("Access", "32-bit", fileDb());
    const struct {
        const char* path;
        const char* sql;
        bool offered;
    } cases[] = {
        {"declined", "create table notes (v text); insert into notes values ('kept');", true},
        {"refused", "create table users (v text); insert into users values ('kept');", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        for (const QString& f : {fileDb(), fileDb() + "-wal", fileDb() + "-shm"})
            QFile::remove(f);
        ASSERT_TRUE(gctest::leaveFileWithLog(fileDb(), c.sql));
        const QByteArray bytes = gctest::fileBytes(fileDb());
        const QByteArray log = gctest::fileBytes(fileDb() + "-wal");
        dialogs.messages.clear();
        dialogs.answers = {ui::No};
        const QString said = refusedSaying();
        EXPECT_EQ(said.contains(QString::fromUtf8("جدول ها اکنون ساخته شوند؟")), c.offered)
            << said.toStdString();
        EXPECT_TRUE(gctest::fileBytes(fileDb()) == bytes);
        EXPECT_TRUE(gctest::fileBytes(fileDb() + "-wal") == log);
    }
}

// The program's own file gets the write-ahead log as it opens, whatever it was left with.
TEST_F(Startup, TheProgramsOwnFileOpensWithTheWriteAheadLog) {
    {
        db::Connection c("own");
        c.setConnectionString("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + fileDb());
        c.open();
        ASSERT_TRUE(EnsureSchema(c).complete());
        QSqlQuery q(c.database());
        ASSERT_TRUE(q.exec("pragma journal_mode=delete"));
    }
    QSqlDatabase::removeDatabase("own");
    store("Access", "32-bit", fileDb());
    ConnectionLoop loop(*forms->dm, *forms->server);
    loop.showServerModal = [] {};
    ASSERT_TRUE(loop.run());
    EXPECT_EQ(journalMode(forms->dm->ADOConnection1), "wal");
}
