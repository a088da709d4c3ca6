#pragma once

#include "registers/shared/register_entry.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace gc::ui {
class RadioGroup;
}

namespace gc::registers {

class MaskEdit;

// "ثبت/ويرايش اموال": an item of property taken out or brought in, and its return. The
// mode selector stamps the exit or the entry side with today, now and the current guard
// and blanks the other side; it saves nothing.
class Tins : public RegisterEntry {
    Q_OBJECT
  public:
    enum Mode { Exit = 0, Entry = 1 };

    explicit Tins(RegisterContext& context, QWidget* parent = nullptr);

    QComboBox* box(const QString& name) const;
    QLineEdit* edit(const QString& name) const;
    MaskEdit* mask(const QString& name) const;
    ui::RadioGroup* RadioGroup1() const { return mode_; }
    QLabel* Label1() const { return personCaption_; }
    QLabel* Label8() const { return reasonCaption_; }

    void RadioGroup1Click();

  protected:
    void onPrepareNew() override;
    void onShow() override;

  private:
    static Declaration declare(RegisterContext& context);
    void layOut();

    ui::RadioGroup* mode_;
    QLabel* personCaption_;
    QLabel* reasonCaption_;
};

} // namespace gc::registers
