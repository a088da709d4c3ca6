#pragma once

#include "platform/report/memory_source.h"
#include "platform/report/output.h"
#include "registers/arbab/visit_print_hooks.h"

#include <QSet>
#include <memory>

namespace gc::registers {

struct RegisterContext;

// The visitor register's prints. Direct prints go to the printer (with none installed the
// guard is offered the preview or a PDF); previews open the preview window. Each print says
// what went wrong in a message; a print that did not reach paper or a file never counts as
// printed.
class VisitPrints {
  public:
    VisitPrints(RegisterContext& context, std::unique_ptr<report::Printer> printer);

    // The visit's slip straight to the printer, as on registering; true when it was printed
    // (or saved as a PDF).
    bool printSlip(int visitId);
    // The visit's slip in the preview, from which the guard may print it.
    void previewSlip(int visitId);
    // The visitor list's rows, in their current order and filter.
    void previewList();
    // Visits counted per destination (or per name), within the dates when `dateOn`.
    void previewCounts(bool byName, bool dateOn, const QString& from, const QString& to);
    // One page of the location sketch, straight to the printer.
    bool printSketch();
    // Asks how many cards, issues that many new card numbers and prints one card each.
    bool printBlankCards();
    // The visit's slip with its room's sketch, straight to the printer.
    bool printReceipt(int visitId);

  private:
    // The visit joined with its room, as one row; nullptr (after saying so) when the visit
    // is not there.
    std::unique_ptr<report::MemorySource> slipRow(int visitId);
    bool printSlipOf(int visitId, const QString& what);
    bool print(report::Report& report, const QString& what);
    void noteStoredProject(const QString& table, const QString& caption);

    RegisterContext& ctx_;
    std::unique_ptr<report::Printer> printer_;
    QSet<QString> noted_; // stored report projects already mentioned in this run
};

// The hooks the visitor windows call, bound to `prints`.
VisitPrintHooks makeVisitPrintHooks(VisitPrints& prints);

} // namespace gc::registers
