// The transfer window as an administrator uses it: opened from the settings window,
// described by its fields, confirmed, cancelled.
#include "core/persian_date.h"
#include "core/transfer/ends.h"
#include "core/transfer/preflight.h"
#include "fakes/fake_clock.h"
#include "platform/text/bidi.h"
#include "platform/ui/widgets.h"
#include "registers/shared/mask_inputs.h"
#include "support/scripted_dialogs.h"
#include "support/typing.h"
#include "transfer_fixture.h"
#include "windows/shell/server_window.h"
#include "windows/transfer/db_maghsad.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace gctest;

namespace {

class TransferWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        source = std::make_unique<TestDb>(Backend::SQLite);
        seedSource(*source);
        window = std::make_unique<gc::Tdb_maghsad>(*source->c, date);
        window->show();
    }
    void TearDown() override {
        if (window && window->running()) {
            window->runner().cancel();
            QSignalSpy(&window->runner(), &gc::transfer::TransferRunner::finished).wait(30000);
        }
    }

    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    // A radio item answers on its mark and caption, at the right-hand end.
    void choose(int item) {
        QRadioButton* b = window->RadioGroup1->button(item);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() - 8, b->height() / 2));
    }

    // The fields of a file destination.
    void describeFile(const QString& path) {
        choose(2);
        window->SqlServerName->setText(path);
    }
    // The fields of a server destination.
    void describeServer(const QString& database) {
        choose(1);
        window->SqlServerName->setText(postgresDataSource());
        window->DataBase->setText(database);
        window->UserName->setText("gc");
    }
    void describe(const TestDb& db) {
        const auto t = gc::db::connectionTarget(db.connectionString);
        if (db.pg())
            describeServer(t.database);
        else
            describeFile(t.file);
    }

    // Presses "انتقال اطلاعات" and waits for the run to end, if one started.
    void transferNow() {
        QSignalSpy done(&window->runner(), &gc::transfer::TransferRunner::finished);
        click(window->BitBtn1);
        if (window->running()) {
            ASSERT_TRUE(done.wait(60000));
        }
    }

    QTemporaryDir config;
    ScriptedDialogs dialogs;
    gc::test::FakeClock clock{QDateTime(QDate(2024, 3, 20), QTime(9, 30))};
    gc::CurrentPersianDate date{clock};
    std::unique_ptr<TestDb> source;
    std::unique_ptr<gc::Tdb_maghsad> window;
};

TEST_F(TransferWindow, OpensFromTheSettingsWindowReadyForANewRun) {
    gc::Tserver server;
    server.showTransfer = [this] { window->prepare(); };
    server.show();
    window->Button1->setText("Connected");
    window->Memo1->setPlainText("old log");
    window->ProgressBar1->setValue(1);
    ASSERT_TRUE(server.BitBtn1->isEnabled());
    click(server.BitBtn1);
    EXPECT_EQ(window->Button1->text(), "Connect");
    EXPECT_EQ(window->ProgressBar1->value(), 0);
    EXPECT_EQ(window->dat->storedText(), "1403/01/01"); // 2024-03-20
    EXPECT_TRUE(window->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("ديتابيس مقصد"));
}

TEST_F(TransferWindow, ChoicesFillTheirDefaultsAndPictureBoxesFollowTheirGroups) {
    choose(2);
    EXPECT_TRUE(window->StaticText1->isVisible());
    EXPECT_EQ(window->DataBase->text(), "Tovarmesk.accdb");
    EXPECT_EQ(window->UserName->text(), "admin");
    EXPECT_EQ(window->Password->text(), "507913");
    choose(0);
    EXPECT_FALSE(window->StaticText1->isVisible());
    EXPECT_EQ(window->DataBase->text(), "Tovarmesk");
    EXPECT_EQ(window->Password->text(), "kimrod$#!");

    EXPECT_FALSE(window->asami_pic_chk->isEnabled());
    click(window->asami_chk);
    ASSERT_TRUE(window->asami_pic_chk->isEnabled());
    click(window->asami_pic_chk);
    click(window->asami_chk);
    EXPECT_FALSE(window->asami_pic_chk->isEnabled());
    EXPECT_TRUE(window->asami_pic_chk->isChecked());
    click(window->arbabrojo_chk);
    EXPECT_TRUE(window->arbabrojo_pic_chk->isEnabled());
}

