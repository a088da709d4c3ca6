#pragma once

#include "capture/kernel_table.h"
#include "registers/arbab/core/visit_register.h"
#include "registers/arbab/visit_print_hooks.h"
#include "registers/shared/register_entry.h"

#include <QImage>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace gc::capture {
class TCameraImage;
class VideoView;
} // namespace gc::capture
namespace gc::ui {
class RadioGroup;
}

namespace gc::registers {

class Tarbabrojo_select;

// "ثبت/ويرايش ارباب رجوع": one visit. Earlier visits are found as the guard types the card
// number or the name; the destination brings its floor and room. Registering checks the
// barcode card, asks about a duplicate, stores the visit with the camera's snapshot in one
// transaction and offers the slip.
//
// The look-ups run on the guard's own typing or picking (and when the name search or the
// picker sets the card number), never when the window fills itself for an edit: the card
// look-up would rename the visitor after the card's latest visit, the room look-up would
// empty the floor and room of a renamed room.
class Tarbabrojo : public RegisterEntry {
    Q_OBJECT
  public:
    Tarbabrojo(RegisterContext& context, capture::KernelTable cameraKernel,
               QWidget* parent = nullptr);
    ~Tarbabrojo() override;

    // The list's prints; the slip is offered after each register.
    void setPrintHooks(const VisitPrintHooks* hooks) { hooks_ = hooks; }

    QComboBox* name() const { return name_; }
    QComboBox* maghsad() const { return maghsad_; }
    QLineEdit* cart_no() const { return cardNo_; }
    QLineEdit* barcod() const { return barcode_; }
    QCheckBox* nation_check() const { return nationCheck_; }
    QCheckBox* camera() const { return camera_; }
    QPushButton* src_btn() const { return srcBtn_; }
    ui::RadioGroup* gender() const { return gender_; }
    Tarbabrojo_select& picker() const { return *picker_; }
    // The frame the snapshot would take now; null before the first frame.
    const QImage& frameBitmap() const { return frame_; }
    // The visit the last register stored; 0 before the first.
    qint64 lastVisitId() const { return lastId_; }

    void maghsadChange();
    void cart_noChange();
    void nameChange();
    void src_btClick();
    void BitBtn1Click();

  protected:
    bool confirmNew() override;
    bool writeNew() override;
    void afterSaveNew() override;
    bool confirmEdit() override;
    void onPrepareNew() override;
    void onPrepareEdit() override;
    void onShow() override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static Declaration declare(RegisterContext& context);
    void makeInputs();
    void layOut();
    QWidget* cameraGroup();
    void bindHandlers();
    // The scratch query opened on `lines`; throws db::DbError.
    db::Query& scratch(const QStringList& lines);
    void fillFromVisit(db::Query& row);
    void setGenderText(const QString& stored);
    void cart_noExit();
    void barcodEnter();
    bool barcodeInUse(const QString& barcode, qint64 except = 0);
    // The fourteen columns as a save would write them.
    arbab::VisitColumns visitValues();
    // False, with the field's caption, when a value is wider than its column. Throws db::DbError.
    bool valuesFit();
    void offerSlip();
    // The names that begin with the typed text, read as the guard types.
    void refillNames();
    void cameraClick(bool on);
    void NewVideoFrame();
    std::optional<QByteArray> snapshot();

    QComboBox* name_;
    QComboBox* maghsad_;
    QLineEdit* tabaghe_;
    QLineEdit* otagh_;
    QLineEdit* cardNo_;
    QCheckBox* nationCheck_;
    QComboBox* madrak_;
    ui::RadioGroup* gender_;
    QComboBox* cmt_;
    QLineEdit* barcode_;
    QComboBox* nazar_;
    QPushButton* srcBtn_;
    QPushButton* clearBtn_;
    QCheckBox* camera_;
    QCheckBox* crosshair_;
    QCheckBox* mirror_;
    QComboBox* devices_;
    capture::VideoView* paintBox_;
    std::unique_ptr<Tarbabrojo_select> picker_;

    capture::KernelTable kernel_;
    std::unique_ptr<capture::TCameraImage> videoImage_; // one per window, made on first use
    QImage frame_;
    bool noFrameAtRegister_ = false;
    qint64 lastId_ = 0;
    const VisitPrintHooks* hooks_ = nullptr;
};

} // namespace gc::registers
