#include "registers/shared/mask_inputs.h"

namespace gc::registers {

MaskEdit::MaskEdit(Kind kind, const QString& name, QWidget* parent)
    : QLineEdit(parent), kind_(kind) {
    setObjectName(name);
    // Every digit optional, so that a partly filled date is accepted and stored as typed.
    setInputMask(kind == Kind::Date ? QStringLiteral("0000/00/00; ") : QStringLiteral("00:00; "));
    setMaxLength(kind == Kind::Date ? 10 : 5);
    setLayoutDirection(Qt::LeftToRight);
    setText(QString());
}

} // namespace gc::registers
