#include "registers/arbab/arbabrojo.h"

#include "barcode/barcode.h"
#include "capture/camera_frames.h"
#include "capture/dorbin.h"
#include "core/data_module.h"
#include "core/national_code.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/arbab/arbabrojo_select.h"
#include "registers/arbab/core/arbab_sql.h"
#include "registers/arbab/core/arbab_texts.h"
#include "registers/arbab/core/visit_register.h"
#include "registers/shared/digit_input.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/mask_inputs.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace gc::registers {

namespace {

using namespace arbab;

// A card read twice runs past this; a stored barcode may be longer and is kept as it is.
constexpr int kDoubleReadLength = 15;
// The names the drop-down offers for what the guard has typed; typing more narrows them.
constexpr int kNameListLength = 100;

void showError(const db::DbError& e) {
    ui::showMessage(ui::MsgIcon::Error, e.message());
}

void say(const QString& text) {
    ui::showMessage(ui::MsgIcon::None, text);
}

bool askYes(const QString& question) {
    return ui::dialogs().message(ui::MsgIcon::Warning, question, ui::Yes | ui::No | ui::Cancel) ==
           ui::Yes;
}

QLineEdit* lookedUp(const QString& name, QWidget* parent) {
    QLineEdit* e = namedLineEdit(name, parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFrame(false);
    e->setStyleSheet(QStringLiteral("color: maroon; background: transparent;"));
    return e;
}

// The small sample barcode beside the barcode field.
QPixmap sampleBarcode() {
    barcode::TBarcode code;
    code.setTyp(barcode::bcCode39);
    code.setRatio(3.0);
    code.setHeight(40);
    code.setText(QStringLiteral("1234"));
    QImage picture(code.CanvasWidth(), code.CanvasHeight(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    code.DrawBarcode(painter);
    painter.end();
    return QPixmap::fromImage(picture);
}

QByteArray bmpBytes(const QImage& frame) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    frame.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}

} // namespace

RegisterEntry::Declaration Tarbabrojo::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("arbabrojo");
    d.caption = QStringLiteral("ثبت/ويرايش ارباب رجوع");
    d.query = &context.dm.ADOQ_arbabrojo;
    d.savedColumns = visitColumnNames();
    d.editCopies = {"name",  "cart_no", "maghsad", "tabaghe", "otagh",  "madrak",
                    "vorod", "khoroj",  "dat",     "cmt",     "barcod", "nazar"};
    d.editGuardColumn = QStringLiteral("negahban");
    d.newFocus = QStringLiteral("cart_no");
    d.newTodayInputs = {"dat"};
    d.newNowInputs = {"vorod"};
    d.presetFills = {{"maghsad", presets::kVisitorDestination}, {"madrak", presets::kDocument}};
    d.savedMessage.clear(); // the print question says it
    return d;
}

Tarbabrojo::Tarbabrojo(RegisterContext& context, capture::KernelTable cameraKernel, QWidget* parent)
    : RegisterEntry(declare(context), context, parent), kernel_(std::move(cameraKernel)) {
    makeInputs();
    picker_ = std::make_unique<Tarbabrojo_select>(this);
    bindHandlers();
    layOut();
}

Tarbabrojo::~Tarbabrojo() {
    if (videoImage_)
        videoImage_->StopCapture();
}

void Tarbabrojo::makeInputs() {
    name_ = addInput(editableDropDown(QStringLiteral("name"), this, true));
    maghsad_ = addInput(editableDropDown(QStringLiteral("maghsad"), this, true));
    tabaghe_ = addInput(lookedUp(QStringLiteral("tabaghe"), this));
    otagh_ = addInput(lookedUp(QStringLiteral("otagh"), this));
    cardNo_ = addInput(namedLineEdit(QStringLiteral("cart_no"), this));
    nationCheck_ = new QCheckBox(QStringLiteral("شماره ملي/کارت"), this);
    nationCheck_->setObjectName(QStringLiteral("nation_check"));
    nationCheck_->setChecked(true);
    madrak_ = addInput(editableDropDown(QStringLiteral("madrak"), this, true));
    addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("vorod"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("khoroj"), this));
    gender_ = addInput(new ui::RadioGroup(QStringLiteral("جنسيت"), {kMale, kFemale}, this));
    gender_->setObjectName(QStringLiteral("gender"));
    cmt_ = addInput(editableDropDown(QStringLiteral("cmt"), this, true));
    cmt_->addItem(QStringLiteral("2 نفرند"));
    barcode_ = addInput(namedLineEdit(QStringLiteral("barcod"), this));
    barcode_->setLayoutDirection(Qt::LeftToRight);
    makeDigitsOnly(barcode_);
    nazar_ = addInput(editableDropDown(QStringLiteral("nazar"), this));
    nazar_->addItems({"عالي", "خوب", "متوسط", "ضعيف"});
    srcBtn_ = new QPushButton(QStringLiteral("..."), this);
    srcBtn_->setObjectName(QStringLiteral("src_btn"));
    srcBtn_->setAutoDefault(false);
    srcBtn_->hide();
    clearBtn_ = new QPushButton(QStringLiteral("X"), this);
    clearBtn_->setObjectName(QStringLiteral("BitBtn1"));
    clearBtn_->setAutoDefault(false);
    for (const char* n :
         {"cart_no", "name", "maghsad", "madrak", "gender", "dat", "vorod", "khoroj", "barcod"})
        focusColours().watch(input(QString::fromLatin1(n)));
}

