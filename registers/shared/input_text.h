#pragma once

#include <QString>

class QWidget;

namespace gc::registers {

// The text an input holds as the database stores it: a masked input with its blanks,
// a drop-down's edit text, an edit's text, a radio group's chosen item.
QString inputText(const QWidget* input);

// Puts a text into an input; the empty text gives a masked input its blank mask. A
// drop-down's item list is not changed; a radio group keeps its choice for a text that is
// none of its items.
void setInputText(QWidget* input, const QString& text);

} // namespace gc::registers
