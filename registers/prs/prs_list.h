#pragma once

#include "registers/prs/core/monthly_sheet.h"
#include "registers/shared/register_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace gc::registers {

class MaskEdit;
class Tprs;
class Tprs_chap;
class Tprs_print;

// "ليست تردد پرسنل": the personnel traffic list, newest day first, with its seven filters,
// the entry window for new and completed records, and the printed list.
class Tprs_list : public RegisterList {
    Q_OBJECT
  public:
    Tprs_list(RegisterContext& context, Tprs& entry, QWidget* parent = nullptr);

    // What the main window does before showing the page: empty card, name and comment,
    // today into both dates, tick the date box and search.
    void prepare();

    // The layout that "چاپ" previews; none prints nothing.
    void setReportLayout(const Tprs_print* layout) { report_ = layout; }
    // The sheet that "فرم تردد"'s "چاپ" previews; none previews nothing.
    void setSheetLayout(const Tprs_chap* layout) { sheetLayout_ = layout; }

    QCheckBox* CheckBox(int number) const; // 1 to 7
    QLineEdit* cart_no() const { return cardNo_; }
    QComboBox* nam() const { return surname_; }
    QComboBox* elat() const { return reason_; }
    MaskEdit* exit_tim() const { return exitTime_; }
    QComboBox* tim2() const { return exitCompare_; }
    MaskEdit* vorod_tim() const { return entryTime_; }
    QComboBox* tim() const { return entryCompare_; }
    MaskEdit* exit_dat1() const { return from_; }
    MaskEdit* exit_dat2() const { return to_; }
    QComboBox* cmt() const { return comment_; }

    // "فرم تردد": one person's days from the from-date to the to-date, previewed ("چاپ") or
    // exported ("اکسل").
    QAction* sheetPrintAction() const { return sheetPrint_; }
    QAction* sheetExportAction() const { return sheetExport_; }
    void monthlySheet(bool exportIt);

  protected:
    std::unique_ptr<report::Report> makeReport() override;
    void showEvent(QShowEvent* event) override;

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();
    void buildSheetMenu();
    // The weekday of the from-date as the user confirms it; the calendar's by default.
    int askWeekday(const QString& from, bool exportIt);
    // The person of the row selected in the list, whose name heads the sheet; none without a row.
    std::optional<prs::SheetPerson> selectedPerson();
    void showSheet(const std::vector<QStringList>& rows);

    const Tprs_print* report_ = nullptr;
    QList<QCheckBox*> boxes_;
    QLineEdit* cardNo_;
    QComboBox* surname_;
    QComboBox* reason_;
    MaskEdit* exitTime_;
    QComboBox* exitCompare_;
    MaskEdit* entryTime_;
    QComboBox* entryCompare_;
    MaskEdit* from_;
    MaskEdit* to_;
    QComboBox* comment_;
    QAction* sheetPrint_ = nullptr;
    QAction* sheetExport_ = nullptr;
    const Tprs_chap* sheetLayout_ = nullptr;
};

} // namespace gc::registers
