#include "platform/text/bidi.h"
#include "platform/ui/appearance.h"
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QGlyphRun>
#include <QMessageBox>
#include <QPushButton>
#include <QTextLayout>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

bool isPersian(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x0600 && c.unicode() <= 0x06FF)
            return true;
    return false;
}

// The characters of `text` as Qt shows them on one right-to-left line, from left to right
// (the invisible direction marks left out).
QString shownLeftToRight(const QString& text) {
    QTextLayout layout(text, QApplication::font());
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine().setLineWidth(100000);
    layout.endLayout();
    std::multimap<qreal, QChar> byPlace;
    for (int i = 0; i < text.size(); ++i) {
        const QList<QGlyphRun> runs = layout.glyphRuns(i, 1);
        if (!runs.isEmpty() && !runs[0].positions().isEmpty())
            byPlace.emplace(runs[0].positions()[0].x() + runs[0].boundingRect().width() / 2,
                            text[i]);
    }
    QString out;
    for (const auto& [x, c] : byPlace)
        if (c.category() != QChar::Other_Format)
            out += c;
    return out;
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

    // A kept export: a Persian name, then the date and time, inside a Persian message.
    const QString name = QString::fromUtf8("ليست");
    const QString path = "/home/u/" + name + " 1405-09-16 12-38-02.xlsx";
    QString reversedName = name;
    std::reverse(reversedName.begin(), reversedName.end());
    const QString message = QString::fromUtf8("فايل در اين مسير است: ");
    EXPECT_TRUE(shownLeftToRight(message + gc::text::isolatedLtr(path))
                    .startsWith("/home/u/" + reversedName + " 1405-09-16 12-38-02.xlsx"))
        << shownLeftToRight(message + gc::text::isolatedLtr(path)).toStdString();
    EXPECT_FALSE(shownLeftToRight(message + path).contains("1405-09-16 12-38-02.xlsx"));
    EXPECT_TRUE(shownLeftToRight(gc::text::quotedLtr("C:/gate 2/db.sqlite"))
                    .contains("C:/gate 2/db.sqlite"));
    // An engine's message of two lines: each line is an isolate of its own.
    EXPECT_EQ(gc::text::isolatedLtr("ERROR: x\n(22001)"), QString(QChar(0x2066)) + "ERROR: x" +
                                                              QChar(0x2069) + "\n" + QChar(0x2066) +
                                                              "(22001)" + QChar(0x2069));
}

// A control of the order inside a name cannot end its isolate: it is shown by its code, and
// the text after the name stays outside the isolate, where it belongs.
TEST(PersianUi, AnOrderControlInsideARunCannotEndItsIsolate) {
    const QString path = QString("/tmp/a") + QChar(0x2069) + "b" + QChar(0x202E) + "c.db";
    const QString isolated = gc::text::isolatedLtr(path);
    EXPECT_EQ(isolated, QString(QChar(0x2066)) + "/tmp/a<U+2069>b<U+202E>c.db" + QChar(0x2069));
    const QString message =
        QString::fromUtf8("فايل ") + gc::text::quotedLtr(path) + QString::fromUtf8(" باز نمي شود");
    EXPECT_TRUE(shownLeftToRight(message).contains("/tmp/a<U+2069>b<U+202E>c.db"))
        << shownLeftToRight(message).toStdString();
    EXPECT_EQ(isolated.count(QChar(0x2066)), 1);
    EXPECT_EQ(isolated.count(QChar(0x2069)), 1);
    // A carriage return ends a paragraph, and with it the isolate, as a line feed does.
    EXPECT_EQ(gc::text::isolatedLtr("a\rb"), QString(QChar(0x2066)) + "a" + QChar(0x2069) + "\r" +
                                                 QChar(0x2066) + "b" + QChar(0x2069));
    EXPECT_EQ(gc::text::withoutBidiControls(gc::text::quotedLtr("/tmp/ليست 1405.xlsx")),
              QString::fromUtf8("«/tmp/ليست 1405.xlsx»"));
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
