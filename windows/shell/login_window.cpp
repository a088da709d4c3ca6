#include "windows/shell/login_window.h"

#include "core/accounts.h"
#include "core/data_module.h"
#include "core/services.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/placement.h"
#include "platform/ui/widgets.h"
#include "windows/shell/change_pass_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/server_window.h"
#include "windows/shell/shell_forms.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace gc {

using ui::ClickableLabel;
using ui::MsgIcon;

namespace {

ClickableLabel* linkLabel(const QString& text, QWidget* parent) {
    auto* label = new ClickableLabel(text, parent);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

QLabel* icon(QStyle::StandardPixmap which, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(parent->style()->standardIcon(which).pixmap(16, 16));
    return label;
}

void showDbError(const db::DbError& e) {
    ui::showMessage(MsgIcon::Error, e.message());
}

} // namespace

Tlogin::Tlogin(ShellForms& forms, QWidget* parent) : QWidget(parent), forms_(forms) {
    setObjectName("login");
    setWindowTitle(QString::fromUtf8("صفحه ورود"));
    setLayoutDirection(Qt::RightToLeft);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, true);

    Label1 = new QLabel(QString::fromUtf8("نام كاربري"), this);
    us = new QComboBox(this);
    us->setEditable(true);
    us->setInsertPolicy(QComboBox::NoInsert);
    Label2 = new QLabel(QString::fromUtf8("كلمه عبور"), this);
    ps = new QLineEdit(this);
    ps->setEchoMode(QLineEdit::Password);
    BitBtn1 = new QPushButton(QString::fromUtf8("ورود"), this);
    BitBtn2 = new QPushButton(QString::fromUtf8("انصراف"), this);
    Label3 = linkLabel(QString::fromUtf8("تغيير كلمه عبور"), this);
    Label4 = linkLabel(QString::fromUtf8("تغيير بانك اطلاعاتي"), this);
    Image1 = icon(QStyle::SP_DirHomeIcon, this);
    Image2 = icon(QStyle::SP_DialogApplyButton, this);

    const std::pair<QObject*, const char*> names[] = {
        {Label1, "Label1"},   {us, "us"},           {Label2, "Label2"}, {ps, "ps"},
        {BitBtn1, "BitBtn1"}, {BitBtn2, "BitBtn2"}, {Label3, "Label3"}, {Label4, "Label4"},
        {Image1, "Image1"},   {Image2, "Image2"}};
    for (const auto& [object, name] : names)
        object->setObjectName(name);

    buildLayout();

    showServerModal = [&forms] { forms.server->exec(); };

    us->installEventFilter(this);
    connect(ps, &QLineEdit::returnPressed, BitBtn1, &QPushButton::click);
    connect(BitBtn1, &QPushButton::clicked, this, &Tlogin::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tlogin::BitBtn2Click);
    connect(Label3, &ClickableLabel::clicked, this, &Tlogin::Label3Click);
    connect(Label4, &ClickableLabel::clicked, this, &Tlogin::Label4Click);
}

void Tlogin::buildLayout() {
    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(us, 0, 1);
    grid->addWidget(Image1, 0, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(ps, 1, 1);
    grid->addWidget(Image2, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* links = new QHBoxLayout;
    links->addWidget(Label3);
    links->addStretch();
    links->addWidget(Label4);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    top->addLayout(links);
}

void Tlogin::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ui::centreOnScreen(*this);
    FormShow();
}

void Tlogin::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        BitBtn2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Tlogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == us && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ps->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// No users table yet: the settings window can create it, and the list then shows its users
// in the window at its own size, centred.
void Tlogin::FormShow() {
    if (loadUserNames())
        return;
    showServerModal();
    loadUserNames();
    adjustSize();
    ui::centreOnScreen(*this);
}

bool Tlogin::loadUserNames() {
    const QString typed = us->currentText();
    us->blockSignals(true);
    us->clear();
    bool read = true;
    try {
        QStringList names = UserNames(*forms_.dm);
        names.sort();
        us->addItems(names);
    } catch (const db::DbError&) {
        read = false;
    }
    us->setEditText(typed);
    us->blockSignals(false);
    return read;
}

std::optional<QString> Tlogin::typedUser(const QString& refusal) {
    try {
        if (auto id = FindLoginUser(*forms_.dm, us->currentText(), ps->text()))
            return id;
        ui::showMessage(MsgIcon::None, refusal);
    } catch (const db::DbError& e) {
        showDbError(e);
    }
    return std::nullopt;
}

void Tlogin::BitBtn1Click() {
    const auto id = typedUser(QString::fromUtf8("کلمه يا رمز عبور اشتباه است"));
    if (!id)
        return;
    Services& services = *forms_.services;
    services.user().set(*id, us->currentText());
    Tmain& main = *forms_.main;
    main.FormResize();
    main.Timer1->start();
    main.showMaximized();
    hide();
    main.afterLogin(services.keyboard().activatePersian());
}

void Tlogin::BitBtn2Click() {
    close();
}

void Tlogin::Label3Click() {
    if (!typedUser(QString::fromUtf8("كلمه و رمز عبور را در صفحه فعلي درست وارد نماييد")))
        return;
    hide();
    forms_.change_pass->show();
}

void Tlogin::Label4Click() {
    ui::showMessage(MsgIcon::None, QString::fromUtf8("مسير بانك اطلاعاتي را مي توانيد تغيير دهيد"));
    showServerModal();
}

} // namespace gc
