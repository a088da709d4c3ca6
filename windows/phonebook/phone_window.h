#pragma once

#include <QDialog>
#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace gc {

class Services;
class Tdm;
namespace ui {
class QueryGrid;
class RadioGroup;
} // namespace ui

// "دفترچه تلفن": the shared phone book (table `phone`) on the scratch query, searched on
// every keystroke; each insert is written to the activity log.
class Tphone : public QDialog {
    Q_OBJECT
  public:
    // `exportFolder`: where exported workbooks are kept; empty means "gatecontrol" under the
    // user's documents.
    Tphone(Tdm& dm, Services& services, QString exportFolder = {}, QWidget* parent = nullptr);

    ui::RadioGroup* RadioGroup1;
    QLineEdit* src;
    QLabel* cnt;
    ui::QueryGrid* DBGrid1;
    QMenu* PopupMenu1;
    QAction* N2;
    QAction* N1;
    QLineEdit* name;
    QLineEdit* tel;
    QLineEdit* cmt;
    QPushButton* ins_btn;

    // What opening the page does: the whole phone book, empty inputs, the search box
    // active.
    void prepare();

    void srcChange();
    void ins_btnClick();
    void N1Click();
    void N2Click();
    void DBGrid1TitleClick(int column);

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void search();
    // Refuses a search text that the database cannot take, saying why once per character.
    bool searchable(const QString& text);
    bool hasCurrentRow();

    Tdm& dm_;
    Services& services_;
    QString exportFolder_;
    QString refused_; // the character the search text was last refused for
};

} // namespace gc
