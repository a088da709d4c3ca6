#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace gc::platform {

// Short notification sounds; tests supply their own.
class SystemSound {
  public:
    virtual ~SystemSound() = default;

    // The system's "exit" sound, played without waiting for it to finish.
    virtual void playSystemExit() = 0;
};

// A program that plays a sound, and its arguments.
struct SoundCommand {
    QString program;
    QStringList arguments;
    friend bool operator==(const SoundCommand&, const SoundCommand&) = default;
};

// How the Linux desktop can play its information sound: the desktop's event-sound
// player, else a sound player with the freedesktop theme's file. `findProgram`
// gives a program's full path or empty; `findSoundFile` gives the full path of a
// file under the shared data folders or empty. std::nullopt: the desktop offers none.
std::optional<SoundCommand>
chooseSoundCommand(const std::function<QString(const QString&)>& findProgram,
                   const std::function<QString(const QString&)>& findSoundFile);

// Windows: the system sound "SystemExit". Linux desktop: a sound player found at
// the first use, started detached. Otherwise, or when the player cannot start:
// the application beep.
class DesktopSound final : public SystemSound {
  public:
    void playSystemExit() override;

  private:
    bool lookedUp_ = false;
    std::optional<SoundCommand> command_;
};

} // namespace gc::platform
