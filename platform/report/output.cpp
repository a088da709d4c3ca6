#include "platform/report/output.h"

#include "platform/report/report.h"
#include "platform/report/spooler.h"
#include "platform/text/bidi.h"

#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace gc::report {

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

RenderResult printOnQueue(Report& report, const QString& queue, int copies) {
    RenderResult result;
    result.error = whyNotReady(queue, queueState(queue));
    if (!result.ok())
        return result;
    const QTemporaryDir folder;
    if (!folder.isValid()) {
        result.error = QStringLiteral("پوشه موقت چاپ ساخته نشد.");
        return result;
    }
    const QString pdf = folder.filePath(QStringLiteral("print.pdf"));
    result = writePdf(report, pdf);
    if (!result.ok())
        return result;
    const Submission job = submitPdf(queue, pdf, report.title, report.page, copies);
    if (job.job == 0) {
        result.pages = 0;
        result.error = QStringLiteral("چاپگر «%1» کار را نپذیرفت (%2)").arg(queue, job.error);
    }
    return result;
}

bool SystemPrinter::isAvailable() const {
    return !used_.isEmpty() || anyQueue();
}

QString SystemPrinter::name() const {
    const QString chosen = defaultQueue();
    return chosen.isEmpty() ? used_ : chosen;
}

RenderResult SystemPrinter::print(Report& report) {
    const QString queue = name();
    if (queue.isEmpty()) {
        RenderResult none;
        none.error = QStringLiteral("چاپگر پیش‌فرض تعیین نشده است؛ از پیش‌نمایش چاپ کنید "
                                    "و "
                                    "چاپگر را برگزینید.");
        return none;
    }
    const RenderResult result = printOnQueue(report, queue);
    if (result.ok())
        used_ = queue;
    return result;
}

QString noPrinterMessage() {
    const QString text = QStringLiteral("هیچ چاپگری نصب نشده است. ");
    return text +
           QStringLiteral(
               "گزارش را پیش‌نمایش می‌کنید یا در یک فایل PDF "
               "ذخیره "
               "می‌کنید؟");
}

PrintOutcome printReport(Report& report, Printer& printer, PrintUi& ui) {
    PrintOutcome out;
    if (printer.isAvailable()) {
        const RenderResult r = printer.print(report);
        out.pages = r.pages;
        out.status = r.ok() && r.pages > 0 ? PrintStatus::Sent : PrintStatus::Failed;
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
