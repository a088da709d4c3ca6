#include "core/forms.h"

#include "core/data_module.h"
#include "core/login_window.h"
#include "core/server_window.h"

namespace gc {

namespace {

template <typename T, typename... Args> std::unique_ptr<T> make(Args&&... args) {
    return std::make_unique<T>(std::forward<Args>(args)...);
}

} // namespace

Forms::Forms() {
    login = make<Tlogin>();
    server = make<Tserver>();
    dm = make<Tdm>();
    setDm(dm.get());
}

Forms::~Forms() {
    setDm(nullptr);
    server.reset();
    dm.reset();
    login.reset();
}

} // namespace gc
