#include "core/page_access.h"
#include "platform/ui/query_grid.h"
#include "registers/khodro/khodro_list.h"
#include "support/clicking.h"
#include "support/typing.h"
#include "windows/shell/users_window.h"
#include "windows/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

using namespace gc;

namespace {

const QString kRefused = QString::fromUtf8("شما دسترسي به اين صفحه را نداريد");
const QString kStored = QString::fromUtf8("ثبت شد");

// The newcomer on a database just set up: "admin" may open the users page only.
class FirstAdmin : public gctest::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped())
            return;
        createSchema();
    }

    Tmain& main() { return *forms->main; }
    QAction* item(const char* name) { return main().findChild<QAction*>(name); }

    // Types the name and the password and clicks "ورود".
    void logInByHand(const QString& name, const QString& password) {
        Tlogin& login = *forms->login;
        login.show();
        gctest::typeKeys(login.us->lineEdit(), name);
        gctest::typeKeys(login.ps, password);
        gctest::clickCentre(login.BitBtn1);
    }

    // Clicks an entry of the menu bar at its centre.
    void clickBar(QAction* entry) {
        QMenuBar* bar = main().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(entry).center());
    }

    // Opens the submenu "اطلاعات پايه" and clicks `entry` in it, both at their centres.
    void clickSubmenu(QAction* entry) {
        QMenu* menu = item("N4")->menu();
        clickBar(item("N4"));
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(entry).center());
    }

    // Clicks the cell of the users list that shows `name`.
    static void clickUser(Tusers& users, const QString& name) {
        QTableView* grid = users.DBGrid1;
        QAbstractItemModel* model = grid->QTableView::model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex cell = model->index(row, column);
                if (grid->isColumnHidden(column) || model->data(cell).toString() != name)
                    continue;
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  grid->visualRect(cell).center());
                return;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
};

} // namespace

TEST_P(FirstAdmin, IsToldOnceGrantsTheRightsByClicksAndOpensARegister) {
    logInByHand("admin", "1");
    ASSERT_TRUE(forms->services->user().loggedIn());
    ASSERT_TRUE(main().isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString hint = dialogs.messages[0].text;
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Information);
    // The hint leads through the controls as they are captioned.
    Tusers& users = *forms->users;
    for (const QString& caption : {item("N4")->text(), item("N7")->text(), users.ins_btn2->text()})
        EXPECT_TRUE(hint.contains(QString::fromUtf8("«") + caption + QString::fromUtf8("»")))
            << caption.toStdString();
    // The keyboard switched, so the status bar has nothing to say.
    EXPECT_TRUE(!main().keyboardNote() || !main().keyboardNote()->isVisible());

    // Once: a second call after the login tells nothing again.
    main().afterLogin(platform::KeyboardSwitch::Switched);
    EXPECT_EQ(dialogs.messages.size(), 1);

    bool usersShown = false;
    QString rightsOf;
    QTimer::singleShot(0, &users, [&] {
        usersShown = users.isVisible();
        clickUser(users, "admin");
        rightsOf = users.rightsOf->text();
        for (QCheckBox* column : {users.ins_chek, users.edit_chek, users.del_chek, users.show_chek})
            gctest::clickCentre(column);
        gctest::clickCentre(users.ins_btn2);
        QTest::keyClick(&users, Qt::Key_Escape);
    });
    clickSubmenu(item("N7"));
    EXPECT_TRUE(usersShown);
    EXPECT_FALSE(users.isVisible());
    EXPECT_TRUE(rightsOf.contains("admin")) << rightsOf.toStdString();
    EXPECT_EQ(dialogs.texts().mid(1), QStringList{kStored});
    const QString admin = adminId();
    EXPECT_EQ(scalar("select count(*) from dastrasi where prs_id=" + admin).toInt(), 14);
    for (const PageRight& page : PageRights()) {
        const auto right = ReadPageAccess(*forms->dm, admin, page.key);
        ASSERT_TRUE(right) << page.key.toStdString();
        EXPECT_TRUE(right->darj && right->virayesh && right->hazf && right->namayesh)
            << page.key.toStdString();
    }

    // A register now opens from the menu bar, with its commands on.
    auto& vehicles = *forms->khodro_list;
    bool vehiclesShown = false;
    QTimer::singleShot(0, &vehicles, [&] {
        vehiclesShown = vehicles.isVisible();
        vehicles.close();
    });
    clickBar(item("N8"));
    EXPECT_TRUE(vehiclesShown);
    EXPECT_TRUE(vehicles.insertAction()->isEnabled());
    EXPECT_FALSE(dialogs.texts().contains(kRefused));
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_P(FirstAdmin, OthersAreNotToldAndAKeyboardThatStayedIsSaidInTheStatusBar) {
    exec("insert into users (us, ps) values ('guard', 'g')");
    keyboard->result = platform::KeyboardSwitch::NoPersianLayout;
    logInByHand("guard", "g");
    ASSERT_TRUE(forms->services->user().loggedIn());
    // No right at all: the users page is not theirs to open, so no hint.
    EXPECT_TRUE(dialogs.messages.isEmpty());
    QLabel* note = main().keyboardNote();
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(main().statusBar()->isVisible());
    EXPECT_EQ(note->text(), platform::keyboardSwitchNote(platform::KeyboardSwitch::NoPersianLayout,
                                                         QGuiApplication::platformName()));
    // Switched after all: the note goes.
    main().afterLogin(platform::KeyboardSwitch::Switched);
    EXPECT_FALSE(note->isVisible());
}

GC_INSTANTIATE_BACKENDS(FirstAdmin);
