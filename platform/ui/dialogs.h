#pragma once

#include <QString>
#include <memory>
#include <optional>

class QMessageBox;
class QWidget;

namespace gc::ui {

enum class MsgIcon { None, Information, Warning, Question, Error };

enum MsgButton { Yes = 0x1, No = 0x2, Cancel = 0x4, Ok = 0x8 };

// Every modal question and file choice of the program goes through here, with the
// program's exact texts and buttons, so that tests can answer without blocking.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Returns the button pressed (Cancel, or No where there is no Cancel, when closed).
    virtual int message(MsgIcon icon, const QString& text, int buttons) = 0;
    // A message with an Ok button whose text the user can select and copy (where a file is).
    virtual void selectableMessage(MsgIcon icon, const QString& text) { message(icon, text, Ok); }
    // Empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& filter) = 0;
    // The same with a file name proposed in the dialog.
    virtual QString proposeSaveFileName(const QString& title, const QString& filter,
                                        const QString& proposed) {
        Q_UNUSED(proposed);
        return saveFileName(title, filter);
    }
    // A file to use, existing or new: a save dialog that does not ask before "overwriting".
    virtual QString chooseFileName(const QString& title, const QString& filter,
                                   const QString& proposed) {
        return proposeSaveFileName(title, filter, proposed);
    }
    // nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                             const QString& initial, bool secret) = 0;
};

// The dialogs in use: the desktop's own unless a test put others in place.
Dialogs& dialogs();

// Puts other dialogs in place for the lifetime of this object.
class ScopedDialogs {
  public:
    explicit ScopedDialogs(Dialogs& replacement);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

  private:
    Dialogs* previous_;
};

// The Persian title of a message box of that kind.
QString messageTitle(MsgIcon icon);

// The message box the program shows, not yet shown: right to left, with its buttons, and
// wide enough for its whole title.
std::unique_ptr<QMessageBox> messageBox(MsgIcon icon, const QString& text, int buttons,
                                        QWidget* parent);

// Shorthand with the program's usual button.

inline int showMessage(MsgIcon icon, const QString& text, int buttons = Ok) {
    return dialogs().message(icon, text, buttons);
}

} // namespace gc::ui
