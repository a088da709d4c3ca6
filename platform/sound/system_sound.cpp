#include "platform/sound/system_sound.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <mmsystem.h>
#include <windows.h>
#endif

namespace gc::platform {

std::optional<SoundCommand>
chooseSoundCommand(const std::function<QString(const QString&)>& findProgram,
                   const std::function<QString(const QString&)>& findSoundFile) {
    const QString canberra = findProgram(QStringLiteral("canberra-gtk-play"));
    if (!canberra.isEmpty())
        return SoundCommand{canberra, {QStringLiteral("-i"), QStringLiteral("dialog-information")}};

    const QString file =
        findSoundFile(QStringLiteral("sounds/freedesktop/stereo/dialog-information.oga"));
    if (file.isEmpty())
        return std::nullopt;
    for (const QString& player : {QStringLiteral("paplay"), QStringLiteral("pw-play")}) {
        const QString path = findProgram(player);
        if (!path.isEmpty())
            return SoundCommand{path, {file}};
    }
    return std::nullopt;
}

void DesktopSound::playSystemExit() {
#ifdef Q_OS_WIN
    if (PlaySoundA("SystemExit", nullptr, SND_ASYNC))
        return;
#else
    // Without a desktop (offscreen, minimal) there is nobody to hear a player.
    const QString platform = QGuiApplication::platformName();
    const bool desktop =
        platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    if (desktop && !lookedUp_) {
        lookedUp_ = true;
        command_ = chooseSoundCommand(
            [](const QString& name) { return QStandardPaths::findExecutable(name); },
            [](const QString& file) {
                return QStandardPaths::locate(QStandardPaths::GenericDataLocation, file);
            });
    }
    if (desktop && command_ && QProcess::startDetached(command_->program, command_->arguments))
        return;
#endif
    QApplication::beep();
}

} // namespace gc::platform
