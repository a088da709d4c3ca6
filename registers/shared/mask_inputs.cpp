#include "registers/shared/mask_inputs.h"

#include "registers/shared/digit_input.h"

namespace gc::registers {

MaskEdit::MaskEdit(Kind kind, const QString& name, QWidget* parent)
    : QLineEdit(parent), kind_(kind) {
    setObjectName(name);
    // Every digit optional, so that a partly filled date is accepted and stored as typed.
    setInputMask(kind == Kind::Date ? QStringLiteral("0000/00/00; ") : QStringLiteral("00:00; "));
    setMaxLength(kind == Kind::Date ? 10 : 5);
    // The mask takes any script's digits; the checks and the stored text need ASCII ones.
    setValidator(new AsciiDigitsValidator(this));
    setLayoutDirection(Qt::LeftToRight);
    setText(QString());
}

} // namespace gc::registers
