#pragma once

#include <QValidator>

class QLineEdit;

namespace gc::registers {

// Keeps an input to ASCII digits: Persian and Arabic-Indic digits become ASCII as they are
// typed or pasted; any other character (typed or pasted) is refused.
class DigitsOnlyValidator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Turns Persian and Arabic-Indic digits into ASCII as they are typed or pasted and leaves
// every other character to the input (a date or time mask keeps its own rules).
class AsciiDigitsValidator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

void makeDigitsOnly(QLineEdit* edit);

} // namespace gc::registers
