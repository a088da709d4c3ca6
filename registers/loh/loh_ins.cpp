#include "registers/loh/loh_ins.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "registers/loh/core/loh_sql.h"
#include "registers/loh/core/next_day.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace gc::registers {

namespace {

const QString kDuplicate = QStringLiteral("تکراري است");
const QString kBadDate = QStringLiteral("تاريخ کامل و معتبر نيست");

QToolButton* speedButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    return b;
}

} // namespace

RegisterEntry::Declaration Tloh_ins::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("loh_ins");
    d.caption = QStringLiteral("ثبت لوح نگهباني");
    d.query = &context.dm.ADOQ_loh;
    d.savedColumns = {"dat", "loc", "day", "shift", "negahban"};
    d.editCopies = {"dat", "day", "loc", "shift", "negahban"};
    d.newFocus = QStringLiteral("dat");
    d.editFocus = QStringLiteral("dat");
    d.newTodayInputs = {"dat"};
    d.presetFills = {{"loc", presets::kGuardPlace}, {"negahban", presets::kGuardName}};
    return d;
}

Tloh_ins::Tloh_ins(RegisterContext& context, QWidget* parent)
    : RegisterEntry(declare(context), context, parent) {
    dat_ = addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat"), this));
    day_ = addInput(editableDropDown(QStringLiteral("day"), this, false));
    day_->addItems({"شنبه", "يکشنبه", "دوشنبه", "سه شنبه", "چهارشنبه", "پنجشنبه", "جمعه"});
    loc_ = addInput(editableDropDown(QStringLiteral("loc"), this, true));
    shift_ = addInput(editableDropDown(QStringLiteral("shift"), this, true));
    shift_->addItems({"روز", "روز و شب", "شب"});
    negahban_ = addInput(editableDropDown(QStringLiteral("negahban"), this, true));
    for (QComboBox* box : {day_, shift_})
        box->setEditText({});

    QToolButton* next = speedButton(QStringLiteral("SpeedButton2"), QStringLiteral("<"), this);
    QToolButton* blank = speedButton(QStringLiteral("SpeedButton1"), QStringLiteral("- - -"), this);
    connect(next, &QToolButton::clicked, this, &Tloh_ins::SpeedButton2Click);
    connect(blank, &QToolButton::clicked, this, &Tloh_ins::SpeedButton1Click);
    layOut(next, blank);
}

void Tloh_ins::layOut(QToolButton* next, QToolButton* blank) {
    auto* grid = new QGridLayout(this);
    const auto put = [&](int row, const QString& caption, QWidget* input) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(input, row, 1);
    };
    put(0, QStringLiteral("تاريخ"), dat_);
    auto* steps = new QHBoxLayout;
    steps->addWidget(next);
    steps->addWidget(blank);
    grid->addLayout(steps, 0, 2);
    put(1, QStringLiteral("روز هفته"), day_);
    put(2, QStringLiteral("محل کار"), loc_);
    put(3, QStringLiteral("شيفت"), shift_);
    put(4, QStringLiteral("نگهبان"), negahban_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    grid->addLayout(buttons, 5, 1);
    QWidget::setTabOrder(dat_, day_);
    QWidget::setTabOrder(day_, loc_);
    QWidget::setTabOrder(loc_, shift_);
    QWidget::setTabOrder(shift_, insButton());
    QWidget::setTabOrder(insButton(), negahban_);
    QWidget::setTabOrder(negahban_, editButton());
}

void Tloh_ins::SpeedButton2Click() {
    const auto next = NextPersianDay(dat_->storedText());
    if (!next) {
        ui::showMessage(ui::MsgIcon::Error, kBadDate);
        return;
    }
    dat_->setText(*next);
}

void Tloh_ins::SpeedButton1Click() {
    dat_->clearToBlank();
}

bool Tloh_ins::unique(std::optional<qlonglong> exceptId) {
    db::Query& q = context().dm.ADOQuery1;
    try {
        q.sql().clear();
        q.sql().add(
            loh::duplicateSql(text("dat"), text("loc"), text("day"), text("shift"), exceptId));
        q.open();
        if (q.isEmpty())
            return true;
        ui::showMessage(ui::MsgIcon::Warning, kDuplicate);
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
    return false;
}

bool Tloh_ins::confirmNew() {
    return unique(std::nullopt);
}

bool Tloh_ins::confirmEdit() {
    // An edit opened on an empty list adds a row, which has no key to leave out.
    return unique(editKey().isValid() ? std::optional(editKey().toLongLong()) : std::nullopt);
}

void Tloh_ins::afterSaveEdit() {
    ui::showMessage(ui::MsgIcon::Information, QStringLiteral("ويرايش شد"));
}

} // namespace gc::registers
