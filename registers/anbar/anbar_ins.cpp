#include "registers/anbar/anbar_ins.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/anbar/core/anbar_sql.h"
#include "registers/kala/core/kala_sql.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gc::registers {

namespace {

QLineEdit* lineEdit(const QString& name, QWidget* parent, bool rightToLeft) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (rightToLeft)
        e->setLayoutDirection(Qt::RightToLeft);
    return e;
}

const QStringList kColumns = {"typ",  "cod",  "kala",   "vahed", "cnt",
                              "dat",  "saat", "sanad",  "mabda", "maghsad",
                              "prs1", "prs2", "khodro", "cmt",   "negahban"};

} // namespace

RegisterEntry::Declaration Tanbar_ins::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("anbar_ins");
    d.caption = QStringLiteral("ثبت/ويرايش انبار");
    d.query = &context.dm.ADOQ_anbar;
    d.savedColumns = kColumns;
    d.editCopies = kColumns;
    d.newGuardInput = QStringLiteral("negahban");
    d.editGuardColumn = QStringLiteral("negahban");
    d.newFocus = QStringLiteral("cod");
    d.editFocus = QStringLiteral("cod");
    d.newTodayInputs = {"dat"};
    d.newNowInputs = {"saat"};
    d.presetFills = {{"mabda", presets::kDestination},
                     {"maghsad", presets::kDestination},
                     {"khodro", presets::kOfficialPlate}};
    return d;
}

Tanbar_ins::Tanbar_ins(RegisterContext& context, QWidget* parent)
    : RegisterEntry(declare(context), context, parent) {
    typ_ = addInput(new ui::RadioGroup(QStringLiteral("نوع"), anbar::movementTypes(), this, 4));
    typ_->setObjectName(QStringLiteral("typ"));
    typ_->setItemIndex(0);
    cod_ = addInput(editableDropDown(QStringLiteral("cod"), this));
    kala_ = addInput(editableDropDown(QStringLiteral("kala"), this));
    vahed_ = addInput(editableDropDown(QStringLiteral("vahed"), this));
    addInput(lineEdit(QStringLiteral("cnt"), this, false));
    dat_ = addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat"), this));
    saat_ = addInput(new MaskEdit(MaskEdit::Kind::Time, QStringLiteral("saat"), this));
    addInput(lineEdit(QStringLiteral("sanad"), this, false));
    addInput(editableDropDown(QStringLiteral("mabda"), this));
    addInput(editableDropDown(QStringLiteral("maghsad"), this));
    auto* prs1 = addInput(editableDropDown(QStringLiteral("prs1"), this));
    prs1->setLayoutDirection(Qt::RightToLeft);
    addInput(lineEdit(QStringLiteral("prs2"), this, true));
    addInput(editableDropDown(QStringLiteral("khodro"), this));
    addInput(lineEdit(QStringLiteral("negahban"), this, true))->setEnabled(false);
    addInput(lineEdit(QStringLiteral("cmt"), this, true));

    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(16);
    font.setBold(true);
    for (const QString& name : kColumns)
        input(name)->setFont(font);

    onUserChange(cod_, this, [this] { codChange(); });
    onUserChange(kala_, this, [this] { kalaChange(); });
    layOut();
    setFixedSize(QSize(786, 374).expandedTo(sizeHint()));
}

void Tanbar_ins::layOut() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(typ_, 0, 0, 1, 6);
    const auto put = [&](int row, int column, const QString& caption, QWidget* w) {
        grid->addWidget(new QLabel(caption, this), row, column);
        grid->addWidget(w, row, column + 1);
    };
    put(1, 0, QStringLiteral("كد کالا"), cod_);
    put(1, 2, QStringLiteral("شرح كالا"), kala_);
    put(1, 4, QStringLiteral("واحد کالا"), vahed_);
    put(2, 0, QStringLiteral("مقدار"), input("cnt"));
    put(2, 2, QStringLiteral("تاريخ"), dat_);
    grid->addWidget(clearLabel(QStringLiteral(" - - -"), QStringLiteral("dat")), 2, 4);
    put(3, 0, QStringLiteral("شماره سند"), input("sanad"));
    put(3, 2, QStringLiteral("ساعت"), saat_);
    grid->addWidget(clearLabel(QStringLiteral(" - - -"), QStringLiteral("saat")), 3, 4);
    put(4, 0, QStringLiteral("مبدا"), input("mabda"));
    put(4, 2, QStringLiteral("مقصد"), input("maghsad"));
    put(5, 0, QStringLiteral("تحويل دهنده"), input("prs1"));
    put(5, 2, QStringLiteral("تحويل گيرنده"), input("prs2"));
    put(6, 0, QStringLiteral("شماره ماشين"), input("khodro"));
    put(6, 2, QStringLiteral("نگهبان"), input("negahban"));
    put(7, 0, QStringLiteral("توضيحات"), input("cmt"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    grid->addLayout(buttons, 8, 1, 1, 4);
}

QComboBox* Tanbar_ins::combo(const QString& name) const {
    return qobject_cast<QComboBox*>(input(name));
}

QLineEdit* Tanbar_ins::edit(const QString& name) const {
    return qobject_cast<QLineEdit*>(input(name));
}

void Tanbar_ins::onShow() {
    // The codes are read once; goods added later can still be typed.
    if (cod_->count() > 0)
        return;
    try {
        fillFromPreset(cod_, kala::codes(context().dm.ADOQuery1));
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
}

void Tanbar_ins::codChange() {
    vahed_->setEditText({});
    kala_->clear();
    kala_->setEditText({});
    try {
        const auto described = kala::descriptionsOf(context().dm.ADOQuery1, cod_->currentText());
        QStringList descriptions;
        for (const kala::Described& d : described)
            descriptions << d.cmt;
        fillFromPreset(kala_, descriptions);
        if (described.size() == 1) {
            kala_->setEditText(described.front().cmt);
            vahed_->setEditText(described.front().vahed);
        }
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
}

void Tanbar_ins::kalaChange() {
    vahed_->clear();
    vahed_->setEditText({});
    try {
        const QStringList units =
            kala::unitsOf(context().dm.ADOQuery1, cod_->currentText(), kala_->currentText());
        fillFromPreset(vahed_, units);
        if (units.size() == 1)
            vahed_->setEditText(units.front());
    } catch (const db::DbError&) {
        // The units only help; a failed look-up leaves the unit to be typed.
    }
}

} // namespace gc::registers
