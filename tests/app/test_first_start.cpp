#include "app/startup.h"
#include "core/connection_settings.h"
#include "platform/db/connection_string.h"
#include "platform/settings/registry.h"
#include "platform/ui/widgets.h"
#include "registers/khodro/khodro_list.h"
#include "support/clicking.h"
#include "support/typing.h"
#include "windows/first_steps.h"
#include "windows/shell/server_window.h"
#include "windows/shell/users_window.h"
#include "windows/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace gc;
using gctest::Backend;

namespace {

const QString kNoKey =
    QString::fromUtf8("لطفا\" ابتدا تنظيمات اتصال به بانک اطلاعاتي را انجام دهيد");
const QString kDone = QString::fromUtf8("همه تنظيمات انجام شد");
const QString kStored = QString::fromUtf8("ثبت شد");

// Runs `act` once the settings window is shown: inside the modal loop the test waits in. A
// click that misses ends the loop by the finish button instead of hanging it.
void whenShown(Tserver* window, std::function<void()> act) {
    QTimer::singleShot(15000, window, [window] { window->Button2Click(); });
    auto* timer = new QTimer(window);
    QObject::connect(timer, &QTimer::timeout, window, [timer, window, act] {
        if (!window->isVisible())
            return;
        timer->deleteLater();
        timer->stop();
        act();
    });
    timer->start(10);
}

// Replaces a field's text as a user does: all of it selected by keys, then typed over.
void retype(QLineEdit* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    gctest::typeKeys(field, text);
}

class FirstStart : public gctest::WindowTest {
  protected:
    void SetUp() override {
        gctest::WindowTest::SetUp();
        if (IsSkipped())
            return;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        target = db::connectionTarget(forms->dm->ADOConnection1.connectionString());
        forms->dm->ADOConnection1.close();
    }

    // The settings a later start finds: the test's own fresh database, no tables yet.
    void storeFreshDatabase() {
        auto key = platform::RegistryKey::open(kSettingsKey, true);
        const bool file = GetParam() == Backend::SQLite;
        key->writeString(kValSystemType, "32-bit");
        key->writeString(kValSqlServerName, file ? target.file : gctest::postgresDataSource());
        key->writeString(kValDataBase, file ? "Tovarmesk.accdb" : target.database);
        key->writeString(kValUserName, "gc");
        key->writeString(kValAuthentication, file ? "Access" : "SQL Server");
        key->writeString(kValPassword, ScramblePassword("x").value());
    }

    // The server's kind chosen and each field typed over its proposal: the test's own fresh
    // database, no tables yet.
    void typeServerSettings(Tserver& server) {
        gctest::clickCentre(server.RadioGroup1->button(1));
        retype(server.SqlServerName, gctest::postgresDataSource());
        retype(server.DataBase, target.database);
        retype(server.UserName, "gc");
        retype(server.Password, "x");
    }

    // The login window as a user meets it: its own size, centred, inside the screen.
    void expectNormalLogin() {
        Tlogin& login = *forms->login;
        ASSERT_TRUE(login.isVisible());
        EXPECT_EQ(serverShown, 0);
        EXPECT_EQ(login.size(), login.sizeHint().expandedTo(login.minimumSizeHint()));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.contains(login.frameGeometry()));
        EXPECT_LE((login.frameGeometry().center() - screen.center()).manhattanLength(), 2);
        EXPECT_EQ(login.us->findText("admin"), 0);
    }

    QTemporaryDir data;
    db::ConnectionTarget target;
};

} // namespace

// From an empty configuration: the warning, "Access" proposes a file in the data folder,
// "تاييد" without "- - -" sets the new file up, and admin logs in from the normal window.
TEST_P(FirstStart, TheFileChoiceIsSetUpAndLoginShowsItsUsers) {
    if (GetParam() != Backend::SQLite)
        GTEST_SKIP() << "the file choice";
    Tserver& server = *forms->server;
    const QString proposed = data.filePath("gatecontrol/gatecontrol.db");
    QString shownPath;
    whenShown(&server, [&] {
        gctest::clickCentre(server.RadioGroup1->button(2));
        shownPath = server.SqlServerName->text();
        gctest::clickCentre(server.Button1);
    });
    ConnectionLoop loop(*forms->dm, server);
    ASSERT_TRUE(loop.run());

    EXPECT_EQ(shownPath, proposed);
    EXPECT_EQ(dialogs.texts(), QStringList({kNoKey, kDone}));
    EXPECT_EQ(ReadConnectionSettings()->SqlServerName, proposed);
    EXPECT_EQ(QFile::permissions(proposed) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);

    forms->login->show();
    expectNormalLogin();
    // By keys alone, as the guard logs in.
    Tlogin& login = *forms->login;
    QApplication::setActiveWindow(&login);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
    login.us->setFocus();
    gctest::typeKeys(login.us->lineEdit(), "admin");
    QTest::keyClick(login.us->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), login.ps);
    gctest::typeKeys(login.ps, kInitialAdminPassword);
    QTest::keyClick(login.ps, Qt::Key_Return);
    EXPECT_TRUE(forms->main->isVisible());
    EXPECT_FALSE(login.isVisible());
}

