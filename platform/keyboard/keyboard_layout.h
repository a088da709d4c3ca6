#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace gc::platform {

// Switches the keyboard to Persian after login; tests supply their own.
class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;

    // True when a Persian layout is now active. Where the desktop offers none, or
    // gives no access to its layouts, nothing changes and nothing is said.
    virtual bool activatePersian() = 0;
};

// Windows: the Persian keyboard layout, loaded and activated. X11: the keyboard
// group that holds a Persian layout, locked. Elsewhere nothing.
class SystemKeyboardLayout final : public KeyboardLayout {
  public:
    bool activatePersian() override;
};

// The 0-based keyboard group holding a Persian layout, from the group names
// ("Persian", "Persian (with Persian keypad)") or, where those are missing, from
// the symbols description ("pc+us+ir:2+inet(evdev)"). Kurdish and other Iranian
// layouts do not count.
std::optional<int> persianGroup(const QStringList& groupNames, const QString& symbols);

// Locks the Persian group of the X display `displayName` (empty: $DISPLAY).
// False when there is no such display, no XKB, no Persian group, or the build has
// no X11 support.
bool lockPersianGroupOnDisplay(const QString& displayName);

} // namespace gc::platform
