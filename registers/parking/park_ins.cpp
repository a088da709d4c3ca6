#include "registers/parking/park_ins.h"

#include "core/data_module.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/mask_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gc::registers {

RegisterEntry::Declaration Tpark_ins::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("park_ins");
    d.caption = QStringLiteral("ثبت/ويرايش پاركينگ");
    d.query = &context.dm.ADOQ_parking;
    d.savedColumns = {"num", "loc", "dat", "cmt", "negahban"};
    d.editCopies = {"num", "loc", "dat", "cmt"};
    d.newGuardInput = QStringLiteral("negahban");
    d.editGuardInput = QStringLiteral("negahban");
    d.newFocus = QStringLiteral("num");
    d.editFocus = QStringLiteral("num");
    d.newTodayInputs = {"dat"};
    d.presetFills = {{"num", presets::kOfficialPlate}, {"loc", presets::kParking}};
    return d;
}

Tpark_ins::Tpark_ins(RegisterContext& context, QWidget* parent)
    : RegisterEntry(declare(context), context, parent) {
    plate_ = addInput(editableDropDown(QStringLiteral("num"), this));
    setSortedList(plate_);
    comment_ = addInput(namedLineEdit(QStringLiteral("cmt"), this));
    comment_->setLayoutDirection(Qt::RightToLeft);
    date_ = addInput(new MaskEdit(MaskEdit::Kind::Date, QStringLiteral("dat"), this));
    guard_ = addInput(namedLineEdit(QStringLiteral("negahban"), this));
    guard_->setEnabled(false);
    place_ = addInput(editableDropDown(QStringLiteral("loc"), this));
    layOut();
    setTabOrder(plate_, comment_);
    setTabOrder(comment_, insButton());
    setTabOrder(insButton(), editButton());
    setTabOrder(editButton(), date_);
    setTabOrder(date_, guard_);
    setTabOrder(guard_, place_);
}

void Tpark_ins::layOut() {
    auto* grid = new QGridLayout(this);
    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    grid->addWidget(label(QStringLiteral("شماره خودرو")), 0, 0);
    grid->addWidget(plate_, 0, 1);
    grid->addWidget(label(QStringLiteral("تاريخ")), 1, 0);
    grid->addWidget(date_, 1, 1);
    ui::ClickableLabel* blank = clearLabel(QStringLiteral("- - -"), QStringLiteral("dat"));
    blank->setObjectName(QStringLiteral("Label6"));
    grid->addWidget(blank, 1, 2);
    grid->addWidget(label(QStringLiteral("محل پارك")), 2, 0);
    grid->addWidget(place_, 2, 1);
    grid->addWidget(label(QStringLiteral("توضيحات")), 3, 0);
    grid->addWidget(comment_, 3, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("نگهبان")), 4, 0);
    grid->addWidget(guard_, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insButton());
    buttons->addWidget(editButton());
    grid->addLayout(buttons, 5, 0, 1, 3);
}

void Tpark_ins::onPrepareNew() {
    try {
        setText(QStringLiteral("loc"),
                presets::defaultValue(context().dm.adoq_set, presets::kParking));
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
}

} // namespace gc::registers
