#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QLabel;
class QMenu;
class QAction;

namespace gc {

class Tdm;
namespace ui {
class QueryGrid;
}

// "تنظيمات": keeps the preset value lists (table `setting`): add a value to the chosen
// list, delete a value, mark a list's default.
class Tsetting : public QDialog {
    Q_OBJECT
  public:
    explicit Tsetting(Tdm& dm, QWidget* parent = nullptr);

    QComboBox* component;
    QLineEdit* cmt;
    QPushButton* ins_btn;
    ui::QueryGrid* DBGrid1;
    QMenu* PopupMenu1;
    QAction* N1;
    QAction* N2;
    QLabel* Label1;

    // What opening the page does before the window is shown.
    void prepare();

    void componentChange();
    void ins_btnClick();
    void N1Click();
    void N2Click();

  private:
    bool hasCurrentRow();
    void showList(const QString& name);
    void takeCurrentRow();

    Tdm& dm_;
};

} // namespace gc
