#include "platform/text/bidi.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/file_dialogs.h"
#include "support/workstation_zone.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using gc::ui::MsgIcon;

namespace {

struct SeenBox {
    QString text;
    Qt::TextInteractionFlags flags;
    QStringList buttons;
};

// Shows a message through the desktop's own dialogs, hands the box the user would see to
// `use`, then closes it with its first button.
void onBox(const std::function<void()>& show, const std::function<void(QMessageBox&)>& use) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        use(*box);
        box->buttons().front()->click();
    });
    poll.start(10);
    show();
}

// What the box shows: its text, how it may be selected, its buttons.
SeenBox seeBox(const std::function<void()>& show) {
    SeenBox seen;
    onBox(show, [&](QMessageBox& box) {
        seen.text = box.text();
        seen.flags = box.textInteractionFlags();
        for (QAbstractButton* b : box.buttons())
            seen.buttons << b->text();
    });
    return seen;
}

} // namespace

TEST(DesktopDialogs, WhereAFileIsKeptIsTextTheUserCanSelect) {
    const QString text =
        QStringLiteral("فايل در اين مسير ذخيره شد:\n/home/u/Documents/gatecontrol/a.xlsx");
    const SeenBox seen =
        seeBox([&] { gc::ui::dialogs().selectableMessage(MsgIcon::Information, text); });
    EXPECT_EQ(seen.text, text);
    EXPECT_TRUE(seen.flags.testFlag(Qt::TextSelectableByMouse));
    EXPECT_EQ(seen.buttons.size(), 1);
}

// A path copied out of a message, its whole text or the path selected in it, reaches the
// clipboard without the marks that order it on screen, so it opens where pasted.
TEST(DesktopDialogs, APathCopiedOutOfAMessageCarriesNoOrderMarks) {
    const QString path = QStringLiteral("/home/u/اسناد/ليست 1405-09-16.xlsx");
    const QString text = QStringLiteral("فايل در اين مسير ذخيره شد: ") + gc::text::quotedLtr(path);
    ASSERT_NE(gc::text::quotedLtr(path), QStringLiteral("«") + path + QStringLiteral("»"));
    QClipboard* clipboard = QGuiApplication::clipboard();
    QStringList copied;
    const auto show = [&] { gc::ui::dialogs().selectableMessage(MsgIcon::Information, text); };
    onBox(show, [&](QMessageBox& box) {
        QApplication::setActiveWindow(&box);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        auto* label = box.findChild<QLabel*>("qt_msgbox_label");
        const int from = int(label->text().indexOf(QStringLiteral("«")));
        for (const auto& [start, length] : {std::pair{0, int(label->text().size())},
                                            std::pair{from, int(label->text().size()) - from}}) {
            clipboard->clear();
            label->setSelection(start, length);
            QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
            copied << clipboard->text();
        }
    });
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied[0],
              QStringLiteral("فايل در اين مسير ذخيره شد: «") + path + QStringLiteral("»"));
    EXPECT_EQ(copied[1], QStringLiteral("«") + path + QStringLiteral("»"));
}

// A file changed at Nowruz 1403 (20 March 2024, 09:30 in Tehran) is listed under that date,
// in the program's digits; the dialog passes a proposed name through.
TEST(DesktopDialogs, FileDialogsListDatesInTheSolarHijriCalendar) {
    const gctest::WorkstationZone tehran("Asia/Tehran");
    QTemporaryDir dir;
    QFile file(dir.filePath("gate.db"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QDateTime nowruz(QDate(2024, 3, 20), QTime(9, 30));
    ASSERT_TRUE(file.setFileTime(nowruz, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(gc::ui::solarHijriStamp(nowruz), "1403/01/01 09:30");
    EXPECT_EQ(gc::ui::solarHijriStamp(QDateTime(QDate(2025, 3, 20), QTime(23, 59))),
              "1403/12/30 23:59")
        << "1403 is a leap year";

    const auto dialog =
        gc::ui::fileDialog(QFileDialog::AcceptSave, "title", "*.db", dir.filePath("gate.db"));
    dialog->show();
    QAbstractItemModel* model = dialog->proxyModel();
    ASSERT_NE(model, nullptr);
    QString listed;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QModelIndexList found =
                model->match(model->index(0, 0, QModelIndex()), Qt::DisplayRole, "gate.db", 1,
                             Qt::MatchExactly | Qt::MatchRecursive);
            if (found.isEmpty())
                return false;
            listed = found.first().siblingAtColumn(3).data().toString();
            return true;
        },
        5000));
    EXPECT_EQ(listed, "1403/01/01 09:30");
    EXPECT_EQ(dialog->selectedFiles().value(0), dir.filePath("gate.db"));
    dialog->hide();
}

// The folder's path and the file patterns read in their order in a right-to-left program
// ("/tmp", not "tmp/"): drawn as in a left-to-right one.
TEST(DesktopDialogs, PathsAndPatternsReadInTheirOrder) {
    const Qt::LayoutDirection before = QApplication::layoutDirection();
    const auto drawn = [](Qt::LayoutDirection program, const char* name) {
        QApplication::setLayoutDirection(program);
        const auto dialog =
            gc::ui::fileDialog(QFileDialog::AcceptOpen, "title", "Database (*.db)", "/tmp");
        auto* box = dialog->findChild<QComboBox*>(name);
        if (!box)
            return QImage();
        box->setLayoutDirection(Qt::LeftToRight); // arrow and text in the same place
        box->resize(300, box->sizeHint().height());
        return box->grab().toImage();
    };
    for (const char* name : {"lookInCombo", "fileTypeCombo"}) {
        const QImage rtl = drawn(Qt::RightToLeft, name);
        const QImage ltr = drawn(Qt::LeftToRight, name);
        ASSERT_FALSE(rtl.isNull()) << name;
        EXPECT_TRUE(rtl == ltr) << name;
    }
    QApplication::setLayoutDirection(before);
}
