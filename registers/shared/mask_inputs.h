#pragma once

#include <QLineEdit>

namespace gc::registers {

// What a masked input holds when nothing was typed; stored as it is.
inline const QString kBlankDate = QStringLiteral("    /  /  ");
inline const QString kBlankTime = QStringLiteral("  :  ");

// A date or time input with the program's masks: digits only in the digit places, the
// separators fixed, blanks shown as spaces. Setting the empty text shows the blank mask;
// `text()` reads what is stored, blanks included (a partly filled mask is kept as typed).
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

  private:
    int widthForText() const;

    Kind kind_;
};

} // namespace gc::registers
