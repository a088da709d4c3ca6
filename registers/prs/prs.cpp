#include "registers/prs/prs.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/prs/core/prs_sql.h"
#include "registers/shared/core/personnel_link.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/input_text.h"
#include "registers/shared/mask_inputs.h"
#include "windows/shell/picture_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace gc::registers {

namespace {

const QString kDuplicateQuestion = QStringLiteral(
    "اين نام خانوادگي و شماره كارت در اين تاريخ تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kCarQuestion =
    QStringLiteral("پرسنل ثبت شد.  آيا مي خواهيد نام خودرو در بخش خودرو نيز ثبت گردد؟");
const QString kCloseQuestion =
    QStringLiteral("ويرايش انجام شد.  آيا مي خواهيد خودرو اين فرد نيز خروج بخورد؟");
const QString kCarStillOut =
    QStringLiteral("فقط شخص خروج خورد، درحاليكه خودرو وي هنوز خروج نخورده است");
const QString kUnknown = QStringLiteral(" *** ");

bool askYes(const QString& question) {
    return ui::dialogs().message(ui::MsgIcon::Warning, question, ui::Yes | ui::No | ui::Cancel) ==
           ui::Yes;
}

void showError(const db::DbError& e) {
    ui::showMessage(ui::MsgIcon::Error, e.message());
}

QLabel* maroonLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(kUnknown, parent);
    label->setObjectName(name);
    label->setStyleSheet(QStringLiteral("color: maroon"));
    return label;
}

} // namespace

RegisterEntry::Declaration Tprs::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("prs");
    d.caption = QStringLiteral("تردد پرسنل");
    d.query = &context.dm.ADOQ_prs;
    d.savedColumns = {"cart_no", "nam",       "semat", "exit_tim",  "exit_dat",
                      "elat",    "vorod_tim", "cmt",   "negahban1", "negahban2"};
    d.editCopies = {"cart_no", "nam",      "elat",     "semat",    "vorod_tim",
                    "cmt",     "exit_dat", "exit_tim", "negahban1"};
    d.newGuardInput = QStringLiteral("negahban1");
    d.editGuardInput = QStringLiteral("negahban2");
    d.editGuardWitnesses = {"exit_dat", "exit_tim", "vorod_tim"};
    d.newFocus = QStringLiteral("cart_no");
    d.editFocus = QStringLiteral("vorod_tim");
    d.newTodayInputs = {"exit_dat"};
    d.presetFills = {{"semat", presets::kJobTitle}, {"elat", presets::kExitReason}};
    d.savedMessage.clear(); // the car question follows instead
    return d;
}

