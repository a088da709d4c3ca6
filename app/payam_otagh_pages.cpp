#include "app/payam_otagh_pages.h"

#include "windows/messages/payam_window.h"
#include "windows/rooms/otaghha_window.h"

#include <QAction>
#include <QPushButton>

namespace gc {

void PayamPage::prepare(const PageContext&) {
    window_.prepare();
}

void PayamPage::showModal() {
    window_.exec();
}

PageCommands OtaghPage::commands() {
    return {{window_.ins_btn}, {}, {window_.N1}};
}

void OtaghPage::prepare(const PageContext& context) {
    window_.prepare();
    context.fitHeight(window_);
}

void OtaghPage::showModal() {
    window_.exec();
}

} // namespace gc
