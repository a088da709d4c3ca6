#include "core/core_pages.h"

#include "core/current_user.h"
#include "core/setting_window.h"
#include "core/users_window.h"

#include <QLabel>
#include <QPushButton>

namespace gc {

PageCommands UsersPage::commands() {
    return {{window_.ins_btn, window_.ins_btn2}, {}, {window_.N1}};
}

void UsersPage::prepare(const PageContext&) {
    window_.karbar->setText(user_.name());
    window_.prs_id->setText(user_.id());
    window_.prepare();
}

void UsersPage::showModal() {
    window_.exec();
}

PageCommands SettingPage::commands() {
    return {{window_.ins_btn}, {}, {window_.N1}};
}

void SettingPage::prepare(const PageContext& context) {
    window_.prepare();
    context.fitHeight(window_);
}

void SettingPage::showModal() {
    window_.exec();
}

} // namespace gc
