#include "pdf_tools.h"
#include "platform/report/output.h"
#include "platform/report/report_dialogs.h"
#include "sample_layouts.h"

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace gc::report;

namespace {

class NoPrinter : public Printer {
  public:
    bool isAvailable() const override { return false; }
    QString name() const override { return {}; }
    RenderResult print(Report&) override {
        ++prints;
        return {};
    }
    int prints = 0;
};

class ScriptedUi : public PrintUi {
  public:
    NoPrinterChoice askNoPrinter(const QString& message) override {
        asked = message;
        return choice;
    }
    QString choosePdfPath(const QString&) override { return pdfPath; }
    void preview(Report&) override { ++previews; }
    NoPrinterChoice choice = NoPrinterChoice::Cancel;
    QString pdfPath;
    QString asked;
    int previews = 0;
};

class ReportPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        sample::layoutVehicleList(report);
        report.data = rows.get();
    }
    QTemporaryDir dir;
    Report report;
    std::unique_ptr<MemorySource> rows = sample::vehicleRows(30);
    ScriptedUi ui;
};

} // namespace

TEST_F(ReportPrint, APrintCanBeSentToAPdfFile) {
    PdfFilePrinter printer(dir.filePath("printed.pdf"));
    const PrintOutcome out = printReport(report, printer, ui);
    EXPECT_EQ(out.status, PrintStatus::Sent);
    EXPECT_EQ(out.pages, 2);
    EXPECT_EQ(pdf::pageCount(dir.filePath("printed.pdf")), 2);
    EXPECT_TRUE(ui.asked.isEmpty());
}

TEST_F(ReportPrint, WithNoPrinterItSaysSoAndOffersPreviewOrPdf) {
    NoPrinter printer;
    const PrintOutcome cancelled = printReport(report, printer, ui);
    EXPECT_EQ(cancelled.status, PrintStatus::Cancelled);
    EXPECT_EQ(ui.asked, noPrinterMessage());

    ui.choice = PrintUi::NoPrinterChoice::Preview;
    EXPECT_EQ(printReport(report, printer, ui).status, PrintStatus::Previewed);
    EXPECT_EQ(ui.previews, 1);

    ui.choice = PrintUi::NoPrinterChoice::Pdf;
    EXPECT_EQ(printReport(report, printer, ui).status, PrintStatus::Cancelled); // no file chosen
    ui.pdfPath = dir.filePath("chosen.pdf");
    const PrintOutcome saved = printReport(report, printer, ui);
    EXPECT_EQ(saved.status, PrintStatus::SavedPdf);
    EXPECT_EQ(saved.detail, ui.pdfPath);
    EXPECT_EQ(pdf::pageCount(ui.pdfPath), 2);
    EXPECT_EQ(printer.prints, 0);
}

TEST_F(ReportPrint, AFailedPrintIsNeverReportedAsDone) {
    PdfFilePrinter broken("/nonexistent-dir/printed.pdf");
    const PrintOutcome out = printReport(report, broken, ui);
    EXPECT_EQ(out.status, PrintStatus::Failed);
    EXPECT_FALSE(out.detail.isEmpty());

    ui.choice = PrintUi::NoPrinterChoice::Pdf;
    ui.pdfPath = "/nonexistent-dir/chosen.pdf";
    NoPrinter none;
    EXPECT_EQ(printReport(report, none, ui).status, PrintStatus::Failed);

    SystemPrinter system;
    if (!system.isAvailable()) {
        const RenderResult r = system.print(report);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.pages, 0);
    }
}

// The page is read at the screen's size, not at Qt's small default.
TEST_F(ReportPrint, ThePreviewOpensOverTheWholeScreenAndLeavesTheRowWhereItWas) {
    int seen = 0;
    QRect frame;
    QTimer::singleShot(0, [&seen, &frame] {
        if (auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            seen = 1;
            frame = dialog->frameGeometry();
            dialog->reject();
        }
    });
    rows->next();
    previewReport(report, nullptr);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(rows->position(), 1);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    EXPECT_GE(frame.width(), screen.width() * 9 / 10);
    EXPECT_GE(frame.height(), screen.height() * 9 / 10);
}
