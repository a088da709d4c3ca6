#pragma once

#include "registers/shared/register_list.h"

class QCheckBox;
class QLineEdit;

namespace gc::registers {

class MaskEdit;
class Tins;

// "ليست اموال تردد شده": the property register's list, newest exit first, with its four
// filters and the entry window for new rows and returns.
class Tamval_list : public RegisterList {
    Q_OBJECT
  public:
    Tamval_list(RegisterContext& context, Tins& entry, QWidget* parent = nullptr);

    // What the main window does before showing the page: empty the person and item
    // filters, put today into the four dates, tick the exit dates and search.
    void prepare();

    QCheckBox* CheckBox(int number) const; // 1 to 4
    QLineEdit* KharejKonande() const { return person_; }
    QLineEdit* nam() const { return item_; }
    MaskEdit* exit_dat1() const { return exitFrom_; }
    MaskEdit* exit_dat2() const { return exitTo_; }
    MaskEdit* vorod_dat1() const { return entryFrom_; }
    MaskEdit* vorod_dat2() const { return entryTo_; }

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();

    QList<QCheckBox*> boxes_;
    QLineEdit* person_;
    QLineEdit* item_;
    MaskEdit* exitFrom_;
    MaskEdit* exitTo_;
    MaskEdit* entryFrom_;
    MaskEdit* entryTo_;
};

} // namespace gc::registers
