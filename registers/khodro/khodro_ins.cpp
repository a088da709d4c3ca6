#include "registers/khodro/khodro_ins.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/khodro/core/khodro_sql.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace gc::registers {

namespace {

const QString kDuplicateQuestion = QStringLiteral(
    "اين نام خانوادگي و شماره ماشين در اين تاريخ تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kPersonnelQuestion =
    QStringLiteral("خودرو ثبت شد.  آيا مي خواهيد نام راننده در بخش پرسنل نيز ثبت گردد؟");
const QString kCloseQuestion =
    QStringLiteral("ويرايش انجام شد.  آيا مي خواهيد خود اين فرد نيز خروج بخورد؟");

bool askYes(const QString& question) {
    return ui::dialogs().message(ui::MsgIcon::Warning, question, ui::Yes | ui::No | ui::Cancel) ==
           ui::Yes;
}

void showError(const db::DbError& e) {
    ui::showMessage(ui::MsgIcon::Error, e.message());
}

QFont inputFont() {
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(19);
    f.setBold(true);
    return f;
}

} // namespace

RegisterEntry::Declaration Tkhodro_ins::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("khodro_ins");
    d.caption = QStringLiteral("ثبت/ويرايش خودرو");
    d.query = &context.dm.ADOQ_khodro;
    d.savedColumns = {"ranande",   "num",       "exit_dat", "exit_tim",  "elat",      "maghsad",
                      "vorod_dat", "vorod_tim", "cmt",      "negahban1", "negahban2", "khodro_typ"};
    d.editCopies = {"ranande", "num",      "elat",     "vorod_dat", "maghsad",   "vorod_tim",
                    "cmt",     "exit_dat", "exit_tim", "negahban1", "khodro_typ"};
    d.newGuardInput = QStringLiteral("negahban1");
    d.editGuardInput = QStringLiteral("negahban2");
    d.editGuardWitnesses = {"exit_dat", "exit_tim", "vorod_dat", "vorod_tim"};
    d.newFocus = QStringLiteral("khodro_typ");
    d.editFocus = QStringLiteral("vorod_dat");
    d.newTodayInputs = {"exit_dat", "vorod_dat"};
    d.presetFills = {{"elat", presets::kExitReason}, {"maghsad", presets::kDestination}};
    d.savedMessage.clear(); // the saved message depends on the type
    return d;
}

Tkhodro_ins::Tkhodro_ins(RegisterContext& context, QWidget* parent)
    : RegisterEntry(declare(context), context, parent) {
    typ_ = addInput(editableDropDown(QStringLiteral("khodro_typ"), this, true));
    typ_->addItems({khodro::kOfficial, khodro::kPersonal});
    cardNo_ = addInput(namedLineEdit(QStringLiteral("cart_no"), this));
    driver_ = addInput(editableDropDown(QStringLiteral("ranande"), this, true));
    plate_ = addInput(editableDropDown(QStringLiteral("num"), this, true));
    plate_->setLayoutDirection(Qt::LeftToRight);
    addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("exit_dat"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("exit_tim"), this));
    addInput(editableDropDown(QStringLiteral("elat"), this, true));
    addInput(editableDropDown(QStringLiteral("maghsad"), this, true));
    addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("vorod_dat"), this));
    addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("vorod_tim"), this));
    addInput(namedLineEdit(QStringLiteral("cmt"), this))->setLayoutDirection(Qt::RightToLeft);
    for (const char* guard : {"negahban1", "negahban2"})
        addInput(namedLineEdit(QString::fromLatin1(guard), this))->setEnabled(false);

    for (const char* name :
         {"khodro_typ", "cart_no", "ranande", "num", "exit_dat", "exit_tim", "elat", "maghsad",
          "vorod_dat", "vorod_tim", "cmt", "negahban1", "negahban2"}) {
        QWidget* w = input(QString::fromLatin1(name));
        w->setFont(inputFont());
        focusColours().watch(w);
    }
    enterChain().chain({typ_, cardNo_});
    enterSaves(cardNo_);
    bindChangeHandlers();
    layOut();
}

