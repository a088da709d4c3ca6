#include "registers/shared/input_text.h"

#include "platform/ui/widgets.h"
#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

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
    if (const auto* radio = qobject_cast<const ui::RadioGroup*>(input)) {
        const QRadioButton* item = radio->button(radio->itemIndex());
        return item ? item->text() : QString();
    }
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
    } else if (auto* radio = qobject_cast<ui::RadioGroup*>(input)) {
        // A text that is none of the items leaves the choice as it was.
        for (int i = 0; radio->button(i); ++i)
            if (radio->button(i)->text() == text)
                radio->setItemIndex(i);
    }
}

} // namespace gc::registers