Tprs::Tprs(RegisterContext& context, QWidget* parent)
    : RegisterEntry(declare(context), context, parent) {
    cardNo_ = addInput(editableDropDown(QStringLiteral("cart_no"), this));
    surname_ = addInput(editableDropDown(QStringLiteral("nam"), this));
    unit_ = addInput(editableDropDown(QStringLiteral("semat"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("exit_tim"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat"), this));
    addInput(editableDropDown(QStringLiteral("elat"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("vorod_tim"), this));
    auto* comment = addInput(new QLineEdit(this));
    comment->setObjectName(QStringLiteral("cmt"));
    comment->setLayoutDirection(Qt::RightToLeft);
    for (const char* guard : {"negahban1", "negahban2"}) {
        auto* e = addInput(new QLineEdit(this));
        e->setObjectName(QString::fromLatin1(guard));
        e->setEnabled(false);
    }
    plate_ = maroonLabel(QStringLiteral("khodro_num"), this);
    mobile_ = maroonLabel(QStringLiteral("mobile"), this);
    image_ = new ui::ClickableLabel(QString(), this);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setFixedSize(73, 71);
    image_->setScaledContents(true);
    image_->setCursor(Qt::PointingHandCursor);
    showPicture_ = new QCheckBox(QStringLiteral("تصوير"), this);
    showPicture_->setObjectName(QStringLiteral("CheckBox1"));
    showPicture_->setChecked(true);

    QList<QWidget*> chain;
    for (const char* name :
         {"cart_no", "nam", "semat", "exit_tim", "exit_dat", "elat", "vorod_tim", "cmt"}) {
        QWidget* w = input(QString::fromLatin1(name));
        focusColours().watch(w);
        chain << w;
    }
    enterChain().chain(chain);

    onUserChange(cardNo_, this, [this] { cart_noChange(); });
    onUserChange(surname_, this, [this] { namChange(); });
    connect(showPicture_, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    connect(static_cast<ui::ClickableLabel*>(image_), &ui::ClickableLabel::clicked, this,
            [this] { Image1Click(); });
    layOut();
}

void Tprs::layOut() {
    auto* grid = new QGridLayout(this);
    int row = 0;
    const auto put = [&](QWidget* caption, QWidget* field, QWidget* beside = nullptr) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1);
        if (beside)
            grid->addWidget(beside, row, 2);
        ++row;
    };
    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    const auto clear = [this](const char* name) {
        return clearLabel(QStringLiteral("- - -"), QString::fromLatin1(name));
    };
    put(label(QStringLiteral("شماره كارت")), cardNo_, image_);
    put(label(QStringLiteral("نام")), surname_, showPicture_);
    put(label(QStringLiteral("شماره خودرو")), plate_);
    put(label(QStringLiteral("تلفن همراه")), mobile_);
    put(label(QStringLiteral("سمت")), unit_);
    put(nowLabel(QStringLiteral("ساعت خروج"), QStringLiteral("exit_tim")),
        input(QStringLiteral("exit_tim")), clear("exit_tim"));
    put(todayLabel(QStringLiteral("تاريخ"), QStringLiteral("exit_dat")),
        input(QStringLiteral("exit_dat")), clear("exit_dat"));
    put(label(QStringLiteral("علت")), input(QStringLiteral("elat")));
    put(nowLabel(QStringLiteral("ساعت ورود"), QStringLiteral("vorod_tim")),
        input(QStringLiteral("vorod_tim")), clear("vorod_tim"));
    put(label(QStringLiteral("توضيحات")), input(QStringLiteral("cmt")));
    put(label(QStringLiteral("نگهبان هنگام خروج")), input(QStringLiteral("negahban1")));
    put(label(QStringLiteral("نگهبان هنگام ورود")), input(QStringLiteral("negahban2")));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    grid->addLayout(buttons, row, 0, 1, 3);
}

db::Query& Tprs::openScratch(const QStringList& lines) {
    db::Query& q = context().dm.ADOQuery1;
    q.openSql(lines);
    return q;
}

void Tprs::takePerson(db::Query& q) {
    const bool found = !q.eof();
    plate_->setText(found ? q.fieldByName("khodro_num").asString() : QString());
    mobile_->setText(found ? q.fieldByName("mobile").asString() : QString());
    personId_ = found ? std::optional<qint64>(q.fieldByName("id").asInteger()) : std::nullopt;
}

void Tprs::clearPicture() {
    image_->clear();
    picture_.clear();
}

void Tprs::cart_noChange() {
    clearPicture();
    try {
        db::Query& q = openScratch({prs::personByCardSql(cardNo_->currentText())});
        q.first();
        const bool found = !q.eof();
        setText(QStringLiteral("nam"), found ? q.fieldByName("surname").asString() : QString());
        setText(QStringLiteral("semat"),
                found ? q.fieldByName("vahed_tabe").asString() : QString());
        takePerson(q);
    } catch (const db::DbError& e) {
        personId_.reset();
        showError(e);
        return;
    }
    CheckBox1Click();
}

void Tprs::namChange() {
    clearPicture();
    personId_.reset();
    QStringList cards;
    QStringList units;
    try {
        db::Query& q = openScratch({prs::personsBySurnameSql(surname_->currentText())});
        cardNo_->clear();
        plate_->setText(kUnknown);
        mobile_->setText(kUnknown);
        setText(QStringLiteral("cart_no"), {});
        setText(QStringLiteral("semat"), {});
        if (q.recordCount() < 2) {
            q.first();
            const bool found = !q.eof();
            setText(QStringLiteral("cart_no"),
                    found ? q.fieldByName("card_no").asString() : QString());
            setText(QStringLiteral("semat"),
                    found ? q.fieldByName("vahed_tabe").asString() : QString());
            takePerson(q);
        } else {
            for (q.first(); !q.eof(); q.next()) {
                cards << q.fieldByName("card_no").asString();
                units << q.fieldByName("vahed_tabe").asString();
            }
        }
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    if (!cards.isEmpty()) {
        fillFromPreset(cardNo_, cards);
        unit_->addItems(units);
        return;
    }
    CheckBox1Click();
}

void Tprs::CheckBox1Click() {
    clearPicture();
    if (!showPicture_->isChecked() || !personId_)
        return;
    // A person without a picture, or one that is not a JPEG, shows none.
    try {
        db::Query& q = context().dm.ADOQ_per_pic;
        q.close();
        q.sql().clear();
        q.sql().add(prs::pictureSql(*personId_));
        q.open();
        if (q.isEmpty())
            return;
        q.first();
        const QByteArray bytes = q.fieldByName("pic").asBytes();
        QImage picture;
        if (!picture.loadFromData(bytes, "JPEG"))
            return;
        image_->setPixmap(QPixmap::fromImage(picture));
        picture_ = bytes;
    } catch (const db::DbError&) {
        clearPicture();
    }
}

void Tprs::Image1Click() {
    if (picture_.isEmpty())
        return;
    const QString problem = ShowStoredPicture(picture_, QStringLiteral(".jpg"), context().opener);
    if (!problem.isEmpty())
        ui::showMessage(ui::MsgIcon::Warning, problem);
}

bool Tprs::confirmNew() {
    try {
        if (openScratch(prs::duplicateSql(text("exit_dat"), text("cart_no"), text("nam")))
                .isEmpty())
            return true;
    } catch (const db::DbError& e) {
        showError(e);
        return false;
    }
    return askYes(kDuplicateQuestion);
}

void Tprs::afterSaveNew() {
    if (askYes(kCarQuestion))
        addPrivateCar();
}

void Tprs::addPrivateCar() {
    const QString surname = text("nam");
    const QString plate = plate_->text();
    const QString day = text("exit_dat");
    const link::ColumnValues car = {{QStringLiteral("ranande"), surname},
                                    {QStringLiteral("num"), plate},
                                    {QStringLiteral("exit_dat"), kBlankDate},
                                    {QStringLiteral("exit_tim"), text("exit_tim")},
                                    {QStringLiteral("elat"), text("elat")},
                                    {QStringLiteral("maghsad"), QString()},
                                    {QStringLiteral("vorod_dat"), day},
                                    {QStringLiteral("vorod_tim"), text("vorod_tim")},
                                    {QStringLiteral("cmt"), prs::kCarWithPersonnel},
                                    {QStringLiteral("negahban1"), text("negahban1")},
                                    {QStringLiteral("negahban2"), text("negahban2")},
                                    {QStringLiteral("khodro_typ"), prs::kPrivateCar}};
    try {
        link::AddUnlessMatched(context().dm.ADOQuery1, prs::privateCarSql(surname, plate, day),
                               context().dm.ADOQ_khodro, car);
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tprs::afterSaveEdit() {
    std::optional<qint64> car;
    try {
        car = link::FirstMatch(context().dm.ADOQuery1,
                               prs::carStillOutSql(text("exit_dat"), plate_->text(), text("nam")));
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    if (!car) {
        accept();
        return;
    }
    if (!askYes(kCloseQuestion)) {
        ui::showMessage(ui::MsgIcon::Information, kCarStillOut);
        return;
    }
    try {
        link::CloseRow(context().dm.ADOQ_khodro, QStringLiteral("khodro"), *car,
                       {{QStringLiteral("exit_dat"), text("exit_dat")},
                        {QStringLiteral("exit_tim"), text("exit_tim")}},
                       prs::kLeftWithPersonnel);
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tprs::onPrepareNew() {
    clearPicture();
    personId_.reset();
    plate_->setText(kUnknown);
    mobile_->setText(kUnknown);
    try {
        db::Query& q = context().dm.ADOQuery1;
        setText(QStringLiteral("elat"), presets::defaultValue(q, presets::kExitReason));
        setText(QStringLiteral("semat"), presets::defaultValue(q, presets::kJobTitle));
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tprs::onPrepareEdit() {
    clearPicture();
    personId_.reset();
    plate_->setText(kUnknown);
    mobile_->setText(kUnknown);
    try {
        db::Query& q = openScratch({prs::personSql(text("nam"), text("cart_no"))});
        q.first();
        takePerson(q);
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    CheckBox1Click();
}

void Tprs::onShow() {
    // The card list is filled again only once a surname look-up left it empty; the
    // surname list is loaded once.
    try {
        if (cardNo_->count() == 0)
            fillFromPreset(cardNo_, columnValues(prs::cardListSql(), QStringLiteral("card_no")));
        if (surname_->count() == 0)
            fillFromPreset(surname_,
                           columnValues(prs::surnameListSql(), QStringLiteral("surname")));
    } catch (const db::DbError& e) {
        showError(e);
    }
}

QStringList Tprs::columnValues(const QString& sql, const QString& field) {
    db::Query& q = openScratch({sql});
    QStringList values;
    for (q.first(); !q.eof(); q.next())
        values << q.fieldByName(field).asString();
    return values;
}

} // namespace gc::registers