void Tkhodro_ins::bindChangeHandlers() {
    onUserChange(typ_, this, [this] { khodro_typChange(); });
    connect(cardNo_, &QLineEdit::textEdited, this, [this] { cart_noChange(); });
    onUserChange(driver_, this, [this] { ranandeChange(); });
    onUserChange(plate_, this, [this] { numChange(); });
}

void Tkhodro_ins::layOut() {
    auto* grid = new QGridLayout(this);
    int row = 0;
    const auto put = [&](QWidget* caption, const QString& name, QWidget* beside = nullptr) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(input(name), row, 1);
        if (beside)
            grid->addWidget(beside, row, 2);
        ++row;
    };
    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    put(label(QStringLiteral("نوع خودرو")), QStringLiteral("khodro_typ"));
    put(label(QStringLiteral("نام راننده")), QStringLiteral("ranande"), cardNo_);
    put(label(QStringLiteral("شماره خودرو")), QStringLiteral("num"));
    put(todayLabel(QStringLiteral("تاريخ خروج"), QStringLiteral("exit_dat")),
        QStringLiteral("exit_dat"),
        clearLabel(QStringLiteral("- - -"), QStringLiteral("exit_dat")));
    put(nowLabel(QStringLiteral("ساعت خروج"), QStringLiteral("exit_tim")),
        QStringLiteral("exit_tim"),
        clearLabel(QStringLiteral("- - -"), QStringLiteral("exit_tim")));
    put(label(QStringLiteral("علت خروج")), QStringLiteral("elat"));
    put(label(QStringLiteral("مقصد")), QStringLiteral("maghsad"));
    put(todayLabel(QStringLiteral("تاريخ ورود"), QStringLiteral("vorod_dat")),
        QStringLiteral("vorod_dat"),
        clearLabel(QStringLiteral("- - -"), QStringLiteral("vorod_dat")));
    put(nowLabel(QStringLiteral("ساعت ورود"), QStringLiteral("vorod_tim")),
        QStringLiteral("vorod_tim"),
        clearLabel(QStringLiteral("- - -"), QStringLiteral("vorod_tim")));
    put(label(QStringLiteral("توضيحات")), QStringLiteral("cmt"));
    put(label(QStringLiteral("نگهبان هنگام خروج")), QStringLiteral("negahban1"));
    put(label(QStringLiteral("نگهبان هنگام ورود")), QStringLiteral("negahban2"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    grid->addLayout(buttons, row, 0, 1, 3);
}

db::Query& Tkhodro_ins::openScratch(const QStringList& lines) {
    db::Query& q = context().dm.ADOQuery1;
    q.openSql(lines);
    return q;
}

QStringList Tkhodro_ins::lookUp(const QString& sql, const QString& field) {
    db::Query& q = openScratch({sql});
    QStringList values;
    for (q.first(); !q.eof(); q.next())
        values << q.fieldByName(field).asString();
    return values;
}

void Tkhodro_ins::khodro_typChange() {
    setText(QStringLiteral("ranande"), {});
    setText(QStringLiteral("cart_no"), {});
    setText(QStringLiteral("num"), {});
    cardNo_->setFocus();
    const QString type = typ_->currentText();
    const QString field = QStringLiteral("cmt");
    try {
        // A type with no list of its own empties both lists.
        const auto drivers = khodro::driverListSql(type);
        fillFromPreset(driver_, drivers ? lookUp(*drivers, field) : QStringList());
        const auto plates = khodro::plateListSql(type);
        fillFromPreset(plate_, plates ? lookUp(*plates, field) : QStringList());
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    if (type == khodro::kPersonal) {
        setText(QStringLiteral("vorod_dat"), today());
        setText(QStringLiteral("vorod_tim"), now());
        setText(QStringLiteral("exit_tim"), {});
    }
}

void Tkhodro_ins::cart_noChange() {
    setText(QStringLiteral("num"), {});
    setText(QStringLiteral("ranande"), {});
    if (typ_->currentText() != khodro::kPersonal)
        return;
    QStringList drivers;
    QStringList plates;
    try {
        db::Query& q = openScratch({khodro::cardLookupSql(cardNo_->text())});
        q.first();
        driver_vahed_tabe_ = q.eof() ? QString() : q.fieldByName("vahed_tabe").asString();
        for (; !q.eof(); q.next()) {
            drivers << q.fieldByName("surname").asString();
            plates << q.fieldByName("khodro_num").asString();
        }
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    fillFromPreset(driver_, drivers);
    fillFromPreset(plate_, plates);
    if (drivers.size() == 1) {
        setText(QStringLiteral("ranande"), drivers.front());
        setText(QStringLiteral("num"), plates.front());
    }
}

void Tkhodro_ins::ranandeChange() {
    if (typ_->currentText() != khodro::kPersonal)
        return;
    try {
        const QStringList plates =
            lookUp(khodro::platesOfDriverSql(driver_->currentText()), QStringLiteral("cmt"));
        fillFromPreset(plate_, plates);
        if (plates.size() == 1)
            setText(QStringLiteral("num"), plates.front());
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tkhodro_ins::numChange() {
    if (typ_->currentText() != khodro::kPersonal)
        return;
    setText(QStringLiteral("ranande"), {});
    setText(QStringLiteral("cart_no"), {});
    try {
        const QStringList drivers =
            lookUp(khodro::driversOfPlateSql(plate_->currentText()), QStringLiteral("cmt"));
        fillFromPreset(driver_, drivers);
        if (drivers.size() == 1)
            setText(QStringLiteral("ranande"), drivers.front());
    } catch (const db::DbError& e) {
        showError(e);
    }
}

bool Tkhodro_ins::confirmNew() {
    try {
        if (openScratch(khodro::duplicateSql(text("khodro_typ"), text("ranande"), text("num"),
                                             text("vorod_dat")))
                .isEmpty())
            return true;
    } catch (const db::DbError& e) {
        showError(e);
        return false;
    }
    if (askYes(kDuplicateQuestion))
        return true;
    khodro_typChange();
    return false;
}

link::CarMovement Tkhodro_ins::carMovement() const {
    link::CarMovement car;
    car.cardNo = text(QStringLiteral("cart_no"));
    car.driver = text(QStringLiteral("ranande"));
    car.department = driver_vahed_tabe_;
    car.exitTime = text(QStringLiteral("exit_tim"));
    car.entryDate = text(QStringLiteral("vorod_dat"));
    car.entryTime = text(QStringLiteral("vorod_tim"));
    car.reason = text(QStringLiteral("elat"));
    car.exitGuard = text(QStringLiteral("negahban1"));
    car.entryGuard = text(QStringLiteral("negahban2"));
    return car;
}

void Tkhodro_ins::afterSaveNew() {
    // Every type but the official one is offered to the personnel register.
    if (text("khodro_typ") == khodro::kOfficial) {
        ui::showMessage(ui::MsgIcon::Information, QStringLiteral("ثبت شد"));
    } else if (askYes(kPersonnelQuestion)) {
        try {
            link::AddPersonnelRowForCar(context().dm, carMovement());
        } catch (const db::DbError& e) {
            showError(e);
        }
    }
    khodro_typChange();
}

void Tkhodro_ins::afterSaveEdit() {
    std::optional<qint64> open;
    try {
        open = link::FindOpenPersonnelRow(context().dm, text("exit_dat"), text("ranande"));
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    if (!open) {
        accept();
        return;
    }
    if (!askYes(kCloseQuestion))
        return;
    try {
        link::ClosePersonnelRow(context().dm, *open, text("exit_tim"));
    } catch (const db::DbError& e) {
        showError(e);
    }
}

void Tkhodro_ins::onPrepareEdit() {
    setText(QStringLiteral("cart_no"), {});
}

void Tkhodro_ins::onShow() {
    driver_vahed_tabe_.clear();
}

} // namespace gc::registers
