#include "registers/shared/input_text.h"

#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace gc::registers {

QString inputText(const QWidget* input) {
    if (const auto* mask = qobject_cast<const MaskEdit*>(input))
        return mask->storedText();
    if (const auto* edit = qobject_cast<const QLineEdit*>(input))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(input))
        return combo->currentText();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(input))
        return memo->toPlainText();
    return {};
}

void setInputText(QWidget* input, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(input)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(input)) {
        if (combo->isEditable())
            combo->setEditText(text);
        else
            combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(input)) {
        memo->setPlainText(text);
    }
}

} // namespace gc::registers