TEST_F(TransferWindow, ConnectShowsWhetherTheDestinationOpens) {
    if (!postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    TestDb file(Backend::SQLite);
    describe(file);
    click(window->Button1);
    EXPECT_EQ(window->Button1->text(), "Connected");
    // A mistyped path: said so, and no file is made.
    QTemporaryDir dir;
    describeFile(dir.filePath("new.accdb"));
    click(window->Button1);
    EXPECT_EQ(window->Button1->text(), "No Connected");
    EXPECT_TRUE(window->Memo1->toPlainText().contains(QString::fromUtf8("وجود ندارد")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new.accdb")));
    describeServer("no_such_database");
    click(window->Button1);
    EXPECT_EQ(window->Button1->text(), "No Connected");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// A mistyped port is named, in "Connect" and in the transfer, and never tried on the default
// port, where another server could hold a database of the same name.
TEST_F(TransferWindow, AMistypedPortIsNamedInsteadOfTried) {
    describeServer("Tovarmesk");
    window->SqlServerName->setText("127.0.0.1,5433x");
    click(window->Button1);
    EXPECT_EQ(window->Button1->text(), "No Connected");
    EXPECT_TRUE(window->Memo1->toPlainText().contains(window->Label1->text()));
    click(window->phone_chk);
    transferNow();
    EXPECT_FALSE(window->running());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(window->Label1->text()) &&
                dialogs.messages[0].text.contains("5433x"))
        << dialogs.messages[0].text.toStdString();
}

// The copy goes where the fields point when the transfer is pressed, not where the
// last "Connect" went; the date is typed with Persian digits, key by key.
TEST_F(TransferWindow, TheTransferGoesToTheDatabaseTheFieldsShow) {
    if (!postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    TestDb first(Backend::SQLite);
    TestDb second(Backend::PostgreSQL);
    describe(first);
    click(window->Button1);
    ASSERT_EQ(window->Button1->text(), "Connected");
    describe(second);
    click(window->phone_chk);
    click(window->amval_chk);
    window->dat->clearToBlank();
    window->dat->setFocus();
    window->dat->home(false);
    typeKeys(window->dat, QString::fromUtf8("۱۴۰۳۰۱۰۱"));
    transferNow();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join("\n").toStdString();
    EXPECT_EQ(second.count("phone"), 2);
    EXPECT_EQ(second.count("amval"), 2);
    EXPECT_EQ(first.count("phone"), 0);
    const QStringList log = window->Memo1->toPlainText().split('\n');
    EXPECT_EQ(log.first(), QString::fromUtf8(" در حال انتقال اطلاعات اموال به تعداد 2"));
    EXPECT_EQ(log.last(), QString::fromUtf8("پايان عمليات انتقال"));
}

TEST_F(TransferWindow, DeletingIsConfirmedFirstAndNoWritesNothing) {
    TestDb destination(Backend::SQLite);
    destination.insert("phone", {{"name", "kept"}});
    describe(destination);
    click(window->phone_chk);
    click(window->old_data_del);
    dialogs.answers = {gc::ui::No};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString question = dialogs.messages[0].text;
    EXPECT_TRUE(question.contains(destination.file()));
    EXPECT_TRUE(question.contains(QString::fromUtf8("تلفن")));
    EXPECT_EQ(destination.rows("select name from phone"), QList<QStringList>{{"kept"}});
    EXPECT_FALSE(window->running());

    dialogs.answers = {gc::ui::Yes};
    transferNow();
    EXPECT_EQ(destination.count("phone"), 2);
    EXPECT_EQ(destination.scalar("select count(*) from phone where name = 'kept'").toInt(), 0);
}

TEST_F(TransferWindow, ASecondRunIsWarnedThatItDoublesTheRows) {
    TestDb destination(Backend::SQLite);
    describe(destination);
    click(window->phone_chk);
    transferNow();
    ASSERT_EQ(destination.count("phone"), 2);
    ASSERT_TRUE(dialogs.messages.isEmpty());
    dialogs.answers = {gc::ui::No};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromUtf8("تلفن: 2")));
    EXPECT_EQ(destination.count("phone"), 2);
}

TEST_F(TransferWindow, ADestinationWithoutTablesIsOfferedTheSetUpFirst) {
    TestDb destination(Backend::SQLite, false);
    describe(destination);
    click(window->kala_chk);
    dialogs.answers = {gc::ui::Yes};
    transferNow();
    ASSERT_FALSE(dialogs.messages.isEmpty());
    // The path is set apart so that it reads left to right inside the Persian question.
    EXPECT_EQ(dialogs.messages[0].text,
              gc::transfer::schemaQuestion(gc::text::isolatedLtr(destination.file())));
    EXPECT_EQ(destination.count("kala"), 1);
    EXPECT_EQ(destination.count("users"), 1);
}

// Another program's file is told to hold other tables; declined, it is left byte for byte.
TEST_F(TransferWindow, AForeignFileIsSaidToHoldOtherTablesAndDeclinedIsLeftAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath("other.db");
    {
        auto db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("create table invoices (id integer primary key)"));
    }
    QSqlDatabase::removeDatabase("foreign");
    const auto bytes = [&path] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    describeFile(path);
    click(window->phone_chk);
    dialogs.answers = {gc::ui::No};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString offer = dialogs.messages[0].text;
    EXPECT_TRUE(offer.contains(gc::text::quotedLtr("invoices")) &&
                offer.endsWith(gc::transfer::schemaQuestion(gc::text::isolatedLtr(path))))
        << offer.toStdString();
    EXPECT_TRUE(bytes() == before);
    EXPECT_FALSE(QFileInfo::exists(path + "-wal"));
    EXPECT_FALSE(QFileInfo::exists(path + "-shm"));
}

// A file that does not exist is made only once its set-up is agreed to.
TEST_F(TransferWindow, AMissingFileIsMadeOnlyWhenItsSetUpIsAgreed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.accdb");
    describeFile(path);
    click(window->phone_chk);
    dialogs.answers = {gc::ui::No};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, gc::transfer::schemaQuestion(gc::text::isolatedLtr(path)));
    EXPECT_FALSE(QFileInfo::exists(path));

    dialogs.answers = {gc::ui::Yes};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 2) << dialogs.texts().join("\n").toStdString();
    EXPECT_EQ(client("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path,
                     "select count(*) from phone"),
              QStringList{"2"});
}

