#include "registers/shared/stamp_check.h"

#include "platform/ui/dialogs.h"
#include "registers/shared/mask_inputs.h"

namespace gc::registers {

bool stampsAcceptable(const QList<CaptionedInput>& inputs) {
    for (const CaptionedInput& c : inputs) {
        const auto* mask = qobject_cast<const MaskEdit*>(c.input);
        const QString problem = mask ? mask->stampProblem(c.caption) : QString();
        if (problem.isEmpty())
            continue;
        ui::showMessage(ui::MsgIcon::Warning, problem);
        c.input->setFocus();
        return false;
    }
    return true;
}

} // namespace gc::registers
