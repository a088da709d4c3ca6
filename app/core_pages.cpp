#include "app/core_pages.h"

#include "capture/dorbin.h"
#include "core/current_user.h"
#include "windows/shell/setting_window.h"
#include "windows/shell/users_window.h"

#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>

namespace gc {

namespace {

// Runs a local loop until the window is hidden, as a modal dialog would.
void showModally(QWidget& window) {
    struct HideWatch : QObject {
        QEventLoop loop;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Hide)
                loop.quit();
            return false;
        }
    } watch;
    window.installEventFilter(&watch);
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    if (window.isVisible())
        watch.loop.exec();
    window.removeEventFilter(&watch);
}

} // namespace

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

void DorbinPage::showModal() {
    showModally(window_);
}

} // namespace gc
