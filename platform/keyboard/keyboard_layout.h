#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace gc::platform {

// What came of asking for the Persian keyboard.
enum class KeyboardSwitch {
    Switched,        // a Persian layout is now active
    OtherDesktop,    // the window system is not X11 (Wayland, none): no way to switch
    NoX11Access,     // no X display or no XKB on it, or a build without X11 support
    NoPersianLayout, // the desktop has no Persian layout configured
    Refused,         // the display did not take the switch
};

// A keyboard group the program locked, and the group the display held before.
struct GroupLock {
    int locked = 0;
    int found = 0;
    bool operator==(const GroupLock&) const = default;
};

// Switches the keyboard to Persian after login and gives it back; tests supply their own.
class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;

    // Where the desktop offers no Persian layout, or gives no access to its layouts,
    // nothing changes and the result says why.
    virtual KeyboardSwitch activatePersian() = 0;
    // Gives back the layout the program found before it switched, in this run or in one
    // that ended without giving it back; a layout the user picked since is left alone.
    virtual void restore() = 0;
};

// Windows: the Persian keyboard layout, loaded and activated for the program's own thread;
// nothing outlives the program, so nothing is given back. X11: the keyboard group that
// holds a Persian layout, locked for the whole display until restore() gives the group
// found back. Elsewhere nothing.
class SystemKeyboardLayout final : public KeyboardLayout {
  public:
    // The desktop the program runs on; the lock is recorded in the user's runtime folder.
    SystemKeyboardLayout() = default;
    // The X display `displayName`, the lock recorded in `recordFolder`.
    SystemKeyboardLayout(const QString& displayName, const QString& recordFolder);

    KeyboardSwitch activatePersian() override;
    void restore() override;

  private:
    bool onX11() const;
    QString recordFolder() const;
    void remember(GroupLock groups);

    QString displayName_;
    QString recordFolder_;
    bool ownDesktop_ = true;
    std::optional<GroupLock> lock_;
};

// What the user is told when the keyboard stayed as it was, naming the window system
// `platformName` where it is not X11; the empty text after a switch.
QString keyboardSwitchNote(KeyboardSwitch result, const QString& platformName);

// The 0-based keyboard group holding a Persian layout, from the group names
// ("Persian", "Persian (with Persian keypad)") or, where those are missing, from
// the symbols description ("pc+us+ir:2+inet(evdev)"). Kurdish and other Iranian
// layouts do not count.
std::optional<int> persianGroup(const QStringList& groupNames, const QString& symbols);

// What locking the Persian group did; `groups` is set when the result is Switched.
struct PersianLock {
    KeyboardSwitch result = KeyboardSwitch::NoX11Access;
    GroupLock groups;
};

// Locks the Persian group of the X display `displayName` (empty: $DISPLAY).
PersianLock lockPersianGroupOnDisplay(const QString& displayName);

// What came of giving a locked group back.
enum class GroupGiveBack {
    GivenBack,   // the group found is locked again
    LeftAsIs,    // the display no longer holds the group locked: the user switched since
    NoX11Access, // no display, or it did not take the group
};

// Locks `lock.found` again on the X display `displayName` (empty: $DISPLAY), if the
// display still holds `lock.locked`.
GroupGiveBack giveGroupBackOnDisplay(const QString& displayName, const GroupLock& lock);

} // namespace gc::platform
