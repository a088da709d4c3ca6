#include "registers/shared/delete_password.h"

#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"

#include <functional>

namespace gc::registers {

namespace {

DeleteOutcome deleteAfterAnswer(db::Query& list, const QString& caption, const QString& prompt,
                                const std::function<QString()>& password) {
    try {
        if (!list.isActive() || list.recNo() == 0)
            return DeleteOutcome::NoRow;
        const QString expected = password();
        const auto answer = ui::dialogs().inputText(caption, prompt, QStringLiteral("?"), true);
        if (!answer)
            return DeleteOutcome::Cancelled;
        if (*answer != expected)
            return DeleteOutcome::WrongPassword;
        list.deleteRecord();
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
        return DeleteOutcome::Failed;
    }
    ui::showMessage(ui::MsgIcon::Information, QStringLiteral("حذف شد"));
    return DeleteOutcome::Deleted;
}

} // namespace

DeleteOutcome DeleteWithPassword(db::Query& list, db::Query& adoq_set) {
    return deleteAfterAnswer(list, QStringLiteral("Delete Password"), presets::kDeletePassword,
                             [&adoq_set] { return presets::deletePassword(adoq_set); });
}

DeleteOutcome DeleteWithCode(db::Query& list, const QString& caption, const QString& prompt,
                             const QString& code) {
    return deleteAfterAnswer(list, caption, prompt, [&code] { return code; });
}

} // namespace gc::registers
