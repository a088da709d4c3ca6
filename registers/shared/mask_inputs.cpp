#include "registers/shared/mask_inputs.h"

#include "registers/shared/digit_input.h"

#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

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

QString MaskEdit::stampProblem(const QString& caption) const {
    const QString text = storedText();
    if (kind_ == Kind::Date)
        return IsAcceptableDate(text) ? QString() : BadDateMessage(caption, text);
    return IsAcceptableTime(text) ? QString() : BadTimeMessage(caption, text);
}

QSize MaskEdit::minimumSizeHint() const {
    QSize hint = QLineEdit::minimumSizeHint();
    hint.setWidth(std::max(hint.width(), widthForText()));
    return hint;
}

QSize MaskEdit::sizeHint() const {
    QSize hint = QLineEdit::sizeHint();
    hint.setWidth(std::max(hint.width(), widthForText()));
    return hint;
}

int MaskEdit::widthForText() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins();
    const int text = fontMetrics().horizontalAdvance(kind_ == Kind::Date ? "0000/00/00" : "00:00");
    // The edit's own two pixels on each side and the cursor.
    const QSize contents(text + margins.left() + margins.right() + 2 * 2 + 1,
                         fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this).width();
}

} // namespace gc::registers
