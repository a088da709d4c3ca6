#pragma once

#include "registers/shared/register_list.h"

class QCheckBox;
class QComboBox;
class QListWidget;

namespace gc::registers {

class MaskEdit;
class Tparking_rep;

// "پاركينگ": the parking rows by date, plate and place, newest date first, store places
// white on black; and the absentees, the official vehicles with no parking row between
// the two dates.
class Tparking : public RegisterList {
    Q_OBJECT
  public:
    // Made before its entry window, as start-up orders them; setEntry() joins the two.
    explicit Tparking(RegisterContext& context, QWidget* parent = nullptr);

    // What the main window does before showing the page: search with the filters as they
    // stand, then empty the plate and place filters and the absentees and put today into
    // both dates for the next search.
    void prepare();

    // "غائبين": the count into cnt2 and the plates into ghaebin, for the two dates whether
    // or not the date filter is ticked. False (and a message) on a database error.
    bool N9Click();

    void setReportLayout(const Tparking_rep* layout) { report_ = layout; }

    QCheckBox* CheckBox(int number) const; // 1 to 3
    MaskEdit* dat() const { return from_; }
    MaskEdit* dat2() const { return to_; }
    QComboBox* num() const { return plate_; }
    QComboBox* loc() const { return place_; }
    QLabel* cnt2() const { return absentCount_; }
    QListWidget* ghaebin() const { return absent_; }

  protected:
    std::unique_ptr<report::Report> makeReport() override;

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();
    void clearAbsentees();

    const Tparking_rep* report_ = nullptr;
    QList<QCheckBox*> boxes_;
    MaskEdit* from_;
    MaskEdit* to_;
    QComboBox* plate_;
    QComboBox* place_;
    QLabel* absentCount_;
    QListWidget* absent_;
};

} // namespace gc::registers
