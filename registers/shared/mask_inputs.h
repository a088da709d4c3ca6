#pragma once

#include "core/stamp_text.h"

#include <QLineEdit>

namespace gc::registers {

// What a masked input holds when nothing was typed; stored as it is.
using gc::kBlankDate;
using gc::kBlankTime;

// A date or time input with the program's masks: digits only in the digit places, the
// separators fixed, blanks shown as spaces. Setting the empty text shows the blank mask;
// `text()` reads what is stored, blanks included. A partly filled mask is kept as typed
// until a save or search checks it (stampProblem).
class MaskEdit : public QLineEdit {
    Q_OBJECT
  public:
    enum class Kind { Date, Time };
    MaskEdit(Kind kind, const QString& name, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    QString blankText() const { return kind_ == Kind::Date ? kBlankDate : kBlankTime; }
    // The text as stored: the display text with spaces for the blanks.
    QString storedText() const { return displayText(); }
    void clearToBlank() { setText(QString()); }

    // Never narrower than a whole date or time in the current font.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    // Why the text cannot be saved or searched, naming the field as `caption`; empty when it
    // can: an impossible or partly typed date or time. The blank mask is always acceptable.
    QString stampProblem(const QString& caption) const;

  private:
    int widthForText() const;

    Kind kind_;
};

} // namespace gc::registers
