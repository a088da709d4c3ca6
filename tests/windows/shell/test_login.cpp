#include "core/accounts.h"
#include "platform/db/connection_string.h"
#include "windows/shell/change_pass_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/server_window.h"
#include "windows/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace gc;
using gctest::Backend;

namespace {

const QString kWrongLogin = QString::fromUtf8("کلمه يا رمز عبور اشتباه است");
const QString kWrongForChange =
    QString::fromUtf8("كلمه و رمز عبور را در صفحه فعلي درست وارد نماييد");
const QString kNotValid = QString::fromUtf8("كلمه عبور صحيح نيست");
const QString kMismatch = QString::fromUtf8("كلمه عبور جديد همخواني ندارد");
const QString kChanged = QString::fromUtf8("كلمه عبور تغيير يافت");
const QString kDbPath = QString::fromUtf8("مسير بانك اطلاعاتي را مي توانيد تغيير دهيد");

class Login : public gctest::WindowTest {
  protected:
    // Shown and active, as the guard meets it, so that keys reach it.
    void showActive() {
        forms->login->show();
        QApplication::setActiveWindow(forms->login.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(forms->login.get()));
    }
};

} // namespace

TEST_P(Login, NewDatabaseOpensTheSettingsThenAdminCanLogIn) {
    // No tables yet: the settings window comes up at once, without a message.
    forms->login->us->setEditText("admin");
    forms->login->showServerModal = [this] {
        ++serverShown;
        createSchema();
    };
    forms->login->show();
    EXPECT_EQ(serverShown, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The list is read again once the settings window has set the database up.
    EXPECT_EQ(forms->login->us->count(), 1);
    EXPECT_EQ(forms->login->us->itemText(0), "admin");
    EXPECT_EQ(forms->login->us->currentText(), "admin");

    forms->login->ps->setText("1");
    forms->login->BitBtn1Click();
    // Only the hint on how to grant the rights the set-up did not give.
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Information);
    Services& s = *forms->services;
    EXPECT_TRUE(forms->services->user().loggedIn());
    EXPECT_EQ(s.clock().now().date(), QDate(2024, 3, 20)); // the fake platform is in use
    EXPECT_EQ(forms->services->user().id(), adminId());
    EXPECT_EQ(forms->services->user().name(), "admin");
    EXPECT_TRUE(forms->services->user().isAdministrator());
    Tmain& main = *forms->main;
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(forms->login->isVisible());
    EXPECT_TRUE(main.Timer1->isActive());
    EXPECT_EQ(main.Timer1->interval(), 5000);
    EXPECT_EQ(keyboard->activations, 1);
    EXPECT_EQ(main.Image1->size(), QSize(main.width() - 10, main.height() - 80));
}

TEST_P(Login, ShowFillsTheSortedListAndKeepsTheTypedName) {
    createSchema();
    exec("insert into users (us, ps) values ('zahra', 'z')");
    exec("insert into users (us, ps) values ('bahram', 'b')");
    forms->login->us->setEditText("someone");
    forms->login->show();
    EXPECT_EQ(serverShown, 0);
    QStringList items;
    for (int i = 0; i < forms->login->us->count(); ++i)
        items << forms->login->us->itemText(i);
    EXPECT_EQ(items, QStringList({"admin", "bahram", "zahra"}));
    EXPECT_EQ(forms->login->us->currentText(), "someone");
}

TEST_P(Login, WrongNameOrPasswordChangesNothing) {
    createSchema();
    forms->login->show();
    for (const auto& [name, password] : {std::pair<QString, QString>{"admin", "2"},
                                         {"Admin", "1"},
                                         {"", ""},
                                         {"o'x", "1' or '1'='1"}})
        logIn(name, password);
    EXPECT_EQ(dialogs.texts(), QStringList(4, kWrongLogin));
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::None);
    EXPECT_FALSE(forms->services->user().loggedIn());
    EXPECT_FALSE(forms->main->isVisible());
    EXPECT_FALSE(forms->main->Timer1->isActive());
    EXPECT_TRUE(forms->login->isVisible());
    EXPECT_EQ(keyboard->activations, 0);
}

TEST_P(Login, TwoMatchingRowsGiveTheLowestIdAndTheTypedName) {
    createSchema();
    // Stored in this order, so the engine may well return id 9 first.
    exec("insert into users (id, us, ps) values (9, 'o''neil', 'p')");
    exec("insert into users (id, us, ps) values (4, 'o''neil', 'p')");
    logIn("o'neil", "p");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(forms->services->user().id(), "4");
    EXPECT_EQ(forms->services->user().name(), "o'neil");
    EXPECT_FALSE(forms->services->user().isAdministrator());
}

