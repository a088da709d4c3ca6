#pragma once

#include "registers/shared/register_entry.h"

#include <optional>

class QComboBox;
class QToolButton;

namespace gc::registers {

class MaskEdit;

// "ثبت لوح نگهباني": one roster row, a guard at a place on a date, weekday and shift. The
// weekday is picked, never derived from the date. A second row for the same date, place,
// weekday and shift is refused, by a new row and by an edit alike.
class Tloh_ins : public RegisterEntry {
    Q_OBJECT
  public:
    explicit Tloh_ins(RegisterContext& context, QWidget* parent = nullptr);

    MaskEdit* dat() const { return dat_; }
    QComboBox* day() const { return day_; }
    QComboBox* loc() const { return loc_; }
    QComboBox* shift() const { return shift_; }
    QComboBox* negahban() const { return negahban_; }

    // "<": the date one day on; a date that is not complete and real stays as it is.
    void SpeedButton2Click();
    // The blank date.
    void SpeedButton1Click();

  protected:
    bool confirmNew() override;
    bool confirmEdit() override;
    void afterSaveEdit() override;

  private:
    static Declaration declare(RegisterContext& context);
    void layOut(QToolButton* next, QToolButton* blank);
    // False, after saying why, when another row holds the same date, place, weekday and shift.
    bool unique(std::optional<qlonglong> exceptId);

    MaskEdit* dat_;
    QComboBox* day_;
    QComboBox* loc_;
    QComboBox* shift_;
    QComboBox* negahban_;
};

} // namespace gc::registers
