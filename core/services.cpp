#include "core/services.h"

namespace gc {

PlatformServices PlatformServices::system() {
    PlatformServices s;
    s.clock = std::make_unique<platform::SystemClock>();
    s.resolver = std::make_unique<platform::SystemHostResolver>();
    s.keyboard = std::make_unique<platform::SystemKeyboardLayout>();
    s.sound = std::make_unique<platform::DesktopSound>();
    return s;
}

Services::Services(PlatformServices platform)
    : platform_(std::move(platform)), date_(*platform_.clock), workstation_(*platform_.resolver) {}

} // namespace gc
