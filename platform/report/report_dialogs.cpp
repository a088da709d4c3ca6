#include "platform/report/report_dialogs.h"

#include "platform/report/report.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/placement.h"

#include <QDir>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace gc::report {

namespace {

// The preview draws its pages through a recording engine; the print button's pass draws on
// the printer's own.
bool isPreviewPass(QPrinter& target) {
    return target.paintEngine()->type() == QPaintEngine::Picture;
}

// The print button's pass, on the printer or into the file the print dialog chose. The
// print goes through the spooler as a direct print does, so that a refused job is seen.
PrintOutcome printFromPreview(Report& report, QPrinter& target) {
    PrintOutcome out;
    RenderResult r;
    if (target.outputFormat() == QPrinter::PdfFormat) {
        out.detail = target.outputFileName();
        r = writePdf(report, out.detail);
        out.status = PrintStatus::SavedPdf;
    } else {
        out.detail = target.printerName();
        r = printOnQueue(report, out.detail, target.copyCount());
        out.status = PrintStatus::Sent;
    }
    out.pages = r.pages;
    if (!r.ok() || r.pages == 0) {
        out.status = PrintStatus::Failed;
        out.detail = r.error;
    }
    return out;
}

} // namespace

PrintOutcome previewReport(Report& report, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(report.title);
    applyPageSetup(report, printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(report.title);
    dialog.setLayoutDirection(Qt::RightToLeft);
    ui::fillScreen(dialog);
    PrintOutcome printed;
    printed.status = PrintStatus::Previewed;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report, &printed](QPrinter* target) {
                         // The preview's page buttons and the print dialog change the
                         // printer's paper; the layout's comes back.
                         applyPageSetup(report, *target);
                         if (isPreviewPass(*target))
                             render(report, *target);
                         else
                             printed = printFromPreview(report, *target);
                     });
    dialog.exec();
    return printed;
}

PrintUi::NoPrinterChoice DialogPrintUi::askNoPrinter(const QString& message) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("چاپ"), message, QMessageBox::NoButton,
                    parent_);
    box.setLayoutDirection(Qt::RightToLeft);
    QPushButton* preview =
        box.addButton(QStringLiteral("پیش‌نمایش"), QMessageBox::AcceptRole);
    QPushButton* pdf = box.addButton(QStringLiteral("PDF"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("انصراف"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == preview)
        return NoPrinterChoice::Preview;
    if (box.clickedButton() == pdf)
        return NoPrinterChoice::Pdf;
    return NoPrinterChoice::Cancel;
}

QString DialogPrintUi::choosePdfPath(const QString& suggestedName) {
    return ui::chosenFile(*ui::fileDialog(QFileDialog::AcceptSave, QStringLiteral("ذخیره PDF"),
                                          QStringLiteral("PDF (*.pdf)"),
                                          QDir::home().filePath(suggestedName), parent_));
}

} // namespace gc::report
