#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gc {

class Tdm;
class Tlogin;

// "تغيير کلمه عبور": sets a new password for the name and password typed in the
// login window. Every way out shows the login window again.
class Tchange_pass : public QWidget {
    Q_OBJECT
  public:
    Tchange_pass(Tdm& dm, Tlogin& login, QWidget* parent = nullptr);

    QLabel* Label2;
    QLineEdit* Edit1;
    QLabel* Label3;
    QLineEdit* Edit2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void BitBtn1Click();
    void BitBtn2Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Tdm& dm_;
    Tlogin& login_;
};

} // namespace gc