// An older destination without a column the run writes is offered the set-up, which
// adds it; the visits then arrive with it.
TEST_F(TransferWindow, AMissingColumnIsOfferedTheSetUp) {
    TestDb destination(Backend::SQLite);
    destination.exec("alter table arbabrojo drop column nazar");
    source->exec("update arbabrojo set nazar = 'good'");
    describe(destination);
    click(window->arbabrojo_chk);
    dialogs.answers = {gc::ui::Yes};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.texts().join("\n").toStdString();
    EXPECT_EQ(dialogs.messages[0].text,
              gc::transfer::upgradeQuestion(gc::text::isolatedLtr(destination.file()),
                                            {"arbabrojo.nazar"}));
    EXPECT_EQ(destination.client("select name, nazar from arbabrojo order by name"),
              (QStringList{"visit before|good", "visit blank|good", "visit no picture|good",
                           "visit two pictures|good"}));
}

// Users the source brings in place of the destination's of the same name are named first.
TEST_F(TransferWindow, UsersToBeReplacedAreNamedFirst) {
    TestDb destination(Backend::SQLite);
    destination.insert("users", {{"us", "ali"}, {"ps", "old"}, {"ver", "1"}});
    describe(destination);
    click(window->other_chk);
    dialogs.answers = {gc::ui::No};
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromUtf8("admin، ali")))
        << dialogs.messages[0].text.toStdString();
    EXPECT_FALSE(dialogs.messages[0].text.contains(QString::fromUtf8("کاربران:")));
    EXPECT_EQ(destination.client("select ps from users where us = 'ali'"), QStringList{"old"});
}

TEST_F(TransferWindow, TheSourceItselfIsRefusedBeforeAnything) {
    describe(*source);
    click(window->phone_chk);
    click(window->old_data_del);
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, gc::transfer::sameDatabaseMessage());
    EXPECT_EQ(source->count("phone"), 2);
}

TEST_F(TransferWindow, AnIncompleteDateIsRefused) {
    TestDb destination(Backend::SQLite);
    describe(destination);
    click(window->amval_chk);
    window->dat->clearToBlank();
    window->dat->setFocus();
    window->dat->home(false);
    QTest::keyClicks(window->dat, "14030");
    transferNow();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromUtf8("تاريخ شروع را کامل وارد نماييد"));
    EXPECT_EQ(destination.count("amval"), 0);
}

// Cancel while rows are on their way: the window answers, and nothing stays.
TEST_F(TransferWindow, CancelDuringARunLeavesNothing) {
    if (!postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    QSqlDatabase db = source->c->database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare("insert into amval (exit_dat, nam) values (?, ?)");
    for (int i = 0; i < 60000; ++i) {
        q.addBindValue(QString("1403/02/02"));
        q.addBindValue(QString::number(i));
        q.exec();
    }
    db.commit();
    TestDb destination(Backend::PostgreSQL);
    describe(destination);
    click(window->amval_chk);
    QSignalSpy done(&window->runner(), &gc::transfer::TransferRunner::finished);
    click(window->BitBtn1);
    ASSERT_TRUE(window->running());
    EXPECT_FALSE(window->BitBtn1->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(window->Memo1->toPlainText().contains(QString::fromUtf8("اموال")),
                             20000);
    click(window->cancel_btn);
    ASSERT_TRUE(done.wait(20000));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromUtf8("لغو")));
    EXPECT_EQ(destination.count("amval"), 0);
    EXPECT_TRUE(window->BitBtn1->isEnabled());
    EXPECT_FALSE(window->cancel_btn->isEnabled());
}

} // namespace
