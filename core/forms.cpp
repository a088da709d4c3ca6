#include "core/forms.h"

#include "core/change_pass_window.h"
#include "core/core_pages.h"
#include "core/data_module.h"
#include "core/login_window.h"
#include "core/main_window.h"
#include "core/server_window.h"
#include "core/services.h"
#include "core/setting_window.h"
#include "core/users_window.h"

namespace gc {

Forms::Forms() : Forms(PlatformServices::system()) {}

Forms::Forms(PlatformServices platform)
    : services(std::make_unique<Services>(std::move(platform))) {
    login = std::make_unique<Tlogin>(*this);
    server = std::make_unique<Tserver>();
    dm = std::make_unique<Tdm>();
    setDm(dm.get());
    main = std::make_unique<Tmain>(*dm, *services, *login);
    change_pass = std::make_unique<Tchange_pass>(*dm, *login);
    setting = std::make_unique<Tsetting>(*dm);
    users = std::make_unique<Tusers>(*dm);

    main->registerPage("setting", std::make_unique<SettingPage>(*setting));
    main->registerPage("karbaran", std::make_unique<UsersPage>(*users, services->user()));
}

Forms::~Forms() {
    // Windows first, in the reverse order of creation; the data module outlives them.
    users.reset();
    setting.reset();
    change_pass.reset();
    main.reset();
    server.reset();
    login.reset();
    setDm(nullptr);
    dm.reset();
}

} // namespace gc
