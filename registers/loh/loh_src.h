#pragma once

#include "registers/shared/register_list.h"

class QCheckBox;
class QComboBox;

namespace gc::registers {

class MaskEdit;
class Tloh_ins;

// "مشاهده و جستجوي لوح نگهباني": the guard log's list with its date, place, guard and shift
// filters; rows in the database's order until a title is clicked.
class Tloh_src : public RegisterList {
    Q_OBJECT
  public:
    Tloh_src(RegisterContext& context, Tloh_ins& entry, QWidget* parent = nullptr);

    // What the main window does before showing the page: today into both dates, the place,
    // guard and shift filters emptied; no box ticked, no search.
    void prepare();

    QCheckBox* CheckBox(int number) const; // 1 to 4
    MaskEdit* dat1() const { return from_; }
    MaskEdit* dat2() const { return to_; }
    QComboBox* loc() const { return loc_; }
    QComboBox* negahban() const { return negahban_; }
    QComboBox* shift() const { return shift_; }

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();

    QList<QCheckBox*> boxes_;
    MaskEdit* from_;
    MaskEdit* to_;
    QComboBox* loc_;
    QComboBox* negahban_;
    QComboBox* shift_;
};

} // namespace gc::registers
