#include "platform/report/report_dialogs.h"

#include "platform/report/report.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace gc::report {

void previewReport(Report& report, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(report.title);
    applyPageSetup(report, printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(report.title);
    dialog.setLayoutDirection(Qt::RightToLeft);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { render(report, *target); });
    dialog.exec();
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
    return QFileDialog::getSaveFileName(parent_, QStringLiteral("ذخیره PDF"),
                                        QDir::home().filePath(suggestedName),
                                        QStringLiteral("PDF (*.pdf)"));
}

} // namespace gc::report
