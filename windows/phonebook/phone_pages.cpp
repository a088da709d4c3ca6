#include "windows/phonebook/phone_pages.h"

#include "windows/phonebook/log_window.h"
#include "windows/phonebook/phone_window.h"

#include <QAction>
#include <QPushButton>

namespace gc {

PageCommands PhonePage::commands() {
    return {{window_.ins_btn}, {}, {window_.N1}};
}

void PhonePage::prepare(const PageContext& context) {
    window_.prepare();
    context.fitHeight(window_);
}

void PhonePage::showModal() {
    window_.exec();
}

void LogPage::prepare(const PageContext&) {
    window_.prepare();
}

void LogPage::showModal() {
    window_.exec();
}

} // namespace gc
