#pragma once

#include "platform/keyboard/keyboard_layout.h"
#include "platform/sound/system_sound.h"

namespace gc::test {

// Counts the switches and give-backs asked for; answers as the test says.
class FakeKeyboardLayout final : public platform::KeyboardLayout {
  public:
    platform::KeyboardSwitch result = platform::KeyboardSwitch::Switched;
    int activations = 0;
    int restores = 0;
    platform::KeyboardSwitch activatePersian() override {
        ++activations;
        return result;
    }
    void restore() override { ++restores; }
};

// Counts the sounds that would have played.
class FakeSystemSound final : public platform::SystemSound {
  public:
    int exitSounds = 0;
    void playSystemExit() override { ++exitSounds; }
};

} // namespace gc::test
