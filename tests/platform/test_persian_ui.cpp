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
