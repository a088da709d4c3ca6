#pragma once

#include "platform/report/renderer.h"

#include <QString>

namespace gc::report {

class Report;

// Writes the report as a PDF file; a failed or empty run leaves no file.
RenderResult writePdf(Report& report, const QString& path);

// Where a print goes. The program uses the system's printer; a test sends prints to a file.
class Printer {
  public:
    virtual ~Printer() = default;
    virtual bool isAvailable() const = 0;
    virtual QString name() const = 0;
    // Prints every page; `pages` counts only what was handed over.
    virtual RenderResult print(Report& report) = 0;
};

// Prints on a spooler queue: the report is written as a PDF on its own paper and handed over
// once the queue is there, takes jobs and is not paused. A job the spooler refuses fails;
// one it took may still be printing when this returns.
RenderResult printOnQueue(Report& report, const QString& queue, int copies = 1);

// The system's default printer. It never moves to another printer on its own: when the
// printer it printed on is gone and the system names no other default, it says so.
class SystemPrinter : public Printer {
  public:
    bool isAvailable() const override;
    QString name() const override;
    RenderResult print(Report& report) override;

  private:
    QString used_; // the queue of the last print handed over
};

// Prints into a PDF file.
class PdfFilePrinter : public Printer {
  public:
    explicit PdfFilePrinter(QString path) : path_(std::move(path)) {}
    bool isAvailable() const override { return true; }
    QString name() const override { return path_; }
    RenderResult print(Report& report) override { return writePdf(report, path_); }

  private:
    QString path_;
};

// The questions a print asks the user; the program answers with dialogs, a test in code.
class PrintUi {
  public:
    enum class NoPrinterChoice { Preview, Pdf, Cancel };
    virtual ~PrintUi() = default;
    virtual NoPrinterChoice askNoPrinter(const QString& message) = 0;
    // The PDF file to write; empty when the user cancels.
    virtual QString choosePdfPath(const QString& suggestedName) = 0;
    // Shows the preview, from which the user may print with the preview's own button.
    virtual void preview(Report& report) = 0;
};

// Sent: a printer's spooler took the job; whether paper came out is the printer's to say.
enum class PrintStatus { Sent, SavedPdf, Previewed, Cancelled, Failed };

struct PrintOutcome {
    PrintStatus status = PrintStatus::Cancelled;
    int pages = 0;
    QString detail; // the printer's name, the PDF's path, or the error
};

// The message shown when no printer is installed.
QString noPrinterMessage();

// Prints the report on `printer`. With no printer installed it says so and offers the
// preview or a PDF instead; the outcome says truthfully what happened.
PrintOutcome printReport(Report& report, Printer& printer, PrintUi& ui);

} // namespace gc::report
