#include "registers/shared/register_entry.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "core/preset_lists.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/shared/core/current_time.h"
#include "registers/shared/input_text.h"
#include "registers/shared/stamp_check.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace gc::registers {

namespace {

const QString kKeyField = QStringLiteral("id");

QGridLayout* gridHolding(QLayout* layout, QWidget* w) {
    if (!layout)
        return nullptr;
    if (auto* grid = qobject_cast<QGridLayout*>(layout); grid && grid->indexOf(w) >= 0)
        return grid;
    for (int i = 0; i < layout->count(); ++i)
        if (QGridLayout* grid = gridHolding(layout->itemAt(i)->layout(), w))
            return grid;
    return nullptr;
}

// The caption laid out before an input in its grid row, if it has one.
QString captionBefore(QWidget* input) {
    QGridLayout* grid =
        input->parentWidget() ? gridHolding(input->parentWidget()->layout(), input) : nullptr;
    if (!grid)
        return {};
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(input), &row, &column, &rows, &columns);
    QLayoutItem* before = column > 0 ? grid->itemAtPosition(row, column - 1) : nullptr;
    const auto* label = before ? qobject_cast<QLabel*>(before->widget()) : nullptr;
    return label ? label->text().trimmed() : QString();
}

} // namespace

RegisterEntry::RegisterEntry(Declaration declaration, RegisterContext& context, QWidget* parent)
    : QDialog(parent), decl_(std::move(declaration)), ctx_(context) {
    Q_ASSERT(decl_.query);
    setObjectName(decl_.name);
    setWindowTitle(decl_.caption);
    setLayoutDirection(Qt::RightToLeft);
    insBtn_ = new QPushButton(QStringLiteral("ثبت"), this);
    insBtn_->setObjectName(QStringLiteral("ins_btn"));
    editBtn_ = new QPushButton(QStringLiteral("ويرايش"), this);
    editBtn_->setObjectName(QStringLiteral("edit_btn"));
    for (QPushButton* b : {insBtn_, editBtn_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(insBtn_, &QPushButton::clicked, this, [this] { saveNew(); });
    connect(editBtn_, &QPushButton::clicked, this, [this] { saveEdit(); });
}

QWidget* RegisterEntry::input(const QString& name) const {
    for (QWidget* w : inputs_)
        if (w->objectName() == name)
            return w;
    return nullptr;
}

QString RegisterEntry::text(const QString& name) const {
    const QWidget* w = input(name);
    return w ? inputText(w) : QString();
}

void RegisterEntry::setText(const QString& name, const QString& text) {
    if (QWidget* w = input(name))
        setInputText(w, text);
}

void RegisterEntry::enterSaves(QWidget* w) {
    enterChain_.onEnter(w, [this] {
        if (editMode())
            saveEdit();
        else
            saveNew();
    });
}

ui::ClickableLabel* RegisterEntry::todayLabel(const QString& caption, const QString& inputName) {
    auto* label = new ui::ClickableLabel(caption, this);
    connect(label, &ui::ClickableLabel::clicked, this,
            [this, inputName] { setText(inputName, today()); });
    return label;
}

ui::ClickableLabel* RegisterEntry::nowLabel(const QString& caption, const QString& inputName) {
    auto* label = new ui::ClickableLabel(caption, this);
    connect(label, &ui::ClickableLabel::clicked, this,
            [this, inputName] { setText(inputName, now()); });
    return label;
}

ui::ClickableLabel* RegisterEntry::clearLabel(const QString& caption, const QString& inputName) {
    auto* label = new ui::ClickableLabel(caption, this);
    connect(label, &ui::ClickableLabel::clicked, this,
            [this, inputName] { setText(inputName, QString()); });
    return label;
}

QString RegisterEntry::today() const {
    return ctx_.date.todayText();
}

QString RegisterEntry::now() const {
    return CurrentTime24(ctx_.clock);
}

bool RegisterEntry::editMode() const {
    return !editBtn_->isHidden();
}

void RegisterEntry::prepareNew() {
    ctx_.date.PersianToday();
    for (QWidget* w : inputs_)
        setInputText(w, QString());
    if (!decl_.newGuardInput.isEmpty())
        setText(decl_.newGuardInput, ctx_.guardName());
    for (const QString& name : decl_.newTodayInputs)
        setText(name, today());
    for (const QString& name : decl_.newNowInputs)
        setText(name, now());
    insBtn_->show();
    editBtn_->hide();
    editKey_ = QVariant();
    onPrepareNew();
    rememberInputs();
    if (QWidget* w = input(decl_.newFocus))
        w->setFocus();
}

void RegisterEntry::prepareEdit() {
    db::Query& q = query();
    editKey_ = QVariant();
    rowTexts_.clear();
    try {
        const bool hasRow = q.isActive() && q.recNo() > 0;
        if (hasRow && q.fieldIndex(kKeyField) >= 0)
            editKey_ = q.fieldByName(kKeyField).value();
        if (hasRow)
            q.markCurrentSeen();
        for (const QString& name : decl_.editCopies) {
            const QString stored = hasRow ? q.fieldByName(name).asString() : QString();
            rowTexts_.insert(name, stored);
            setText(name, stored);
        }
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
    if (!decl_.editGuardInput.isEmpty())
        setText(decl_.editGuardInput, ctx_.guardName());
    insBtn_->hide();
    editBtn_->show();
    onPrepareEdit();
    rememberInputs();
    if (QWidget* w = input(decl_.editFocus))
        w->setFocus();
}

int RegisterEntry::openNew() {
    prepareNew();
    return exec();
}

int RegisterEntry::openEdit() {
    prepareEdit();
    return exec();
}

void RegisterEntry::rememberInputs() {
    loaded_.clear();
    for (const QWidget* w : inputs_)
        loaded_.insert(w->objectName(), inputText(w));
}

void RegisterEntry::rememberSaved() {
    for (const QString& name : decl_.savedColumns)
        rowTexts_.insert(name, text(name));
}

bool RegisterEntry::hasUnsavedInput() const {
    for (const QWidget* w : inputs_)
        if (inputText(w) != loaded_.value(w->objectName()))
            return true;
    return false;
}

void RegisterEntry::reject() {
    if (hasUnsavedInput() &&
        ui::showMessage(ui::MsgIcon::Warning, QStringLiteral("اطلاعات ثبت نشده است. بسته شود؟"),
                        ui::Yes | ui::No) != ui::Yes)
        return;
    QDialog::reject();
}

QString RegisterEntry::editGuardName() const {
    return decl_.editGuardColumn.isEmpty() ? decl_.editGuardInput : decl_.editGuardColumn;
}

QStringList RegisterEntry::editedColumns() const {
    const QString guard = editGuardName();
    QStringList out;
    bool witnessed = false;
    for (const QString& name : decl_.savedColumns) {
        if (name == guard || text(name) == rowTexts_.value(name, loaded_.value(name)))
            continue;
        out << name;
        witnessed = witnessed || decl_.editGuardWitnesses.isEmpty() ||
                    decl_.editGuardWitnesses.contains(name);
    }
    const bool guardTyped = input(guard) && text(guard) != loaded_.value(guard);
    if (decl_.savedColumns.contains(guard) && (witnessed || guardTyped))
        out << guard;
    return out;
}

void RegisterEntry::assignColumns(bool insert, const QStringList& columns) {
    for (const QString& name : columns)
        query().fieldByName(name).setAsString(
            !insert && name == decl_.editGuardColumn ? ctx_.guardName() : text(name));
}

bool RegisterEntry::post(bool insert) {
    db::Query& q = query();
    try {
        if (!q.isActive())
            q.open();
        // An edit opened on no row (the list not searched yet, or empty) adds one: writing
        // over whatever row the query opened on would change a row the guard never saw.
        const bool adding = insert || !editKey_.isValid();
        if (adding) {
            q.append();
        } else {
            // The row the user chose, even if the list's current row moved meanwhile.
            if (q.recNo() > 0 && q.fieldByName(kKeyField).value() != editKey_ &&
                !q.locate(kKeyField, editKey_))
                throw db::DbError(QStringLiteral("رکوردي که براي ويرايش باز شده بود ديگر در "
                                                 "ليست نيست؛ چيزي ثبت نشد"));
            q.edit();
        }
        assignColumns(insert, adding ? decl_.savedColumns : editedColumns());
        q.post();
        // A row an edit added is the one its next save edits.
        if (!insert && adding && q.fieldIndex(kKeyField) >= 0)
            editKey_ = q.fieldByName(kKeyField).value();
    } catch (const db::DbError& e) {
        q.cancel();
        ui::showMessage(ui::MsgIcon::Error, labelled(e.message()));
        return false;
    }
    return true;
}

QString RegisterEntry::labelled(const QString& message) const {
    for (QWidget* w : inputs_) {
        const QString named = QStringLiteral("«%1»").arg(w->objectName());
        const QString caption = captionBefore(w);
        if (!caption.isEmpty() && message.contains(named))
            return QString(message).replace(
                named, QStringLiteral("«%1» (%2)").arg(caption, w->objectName()));
    }
    return message;
}

bool RegisterEntry::checkStamps() const {
    QList<CaptionedInput> stamps;
    for (QWidget* w : inputs_) {
        const QString caption = captionBefore(w);
        stamps.append({w, caption.isEmpty() ? w->objectName() : caption});
    }
    return stampsAcceptable(stamps);
}

bool RegisterEntry::saveNew() {
    if (!checkStamps())
        return false;
    if (!confirmNew())
        return false;
    if (!writeNew())
        return false;
    rememberSaved();
    afterSaveNew();
    rememberInputs();
    return true;
}

bool RegisterEntry::saveEdit() {
    if (!checkStamps())
        return false;
    if (!confirmEdit())
        return false;
    if (!post(false))
        return false;
    rememberSaved();
    afterSaveEdit();
    rememberInputs();
    return true;
}

void RegisterEntry::afterSaveNew() {
    if (!decl_.savedMessage.isEmpty())
        ui::showMessage(ui::MsgIcon::Information, decl_.savedMessage);
}

void RegisterEntry::afterSaveEdit() {
    accept();
}

void RegisterEntry::showEvent(QShowEvent* event) {
    try {
        for (const auto& [name, list] : decl_.presetFills)
            if (auto* box = qobject_cast<QComboBox*>(input(name)))
                fillFromPreset(box, presets::values(ctx_.dm.ADOQuery1, list));
    } catch (const db::DbError& e) {
        ui::showMessage(ui::MsgIcon::Error, e.message());
    }
    onShow();
    QDialog::showEvent(event);
}

} // namespace gc::registers
