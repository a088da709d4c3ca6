#include "registers/kala/kala_page.h"

#include "registers/kala/kala.h"

#include <QAction>
#include <QPushButton>

namespace gc::registers {

PageCommands KalaPage::commands() {
    return {{window_.ins_btn}, {}, {window_.N1}};
}

void KalaPage::prepare(const PageContext& context) {
    window_.prepare();
    context.fitHeight(window_);
}

void KalaPage::showModal() {
    window_.exec();
}

} // namespace gc::registers
