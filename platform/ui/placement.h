#pragma once

#include <QMargins>
#include <QRect>
#include <QString>

class QApplication;
class QFont;
class QWidget;

namespace gc::ui {

// The window frame assumed before the window system has told a window its own: a title bar
// and thin borders, as common desktops draw them.
inline constexpr QMargins kAssumedFrame{4, 32, 4, 4};

// The client geometry of a window moved (and, when it cannot fit, made smaller) so that its
// frame lies inside the screen's free area. A window that fits keeps its place and size.
QRect placedInside(const QRect& client, const QMargins& frame, const QRect& available);

// The client geometry of a window of this size centred in the free area, frame included.
QRect centredIn(const QSize& client, const QMargins& frame, const QRect& available);

// The width a window needs so that the title bar shows its whole title, beside the
// window system's icon and buttons.
int titleBarWidth(const QString& title, const QFont& font);

// The frame the window has; while it has never been shown, the frame of another window on
// screen, or the assumed one.
QMargins frameOf(const QWidget& window);

// Centres the window on its screen's free area.
void centreOnScreen(QWidget& window);

// Gives the window its screen's whole free area (for previews of pages).
void fillScreen(QWidget& window);

// Keeps every window the program shows inside its screen: one that would stand out of the
// free area is moved in, and made smaller when it cannot fit. One narrower than its title
// is widened first, where its largest width allows.
void keepWindowsInsideScreen(QApplication& app);

} // namespace gc::ui
