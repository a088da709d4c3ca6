#pragma once

#include "platform/report/output.h"

class QWidget;

namespace gc::report {

// Shows the report in the print preview window, which has its own print button. The
// outcome is that of the print button (Previewed when it was not pressed); the layout's
// paper holds whatever paper the printer or the print dialog had.
PrintOutcome previewReport(Report& report, QWidget* parent);

// The print questions as dialogs.
class DialogPrintUi : public PrintUi {
  public:
    explicit DialogPrintUi(QWidget* parent) : parent_(parent) {}
    NoPrinterChoice askNoPrinter(const QString& message) override;
    QString choosePdfPath(const QString& suggestedName) override;
    void preview(Report& report) override { previewReport(report, parent_); }

  private:
    QWidget* parent_;
};

} // namespace gc::report
