#include "platform/ui/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using gc::ui::MsgIcon;

namespace {

struct SeenBox {
    QString text;
    Qt::TextInteractionFlags flags;
    QStringList buttons;
};

// Shows a message through the desktop's own dialogs and reads the box the user would see.
SeenBox seeBox(const std::function<void()>& show) {
    SeenBox seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen.text = box->text();
        seen.flags = box->textInteractionFlags();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        box->buttons().front()->click();
    });
    poll.start(10);
    show();
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
