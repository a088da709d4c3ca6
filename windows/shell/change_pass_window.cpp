#include "windows/shell/change_pass_window.h"

#include "core/accounts.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/placement.h"
#include "windows/shell/login_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gc {

using ui::MsgIcon;

Tchange_pass::Tchange_pass(Tdm& dm, Tlogin& login, QWidget* parent)
    : QWidget(parent), dm_(dm), login_(login) {
    setObjectName("change_pass");
    setWindowTitle(QString::fromUtf8("تغيير کلمه عبور"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Closing it returns to the login window; it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    Label2 = new QLabel(QString::fromUtf8("كلمه عبور جديد"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setEchoMode(QLineEdit::Password);
    Label3 = new QLabel(QString::fromUtf8("تاييد كلمه عبور"), this);
    Edit2 = new QLineEdit(this);
    Edit2->setEchoMode(QLineEdit::Password);
    BitBtn1 = new QPushButton(QString::fromUtf8("تغيير"), this);
    BitBtn2 = new QPushButton(QString::fromUtf8("انصراف"), this);

    const std::pair<QObject*, const char*> names[] = {{Label2, "Label2"},   {Edit1, "Edit1"},
                                                      {Label3, "Label3"},   {Edit2, "Edit2"},
                                                      {BitBtn1, "BitBtn1"}, {BitBtn2, "BitBtn2"}};
    for (const auto& [object, name] : names)
        object->setObjectName(name);

    auto* form = new QFormLayout;
    form->addRow(Label2, Edit1);
    form->addRow(Label3, Edit2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &Tchange_pass::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tchange_pass::BitBtn2Click);
}

void Tchange_pass::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ui::centreOnScreen(*this);
}

void Tchange_pass::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    login_.show();
}

void Tchange_pass::BitBtn1Click() {
    if (Edit1->text().isEmpty() && Edit2->text().isEmpty()) {
        ui::showMessage(MsgIcon::None, QString::fromUtf8("كلمه عبور صحيح نيست"));
        return;
    }
    if (Edit1->text() != Edit2->text()) {
        ui::showMessage(MsgIcon::None, QString::fromUtf8("كلمه عبور جديد همخواني ندارد"));
        return;
    }
    int changed = 0;
    try {
        changed = ChangePassword(dm_, login_.us->currentText(), login_.ps->text(), Edit1->text());
    } catch (const db::DbError& e) {
        ui::showMessage(MsgIcon::Error, e.message());
        return;
    }
    // Nothing changes when the login's name and password no longer match a user (it
    // was changed or deleted meanwhile); back in the login window they can be retyped.
    ui::showMessage(MsgIcon::None, changed > 0
                                       ? QString::fromUtf8("كلمه عبور تغيير يافت")
                                       : QString::fromUtf8("كلمه عبور تغيير نكرد: نام كاربري و "
                                                           "كلمه عبور فعلي يافت نشد"));
    close();
}

void Tchange_pass::BitBtn2Click() {
    close();
}

} // namespace gc
