#include "platform/ui/placement.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <gtest/gtest.h>

using gc::ui::centredIn;
using gc::ui::placedInside;

namespace {

const QRect kScreen(0, 0, 1366, 728); // 1366 x 768 less a 40 px panel
const QMargins kFrame(4, 32, 4, 4);

} // namespace

TEST(Placement, AWindowThatFitsKeepsItsPlaceAndSize) {
    const QRect client(100, 100, 400, 300);
    EXPECT_EQ(placedInside(client, kFrame, kScreen), client);
}

// The personnel list reopened 19 px below the screen's bottom: moved up, frame included.
TEST(Placement, AWindowStandingOutIsMovedInFrameIncluded) {
    const QRect placed = placedInside(QRect(30, 60, 1336, 664), kFrame, kScreen);
    EXPECT_EQ(placed.size(), QSize(1336, 664));
    EXPECT_TRUE(kScreen.contains(placed.marginsAdded(kFrame)));
    EXPECT_EQ(placed.bottom() + kFrame.bottom(), kScreen.bottom());

    const QRect left = placedInside(QRect(-50, -10, 300, 200), kFrame, kScreen);
    EXPECT_EQ(left.topLeft(), QPoint(4, 32));
}

TEST(Placement, AWindowLargerThanTheScreenIsMadeSmaller) {
    const QRect placed = placedInside(QRect(0, 0, 1400, 800), kFrame, kScreen);
    EXPECT_EQ(placed.marginsAdded(kFrame), kScreen);
}

TEST(Placement, CentredFrameIncluded) {
    const QRect placed = centredIn(QSize(538, 579), kFrame, kScreen);
    const QRect frame = placed.marginsAdded(kFrame);
    EXPECT_LE(std::abs(frame.center().x() - kScreen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - kScreen.center().y()), 1);
}

// Shown through the program's keeper: a window sized past the screen's bottom right comes
// back inside, and one narrower than its title is widened to it.
TEST(Placement, ShownWindowsAreKeptInsideAndWideEnoughForTheirTitles) {
    gc::ui::keepWindowsInsideScreen(*qApp);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QDialog tall;
    tall.setGeometry(screen.right() - 100, screen.bottom() - 100, 300, screen.height() + 50);
    tall.show();
    EXPECT_TRUE(screen.contains(tall.frameGeometry()));

    QDialog narrow;
    narrow.setWindowTitle(QString::fromUtf8("ثبت/ويرايش پاركينگ"));
    narrow.resize(120, 80);
    narrow.show();
    EXPECT_GE(narrow.frameGeometry().width(),
              gc::ui::titleBarWidth(narrow.windowTitle(), QApplication::font()));

    QDialog fixed;
    fixed.setWindowTitle(narrow.windowTitle());
    fixed.setFixedSize(120, 80);
    fixed.show();
    EXPECT_EQ(fixed.width(), 120) << "a fixed width is kept";
}

// A dialog the program never placed opens where Qt puts it: centred over the screen, or
// over the window it belongs to, not pushed into the screen's corner.
TEST(Placement, ADialogNeverMovedOpensCentred) {
    gc::ui::keepWindowsInsideScreen(*qApp);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QDialog alone;
    alone.resize(300, 120);
    alone.show();
    EXPECT_LE((alone.frameGeometry().center() - screen.center()).manhattanLength(), 4);

    QWidget owner;
    owner.setGeometry(screen.left() + 100, screen.top() + 100, 600, 400);
    owner.show();
    QDialog child(&owner);
    child.resize(200, 100);
    child.show();
    EXPECT_LE((child.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
              4);
}
