#pragma once

#include "core/current_user.h"
#include "core/persian_date.h"
#include "platform/keyboard/keyboard_layout.h"
#include "platform/net/host_resolver.h"
#include "platform/net/workstation.h"
#include "platform/report/output.h"
#include "platform/sound/system_sound.h"
#include "platform/xlsx/file_opener.h"

#include <memory>

namespace gc {

// The platform layers the program runs on; tests put fakes in their place.
struct PlatformServices {
    std::unique_ptr<platform::Clock> clock;
    std::unique_ptr<platform::HostResolver> resolver;
    std::unique_ptr<platform::KeyboardLayout> keyboard;
    std::unique_ptr<platform::SystemSound> sound;
    // Where exported workbooks open and how print questions are asked; the desktop's
    // own when left empty.
    std::unique_ptr<xlsx::FileOpener> opener;
    std::unique_ptr<report::PrintUi> printUi;

    // The system's own clock, resolver, keyboard layout and sound.
    static PlatformServices system();
};

// The one owner of what the whole program shares besides its windows and data
// module: the current date, the workstation's address, the keyboard layout, the
// sound and the current user. Windows get it by reference. Defined in app/services.cpp,
// which puts the desktop's opener and print questions where none are given.
class Services {
  public:
    explicit Services(PlatformServices platform);
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    platform::Clock& clock() { return *platform_.clock; }
    CurrentPersianDate& date() { return date_; }
    platform::Workstation& workstation() { return workstation_; }
    platform::KeyboardLayout& keyboard() { return *platform_.keyboard; }
    platform::SystemSound& sound() { return *platform_.sound; }
    CurrentUser& user() { return user_; }
    xlsx::FileOpener& opener() { return *platform_.opener; }
    report::PrintUi& printUi() { return *platform_.printUi; }

  private:
    PlatformServices platform_;
    CurrentPersianDate date_;
    platform::Workstation workstation_;
    CurrentUser user_;
};

} // namespace gc
