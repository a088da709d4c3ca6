#include "platform/sound/system_sound.h"

#include <QHash>
#include <gtest/gtest.h>

using gc::platform::chooseSoundCommand;
using gc::platform::SoundCommand;

namespace {

// A machine described by the programs and shared files it has.
struct Machine {
    QHash<QString, QString> programs;
    QHash<QString, QString> files;

    std::optional<SoundCommand> choose() const {
        return chooseSoundCommand([this](const QString& p) { return programs.value(p); },
                                  [this](const QString& f) { return files.value(f); });
    }
};

const QString kInfo = "sounds/freedesktop/stereo/dialog-information.oga";
const QString kInfoPath = "/usr/share/sounds/freedesktop/stereo/dialog-information.oga";

} // namespace

TEST(SoundCommand, PrefersTheDesktopEventPlayer) {
    Machine m;
    m.programs = {{"canberra-gtk-play", "/usr/bin/canberra-gtk-play"},
                  {"paplay", "/usr/bin/paplay"}};
    m.files = {{kInfo, kInfoPath}};
    EXPECT_EQ(m.choose(),
              (SoundCommand{"/usr/bin/canberra-gtk-play", {"-i", "dialog-information"}}));
}

TEST(SoundCommand, PlaysTheThemeFileWithAnAvailablePlayer) {
    Machine m;
    m.files = {{kInfo, kInfoPath}};
    m.programs = {{"pw-play", "/usr/bin/pw-play"}};
    EXPECT_EQ(m.choose(), (SoundCommand{"/usr/bin/pw-play", {kInfoPath}}));
    m.programs.insert("paplay", "/usr/bin/paplay");
    EXPECT_EQ(m.choose(), (SoundCommand{"/usr/bin/paplay", {kInfoPath}}));
}

TEST(SoundCommand, NoneWithoutPlayerOrSoundFile) {
    Machine m;
    EXPECT_EQ(m.choose(), std::nullopt);
    m.programs = {{"paplay", "/usr/bin/paplay"}};
    EXPECT_EQ(m.choose(), std::nullopt); // no theme installed
    m.programs.clear();
    m.files = {{kInfo, kInfoPath}};
    EXPECT_EQ(m.choose(), std::nullopt); // no player
}

// Offscreen: no player is started and the call returns at once.
TEST(DesktopSound, FallsBackQuietlyWithoutADesktop) {
    gc::platform::DesktopSound sound;
    sound.playSystemExit();
    sound.playSystemExit();
    SUCCEED();
}
