#pragma once

#include "registers/shared/register_entry.h"

#include <QByteArray>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;

namespace gc::registers {

// "تردد پرسنل": one exit and return of a member of staff. The person is looked up in the
// personnel directory by card or surname and their photograph shown; the vehicle register
// is kept in step for a private car: a car row on save new, the car's open row closed on
// save edit.
//
// The photograph is that of the person the last look-up found, kept by id: the scratch
// query the look-ups run on is reused by the duplicate check and the car search, so its
// current row is no person at all by then.
class Tprs : public RegisterEntry {
    Q_OBJECT
  public:
    explicit Tprs(RegisterContext& context, QWidget* parent = nullptr);

    QComboBox* cart_no() const { return cardNo_; }
    QComboBox* nam() const { return surname_; }
    QComboBox* semat() const { return unit_; }
    QLabel* khodro_num() const { return plate_; }
    QLabel* mobile() const { return mobile_; }
    QLabel* Image1() const { return image_; }
    QCheckBox* CheckBox1() const { return showPicture_; }

    void cart_noChange();
    void namChange();
    void CheckBox1Click();
    void Image1Click();

  protected:
    bool confirmNew() override;
    void afterSaveNew() override;
    void afterSaveEdit() override;
    void onPrepareNew() override;
    void onPrepareEdit() override;
    void onShow() override;

  private:
    static Declaration declare(RegisterContext& context);
    void layOut();
    db::Query& openScratch(const QStringList& lines);
    QStringList columnValues(const QString& sql, const QString& field);
    // Takes plate, mobile and id from the scratch query's current row; blanks at its end.
    void takePerson(db::Query& q);
    void clearPicture();
    void addPrivateCar();
    void closeCar();

    QComboBox* cardNo_;
    QComboBox* surname_;
    QComboBox* unit_;
    QLabel* plate_;
    QLabel* mobile_;
    QLabel* image_;
    QCheckBox* showPicture_;
    std::optional<qint64> personId_;
    QByteArray picture_; // the shown photograph as stored
};

} // namespace gc::registers
