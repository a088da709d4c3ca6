#include "registers/shared/delete_password.h"

#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "registers/shared/preset_lists.h"

namespace gc::registers {

DeleteOutcome DeleteWithPassword(db::Query& list, db::Query& adoq_set) {
    try {
        if (!list.isActive() || list.recNo() == 0)
            return DeleteOutcome::NoRow;
        const QString password = ReadDeletePassword(adoq_set);
        const auto answer = ui::dialogs().inputText(QStringLiteral("Delete Password"),
                                                    kDeletePasswordList, QStringLiteral("?"), true);
        if (!answer)
            return DeleteOutcome::Cancelled;
        if (*answer != password)
            return DeleteOutcome::WrongPassword;
        list.deleteRecord();
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
        return DeleteOutcome::Failed;
    }
    ui::showMessage(ui::MsgIcon::Information, QStringLiteral("حذف شد"));
    return DeleteOutcome::Deleted;
}

} // namespace gc::registers
