#include "registers/asami/asami_page.h"

#include "registers/asami/asami.h"

#include <QAction>
#include <QPushButton>

namespace gc::registers {

PageCommands AsamiPage::commands() {
    return {{window_.ins_btn}, {window_.popup(0)}, {window_.popup(1)}};
}

void AsamiPage::prepare(const PageContext& context) {
    window_.prepare();
    context.fitSize(window_);
}

void AsamiPage::showModal() {
    window_.exec();
}

} // namespace gc::registers
