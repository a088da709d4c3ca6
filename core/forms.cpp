#include "core/forms.h"

#include "core/change_pass_window.h"
#include "core/data_module.h"
#include "core/login_window.h"
#include "core/main_window.h"
#include "core/server_window.h"
#include "core/services.h"

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
}

Forms::~Forms() {
    // Windows first, in the reverse order of creation; the data module outlives them.
    change_pass.reset();
    main.reset();
    server.reset();
    login.reset();
    setDm(nullptr);
    dm.reset();
}

} // namespace gc
