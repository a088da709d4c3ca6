#pragma once

#include <QString>
#include <functional>

namespace gc::registers {

// The visitor prints, filled in by whoever builds their layouts; an empty hook means that
// print is not available in this version.
struct VisitPrintHooks {                          // each may be empty
    std::function<bool(int visitId)> printSlip;   // after register; false = not printed
    std::function<void(int visitId)> previewSlip; // N7 reprint
    std::function<void()> previewList;            // N6, over the grid's rows as filtered and sorted
    std::function<void(bool byName, bool dateOn, QString from, QString to)>
        previewCounts;                             // N16/N17
    std::function<void()> printSketch;             // N14
    std::function<void()> printBlankCards;         // N8 (asks the count itself)
    std::function<void(int visitId)> printReceipt; // N11
};

} // namespace gc::registers
