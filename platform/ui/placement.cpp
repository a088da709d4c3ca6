#include "platform/ui/placement.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace gc::ui {

namespace {

// The window system's icon, the close, minimise and maximise buttons, and some air.
constexpr int kTitleBarControls = 120;

// Set on a window once it has been on screen, when the window system knows its frame.
constexpr char kFramed[] = "gcFramed";

QMargins drawnFrame(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QRect availableFor(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A window narrower than its title grows about its middle, where it may.
QRect withRoomForTitle(const QWidget& window) {
    QRect client = window.geometry();
    const int needs = titleBarWidth(window.windowTitle(), QApplication::font());
    const int extra = std::min(needs, window.maximumWidth()) - client.width();
    if (extra > 0)
        client.adjust(-extra / 2, 0, extra - extra / 2, 0);
    return client;
}

// Moves top-level windows inside the screen as they are shown, before the window system
// maps them, wide enough for their titles.
class ScreenKeeper : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        const Qt::WindowType type = window->windowType();
        if (!window->isWindow() || (type != Qt::Window && type != Qt::Dialog) ||
            (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            return false;
        const QRect available = availableFor(*window);
        if (available.isEmpty())
            return false;
        const QMargins frame = frameOf(*window);
        const QRect placed = placedInside(withRoomForTitle(*window), frame, available);
        if (placedByQt(*window))
            window->resize(placed.size());
        else if (placed != window->geometry())
            window->setGeometry(placed);
        window->setProperty(kFramed, true);
        return false;
    }

  private:
    // A dialog never moved by the program is centred over its parent (or the screen) and
    // kept on screen by Qt right after this event; a move here would stop that.
    static bool placedByQt(const QWidget& window) {
        return qobject_cast<const QDialog*>(&window) && !window.testAttribute(Qt::WA_Moved);
    }
};

} // namespace

QRect placedInside(const QRect& client, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    QRect placed(client.topLeft(), client.size().boundedTo(room.size()));
    placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() - placed.height() + 1));
    return placed;
}

QRect centredIn(const QSize& client, const QMargins& frame, const QRect& available) {
    const QRect room = available.marginsRemoved(frame);
    QRect placed(QPoint(), client.boundedTo(room.size()));
    placed.moveCenter(room.center());
    return placed;
}

int titleBarWidth(const QString& title, const QFont& font) {
    QFont bold(font);
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kTitleBarControls;
}

QMargins frameOf(const QWidget& window) {
    const QMargins known = drawnFrame(window);
    if (!known.isNull() || window.property(kFramed).toBool())
        return known;
    // Not on screen yet: the window system frames it as it frames the others.
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other->isVisible() && !drawnFrame(*other).isNull())
            return drawnFrame(*other);
    return kAssumedFrame;
}

void centreOnScreen(QWidget& window) {
    window.setGeometry(centredIn(window.size(), frameOf(window), availableFor(window)));
}

void fillScreen(QWidget& window) {
    const QRect available = availableFor(window);
    window.setGeometry(centredIn(available.size(), frameOf(window), available));
}

void keepWindowsInsideScreen(QApplication& app) {
    app.installEventFilter(new ScreenKeeper(&app));
}

} // namespace gc::ui
