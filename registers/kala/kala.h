#pragma once

#include "registers/shared/register_list.h"

class QLineEdit;
class QMenu;

namespace gc::ui {
class RadioGroup;
}

namespace gc::registers {

// "کالاها": the goods catalogue. Every change of the search text searches the picked
// column; entries are added from the three edits, refused only when equal in all three
// texts to an existing one, and deleted behind the catalogue's own code. No edit.
class Tkala : public RegisterList {
    Q_OBJECT
  public:
    explicit Tkala(RegisterContext& context, QWidget* parent = nullptr);

    ui::RadioGroup* RadioGroup1;
    QLineEdit* src;
    QLineEdit* cod;
    QLineEdit* cmt;
    QLineEdit* vahed;
    QPushButton* ins_btn;
    QMenu* PopupMenu1;
    QAction* N1;

    // What the main window does before showing the page: the three edits and the search
    // text emptied. The first opening lists the whole catalogue.
    void prepare();

    void srcChange();
    void ins_btnClick();
    void N1Click();

  private:
    static Declaration declare(RegisterContext& context);
    void layOut();
};

} // namespace gc::registers
