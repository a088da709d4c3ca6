#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace gc::ui {

namespace {

class DesktopDialogs : public Dialogs {
  public:
    int message(MsgIcon icon, const QString& text, int buttons) override {
        return show(icon, text, buttons, false);
    }

    void selectableMessage(MsgIcon icon, const QString& text) override {
        show(icon, text, Ok, true);
    }

    QString openFileName(const QString& title, const QString& filter) override {
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), filter);
    }

    QString saveFileName(const QString& title, const QString& filter) override {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, QString(), filter);
    }

    QString proposeSaveFileName(const QString& title, const QString& filter,
                                const QString& proposed) override {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
    }

    QString chooseFileName(const QString& title, const QString& filter,
                           const QString& proposed) override {
        QFileDialog dialog(QApplication::activeWindow(), title, proposed, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8("انتخاب"));
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.selectedFiles().value(0);
    }

    std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                     const QString& initial, bool secret) override {
        bool ok = false;
        const QString text =
            QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                  secret ? QLineEdit::Password : QLineEdit::Normal, initial, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }

  private:
    static int show(MsgIcon icon, const QString& text, int buttons, bool selectable) {
        QMessageBox box(iconOf(icon), messageTitle(icon), text, QMessageBox::NoButton,
                        QApplication::activeWindow());
        box.setLayoutDirection(Qt::RightToLeft);
        if (selectable)
            box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        const std::pair<int, QMessageBox::StandardButton> map[] = {{Yes, QMessageBox::Yes},
                                                                   {No, QMessageBox::No},
                                                                   {Cancel, QMessageBox::Cancel},
                                                                   {Ok, QMessageBox::Ok}};
        for (const auto& [ours, theirs] : map)
            if (buttons & ours)
                box.addButton(theirs);
        box.exec();
        const auto clicked = box.standardButton(box.clickedButton());
        for (const auto& [ours, theirs] : map)
            if (clicked == theirs)
                return ours;
        return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
    }

    static QMessageBox::Icon iconOf(MsgIcon icon) {
        switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::None:
            break;
        }
        return QMessageBox::NoIcon;
    }
};

DesktopDialogs desktopDialogs;
Dialogs* current = &desktopDialogs;

} // namespace

QString messageTitle(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QString::fromUtf8("پيام");
    case MsgIcon::Warning:
        return QString::fromUtf8("هشدار");
    case MsgIcon::Question:
        return QString::fromUtf8("پرسش");
    case MsgIcon::Error:
        return QString::fromUtf8("خطا");
    case MsgIcon::None:
        break;
    }
    return QString::fromUtf8("كنترل ورود و خروج");
}

Dialogs& dialogs() {
    return *current;
}

ScopedDialogs::ScopedDialogs(Dialogs& replacement) : previous_(current) {
    current = &replacement;
}

ScopedDialogs::~ScopedDialogs() {
    current = previous_;
}

} // namespace gc::ui
