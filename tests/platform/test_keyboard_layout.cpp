#include "platform/keyboard/keyboard_layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#ifdef GC_TEST_XKB
#include "support/virtual_display.h"
#endif

using gc::platform::GroupGiveBack;
using gc::platform::GroupLock;
using gc::platform::KeyboardSwitch;
using gc::platform::keyboardSwitchNote;
using gc::platform::LockRecord;
using gc::platform::LockRecordFile;
using gc::platform::persianGroup;
using gc::platform::SystemKeyboardLayout;

TEST(PersianGroup, FoundByGroupName) {
    EXPECT_EQ(persianGroup({"English (US)", "Persian", "", ""}, {}), 1);
    EXPECT_EQ(persianGroup({"Persian (with Persian keypad)", "English (US)"}, {}), 0);
    EXPECT_EQ(persianGroup({"English (US)", "German", "Arabic", "Persian"}, {}), 3);
    EXPECT_EQ(persianGroup({"English (US)", "Kurdish (Iran, Latin Q)"}, {}), std::nullopt);
}

TEST(PersianGroup, FoundBySymbolsWhenNamesAreMissing) {
    EXPECT_EQ(persianGroup({}, "pc+us+ir:2+inet(evdev)"), 1);
    EXPECT_EQ(persianGroup({"", ""}, "pc+ir+us:2+inet(evdev)"), 0);
    EXPECT_EQ(persianGroup({}, "pc+us+de:2+ir(pes_keypad):3+inet(evdev)"), 2);
    EXPECT_EQ(persianGroup({}, "pc+us+ir(ku):2+inet(evdev)"), std::nullopt);
    EXPECT_EQ(persianGroup({}, "pc+us+iq:2+inet(evdev)+group(alt_shift_toggle)"), std::nullopt);
    EXPECT_EQ(persianGroup({}, "pc+us+ir:9"), std::nullopt);
    EXPECT_EQ(persianGroup({}, ""), std::nullopt);
}

// Offscreen has no keyboard layouts: nothing happens, and the result says it is not X11.
TEST(SystemKeyboardLayout, DoesNothingWithoutADesktop) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    SystemKeyboardLayout layout;
    EXPECT_EQ(layout.activatePersian(), KeyboardSwitch::OtherDesktop);
    layout.restore();
    EXPECT_TRUE(QDir(runtime.path()).isEmpty());
}

TEST(LockRecordFile, KeepsTheLockUntilRemoved) {
    QTemporaryDir folder;
    const LockRecordFile file(folder.path(), ":7");
    EXPECT_EQ(file.read(), std::nullopt);
    const LockRecord record{{2, 1}, 4242};
    ASSERT_TRUE(file.write(record));
    EXPECT_EQ(file.read(), record);
    // One keyboard serves every screen of a display; another display has its own record.
    EXPECT_EQ(LockRecordFile(folder.path(), ":7.1").read(), record);
    EXPECT_EQ(LockRecordFile(folder.path(), ":17").read(), std::nullopt);
    EXPECT_EQ(LockRecordFile(folder.path(), "host:7").read(), std::nullopt);
    file.remove();
    EXPECT_EQ(file.read(), std::nullopt);
}

// A record cut short or written by hand is no lock: nothing is given back from it.
TEST(LockRecordFile, ADamagedRecordIsNone) {
    QTemporaryDir folder;
    const LockRecordFile file(folder.path(), ":7");
    for (const char* text : {"", "locked=1\nfound=0\n", "locked=1\nfound=x\npid=5\n",
                             "locked=4\nfound=0\npid=5\n", "locked=1\nfound=-1\npid=5\n"}) {
        QFile raw(file.path());
        ASSERT_TRUE(raw.open(QIODevice::WriteOnly | QIODevice::Truncate));
        raw.write(text);
        raw.close();
        EXPECT_EQ(file.read(), std::nullopt) << text;
    }
}

TEST(KeyboardSwitchNote, SaysWhyAndNothingAfterASwitch) {
    EXPECT_TRUE(keyboardSwitchNote(KeyboardSwitch::Switched, "xcb").isEmpty());
    QStringList notes;
    for (KeyboardSwitch f : {KeyboardSwitch::OtherDesktop, KeyboardSwitch::NoX11Access,
                             KeyboardSwitch::NoPersianLayout, KeyboardSwitch::Refused}) {
        notes << keyboardSwitchNote(f, "wayland");
        EXPECT_TRUE(notes.last().startsWith(QString::fromUtf8("صفحه کليد فارسي نشد: ")));
        EXPECT_EQ(notes.indexOf(notes.last()), notes.size() - 1); // each its own reason
    }
    // The desktop's Latin name is isolated, so it keeps its place in the sentence.
    EXPECT_TRUE(notes[0].contains(QChar(0x2066) + QString("wayland") + QChar(0x2069)));
}

#ifdef GC_TEST_XKB

TEST(XkbLock, LocksThePersianGroupOfARealServer) {
    gctest::VirtualDisplay display;
    if (!display.start())
        GTEST_SKIP() << "Xvfb or setxkbmap not available";

    if (!display.setLayouts("us,ir"))
        GTEST_SKIP() << "the X server does not take keyboard layouts";
    EXPECT_EQ(display.lockedGroup(), 0);
    const auto lock = gc::platform::lockPersianGroupOnDisplay(display.name());
    EXPECT_EQ(lock.result, KeyboardSwitch::Switched);
    EXPECT_EQ(lock.groups, (GroupLock{1, 0}));
    EXPECT_EQ(display.lockedGroup(), 1);

    ASSERT_TRUE(display.setLayouts("us,de,ir(pes_keypad)"));
    display.lockGroup(1);
    const auto again = gc::platform::lockPersianGroupOnDisplay(display.name());
    EXPECT_EQ(again.result, KeyboardSwitch::Switched);
    EXPECT_EQ(again.groups, (GroupLock{2, 1}));
    EXPECT_EQ(display.lockedGroup(), 2);
}

