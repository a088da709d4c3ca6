#pragma once

#include "registers/shared/register_entry.h"

class QComboBox;
class QLineEdit;

namespace gc::ui {
class RadioGroup;
}

namespace gc::registers {

class MaskEdit;

// "ثبت/ويرايش انبار": one movement of goods through the store. The code, description and
// unit are offered from the goods catalogue, a code narrowing the descriptions and a
// description the units; nothing typed is checked against it.
class Tanbar_ins : public RegisterEntry {
    Q_OBJECT
  public:
    explicit Tanbar_ins(RegisterContext& context, QWidget* parent = nullptr);

    ui::RadioGroup* typ() const { return typ_; }
    QComboBox* cod() const { return cod_; }
    QComboBox* kala() const { return kala_; }
    QComboBox* vahed() const { return vahed_; }
    MaskEdit* dat() const { return dat_; }
    MaskEdit* saat() const { return saat_; }
    QComboBox* combo(const QString& name) const;
    QLineEdit* edit(const QString& name) const;

    // The guard changed the code: its descriptions, and with only one, its unit.
    void codChange();
    // The guard changed the description: its units, and with only one, that unit.
    void kalaChange();

  protected:
    void onShow() override;

  private:
    static Declaration declare(RegisterContext& context);
    void layOut();

    ui::RadioGroup* typ_;
    QComboBox* cod_;
    QComboBox* kala_;
    QComboBox* vahed_;
    MaskEdit* dat_;
    MaskEdit* saat_;
};

} // namespace gc::registers
