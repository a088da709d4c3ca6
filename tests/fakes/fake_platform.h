#pragma once

#include "platform/keyboard/keyboard_layout.h"
#include "platform/sound/system_sound.h"

namespace gc::test {

// Counts the switches asked for; answers as the test says.
class FakeKeyboardLayout final : public platform::KeyboardLayout {
  public:
    platform::KeyboardSwitch result = platform::KeyboardSwitch::Switched;
    int activations = 0;
    platform::KeyboardSwitch activatePersian() override {
        ++activations;
        return result;
    }
};

// Counts the sounds that would have played.
class FakeSystemSound final : public platform::SystemSound {
  public:
    int exitSounds = 0;
    void playSystemExit() override { ++exitSounds; }
};

} // namespace gc::test
