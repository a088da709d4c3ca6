#include "registers/kala/kala.h"

#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/widgets.h"
#include "registers/kala/core/kala_sql.h"
#include "registers/shared/delete_password.h"
#include "registers/shared/entry_behaviour.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace gc::registers {

namespace {

// The catalogue's own delete code, not the registers' delete password.
const QString kDeleteCode = QStringLiteral("2947");

void showError(const db::DbError& e) {
    ui::showMessage(ui::MsgIcon::Error, e.message());
}

} // namespace

RegisterList::Declaration Tkala::declare(RegisterContext& context) {
    Declaration d;
    d.name = QStringLiteral("kala");
    d.caption = QStringLiteral("کالاها");
    d.query = &context.dm.ADOQ_kala;
    d.search = kala::catalogueSearch();
    d.columns = {{"id", "", {}, true},
                 {"cod", "کد", {}, false, 100},
                 {"cmt", "شرح", {}, false, 200},
                 {"vahed", "واحد", {}, false, 70}};
    d.searchButton.clear();
    return d;
}

Tkala::Tkala(RegisterContext& context, QWidget* parent)
    : RegisterList(declare(context), context, parent) {
    RadioGroup1 = new ui::RadioGroup(QStringLiteral("جستجو"), {"کد", "شرح", "واحد"}, filterArea());
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setItemIndex(0);
    src = namedLineEdit(QStringLiteral("src"), filterArea());
    src->setLayoutDirection(Qt::RightToLeft);
    cod = namedLineEdit(QStringLiteral("cod"), this);
    cmt = namedLineEdit(QStringLiteral("cmt"), this);
    vahed = namedLineEdit(QStringLiteral("vahed"), this);
    ins_btn = new QPushButton(QStringLiteral("ثبت"), this);
    ins_btn->setObjectName(QStringLiteral("ins_btn"));
    ins_btn->setAutoDefault(false);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("حذف"));
    N1->setObjectName(QStringLiteral("N1"));
    grid()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(grid()->viewport()->mapToGlobal(p)); });

    // The search text alone: switching the column takes effect at the next change.
    bindFilter(0, {nullptr, {src}, false, false, RadioGroup1});
    connect(src, &QLineEdit::textChanged, this, &Tkala::srcChange);
    connect(ins_btn, &QPushButton::clicked, this, &Tkala::ins_btnClick);
    connect(N1, &QAction::triggered, this, &Tkala::N1Click);
    layOut();
    resize(456, 488);
}

void Tkala::layOut() {
    auto* bar = new QHBoxLayout(filterArea());
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(RadioGroup1);
    bar->addWidget(src, 1);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("کد کالا"), cod);
    form->addRow(QStringLiteral("شرح کالا"), cmt);
    form->addRow(QStringLiteral("واحد"), vahed);
    form->addRow(QString(), ins_btn);
    windowLayout()->addLayout(form);
}

void Tkala::prepare() {
    for (QLineEdit* e : {cod, cmt, vahed})
        e->clear();
    if (src->text().isEmpty() && !query().isActive())
        srcChange();
    else
        src->clear();
}

void Tkala::srcChange() {
    search();
}

void Tkala::ins_btnClick() {
    db::Query& scratch = context().dm.ADOQuery1;
    db::Query& q = query();
    try {
        scratch.sql().clear();
        for (const QString& line : kala::duplicateSql(cod->text(), cmt->text(), vahed->text()))
            scratch.sql().add(line);
        scratch.open();
        if (!scratch.isEmpty()) {
            ui::showMessage(ui::MsgIcon::Warning, QStringLiteral("خطا! تکراريست"));
            return;
        }
        if (!q.isActive())
            q.open();
        q.append();
        q.fieldByName(QStringLiteral("cod")).setAsString(cod->text());
        q.fieldByName(QStringLiteral("cmt")).setAsString(cmt->text());
        q.fieldByName(QStringLiteral("vahed")).setAsString(vahed->text());
        q.post();
    } catch (const db::DbError& e) {
        q.cancel();
        showError(e);
        return;
    }
    ui::showMessage(ui::MsgIcon::Information, QStringLiteral("ثبت شد"));
    search();
}

void Tkala::N1Click() {
    db::Query& q = query();
    try {
        if (!q.isActive() || q.recNo() == 0)
            return;
        cod->setText(q.fieldByName(QStringLiteral("cod")).asString());
        cmt->setText(q.fieldByName(QStringLiteral("cmt")).asString());
        vahed->setText(q.fieldByName(QStringLiteral("vahed")).asString());
    } catch (const db::DbError& e) {
        showError(e);
        return;
    }
    if (DeleteWithCode(q, QStringLiteral("Password"), QStringLiteral("اسم رمز"), kDeleteCode) ==
        DeleteOutcome::Deleted)
        search();
}

} // namespace gc::registers