void Tarbabrojo::bindHandlers() {
    onUserChange(maghsad_, this, [this] { maghsadChange(); });
    connect(cardNo_, &QLineEdit::textEdited, this, [this] { cart_noChange(); });
    onUserChange(name_, this, [this] { nameChange(); });
    connect(name_->lineEdit(), &QLineEdit::textEdited, this, [this] { refillNames(); });
    connect(srcBtn_, &QPushButton::clicked, this, [this] { src_btClick(); });
    connect(clearBtn_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    // What the guard types or scans, never a stored barcode put there by an edit.
    connect(barcode_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.size() > kDoubleReadLength) {
            barcode_->clear();
            say(kDoubleReadMessage);
        }
    });
    cardNo_->installEventFilter(this);
    enterChain().chain({cardNo_, name_, maghsad_, madrak_, gender_});
    enterChain().chain({input("vorod"), input("khoroj"), input("dat"), cmt_});
    enterChain().onEnter(barcode_, [this] { barcodEnter(); });
}

void Tarbabrojo::layOut() {
    auto* panel = new QGridLayout;
    int row = 0;
    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    const auto put = [&](QWidget* caption, QWidget* in, QWidget* beside = nullptr,
                         QWidget* more = nullptr) {
        panel->addWidget(caption, row, 0);
        panel->addWidget(in, row, 1);
        if (beside)
            panel->addWidget(beside, row, 2);
        if (more)
            panel->addWidget(more, row, 3);
        ++row;
    };
    put(nationCheck_, cardNo_, clearBtn_);
    put(label(QStringLiteral("نام")), name_, srcBtn_);
    put(label(QStringLiteral("مقصد")), maghsad_);
    put(label(QStringLiteral("طبقه")), tabaghe_, label(QStringLiteral("شماره اتاق")), otagh_);
    put(label(QStringLiteral("نوع مدرك")), madrak_);
    put(label(QStringLiteral("جنسيت")), gender_);
    put(todayLabel(QStringLiteral("تاريخ"), QStringLiteral("dat")), input("dat"));
    auto* entryNow = nowLabel(QStringLiteral("ساعت ورود"), QStringLiteral("vorod"));
    entryNow->setObjectName(QStringLiteral("StaticText8"));
    auto* entryClear = clearLabel(QStringLiteral("---"), QStringLiteral("vorod"));
    entryClear->setObjectName(QStringLiteral("StaticText9"));
    put(entryNow, input("vorod"), entryClear);
    auto* exitNow = nowLabel(QStringLiteral("ساعت خروج"), QStringLiteral("khoroj"));
    exitNow->setObjectName(QStringLiteral("StaticText10"));
    auto* exitClear = clearLabel(QStringLiteral("---"), QStringLiteral("khoroj"));
    exitClear->setObjectName(QStringLiteral("StaticText11"));
    put(exitNow, input("khoroj"), exitClear);
    put(label(QStringLiteral("توضيحات")), cmt_);
    auto* barcodeImage = new ui::ClickableLabel(QString(), this);
    barcodeImage->setObjectName(QStringLiteral("Image1"));
    barcodeImage->setPixmap(sampleBarcode());
    barcodeImage->setScaledContents(true);
    barcodeImage->setFixedSize(64, 24);
    barcodeImage->setCursor(Qt::PointingHandCursor);
    connect(barcodeImage, &ui::ClickableLabel::clicked, this, [this] { barcode_->setFocus(); });
    put(label(QStringLiteral("شناسه باركد")), barcode_, barcodeImage);
    put(label(QStringLiteral("نظرسنجي پاسخگويي")), nazar_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    panel->addLayout(buttons, row, 0, 1, 4);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(panel);
    whole->addWidget(cameraGroup(), 1);
}

QWidget* Tarbabrojo::cameraGroup() {
    auto* group = new QGroupBox(this);
    camera_ = new QCheckBox(QStringLiteral("دوربين"), group);
    camera_->setObjectName(QStringLiteral("camera"));
    crosshair_ = new QCheckBox(QStringLiteral("Add a cross-hair"), group);
    crosshair_->setObjectName(QStringLiteral("CheckBox_Crosshair"));
    mirror_ = new QCheckBox(QStringLiteral("Flip image horizontally"), group);
    mirror_->setObjectName(QStringLiteral("CheckBox_Mirror"));
    devices_ = capture::deviceList(group);
    paintBox_ = new capture::VideoView(group);
    paintBox_->setObjectName(QStringLiteral("PaintBox1"));
    // Small enough that the window fits a 768-pixel screen under a desktop's panel.
    paintBox_->setMinimumSize(128, 96);
    connect(camera_, &QCheckBox::toggled, this, [this](bool on) { cameraClick(on); });
    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{camera_, crosshair_, mirror_, devices_})
        bar->addWidget(w);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(bar);
    layout->addWidget(paintBox_, 1);
    return group;
}

