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

// Switches the keyboard to Persian after login; tests supply their own.
class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;

    // Where the desktop offers no Persian layout, or gives no access to its layouts,
    // nothing changes and the result says why.
    virtual KeyboardSwitch activatePersian() = 0;
};

// Windows: the Persian keyboard layout, loaded and activated. X11: the keyboard
// group that holds a Persian layout, locked. Elsewhere nothing.
class SystemKeyboardLayout final : public KeyboardLayout {
  public:
    KeyboardSwitch activatePersian() override;
};

// What the user is told when the keyboard stayed as it was, naming the window system
// `platformName` where it is not X11; the empty text after a switch.
QString keyboardSwitchNote(KeyboardSwitch result, const QString& platformName);

// The 0-based keyboard group holding a Persian layout, from the group names
// ("Persian", "Persian (with Persian keypad)") or, where those are missing, from
// the symbols description ("pc+us+ir:2+inet(evdev)"). Kurdish and other Iranian
// layouts do not count.
std::optional<int> persianGroup(const QStringList& groupNames, const QString& symbols);

// Locks the Persian group of the X display `displayName` (empty: $DISPLAY).
KeyboardSwitch lockPersianGroupOnDisplay(const QString& displayName);

} // namespace gc::platform
