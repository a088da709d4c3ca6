#include "registers/shared/list_print.h"

#include "platform/report/report.h"
#include "platform/report/report_dialogs.h"
#include "platform/ui/dialogs.h"

namespace gc::registers {

QString noPrinterQuestion(const QString& message) {
    return message + QStringLiteral("\nبله: پيش نمايش      خير: ذخيره در فايل PDF");
}

report::PrintUi::NoPrinterChoice DialogsPrintUi::askNoPrinter(const QString& message) {
    switch (ui::dialogs().message(ui::MsgIcon::Warning, noPrinterQuestion(message),
                                  ui::Yes | ui::No | ui::Cancel)) {
    case ui::Yes:
        return NoPrinterChoice::Preview;
    case ui::No:
        return NoPrinterChoice::Pdf;
    default:
        return NoPrinterChoice::Cancel;
    }
}

QString DialogsPrintUi::choosePdfPath(const QString& suggestedName) {
    QString path =
        ui::dialogs().saveFileName(QStringLiteral("ذخيره PDF - ") + suggestedName, "PDF (*.pdf)");
    if (!path.isEmpty() && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    return path;
}

void DialogsPrintUi::preview(report::Report& report) {
    const report::PrintOutcome out = report::previewReport(report, parent_);
    if (out.status != report::PrintStatus::Failed)
        return;
    const QString what = report.title.isEmpty() ? QStringLiteral("گزارش") : report.title;
    ui::showMessage(ui::MsgIcon::Error, QStringLiteral("%1 چاپ نشد: %2").arg(what, out.detail));
}

} // namespace gc::registers
