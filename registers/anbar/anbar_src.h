#pragma once

#include "registers/shared/register_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace gc::registers {

class MaskEdit;

// "ليست انبار": the warehouse movements with type, description, date, destination and
// deliverer-or-receiver filters; newest date first.
class Tanbar_src : public RegisterList {
    Q_OBJECT
  public:
    // Made before its entry window, as start-up orders them; setEntry() joins the two.
    explicit Tanbar_src(RegisterContext& context, QWidget* parent = nullptr);

    // What the main window does before showing the page: the text filters emptied, today in
    // both dates, the date range ticked and searched.
    void prepare();

    QCheckBox* CheckBox(int number) const; // 1 to 5
    QComboBox* typ() const { return typ_; }
    QLineEdit* kala() const { return kala_; }
    MaskEdit* dat1() const { return from_; }
    MaskEdit* dat2() const { return to_; }
    QComboBox* maghsad() const { return maghsad_; }
    QLineEdit* prs() const { return prs_; }

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();

    QList<QCheckBox*> boxes_;
    QComboBox* typ_;
    QLineEdit* kala_;
    MaskEdit* from_;
    MaskEdit* to_;
    QComboBox* maghsad_;
    QLineEdit* prs_;
};

} // namespace gc::registers
