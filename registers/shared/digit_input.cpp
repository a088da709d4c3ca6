#include "registers/shared/digit_input.h"

#include "core/digits.h"

#include <QLineEdit>

namespace gc::registers {

QValidator::State DigitsOnlyValidator::validate(QString& input, int&) const {
    input = toAsciiDigits(input);
    return isAsciiDigits(input) ? Acceptable : Invalid;
}

QValidator::State AsciiDigitsValidator::validate(QString& input, int&) const {
    input = toAsciiDigits(input);
    return Acceptable;
}

void makeDigitsOnly(QLineEdit* edit) {
    edit->setValidator(new DigitsOnlyValidator(edit));
}

} // namespace gc::registers