TEST_P(Login, KeysOfTheLoginWindow) {
    createSchema();
    ASSERT_NO_FATAL_FAILURE(showActive());
    forms->login->us->setFocus();
    forms->login->us->setEditText("admin");
    QTest::keyClick(forms->login->us, Qt::Key_Return);
    EXPECT_TRUE(forms->login->ps->hasFocus());
    EXPECT_FALSE(forms->services->user().loggedIn());
    QTest::keyClicks(forms->login->ps, "1");
    QTest::keyClick(forms->login->ps, Qt::Key_Return);
    EXPECT_TRUE(forms->services->user().loggedIn());
}

TEST_P(Login, EscapeClosesTheLoginWindow) {
    createSchema();
    ASSERT_NO_FATAL_FAILURE(showActive());
    gctest::CloseSpy spy(*forms->login);
    QTest::keyClick(forms->login.get(), Qt::Key_Escape);
    EXPECT_EQ(spy.closes, 1);
    EXPECT_FALSE(forms->login->isVisible());
    EXPECT_TRUE(forms->login->testAttribute(Qt::WA_QuitOnClose));
}

// Escape pressed to close the open user list closes only the list; the next Escape is
// the window's cancel.
TEST_P(Login, EscapeInTheOpenUserListClosesOnlyTheList) {
    createSchema();
    ASSERT_NO_FATAL_FAILURE(showActive());
    gctest::CloseSpy spy(*forms->login);
    forms->login->us->setFocus();
    forms->login->us->showPopup();
    QWidget* list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(spy.closes, 0);
    EXPECT_TRUE(forms->login->isVisible());

    QTest::keyClick(forms->login->us, Qt::Key_Escape);
    EXPECT_EQ(spy.closes, 1);
    EXPECT_FALSE(forms->login->isVisible());
}

TEST_P(Login, DatabaseLinkWarnsThenOpensTheSettings) {
    createSchema();
    forms->login->Label4Click();
    EXPECT_EQ(dialogs.texts(), QStringList{kDbPath});
    EXPECT_EQ(serverShown, 1);
}

// Opened from the login window, while the program works on its database, the settings window
// says that what it saves is used from the next start.
TEST_P(Login, TheSettingsWindowSaysSavedSettingsWaitForTheNextStart) {
    createSchema();
    bool noteShown = false;
    QString note;
    forms->login->showServerModal = [&] {
        forms->server->show();
        const auto* label = forms->server->findChild<QLabel*>("nextStartNote");
        noteShown = label && label->isVisible();
        note = label ? label->text() : QString();
        forms->server->close();
    };
    forms->login->Label4Click();
    EXPECT_TRUE(noteShown);
    EXPECT_TRUE(note.contains(QString::fromUtf8("از اجراي بعدي برنامه به کار مي رود")))
        << note.toStdString();
}

TEST_P(Login, PasswordChangePaths) {
    createSchema();
    forms->login->show();
    Tchange_pass& change = *forms->change_pass;

    // The login's texts must match first.
    forms->login->us->setEditText("admin");
    forms->login->ps->setText("wrong");
    forms->login->Label3Click();
    EXPECT_EQ(dialogs.texts(), QStringList{kWrongForChange});
    EXPECT_TRUE(forms->login->isVisible());
    EXPECT_FALSE(change.isVisible());

    forms->login->ps->setText("1");
    forms->login->Label3Click();
    EXPECT_FALSE(forms->login->isVisible());
    EXPECT_TRUE(change.isVisible());

    change.BitBtn1Click(); // both empty
    change.Edit1->setText("new'pw");
    change.BitBtn1Click(); // confirmation empty
    change.Edit2->setText("other");
    change.BitBtn1Click();
    EXPECT_EQ(dialogs.texts().mid(1), QStringList({kNotValid, kMismatch, kMismatch}));
    EXPECT_TRUE(change.isVisible());
    EXPECT_EQ(scalar("select ps from users where us='admin'").toString(), "1");

    change.Edit2->setText("new'pw");
    change.BitBtn1Click();
    EXPECT_EQ(dialogs.texts().last(), kChanged);
    EXPECT_EQ(scalar("select ps from users where us='admin'").toString(), "new'pw");
    EXPECT_FALSE(change.isVisible());
    EXPECT_TRUE(forms->login->isVisible());
    // The old password is still typed in, and no longer lets anyone in.
    EXPECT_EQ(forms->login->ps->text(), "1");
    forms->login->BitBtn1Click();
    EXPECT_EQ(dialogs.texts().last(), kWrongLogin);
    logIn("admin", "new'pw");
    EXPECT_TRUE(forms->services->user().loggedIn());
}

