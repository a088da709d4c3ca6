#pragma once

#include "registers/shared/register_entry.h"

class QComboBox;
class QLineEdit;

namespace gc::registers {

class MaskEdit;

// "ثبت/ويرايش پاركينگ": where an official vehicle was parked on a date. A new row starts
// on today, the current guard and the default parking place; an edited row takes the
// current guard.
class Tpark_ins : public RegisterEntry {
    Q_OBJECT
  public:
    explicit Tpark_ins(RegisterContext& context, QWidget* parent = nullptr);

    QComboBox* num() const { return plate_; }
    QComboBox* loc() const { return place_; }
    QLineEdit* cmt() const { return comment_; }
    MaskEdit* dat() const { return date_; }
    QLineEdit* negahban() const { return guard_; }

  protected:
    void onPrepareNew() override;

  private:
    static Declaration declare(RegisterContext& context);
    void layOut();

    QComboBox* plate_;
    QLineEdit* comment_;
    MaskEdit* date_;
    QLineEdit* guard_;
    QComboBox* place_;
};

} // namespace gc::registers
