#include "registers/khodro/khodro_list.h"
#include "windows/first_steps.h"
#include "windows/shell/users_window.h"
#include "windows/window_fixture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

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
};

} // namespace

TEST_P(FirstAdmin, IsToldOnceGrantsTheRightsByClicksAndOpensARegister) {
    gctest::logInByHand(*forms->login, "admin", "1");
    ASSERT_TRUE(forms->services->user().loggedIn());
    ASSERT_TRUE(main().isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString hint = dialogs.messages[0].text;
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Information);
    // The hint leads through the controls as they are captioned.
    Tusers& users = *forms->users;
    EXPECT_EQ(gctest::captionsTheHintMisses(main(), users, hint), QStringList());
    // The keyboard switched, so the status bar has nothing to say.
    EXPECT_TRUE(!main().keyboardNote() || !main().keyboardNote()->isVisible());

    // Once: a second call after the login tells nothing again.
    main().afterLogin(platform::KeyboardSwitch::Switched);
    EXPECT_EQ(dialogs.messages.size(), 1);

    const gctest::RightsGranted granted = gctest::grantEveryRightByClicks(main(), users, "admin");
    EXPECT_TRUE(granted.windowShown);
    EXPECT_FALSE(users.isVisible());
    EXPECT_TRUE(granted.rightsOf.contains("admin")) << granted.rightsOf.toStdString();
    EXPECT_EQ(dialogs.texts().mid(1), QStringList{kStored});
    const QString admin = adminId();
    EXPECT_EQ(scalar("select count(*) from dastrasi where prs_id=" + admin).toInt(), 14);
    EXPECT_EQ(gctest::pagesWithoutEveryRight(*forms->dm, admin), QStringList());

    // A register now opens from the menu bar, with its commands on.
    auto& vehicles = *forms->khodro_list;
    EXPECT_TRUE(gctest::opensFromTheBar(main(), "N8", vehicles));
    EXPECT_TRUE(vehicles.insertAction()->isEnabled());
    EXPECT_FALSE(dialogs.texts().contains(kRefused));
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_P(FirstAdmin, OthersAreNotToldAndAKeyboardThatStayedIsSaidInTheStatusBar) {
    exec("insert into users (us, ps) values ('guard', 'g')");
    keyboard->result = platform::KeyboardSwitch::NoPersianLayout;
    gctest::logInByHand(*forms->login, "guard", "g");
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
