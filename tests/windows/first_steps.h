#pragma once

// The first admin's first steps in the main window, by clicks at the controls' centres as the
// newcomer makes them: the menus, granting every right in "كاربران", opening a register.

#include "core/page_access.h"
#include "platform/ui/query_grid.h"
#include "support/clicking.h"
#include "support/typing.h"
#include "windows/shell/login_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/users_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace gctest {

inline QAction* menuItem(gc::Tmain& main, const char* name) {
    return main.findChild<QAction*>(name);
}

// Types the name and the password and clicks "ورود".
inline void logInByHand(gc::Tlogin& login, const QString& name, const QString& password) {
    login.show();
    typeKeys(login.us->lineEdit(), name);
    typeKeys(login.ps, password);
    clickCentre(login.BitBtn1);
}

// Clicks an entry of the menu bar at its centre.
inline void clickBar(gc::Tmain& main, QAction* entry) {
    QMenuBar* bar = main.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(entry).center());
}

// Opens the submenu "اطلاعات پايه" and clicks `entry` in it, both at their centres.
inline void clickSubmenu(gc::Tmain& main, QAction* entry) {
    QMenu* menu = menuItem(main, "N4")->menu();
    clickBar(main, menuItem(main, "N4"));
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000));
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
}

// The captions the hint after the first login should quote to lead to the rights, and does not.
inline QStringList captionsTheHintMisses(gc::Tmain& main, const gc::Tusers& users,
                                         const QString& hint) {
    QStringList missed;
    for (const QString& caption :
         {menuItem(main, "N4")->text(), menuItem(main, "N7")->text(), users.ins_btn2->text()})
        if (!hint.contains(QString::fromUtf8("«") + caption + QString::fromUtf8("»")))
            missed << caption;
    return missed;
}

// What the users window showed while every right was granted in it.
struct RightsGranted {
    bool windowShown = false;
    QString rightsOf; // whose rights the boxes showed once the user's row was clicked
};

// Opens "كاربران" from "اطلاعات پايه", clicks `user`'s row, ticks the four boxes that tick a
// right on every page, saves with the diskette and leaves by Escape.
inline RightsGranted grantEveryRightByClicks(gc::Tmain& main, gc::Tusers& users,
                                             const QString& user) {
    RightsGranted seen;
    QTimer::singleShot(0, &users, [&] {
        seen.windowShown = users.isVisible();
        EXPECT_TRUE(clickCellShowing(users.DBGrid1, user)) << "no row " << user.toStdString();
        seen.rightsOf = users.rightsOf->text();
        for (QCheckBox* column : {users.ins_chek, users.edit_chek, users.del_chek, users.show_chek})
            clickCentre(column);
        clickCentre(users.ins_btn2);
        QTest::keyClick(&users, Qt::Key_Escape);
    });
    clickSubmenu(main, menuItem(main, "N7"));
    return seen;
}

// The pages on which the user lacks one of the four rights.
inline QStringList pagesWithoutEveryRight(gc::Tdm& dm, const QString& userId) {
    QStringList pages;
    for (const gc::PageRight& page : gc::PageRights()) {
        const auto right = gc::ReadPageAccess(dm, userId, page.key);
        if (!right || !(right->darj && right->virayesh && right->hazf && right->namayesh))
            pages << page.key;
    }
    return pages;
}

// Clicks the menu bar's `entry`; whether it showed `window`, which is then closed.
inline bool opensFromTheBar(gc::Tmain& main, const char* entry, QWidget& window) {
    bool shown = false;
    QTimer::singleShot(0, &window, [&] {
        shown = window.isVisible();
        window.close();
    });
    clickBar(main, menuItem(main, entry));
    return shown;
}

} // namespace gctest
