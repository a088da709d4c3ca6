#include "platform/report/output.h"

#include "platform/report/report.h"
#include "platform/text/bidi.h"

#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace gc::report {

namespace {

QPrinterInfo chosenPrinter() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const auto all = QPrinterInfo::availablePrinters();
        if (!all.isEmpty())
            info = all.front();
    }
    return info;
}

} // namespace

RenderResult writePdf(Report& report, const QString& path) {
    RenderResult result;
    if (printsNothing(report)) {
        result.error = QStringLiteral("گزارش هیچ ردیفی ندارد.");
        return result;
    }
    {
        QPdfWriter writer(path);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("gatecontrol"));
        writer.setResolution(600);
        applyPageSetup(report, writer);
        result = render(report, writer);
    }
    if (!result.ok() || result.pages == 0 || !QFile::exists(path)) {
        QFile::remove(path);
        if (result.ok())
            result.error = QStringLiteral("فایل %1 نوشته نشد.").arg(text::isolatedLtr(path));
    }
    return result;
}

bool SystemPrinter::isAvailable() const {
    return !chosenPrinter().isNull();
}

QString SystemPrinter::name() const {
    return chosenPrinter().printerName();
}

RenderResult SystemPrinter::print(Report& report) {
    RenderResult result;
    const QPrinterInfo info = chosenPrinter();
    if (info.isNull()) {
        result.error = noPrinterMessage();
        return result;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(report.title);
    if (!printer.isValid()) {
        result.error = QStringLiteral("چاپگر %1 آماده نیست.").arg(info.printerName());
        return result;
    }
    applyPageSetup(report, printer);
    return render(report, printer);
}

QString noPrinterMessage() {
    const QString text = QStringLiteral("هیچ چاپگری نصب نشده است. ");
    return text + QStringLiteral("گزارش را پیش‌نمایش می‌کنید یا در یک فایل PDF "
                                 "ذخیره "
                                 "می‌کنید؟");
}

PrintOutcome printReport(Report& report, Printer& printer, PrintUi& ui) {
    PrintOutcome out;
    if (printer.isAvailable()) {
        const RenderResult r = printer.print(report);
        out.pages = r.pages;
        out.status = r.ok() && r.pages > 0 ? PrintStatus::Printed : PrintStatus::Failed;
        out.detail = r.ok() ? printer.name() : r.error;
        return out;
    }
    switch (ui.askNoPrinter(noPrinterMessage())) {
    case PrintUi::NoPrinterChoice::Preview:
        ui.preview(report);
        out.status = PrintStatus::Previewed;
        return out;
    case PrintUi::NoPrinterChoice::Pdf: {
        const QString path =
            ui.choosePdfPath((report.title.isEmpty() ? QStringLiteral("report") : report.title) +
                             QStringLiteral(".pdf"));
        if (path.isEmpty())
            return out;
        const RenderResult r = writePdf(report, path);
        out.pages = r.pages;
        out.status = r.ok() ? PrintStatus::SavedPdf : PrintStatus::Failed;
        out.detail = r.ok() ? path : r.error;
        return out;
    }
    case PrintUi::NoPrinterChoice::Cancel:
        break;
    }
    return out;
}

} // namespace gc::report
