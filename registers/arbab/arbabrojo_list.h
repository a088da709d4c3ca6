#pragma once

#include "registers/arbab/visit_print_hooks.h"
#include "registers/shared/register_list.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace gc::ui {
class RadioGroup;
}

namespace gc::registers {

class MaskEdit;
class PictureBox;
class Tarbabrojo;
class Tarbabrojo_pic;
class Tarbabrojo_select;

// "ليست ارباب رجوع": the visits, newest first, with their eight filters; a visitor's exit is
// recorded by scanning the card's barcode into the barcode filter. The first picture of the
// visit last clicked shows beside the grid. The prints go through the hooks.
class Tarbabrojo_list : public RegisterList {
    Q_OBJECT
  public:
    Tarbabrojo_list(RegisterContext& context, Tarbabrojo& entry, QWidget* parent = nullptr);

    void setPrintHooks(VisitPrintHooks hooks) { hooks_ = std::move(hooks); }
    // The pictures window, made later at start-up.
    void setPicturesWindow(Tarbabrojo_pic* pictures) { pictures_ = pictures; }

    // What the main window does before showing the page: refresh today, put it into both
    // dates, tick the date box, search, then empty the card, name, barcode and survey.
    void prepare();

    void editRecord() override;
    // The commands of the menu that are the register's own.
    void barcodEnter();            // exit by the scanned barcode
    void N18Click();               // pictures of the current visit
    void N7Click();                // reprint the current visit's slip
    void N6Click();                // the list report
    void N8Click();                // blank barcode cards
    void N11Click();               // the current visit's receipt
    void countsClick(bool byName); // N16, N17
    void N14Click();               // the location sketch
    void N20Click();               // pictures to files
    void N19Click();               // the current visit's camera picture in the viewer
    void DBImage1Click();          // the picture beside the grid in the viewer

    QCheckBox* CheckBox(int number) const; // 1 to 7
    QLineEdit* cart_no() const { return cardNo_; }
    QLineEdit* name() const { return name_; }
    QComboBox* maghsad() const { return maghsad_; }
    MaskEdit* khoroj() const { return khoroj_; }
    MaskEdit* dat1() const { return dat1_; }
    MaskEdit* dat2() const { return dat2_; }
    ui::RadioGroup* gender() const { return gender_; }
    QLineEdit* barcod() const { return barcode_; }
    QComboBox* nazar() const { return nazar_; }
    PictureBox* DBImage1() const { return picture_; }
    // Offers the visitors inside when a scanned barcode is held by more than one.
    Tarbabrojo_select& picker() const { return *picker_; }

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();
    void connectMenu();
    // The current visit's key; nullopt (after saying so) when the list has none.
    std::optional<qint64> currentVisit();
    // The position of the found visit whose exit the scan records: the only one, or the one
    // the guard picks; nullopt when the guard picks none. Throws db::DbError.
    std::optional<int> scannedVisit();
    QString currentText(const QString& field);
    void showFirstPicture();
    void showPicture(const QByteArray& bytes, const QString& ext);
    bool datesOn() const;
    // Refuses an impossible or partly typed date of the range while it is on.
    bool datesAcceptable() const;
    // False, after saying the print is not in this version, when the hook is empty.
    template <class Hook> bool available(const Hook& hook, const QString& what);

    Tarbabrojo_pic* pictures_ = nullptr;
    Tarbabrojo_select* picker_;
    VisitPrintHooks hooks_;
    QList<QCheckBox*> boxes_;
    QLineEdit* cardNo_;
    QLineEdit* name_;
    QComboBox* maghsad_;
    MaskEdit* khoroj_;
    MaskEdit* dat1_;
    MaskEdit* dat2_;
    ui::RadioGroup* gender_;
    QLineEdit* barcode_;
    QComboBox* nazar_;
    PictureBox* picture_;
    QByteArray shownPicture_;
    QString shownExt_;
};

} // namespace gc::registers
