#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace gc::registers {

// An input and the caption its window shows for it.
struct CaptionedInput {
    QWidget* input = nullptr;
    QString caption;
};

// The check every entry window and filter makes before it saves or searches: the first date or
// time among `inputs` that is impossible or partly typed is refused with a message naming its
// field, and the focus goes there. Inputs that are no date or time are passed over. True when
// nothing was refused.
bool stampsAcceptable(const QList<CaptionedInput>& inputs);

} // namespace gc::registers
