#pragma once

#include "platform/report/output.h"

class QWidget;

namespace gc::registers {

// The print questions through the program's dialogs layer, so that tests answer them.
// With no printer: Yes previews, No saves a PDF, Cancel does neither.
class DialogsPrintUi : public report::PrintUi {
  public:
    explicit DialogsPrintUi(QWidget* parent = nullptr) : parent_(parent) {}
    NoPrinterChoice askNoPrinter(const QString& message) override;
    QString choosePdfPath(const QString& suggestedName) override;
    void preview(report::Report& report) override;

  private:
    QWidget* parent_;
};

// The text of the no-printer question with its answers spelled out.
QString noPrinterQuestion(const QString& message);

} // namespace gc::registers