db::Query& Tarbabrojo::scratch(const QStringList& lines) {
    db::Query& q = context().dm.ADOQuery1;
    q.openSql(lines);
    return q;
}

void Tarbabrojo::setGenderText(const QString& stored) {
    gender_->setItemIndex(stored == kMale ? 0 : 1);
}

void Tarbabrojo::maghsadChange() {
    try {
        db::Query& q = scratch({roomSql(maghsad_->currentText())});
        const bool found = !q.isEmpty();
        tabaghe_->setText(found ? q.fieldByName("tabaghe").asString() : QString());
        otagh_->setText(found ? q.fieldByName("otagh").asString() : QString());
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tarbabrojo::fillFromVisit(db::Query& row) {
    setText(QStringLiteral("name"), row.fieldByName("name").asString());
    setText(QStringLiteral("maghsad"), row.fieldByName("maghsad").asString());
    tabaghe_->setText(row.fieldByName("tabaghe").asString());
    otagh_->setText(row.fieldByName("otagh").asString());
    setText(QStringLiteral("madrak"), row.fieldByName("madrak").asString());
    setText(QStringLiteral("cmt"), row.fieldByName("cmt").asString());
    setGenderText(row.fieldByName("gender").asString());
}

void Tarbabrojo::cart_noChange() {
    const QString card = cardNo_->text();
    if (card.isEmpty())
        return;
    try {
        db::Query& q = scratch({cardLookupSql(card)});
        if (!q.isEmpty()) {
            fillFromVisit(q);
            return;
        }
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    for (const char* n : {"name", "maghsad", "tabaghe", "otagh", "madrak", "cmt"})
        setText(QString::fromLatin1(n), {});
    gender_->setItemIndex(0);
}

void Tarbabrojo::nameChange() {
    for (const char* n : {"maghsad", "madrak", "cmt"})
        setText(QString::fromLatin1(n), {});
    try {
        srcBtn_->setVisible(!scratch({namesakeSql(name_->currentText())}).isEmpty());
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tarbabrojo::src_btClick() {
    QList<QStringList> rows;
    try {
        rows = Tarbabrojo_select::rowsOf(scratch({nameSearchSql(name_->currentText())}));
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    srcBtn_->setVisible(!rows.isEmpty());
    if (rows.isEmpty()) {
        for (const char* n : {"cart_no", "maghsad", "madrak", "cmt"})
            setText(QString::fromLatin1(n), {});
        return;
    }
    if (rows.size() == 1) {
        cardNo_->setText(rows.front().front());
        cart_noChange();
        return;
    }
    if (const auto card = picker_->choose(rows)) {
        cardNo_->setText(*card);
        cart_noChange();
    }
    setText(QStringLiteral("cmt"), {});
}

void Tarbabrojo::BitBtn1Click() {
    srcBtn_->hide();
    for (const char* n : {"name", "cart_no", "maghsad", "madrak", "cmt"})
        setText(QString::fromLatin1(n), {});
}

bool Tarbabrojo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cardNo_ && event->type() == QEvent::FocusOut && nationCheck_->isChecked())
        cart_noExit();
    return RegisterEntry::eventFilter(watched, event);
}

void Tarbabrojo::cart_noExit() {
    switch (checkNationalCode(cardNo_->text())) {
    case NationalCodeVerdict::WrongLength:
        say(kNationalCodeLengthMessage);
        cardNo_->setFocus();
        break;
    case NationalCodeVerdict::Invalid:
        say(kNationalCodeInvalidMessage);
        break;
    case NationalCodeVerdict::Empty:
    case NationalCodeVerdict::Valid:
        break;
    }
}

bool Tarbabrojo::barcodeInUse(const QString& barcode, qint64 except) {
    return BarcodeHeld(context().dm.ADOQuery1, barcode, except);
}

void Tarbabrojo::barcodEnter() {
    cardNo_->setFocus();
    if (editMode())
        return;
    try {
        if (!barcodeInUse(barcode_->text()))
            return;
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    say(kBarcodeInUseMessage);
    barcode_->clear();
    barcode_->setFocus();
}

arbab::VisitColumns Tarbabrojo::visitValues() {
    arbab::VisitColumns visit;
    for (const QString& column : visitColumnNames())
        visit.emplace_back(column, column == QLatin1String("negahban") ? context().guardName()
                                                                       : text(column));
    return visit;
}

bool Tarbabrojo::valuesFit() {
    if (const auto refusal = TooLongValue(context().dm.ADOConnection1, visitValues())) {
        ui::showMessage(ui::MsgIcon::Error, *refusal);
        return false;
    }
    return true;
}

bool Tarbabrojo::confirmNew() {
    bool ok = true;
    try {
        if (!valuesFit())
            return false;
        if (barcodeInUse(barcode_->text())) {
            say(kBarcodeInUseMessage);
            ok = false;
        }
        // Asked even after a barcode refusal; the answer then changes nothing.
        if (!scratch(duplicateSql(text("name"), text("cart_no"), text("dat"), text("vorod")))
                 .isEmpty() &&
            !askYes(kDuplicateQuestion))
            ok = false;
    } catch (const db::DbError& e) {
        showError(e);
        return false;
    }
    return ok;
}

std::optional<QByteArray> Tarbabrojo::snapshot() {
    noFrameAtRegister_ = false;
    if (!camera_->isChecked())
        return std::nullopt;
    if (frame_.isNull()) {
        noFrameAtRegister_ = true;
        return std::nullopt;
    }
    return bmpBytes(frame_);
}

bool Tarbabrojo::writeNew() {
    const RegisterResult result =
        RegisterVisit(query(), context().dm.ADOQuery1, visitValues(), snapshot());
    switch (result.status) {
    case RegisterStatus::Saved:
        lastId_ = result.id;
        return true;
    case RegisterStatus::BarcodeInUse:
        say(kBarcodeInUseMessage);
        return false;
    case RegisterStatus::Failed:
        ui::showMessage(ui::MsgIcon::Error, result.error);
        return false;
    }
    return false;
}

void Tarbabrojo::afterSaveNew() {
    if (noFrameAtRegister_)
        say(kNoFrameMessage);
    if (askYes(kPrintQuestion))
        offerSlip();
    cardNo_->setFocus();
}

void Tarbabrojo::offerSlip() {
    if (!hooks_ || !hooks_->printSlip) {
        say(kSlipNotPrinted + QStringLiteral(": ") +
            kNotAvailableMessage.arg(QStringLiteral("چاپ برگه ملاقات")));
        return;
    }
    if (!hooks_->printSlip(int(lastId_)))
        say(kSlipNotPrinted);
}

bool Tarbabrojo::confirmEdit() {
    const qint64 id = editKey().toLongLong();
    try {
        if (!valuesFit())
            return false;
        // An emptied barcode becomes the visit's own, as a new visit's would.
        if (barcode_->text().isEmpty() && id != 0) {
            barcode_->setText(CardlessBarcode(context().dm.ADOQuery1, id));
            return true;
        }
        // Only a visitor inside can be scanned out: two of them never share a barcode.
        if (text(QStringLiteral("khoroj")) == kInside && barcodeInUse(barcode_->text(), id)) {
            say(kBarcodeInUseMessage);
            barcode_->setFocus();
            return false;
        }
    } catch (const db::DbError& e) {
        showError(e);
        return false;
    }
    return true;
}

void Tarbabrojo::onPrepareNew() {
    srcBtn_->hide();
    tabaghe_->setText(QStringLiteral("---"));
    otagh_->setText(QStringLiteral("---"));
    gender_->setItemIndex(0);
}

void Tarbabrojo::onPrepareEdit() {
    srcBtn_->hide();
    try {
        db::Query& q = query();
        if (q.isActive() && q.recNo() > 0)
            setGenderText(q.fieldByName("gender").asString());
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tarbabrojo::onShow() {
    refillNames();
}

void Tarbabrojo::refillNames() {
    QLineEdit* edit = name_->lineEdit();
    const int cursor = edit->cursorPosition();
    QStringList names;
    try {
        names = ReadVisitorNames(context().dm.ADOConnection1, edit->text(), kNameListLength);
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    fillFromPreset(name_, names);
    edit->setCursorPosition(cursor);
}

void Tarbabrojo::cameraClick(bool on) {
    if (!on) {
        if (videoImage_)
            videoImage_->StopCapture();
        frame_ = QImage();
        paintBox_->setFrame(nullptr, false);
        return;
    }
    if (!videoImage_) {
        videoImage_ = std::make_unique<capture::TCameraImage>(kernel_);
        videoImage_->setOnNewFrame(
            [this](capture::TCameraImage*, int, int, const uint8_t*) { NewVideoFrame(); });
    }
    QStringList devices;
    videoImage_->ListDevices(devices);
    devices_->clear();
    devices_->addItems(devices);
    const QSignalBlocker quiet(camera_);
    if (devices.isEmpty()) {
        camera_->setChecked(false);
        say(kNoCameraMessage);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool started = videoImage_->StartCapture(devices.front()) == 0;
    QApplication::restoreOverrideCursor();
    if (!started) {
        camera_->setChecked(false);
        say(kCameraFailedMessage.arg(devices.front()));
    }
}

void Tarbabrojo::NewVideoFrame() {
    videoImage_->CopyFrameTo(frame_);
    // Drawn into the frame itself, so that a snapshot keeps it.
    if (crosshair_->isChecked())
        capture::drawCrosshair(frame_);
    paintBox_->setFrame(&frame_, mirror_->isChecked());
}

void Tarbabrojo::hideEvent(QHideEvent* event) {
    camera_->setChecked(false);
    RegisterEntry::hideEvent(event);
}

} // namespace gc::registers
