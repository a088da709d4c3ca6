#pragma once

#include <QDialog>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace gc {

class Services;
class Tdm;
namespace ui {
class QueryGrid;
}

// "پيام": the current user's received messages (every message for the administrator),
// the selected message's text, sending a message to every ticked user, marking a
// message read, and the administrator's deletes.
class Tpayam : public QDialog {
    Q_OBJECT
  public:
    Tpayam(Tdm& dm, Services& services, QWidget* parent = nullptr);

    ui::QueryGrid* DBGrid1;
    QPlainTextEdit* DBMemo1;
    QLabel* Label1;
    QLabel* Label6;
    QComboBox* girande;
    QComboBox* mozo;
    QPlainTextEdit* cmt;
    QListWidget* prs_list;
    QCheckBox* CheckBox1;
    QPushButton* BitBtn1;
    QMenu* PopupMenu1;
    QAction* N1;
    QAction* N3;
    QAction* N2;
    QAction* N4;
    QAction* N5;

    // What opening the page does before the window is shown.
    void prepare();
    // Refills the subjects and the user names; runs whenever the window is shown.
    void FormShow();

    void BitBtn1Click();
    void N1Click();
    void N3Click();
    void N2Click();
    void N4Click();
    void N5Click();
    void CheckBox1Click();
    void girandeChange();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool hasCurrentRow();
    qint64 currentId();
    bool administratorOnly();
    void showCurrentText();
    void reopenList();

    Tdm& dm_;
    Services& services_;
};

} // namespace gc
