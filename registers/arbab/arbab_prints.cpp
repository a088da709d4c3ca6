#include "registers/arbab/arbab_prints.h"

#include "core/data_module.h"
#include "core/persian_date.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "registers/arbab/arbab_layouts.h"
#include "registers/arbab/barge_molaghat.h"
#include "registers/arbab/core/visit_print_sql.h"
#include "registers/shared/query_source.h"
#include "registers/shared/register_context.h"

namespace gc::registers {

namespace {

const QStringList kSlipFields = {"id1",      "name",   "maghsad", "tabaghe1", "otagh1", "cart_no",
                                 "madrak",   "dat",    "vorod",   "khoroj",   "gender", "cmt",
                                 "negahban", "barcod", "nazar",   "koroki"};

const QString kSlip = QStringLiteral("برگه ملاقات");

void sayError(const QString& text) {
    ui::showMessage(ui::MsgIcon::Error, text);
}

void sayNotPrinted(const QString& what, const QString& why) {
    sayError(QStringLiteral("%1 چاپ نشد: %2").arg(what, why));
}

} // namespace

VisitPrints::VisitPrints(RegisterContext& context, std::unique_ptr<report::Printer> printer)
    : ctx_(context), printer_(std::move(printer)) {}

std::unique_ptr<report::MemorySource> VisitPrints::slipRow(int visitId) {
    db::Query& resid = ctx_.dm.ADOQ_resid;
    resid.openSql(arbab::slipSelection(visitId));
    // Two rooms of one title would give the visit twice: one slip is printed all the same.
    if (resid.isEmpty()) {
        sayNotPrinted(kSlip, QStringLiteral("اين مراجعه در بانک اطلاعاتي نيست"));
        return nullptr;
    }
    resid.first();
    QVariantList values;
    for (const QString& name : kSlipFields) {
        const int i = resid.fieldIndex(name);
        values << (i < 0 ? QVariant() : resid.field(i).value());
    }
    auto row = std::make_unique<report::MemorySource>(kSlipFields);
    row->addRow(values);
    return row;
}

bool VisitPrints::print(report::Report& report, const QString& what) {
    const report::PrintOutcome outcome = report::printReport(report, *printer_, ctx_.printUi);
    switch (outcome.status) {
    case report::PrintStatus::Sent:
    case report::PrintStatus::SavedPdf:
        return true;
    case report::PrintStatus::Failed:
        sayNotPrinted(what, outcome.detail);
        return false;
    case report::PrintStatus::Previewed:
    case report::PrintStatus::Cancelled:
        break;
    }
    return false;
}

bool VisitPrints::printSlipOf(int visitId, const QString& what) {
    try {
        const auto row = slipRow(visitId);
        if (!row)
            return false;
        auto slip = Tbarge_molaghat::Report1(Tbarge_molaghat::Content::Visit);
        slip->data = row.get();
        return print(*slip, what);
    } catch (const db::DbError& e) {
        sayNotPrinted(what, e.message());
        return false;
    }
}

bool VisitPrints::printSlip(int visitId) {
    return printSlipOf(visitId, kSlip);
}

void VisitPrints::previewSlip(int visitId) {
    try {
        const auto row = slipRow(visitId);
        if (!row)
            return;
        auto slip = Tbarge_molaghat::Report1(Tbarge_molaghat::Content::Visit);
        slip->data = row.get();
        ctx_.printUi.preview(*slip);
    } catch (const db::DbError& e) {
        sayError(e.message());
    }
}

void VisitPrints::previewList() {
    auto list = Tarbabrojo_rep::Report1();
    list->variables.insert(QStringLiteral("dat"), ctx_.date.todayText());
    QueryDataSource rows(ctx_.dm.ADOQ_arbabrojo);
    list->data = &rows;
    ctx_.printUi.preview(*list);
}

void VisitPrints::previewCounts(bool byName, bool dateOn, const QString& from, const QString& to) {
    db::Query& counts = ctx_.dm.ADOQuery1;
    try {
        counts.openSql(arbab::countSelection(byName, dateOn, from, to));
    } catch (const db::DbError& e) {
        sayError(e.message());
        return;
    }
    auto report = Trep_count::Report1(byName);
    QueryDataSource rows(counts);
    report->data = &rows;
    ctx_.printUi.preview(*report);
}

bool VisitPrints::printSketch() {
    auto sketch = Tkoroki_mash::Report1();
    return print(*sketch, sketchCaption());
}

bool VisitPrints::printBlankCards() {
    const QString what = QStringLiteral("کارت هاي ملاقات");
    const auto answer =
        ui::dialogs().inputText(QStringLiteral("Cart Number"),
                                QStringLiteral("تعداد كارت درخواستي؟"), QStringLiteral("8"), false);
    if (!answer)
        return false;
    const auto count = arbab::parseCardCount(*answer);
    if (!count) {
        sayError(QStringLiteral("تعداد كارت بايد عددي درست از 1 تا %1 باشد").arg(arbab::kMaxCards));
        return false;
    }
    // Cards go to a printer or nowhere: the batch is kept only when the printer took it.
    if (!printer_->isAvailable()) {
        sayNotPrinted(what, QStringLiteral("هيچ چاپگري نصب نشده است"));
        return false;
    }
    QString why;
    const auto printCards = [&](const QList<arbab::BlankCard>& cards) {
        report::MemorySource rows({QStringLiteral("barcod"), QStringLiteral("name")});
        for (const arbab::BlankCard& card : cards)
            rows.addRow({QString::number(card.number), QString::number(card.position)});
        auto sheet = Tbarge_molaghat::Report1(Tbarge_molaghat::Content::BlankCard);
        sheet->data = &rows;
        const report::RenderResult r = printer_->print(*sheet);
        why = r.error;
        return r.ok() && r.pages > 0;
    };
    try {
        noteStoredProject(QStringLiteral("zamaem"), QStringLiteral("فايل ملاقات"));
        if (!arbab::issueBlankCards(ctx_.dm.ADOConnection1, ctx_.dm.ADOQuery1, ctx_.dm.ADOQ_barcod,
                                    *count, printCards)
                 .isEmpty())
            return true;
    } catch (const db::DbError& e) {
        why = e.message();
    }
    sayNotPrinted(what, why);
    return false;
}

bool VisitPrints::printReceipt(int visitId) {
    try {
        noteStoredProject(QStringLiteral("molaghat_file"), QStringLiteral("فايل ملاقات با کروکي"));
    } catch (const db::DbError& e) {
        sayError(e.message());
    }
    return printSlipOf(visitId, QStringLiteral("رسيد برگه ملاقات"));
}

void VisitPrints::noteStoredProject(const QString& table, const QString& caption) {
    if (noted_.contains(table) || !arbab::hasStoredProject(ctx_.dm.ADOQuery1, table))
        return;
    noted_.insert(table);
    ui::showMessage(ui::MsgIcon::Information,
                    QStringLiteral("«%1» در بانک اطلاعاتي نگه داشته مي شود، اما اين نسخه آن را "
                                   "اجرا نمي کند و طرح داخلي برگه را چاپ مي کند.")
                        .arg(caption));
}

VisitPrintHooks makeVisitPrintHooks(VisitPrints& prints) {
    VisitPrintHooks hooks;
    hooks.printSlip = [&prints](int visitId) { return prints.printSlip(visitId); };
    hooks.previewSlip = [&prints](int visitId) { prints.previewSlip(visitId); };
    hooks.previewList = [&prints] { prints.previewList(); };
    hooks.previewCounts = [&prints](bool byName, bool dateOn, QString from, QString to) {
        prints.previewCounts(byName, dateOn, from, to);
    };
    hooks.printSketch = [&prints] { prints.printSketch(); };
    hooks.printBlankCards = [&prints] { prints.printBlankCards(); };
    hooks.printReceipt = [&prints](int visitId) { prints.printReceipt(visitId); };
    return hooks;
}

} // namespace gc::registers
