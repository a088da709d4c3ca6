#include "platform/keyboard/keyboard_layout.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#ifdef GC_TEST_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

using gc::platform::KeyboardSwitch;
using gc::platform::keyboardSwitchNote;
using gc::platform::persianGroup;

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
    gc::platform::SystemKeyboardLayout layout;
    EXPECT_EQ(layout.activatePersian(), KeyboardSwitch::OtherDesktop);
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

namespace {

// A private X server with the layouts a test asks for.
class VirtualDisplay {
  public:
    bool start() {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
            QStandardPaths::findExecutable("setxkbmap").isEmpty())
            return false;
        server_.start("Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0",
                               "64x64x24"});
        if (!server_.waitForStarted(5000))
            return false;
        while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
        }
        const QByteArray number = server_.readLine().trimmed();
        if (number.isEmpty())
            return false;
        name_ = ":" + QString::fromLatin1(number);
        // A busy machine may announce the display before it takes connections; -noreset
        // keeps it from restarting between the connections of a test.
        const QByteArray n = name_.toLatin1();
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (Display* d = XOpenDisplay(n.constData())) {
                XCloseDisplay(d);
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    ~VirtualDisplay() {
        server_.terminate();
        server_.waitForFinished(5000);
    }

    // False when the server did not take the layouts (some sandboxed servers keep
    // their first keymap whatever they are sent).
    bool setLayouts(const QString& layouts) {
        QProcess setxkbmap;
        setxkbmap.start("setxkbmap", {"-display", name_, "-layout", layouts});
        if (!setxkbmap.waitForFinished(10000) || setxkbmap.exitCode() != 0)
            return false;
        QProcess query;
        query.start("setxkbmap", {"-display", name_, "-query"});
        if (!query.waitForFinished(10000))
            return false;
        const QString out = QString::fromLocal8Bit(query.readAllStandardOutput());
        return out.contains(
            QRegularExpression("layout:\\s+" + QRegularExpression::escape(layouts) + "\\n"));
    }

    // Read straight from the server, not through the code under test.
    int lockedGroup() const {
        const QByteArray n = name_.toLatin1();
        Display* d = XOpenDisplay(n.constData());
        if (!d)
            return -1;
        XkbStateRec state{};
        const int group =
            XkbGetState(d, XkbUseCoreKbd, &state) == Success ? state.locked_group : -1;
        XCloseDisplay(d);
        return group;
    }

    const QString& name() const { return name_; }

  private:
    QProcess server_;
    QString name_;
};

} // namespace

TEST(XkbLock, LocksThePersianGroupOfARealServer) {
    VirtualDisplay display;
    if (!display.start())
        GTEST_SKIP() << "Xvfb or setxkbmap not available";

    if (!display.setLayouts("us,ir"))
        GTEST_SKIP() << "the X server does not take keyboard layouts";
    EXPECT_EQ(display.lockedGroup(), 0);
    EXPECT_EQ(gc::platform::lockPersianGroupOnDisplay(display.name()), KeyboardSwitch::Switched);
    EXPECT_EQ(display.lockedGroup(), 1);

    ASSERT_TRUE(display.setLayouts("us,de,ir(pes_keypad)"));
    EXPECT_EQ(gc::platform::lockPersianGroupOnDisplay(display.name()), KeyboardSwitch::Switched);
    EXPECT_EQ(display.lockedGroup(), 2);
}

// The server's first keymap is US English alone.
TEST(XkbLock, LeavesTheKeyboardAloneWithoutPersian) {
    VirtualDisplay display;
    if (!display.start())
        GTEST_SKIP() << "Xvfb or setxkbmap not available";

    EXPECT_EQ(gc::platform::lockPersianGroupOnDisplay(display.name()),
              KeyboardSwitch::NoPersianLayout);
    EXPECT_EQ(display.lockedGroup(), 0);
}

#endif

TEST(XkbLock, NoSuchDisplayIsQuiet) {
    EXPECT_EQ(gc::platform::lockPersianGroupOnDisplay(":4321"), KeyboardSwitch::NoX11Access);
}
