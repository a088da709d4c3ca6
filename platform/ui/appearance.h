#pragma once

#include <QProxyStyle>

class QApplication;
class QStyleOptionButton;

namespace gc::ui {

// Right to left, in Tahoma where installed, else the nearest Persian-capable font, with
// Qt's own Persian translations for the standard buttons and dialogs, the program's
// style, and every window kept inside the screen.
void applyProgramLook(QApplication& app);

// Installs Qt's Persian translations; false when they are not installed.
bool loadPersianTranslations(QApplication& app);

// The desktop's style, but a right-to-left button with an icon shows its icon and caption
// together in its middle, as a left-to-right one does (Qt's styles push the caption
// against the left border).
class ProgramStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

  private:
    void drawRightToLeftLabel(const QStyleOptionButton& button, QPainter* painter,
                              const QWidget* widget) const;
};

} // namespace gc::ui