TEST_P(Login, PasswordChangeThatMatchesNoRowSaysSo) {
    createSchema();
    logIn("admin", "1");
    forms->main->hide();
    forms->login->show();
    forms->login->Label3Click();
    ASSERT_TRUE(forms->change_pass->isVisible());
    // Another workstation changes the password meanwhile.
    exec("update users set ps='elsewhere' where us='admin'");
    forms->change_pass->Edit1->setText("mine");
    forms->change_pass->Edit2->setText("mine");
    forms->change_pass->BitBtn1Click();
    const QString last = dialogs.texts().last();
    EXPECT_NE(last, kChanged);
    EXPECT_TRUE(last.startsWith(QString::fromUtf8("كلمه عبور تغيير نكرد"))) << last.toStdString();
    EXPECT_EQ(scalar("select ps from users where us='admin'").toString(), "elsewhere");
    EXPECT_TRUE(forms->login->isVisible());
}

TEST_P(Login, CancelAndTitleBarCloseReturnToTheLogin) {
    createSchema();
    forms->login->us->setEditText("admin");
    forms->login->ps->setText("1");
    forms->login->show();
    for (int way = 0; way < 2; ++way) {
        forms->login->Label3Click();
        ASSERT_FALSE(forms->login->isVisible());
        if (way == 0)
            forms->change_pass->BitBtn2->click();
        else
            forms->change_pass->close();
        EXPECT_FALSE(forms->change_pass->isVisible());
        EXPECT_TRUE(forms->login->isVisible());
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_P(Login, DatabaseErrorShowsItsMessageAndLogsNobodyIn) {
    createSchema();
    exec("drop table users");
    forms->dm->ADOConnection1.forgetSchema();
    logIn("admin", "1");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Error);
    EXPECT_NE(dialogs.messages[0].text, kWrongLogin);
    EXPECT_FALSE(forms->services->user().loggedIn());
}

GC_INSTANTIATE_BACKENDS(Login);

namespace {

// A database whose server default lets a backslash escape a quote inside a literal. The
// program doubles quotes only, so its connection must keep literals standard.
class LaxServerLogin : public gctest::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped())
            return;
        const QString cs = forms->dm->ADOConnection1.connectionString();
        database = db::connectionTarget(cs).database;
        exec("alter database " + database + " set standard_conforming_strings = off");
        forms->dm->ADOConnection1.open();
    }
    // The setting as a connection of any other program sees it.
    QString plainSetting() {
        QString value;
        {
            auto plain = QSqlDatabase::addDatabase("QPSQL", "plain");
            const QStringList host = gctest::postgresDataSource().split(',');
            plain.setHostName(host.value(0));
            plain.setPort(host.value(1).toInt());
            plain.setUserName("gc");
            plain.setDatabaseName(database);
            if (plain.open()) {
                QSqlQuery q(plain);
                if (q.exec("show standard_conforming_strings") && q.next())
                    value = q.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase("plain");
        return value;
    }
    QString database;
};

} // namespace

TEST_P(LaxServerLogin, ABackslashQuoteNeitherLogsInNorChangesAPassword) {
    ASSERT_EQ(plainSetting(), "off");
    EXPECT_EQ(scalar("show standard_conforming_strings").toString(), "on");
    createSchema();
    const QString attack = "\\' or 1=1 --";
    forms->login->show();
    logIn("admin", attack);
    logIn(attack, attack);
    EXPECT_EQ(dialogs.texts(), QStringList(2, kWrongLogin));
    EXPECT_FALSE(forms->services->user().loggedIn());
    EXPECT_FALSE(forms->main->isVisible());

    forms->login->us->setEditText("admin");
    forms->login->Label3Click();
    EXPECT_EQ(dialogs.texts().last(), kWrongForChange);
    EXPECT_FALSE(forms->change_pass->isVisible());
    EXPECT_EQ(ChangePassword(*forms->dm, "admin", attack, "taken"), 0);
    EXPECT_EQ(scalar("select ps from users where us='admin'").toString(), "1");

    // The pin holds after the connection is opened again, and the real password works.
    forms->dm->ADOConnection1.open();
    EXPECT_EQ(scalar("show standard_conforming_strings").toString(), "on");
    logIn("admin", "1");
    EXPECT_TRUE(forms->services->user().loggedIn());
}

INSTANTIATE_TEST_SUITE_P(Engines, LaxServerLogin, ::testing::Values(gctest::Backend::PostgreSQL),
                         gctest::backendParamName);