// A later start on a database without tables asks; "No" gives the settings window, whose
// "- - -" and "تاييد" lead to the normal login.
TEST_P(FirstStart, ADatabaseWithoutTablesOffersTheSetUp) {
    storeFreshDatabase();
    Tserver& server = *forms->server;
    whenShown(&server, [&] {
        gctest::clickCentre(server.Label8);
        gctest::clickCentre(server.Button1);
    });
    dialogs.answers = {ui::No};
    ConnectionLoop loop(*forms->dm, server);
    ASSERT_TRUE(loop.run());

    ASSERT_EQ(dialogs.messages.size(), 2) << dialogs.texts().join("\n").toStdString();
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, ui::Yes | ui::No);
    EXPECT_TRUE(dialogs.texts()[0].contains(QString::fromUtf8("خالي است")));
    EXPECT_TRUE(dialogs.texts()[0].contains("- - -"));
    EXPECT_EQ(dialogs.texts()[1], kDone);
    forms->login->show();
    expectNormalLogin();
}

// The newcomer's first start, by clicks and keys from an empty configuration to a register:
// the settings (a new file is set up by "تاييد" at once; a server's empty database is declined
// once, then set up by "- - -"), login, the hint, every right granted, "خودرو" opened.
TEST_P(FirstStart, FromAnEmptyConfigurationToAWorkingRegister) {
    Tserver& server = *forms->server;
    const bool file = GetParam() == Backend::SQLite;
    whenShown(&server, [&] {
        if (file) {
            gctest::clickCentre(server.RadioGroup1->button(2));
            gctest::clickCentre(server.Button1);
            return;
        }
        typeServerSettings(server);
        gctest::clickCentre(server.Button1);
        // Back after "No" to the set-up: "- - -", then "تاييد".
        whenShown(&server, [&] {
            gctest::clickCentre(server.Label8);
            gctest::clickCentre(server.Button1);
        });
    });
    if (!file)
        dialogs.answers = {ui::Yes, ui::No};
    ConnectionLoop loop(*forms->dm, server);
    ASSERT_TRUE(loop.run());
    const QStringList said = dialogs.texts();
    ASSERT_EQ(said.size(), file ? 2 : 3) << said.join("\n").toStdString();
    EXPECT_EQ(said.first(), kNoKey);
    EXPECT_EQ(said.last(), kDone);
    if (!file) {
        EXPECT_TRUE(said[1].contains(QString::fromUtf8("خالي است")) && said[1].contains("- - -"))
            << said[1].toStdString();
    }

    forms->login->show();
    expectNormalLogin();
    dialogs.messages.clear();
    Tmain& main = *forms->main;
    gctest::logInByHand(*forms->login, "admin", kInitialAdminPassword);
    ASSERT_TRUE(main.isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Information);
    EXPECT_EQ(gctest::captionsTheHintMisses(main, *forms->users, dialogs.texts()[0]),
              QStringList());

    const gctest::RightsGranted granted =
        gctest::grantEveryRightByClicks(main, *forms->users, "admin");
    EXPECT_TRUE(granted.windowShown);
    EXPECT_EQ(dialogs.texts().mid(1), QStringList{kStored});
    EXPECT_EQ(gctest::pagesWithoutEveryRight(*forms->dm, adminId()), QStringList());

    EXPECT_TRUE(gctest::opensFromTheBar(main, "N8", *forms->khodro_list));
    EXPECT_TRUE(forms->khodro_list->insertAction()->isEnabled());
    EXPECT_EQ(dialogs.messages.size(), 2);
}

// The system types read "32-bit" in the box and in its list in a right-to-left program, as
// they do in a left-to-right one.
TEST_P(FirstStart, TheSystemTypesReadInTheirOrder) {
    if (GetParam() != Backend::SQLite)
        GTEST_SKIP() << "no database involved";
    QComboBox& box = *forms->server->SystemType;
    box.resize(box.sizeHint());
    // Left-aligned in either direction, so only the order of the text can differ.
    box.setItemData(1, int(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter),
                    Qt::TextAlignmentRole);
    const auto drawn = [&box](Qt::LayoutDirection program) {
        QApplication::setLayoutDirection(program);
        QStyleOptionViewItem option;
        option.initFrom(box.view());
        option.direction = program;
        option.rect = QRect(0, 0, 120, 24);
        QImage item(option.rect.size(), QImage::Format_RGB32);
        item.fill(Qt::white);
        QPainter painter(&item);
        box.view()->itemDelegate()->paint(&painter, option, box.model()->index(1, 0));
        return std::make_pair(box.grab().toImage(), item);
    };
    const Qt::LayoutDirection before = QApplication::layoutDirection();
    const auto [faceLtr, itemLtr] = drawn(Qt::LeftToRight);
    const auto [faceRtl, itemRtl] = drawn(Qt::RightToLeft);
    QApplication::setLayoutDirection(before);
    EXPECT_TRUE(faceRtl == faceLtr);
    EXPECT_TRUE(itemRtl == itemLtr);
    EXPECT_EQ(box.itemText(1), "64-bit"); // what is stored stays plain
}

GC_INSTANTIATE_BACKENDS(FirstStart);
