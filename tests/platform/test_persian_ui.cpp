#include "platform/text/bidi.h"
#include "platform/ui/appearance.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

bool isPersian(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x0600 && c.unicode() <= 0x06FF)
            return true;
    return false;
}

} // namespace

TEST(PersianUi, StandardButtonsSpeakPersianOnceQtsTranslationsAreLoaded) {
    ASSERT_TRUE(gc::ui::loadPersianTranslations(*qApp))
        << "Qt's Persian translations are not installed (qt6-translations-l10n)";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        EXPECT_TRUE(isPersian(box.button(b)->text())) << box.button(b)->text().toStdString();
}

TEST(PersianUi, EveryKindOfMessageHasAPersianTitle) {
    using gc::ui::MsgIcon;
    for (MsgIcon icon :
         {MsgIcon::None, MsgIcon::Information, MsgIcon::Warning, MsgIcon::Question, MsgIcon::Error})
        EXPECT_TRUE(isPersian(gc::ui::messageTitle(icon)));
    EXPECT_NE(gc::ui::messageTitle(MsgIcon::Warning), gc::ui::messageTitle(MsgIcon::Error));
}

TEST(PersianUi, LeftToRightRunsAreIsolated) {
    EXPECT_EQ(gc::text::isolatedLtr("/tmp/a b.bmp"),
              QString(QChar(0x2066)) + "/tmp/a b.bmp" + QChar(0x2069));
}

// Desktops that give dialog buttons icons ("بله" with a tick): the icon and the caption stand
// together in the button's middle, the icon on the right, in the program's style.
TEST(PersianUi, AButtonWithAnIconKeepsItsCaptionInTheMiddle) {
    QApplication::setStyle(new gc::ui::ProgramStyle);
    qApp->setLayoutDirection(Qt::RightToLeft);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    for (const char* caption : {"بله", "تأیید", "&نه"}) {
        QPushButton button(QString::fromUtf8(caption));
        button.setIcon(QIcon(red));
        button.resize(80, 30);
        const QImage shot = button.grab().toImage();
        int inkLeft = shot.width(), inkRight = -1, iconLeft = shot.width(), textRight = -1;
        // Ink: the red icon and the dark caption, inside the button's frame.
        for (int x = 3; x < shot.width() - 3; ++x)
            for (int y = 4; y < shot.height() - 4; ++y) {
                const QRgb p = shot.pixel(x, y);
                const bool icon = p == qRgb(255, 0, 0);
                if (!icon && qGray(p) >= 128)
                    continue;
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
                if (icon)
                    iconLeft = std::min(iconLeft, x);
                else
                    textRight = std::max(textRight, x);
            }
        ASSERT_GE(inkRight, 0) << caption;
        const int leftGap = inkLeft, rightGap = shot.width() - 1 - inkRight;
        EXPECT_LE(std::abs(leftGap - rightGap), 4)
            << caption << ": " << leftGap << " px on the left, " << rightGap << " on the right";
        EXPECT_LT(textRight, iconLeft) << caption << ": the icon stands right of the caption";
    }
}
