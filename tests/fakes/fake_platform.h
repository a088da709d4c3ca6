#pragma once

#include "platform/keyboard/keyboard_layout.h"
#include "platform/sound/system_sound.h"

namespace gc::test {

// Counts the switches asked for; answers as the test says.
class FakeKeyboardLayout final : public platform::KeyboardLayout {
  public:
    bool available = true;
    int activations = 0;
    bool activatePersian() override {
        ++activations;
        return available;
    }
};

// Counts the sounds that would have played.
class FakeSystemSound final : public platform::SystemSound {
  public:
    int exitSounds = 0;
    void playSystemExit() override { ++exitSounds; }
};

} // namespace gc::test
