#pragma once

#include <QDialog>

class QAction;
class QComboBox;
class QMenu;
class QPushButton;

namespace gc {

class Tdm;
namespace ui {
class QueryGrid;
}
namespace xlsx {
class FileOpener;
}

// "اتاق ها": the rooms visitors are sent to, with their floor, number and an optional
// sketch of the way there, shown in the desktop's picture viewer.
class Totaghha : public QDialog {
    Q_OBJECT
  public:
    Totaghha(Tdm& dm, xlsx::FileOpener& viewer, QWidget* parent = nullptr);

    QComboBox* maghsad;
    QComboBox* tabaghe;
    QComboBox* otagh;
    QPushButton* ins_btn;
    ui::QueryGrid* DBGrid1;
    QMenu* PopupMenu1;
    QAction* N1;

    // What opening the page does before the window is shown.
    void prepare();
    // Refills the destinations; runs whenever the window is shown.
    void FormShow();

    void ins_btnClick();
    void N1Click();
    void DBGrid1CellClick();
    void DBGrid1TitleClick(int column);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool hasCurrentRow();
    void reopenList();
    void sizeColumns();

    Tdm& dm_;
    xlsx::FileOpener& viewer_;
};

} // namespace gc
