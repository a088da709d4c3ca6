#include "platform/keyboard/keyboard_layout.h"
#include "platform/keyboard/lock_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
using gc::platform::processStartTime;
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
    const LockRecord record{{2, 1}, 4242, 77};
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
    for (const char* text :
         {"", "locked=1\nfound=0\n", "locked=1\nfound=x\npid=5\nstarted=9\n",
          "locked=4\nfound=0\npid=5\nstarted=9\n", "locked=1\nfound=-1\npid=5\nstarted=9\n",
          "locked=1\nfound=0\npid=5\n", "locked=1\nfound=0\npid=0\nstarted=9\n",
          "locked=1\nfound=0\npid=-5\nstarted=9\n",
          "locked=1\nfound=0\npid=99999999999\nstarted=9\n"}) {
        QFile raw(file.path());
        ASSERT_TRUE(raw.open(QIODevice::WriteOnly | QIODevice::Truncate));
        raw.write(text);
        raw.close();
        EXPECT_EQ(file.read(), std::nullopt) << text;
    }
}

namespace {

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool isLink(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

// Each new record is a file of its own, created beside the old one and renamed over it.
TEST(LockRecordFile, ANewRecordReplacesTheFileWhole) {
    QTemporaryDir folder;
    const LockRecordFile file(folder.path(), ":7");
    ASSERT_TRUE(file.write({{2, 1}, 4242, 77}));
    struct stat first {};
    ASSERT_EQ(stat(QFile::encodeName(file.path()).constData(), &first), 0);
    ASSERT_TRUE(file.write({{1, 0}, 4243, 78}));
    struct stat second {};
    ASSERT_EQ(stat(QFile::encodeName(file.path()).constData(), &second), 0);
    EXPECT_NE(first.st_ino, second.st_ino);
    EXPECT_EQ(second.st_mode & 07777, 0600u);
    EXPECT_EQ(file.read(), (LockRecord{{1, 0}, 4243, 78}));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

// A link, a FIFO or another user's file at the record's path is no record: it is not
// followed, not waited on, not replaced and not removed.
TEST(LockRecordFile, AnotherKindOfFileAtThePathIsLeftAlone) {
    QTemporaryDir folder;
    const LockRecordFile file(folder.path(), ":7");
    const QString victim = folder.filePath("victim");
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("locked=1\nfound=0\npid=5\nstarted=9\n");
    }
    ASSERT_TRUE(QFile::link(victim, file.path()));
    EXPECT_EQ(file.read(), std::nullopt);
    EXPECT_FALSE(file.write({{2, 1}, 4242, 77}));
    file.remove();
    EXPECT_TRUE(isLink(file.path()));
    EXPECT_EQ(contentsOf(victim), "locked=1\nfound=0\npid=5\nstarted=9\n");

    // A dangling link creates nothing where it points.
    ASSERT_TRUE(QFile::remove(file.path()));
    ASSERT_TRUE(QFile::link(folder.filePath("nowhere"), file.path()));
    EXPECT_FALSE(file.write({{2, 1}, 4242, 77}));
    EXPECT_FALSE(QFile::exists(folder.filePath("nowhere")));

    // A FIFO with no writer would block an ordinary open for ever.
    ASSERT_TRUE(QFile::remove(file.path()));
    ASSERT_EQ(mkfifo(QFile::encodeName(file.path()).constData(), 0600), 0);
    EXPECT_EQ(file.read(), std::nullopt);
    EXPECT_FALSE(file.write({{2, 1}, 4242, 77}));
    file.remove();
    struct stat st {};
    ASSERT_EQ(lstat(QFile::encodeName(file.path()).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    if (geteuid() != 0)
        return; // only the superuser hands a file to another user
    ASSERT_TRUE(QFile::remove(file.path()));
    ASSERT_TRUE(file.write({{2, 1}, 4242, 77}));
    ASSERT_EQ(chown(QFile::encodeName(file.path()).constData(), 65534, 65534), 0);
    EXPECT_EQ(file.read(), std::nullopt);
    EXPECT_FALSE(file.write({{1, 0}, 4243, 78}));
    file.remove();
    EXPECT_TRUE(QFile::exists(file.path()));
}

// No runtime folder, or one others may enter: no record anywhere, the working folder
// included.
TEST(LockRecordFile, NoneOutsideAPrivateFolder) {
    QTemporaryDir folder;
    const QString savedWorkingFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    for (const QString& where : {QString(), QString("."), folder.filePath("missing")}) {
        const LockRecordFile file(where, ":7");
        EXPECT_TRUE(file.path().isEmpty()) << where.toStdString();
        EXPECT_FALSE(file.write({{2, 1}, 4242, 77}));
    }
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
    const LockRecordFile shared(folder.path(), ":7");
    EXPECT_FALSE(shared.write({{2, 1}, 4242, 77}));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    ASSERT_TRUE(QDir::setCurrent(savedWorkingFolder));
}

// A process counts while it runs; one that ended and waits to be reaped does not.
TEST(ProcessStartTime, KnownOnlyForARunningProcess) {
    EXPECT_TRUE(processStartTime(getpid()).has_value());
    EXPECT_EQ(processStartTime(99999999999), std::nullopt);
    EXPECT_EQ(processStartTime(0), std::nullopt);
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, child, &info, WEXITED | WNOWAIT), 0); // exited, not reaped
    EXPECT_EQ(processStartTime(child), std::nullopt);
    waitpid(child, nullptr, 0);
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
    const qint64 pid = QCoreApplication::applicationPid();
    EXPECT_EQ(record().read(), (LockRecord{{2, 1}, pid, processStartTime(pid).value_or(-1)}));
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

// Another process of this program, running until it is ended; ended, it waits to be
// reaped as a zombie until the test ends.
class OtherCopy {
  public:
    OtherCopy() : pid_(fork()) {
        if (pid_ == 0) {
            for (;;)
                pause();
        }
    }
    ~OtherCopy() {
        end();
        waitpid(pid_, nullptr, 0);
    }
    OtherCopy(const OtherCopy&) = delete;
    OtherCopy& operator=(const OtherCopy&) = delete;

    void end() const {
        kill(pid_, SIGKILL);
        siginfo_t info{};
        waitid(P_PID, pid_, &info, WEXITED | WNOWAIT);
    }
    // The record this copy wrote when it locked the Persian group.
    LockRecord record(GroupLock groups) const {
        return {groups, pid_, processStartTime(pid_).value_or(-1)};
    }

  private:
    pid_t pid_;
};

// Another copy that locked and still runs keeps its Persian group; a copy started beside it
// takes over the group that copy found, and gives that back when it ends.
TEST_F(KeyboardGiveBack, ALockOfACopyStillRunningIsLeftToIt) {
    const OtherCopy running;
    display.lockGroup(2);
    const LockRecord left = running.record({2, 1});
    ASSERT_TRUE(record().write(left));
    SystemKeyboardLayout keyboard = layout();
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 2);
    EXPECT_EQ(record().read(), left);

    ASSERT_EQ(keyboard.activatePersian(), KeyboardSwitch::Switched);
    const auto own = record().read();
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(own->groups, (GroupLock{2, 1}));
    EXPECT_EQ(own->pid, QCoreApplication::applicationPid());
    keyboard.restore();
    EXPECT_EQ(display.lockedGroup(), 1);
}

// A copy that ended and waits to be reaped, or whose pid another program has taken since,
// holds nothing: the lock it left is given back at the next start.
TEST_F(KeyboardGiveBack, ALockOfACopyThatEndedIsGivenBack) {
    const OtherCopy zombie;
    const LockRecord byZombie = zombie.record({2, 1});
    zombie.end();
    const auto parentStarted = processStartTime(getppid());
    ASSERT_TRUE(parentStarted.has_value());
    const LockRecord byReusedPid{{2, 1}, getppid(), *parentStarted - 1};
    for (const LockRecord& left : {byZombie, byReusedPid}) {
        display.lockGroup(2);
        ASSERT_TRUE(record().write(left));
        layout().restore();
        EXPECT_EQ(display.lockedGroup(), 1) << left.pid;
        EXPECT_EQ(record().read(), std::nullopt);
    }
}

// A FIFO at the record's path, or a runtime folder open to others, keeps no record and
// blocks nothing; the run still gives back the group it found.
TEST_F(KeyboardGiveBack, WithoutARecordTheRunStillGivesTheGroupBack) {
    const QByteArray path = QFile::encodeName(record().path());
    ASSERT_EQ(mkfifo(path.constData(), 0600), 0);
    const auto aRun = [this] {
        SystemKeyboardLayout keyboard = layout();
        keyboard.restore();
        display.lockGroup(1);
        ASSERT_EQ(keyboard.activatePersian(), KeyboardSwitch::Switched);
        EXPECT_EQ(display.lockedGroup(), 2);
        keyboard.restore();
        EXPECT_EQ(display.lockedGroup(), 1);
    };
    aRun();
    struct stat st {};
    ASSERT_EQ(lstat(path.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    ASSERT_EQ(unlink(path.constData()), 0);
    ASSERT_EQ(chmod(QFile::encodeName(runtime.path()).constData(), 0750), 0);
    aRun();
    EXPECT_TRUE(QDir(runtime.path()).isEmpty());
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
