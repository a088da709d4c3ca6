#pragma once

#include "registers/shared/core/personnel_link.h"
#include "registers/shared/register_entry.h"

class QComboBox;
class QLineEdit;

namespace gc::registers {

// "ثبت/ويرايش خودرو": one movement of an official or a personal car. For personal cars the
// driver is looked up in the personnel directory by card number, surname or plate, and the
// personnel register is kept in step: a personnel row on save new, the driver's open
// personnel row closed on save edit.
//
// The look-ups run on the guard's own typing or picking only, never on the window's own
// assignments: the plate look-up empties the card number and the card look-up fills the
// driver and the plate, so a handler run by such an assignment would wipe what the look-up
// had just filled.
class Tkhodro_ins : public RegisterEntry {
    Q_OBJECT
  public:
    explicit Tkhodro_ins(RegisterContext& context, QWidget* parent = nullptr);

    QComboBox* khodro_typ() const { return typ_; }
    QLineEdit* cart_no() const { return cardNo_; }
    QComboBox* ranande() const { return driver_; }
    QComboBox* num() const { return plate_; }
    // The department of the first person the last card look-up found.
    const QString& driverVahedTabe() const { return driver_vahed_tabe_; }

    // The type change refills the driver and plate lists for the type; a personal car is
    // recorded as arriving now and not yet gone.
    void khodro_typChange();
    void cart_noChange();
    void ranandeChange();
    void numChange();

  protected:
    bool confirmNew() override;
    void afterSaveNew() override;
    void afterSaveEdit() override;
    void onPrepareEdit() override;
    void onShow() override;

  private:
    static Declaration declare(RegisterContext& context);
    void layOut();
    void bindChangeHandlers();
    // The scratch query opened on `lines`, and the values of `field` in the rows of `sql`.
    // Both throw db::DbError.
    db::Query& openScratch(const QStringList& lines);
    QStringList lookUp(const QString& sql, const QString& field);
    link::CarMovement carMovement() const;

    QComboBox* typ_;
    QLineEdit* cardNo_;
    QComboBox* driver_;
    QComboBox* plate_;
    QString driver_vahed_tabe_;
};

} // namespace gc::registers