// The keyboard of a private server with Persian among its layouts, its lock recorded in a
// private runtime folder.
class KeyboardGiveBack : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!display.start())
            GTEST_SKIP() << "Xvfb or setxkbmap not available";
        if (!display.setLayouts("us,de,ir"))
            GTEST_SKIP() << "the X server does not take keyboard layouts";
    }
    SystemKeyboardLayout layout() const { return {display.name(), runtime.path()}; }
    LockRecordFile record() const { return {runtime.path(), display.name()}; }

    gctest::VirtualDisplay display;
    QTemporaryDir runtime;
};

TEST_F(KeyboardGiveBack, TheGroupFoundIsLockedAgain) {
    display.lockGroup(1); // German, as the user left it
    SystemKeyboardLayout keyboard = layout();
    ASSERT_EQ(keyboard.activatePersian(), KeyboardSwitch::Switched);
    EXPECT_EQ(display.lockedGroup(), 2);
    EXPECT_EQ(record().read(), (LockRecord{{2, 1}, QCoreApplication::applicationPid()}));
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 1);
    EXPECT_EQ(record().read(), std::nullopt);
    // Given back once: a second end changes nothing the user does next.
    display.lockGroup(0);
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 0);
}

TEST_F(KeyboardGiveBack, AGroupTheUserPickedSinceIsLeft) {
    SystemKeyboardLayout keyboard = layout();
    ASSERT_EQ(keyboard.activatePersian(), KeyboardSwitch::Switched);
    display.lockGroup(1);
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 1);
    EXPECT_EQ(record().read(), std::nullopt);

    EXPECT_EQ(gc::platform::giveGroupBackOnDisplay(display.name(), {2, 0}),
              GroupGiveBack::LeftAsIs);
    EXPECT_EQ(gc::platform::giveGroupBackOnDisplay(display.name(), {1, 0}),
              GroupGiveBack::GivenBack);
    EXPECT_EQ(display.lockedGroup(), 0);
}

// A desktop already in Persian is the user's own: there is nothing to give back.
TEST_F(KeyboardGiveBack, PersianChosenByTheUserStays) {
    display.lockGroup(2);
    SystemKeyboardLayout keyboard = layout();
    ASSERT_EQ(keyboard.activatePersian(), KeyboardSwitch::Switched);
    EXPECT_EQ(record().read(), std::nullopt);
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 2);
}

// A run that crashed after login left its lock; the next start gives the group back before
// anything is typed, unless the user has switched since.
TEST_F(KeyboardGiveBack, ALockLeftByAnEndedRunIsGivenBackAtTheNextStart) {
    {
        SystemKeyboardLayout crashed = layout();
        ASSERT_EQ(crashed.activatePersian(), KeyboardSwitch::Switched);
    }
    ASSERT_EQ(display.lockedGroup(), 2);
    layout().restore();
    EXPECT_EQ(display.lockedGroup(), 0);
    EXPECT_EQ(record().read(), std::nullopt);

    {
        SystemKeyboardLayout crashed = layout();
        ASSERT_EQ(crashed.activatePersian(), KeyboardSwitch::Switched);
    }
    display.lockGroup(1);
    layout().restore();
    EXPECT_EQ(display.lockedGroup(), 1);
    EXPECT_EQ(record().read(), std::nullopt);
}

// Another copy that locked and still runs keeps its Persian group; a copy started beside it
// takes over the group that copy found, and gives that back when it ends.
TEST_F(KeyboardGiveBack, ALockOfACopyStillRunningIsLeftToIt) {
    const qint64 running = getppid();
    display.lockGroup(2);
    ASSERT_TRUE(record().write({{2, 1}, running}));
    SystemKeyboardLayout keyboard = layout();
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 2);
    EXPECT_EQ(record().read(), (LockRecord{{2, 1}, running}));

    ASSERT_EQ(keyboard.activatePersian(), KeyboardSwitch::Switched);
    EXPECT_EQ(record().read(), (LockRecord{{2, 1}, QCoreApplication::applicationPid()}));
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 1);
}

// The server's first keymap is US English alone.
TEST(XkbLock, LeavesTheKeyboardAloneWithoutPersian) {
    gctest::VirtualDisplay display;
    if (!display.start())
        GTEST_SKIP() << "Xvfb or setxkbmap not available";

    EXPECT_EQ(gc::platform::lockPersianGroupOnDisplay(display.name()).result,
              KeyboardSwitch::NoPersianLayout);
    EXPECT_EQ(display.lockedGroup(), 0);
}

#endif

TEST(XkbLock, NoSuchDisplayIsQuiet) {
    EXPECT_EQ(gc::platform::lockPersianGroupOnDisplay(":4321").result, KeyboardSwitch::NoX11Access);
    EXPECT_EQ(gc::platform::giveGroupBackOnDisplay(":4321", {1, 0}), GroupGiveBack::NoX11Access);
}
