#include "platform/ui/dialogs.h"

#include "platform/text/bidi.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/placement.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>

namespace gc::ui {

namespace {

const std::pair<int, QMessageBox::StandardButton> kButtons[] = {{Yes, QMessageBox::Yes},
                                                                {No, QMessageBox::No},
                                                                {Cancel, QMessageBox::Cancel},
                                                                {Ok, QMessageBox::Ok}};

QMessageBox::Icon iconOf(MsgIcon icon) {
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

class DesktopDialogs : public Dialogs {
  public:
    int message(MsgIcon icon, const QString& text, int buttons) override {
        return show(icon, text, buttons, false);
    }

    void selectableMessage(MsgIcon icon, const QString& text) override {
        show(icon, text, Ok, true);
    }

    QString openFileName(const QString& title, const QString& filter) override {
        return chosenFile(*fileDialog(QFileDialog::AcceptOpen, title, filter, QString(),
                                      QApplication::activeWindow()));
    }

    QString saveFileName(const QString& title, const QString& filter) override {
        return proposeSaveFileName(title, filter, QString());
    }

    QString proposeSaveFileName(const QString& title, const QString& filter,
                                const QString& proposed) override {
        return chosenFile(*fileDialog(QFileDialog::AcceptSave, title, filter, proposed,
                                      QApplication::activeWindow()));
    }

    QString chooseFileName(const QString& title, const QString& filter,
                           const QString& proposed) override {
        const auto dialog = fileDialog(QFileDialog::AcceptSave, title, filter, proposed,
                                       QApplication::activeWindow());
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setLabelText(QFileDialog::Accept, QString::fromUtf8("انتخاب"));
        return chosenFile(*dialog);
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
        const auto box = messageBox(icon, text, buttons, QApplication::activeWindow());
        if (selectable)
            box->setTextInteractionFlags(Qt::TextSelectableByMouse);
        box->exec();
        const auto clicked = box->standardButton(box->clickedButton());
        for (const auto& [ours, theirs] : kButtons)
            if (clicked == theirs)
                return ours;
        return (buttons & Cancel) ? Cancel : (buttons & No) ? No : Ok;
    }
};

DesktopDialogs desktopDialogs;

// The marks that keep a path in its order on screen would go with it when copied, and a path
// pasted with them does not open: what is copied out of the box (a selection in its text, or
// the whole box where the desktop copies it with Ctrl+C) is put back without them. A copy made in
// another program while the box is not active is left alone.
void copyWithoutBidiControls(QMessageBox& box) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto strip = [clipboard, &box](QClipboard::Mode mode) {
        if (!box.isActiveWindow())
            return;
        const QString copied = clipboard->text(mode);
        const QString plain = text::withoutBidiControls(copied);
        if (plain != copied)
            clipboard->setText(plain, mode);
    };
    QObject::connect(clipboard, &QClipboard::changed, &box, strip);
}

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

std::unique_ptr<QMessageBox> messageBox(MsgIcon icon, const QString& text, int buttons,
                                        QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(iconOf(icon), messageTitle(icon), text,
                                             QMessageBox::NoButton, parent);
    box->setLayoutDirection(Qt::RightToLeft);
    copyWithoutBidiControls(*box);
    for (const auto& [ours, theirs] : kButtons)
        if (buttons & ours)
            box->addButton(theirs);
    // A short message would leave the box narrower than its title, which the title bar
    // then cuts.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(box->windowTitle(), box->font()), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
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
