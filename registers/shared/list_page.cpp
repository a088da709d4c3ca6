#include "registers/shared/list_page.h"

#include "registers/shared/register_list.h"

#include <QAction>

namespace gc::registers {

PageCommands RegisterListPage::commands() {
    return {{list_.insertAction()}, {list_.editAction()}, {list_.deleteAction()}};
}

void RegisterListPage::showModal() {
    list_.exec();
}

} // namespace gc::registers
