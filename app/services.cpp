#include "core/services.h"

#include "platform/xlsx/desktop_opener.h"
#include "registers/shared/list_print.h"

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
    : platform_(std::move(platform)), date_(*platform_.clock), workstation_(*platform_.resolver) {
    if (!platform_.opener)
        platform_.opener = std::make_unique<xlsx::DesktopOpener>();
    if (!platform_.printUi)
        platform_.printUi = std::make_unique<registers::DialogsPrintUi>();
}

} // namespace gc
