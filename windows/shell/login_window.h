#pragma once

#include <QWidget>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gc {

struct ShellForms;

namespace ui {
class ClickableLabel;
}

// "صفحه ورود": the application's main window; closing it ends the program. A
// successful login records the current user, starts the main window and hides itself.
class Tlogin : public QWidget {
    Q_OBJECT
  public:
    explicit Tlogin(ShellForms& forms, QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* us;
    QLabel* Label2;
    QLineEdit* ps;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    ui::ClickableLabel* Label3;
    ui::ClickableLabel* Label4;
    QLabel* Image1;
    QLabel* Image2;

    // Shows the settings window modally; tests replace it.
    std::function<void()> showServerModal;

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void Label3Click();
    void Label4Click();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape is the cancel button's key. It reaches the window only when no list is open:
    // an open user list takes it to close itself.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The id of the user whose name and password are typed; otherwise says why not.
    std::optional<QString> typedUser(const QString& refusal);
    void buildLayout();
    // Fills the user list, keeping the typed name; false when the users cannot be read.
    bool loadUserNames();

    ShellForms& forms_;
};

} // namespace gc
