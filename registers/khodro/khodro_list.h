#pragma once

#include "registers/shared/register_list.h"

class QCheckBox;
class QComboBox;

namespace gc::registers {

class MaskEdit;
class Tkhodro_ins;
class Tkhodro_rep;

// "ليست تردد خودروها": the vehicle register's list, newest exit first, with its six
// filters, the entry window for new rows and returns, and the vehicle report.
class Tkhodro_list : public RegisterList {
    Q_OBJECT
  public:
    Tkhodro_list(RegisterContext& context, Tkhodro_ins& entry, QWidget* parent = nullptr);

    // What the main window does before showing the page: empty the driver, plate and type
    // filters, put today into the four dates, tick both date boxes and search.
    void prepare();

    // The report that "چاپ" previews; none prints nothing.
    void setReportLayout(const Tkhodro_rep* layout) { report_ = layout; }

    QCheckBox* CheckBox(int number) const; // 1 to 6
    QComboBox* ranande() const { return driver_; }
    QComboBox* num() const { return plate_; }
    QComboBox* khodro_typ() const { return typ_; }
    MaskEdit* exit_dat1() const { return exitFrom_; }
    MaskEdit* exit_dat2() const { return exitTo_; }
    MaskEdit* vorod_dat1() const { return entryFrom_; }
    MaskEdit* vorod_dat2() const { return entryTo_; }

  protected:
    std::unique_ptr<report::Report> makeReport() override;

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();

    const Tkhodro_rep* report_ = nullptr;
    QList<QCheckBox*> boxes_;
    QComboBox* driver_;
    QComboBox* plate_;
    QComboBox* typ_;
    MaskEdit* exitFrom_;
    MaskEdit* exitTo_;
    MaskEdit* entryFrom_;
    MaskEdit* entryTo_;
};

} // namespace gc::registers
