#pragma once

#include "core/transfer/sections.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

namespace gc::transfer {

// What a section did.
struct SectionCount {
    QString table;
    int sourceRows = 0; // rows the section selected in the source
    int copied = 0;
    int pictures = 0;   // pictures copied with their owners
    int blankDates = 0; // rows left out because their date is blank
    int skipped = 0;    // rights of users not copied, pictures without one matching person
};

struct TransferResult {
    bool ok = false;
    bool cancelled = false;
    QString message; // why nothing was written
    QStringList log;
    std::vector<SectionCount> counts;
};

// Hears from a run while it goes on; called on the run's own thread.
class TransferObserver {
  public:
    virtual ~TransferObserver() = default;
    virtual void logLine(const QString& line) = 0;
    // Rows of the current section done so far, of `total`.
    virtual void progress(int done, int total) = 0;
};

// Copies the sections of `options` from the source into the destination: one
// transaction on the destination, one snapshot of the source, everything or nothing.
// Opens its own connections (named after `namePrefix`) on the calling thread and
// closes them before it returns. `cancel` is looked at between chunks of rows.
TransferResult runTransfer(const TransferOptions& options, TransferObserver& observer,
                           const std::atomic_bool& cancel, const QString& namePrefix);

} // namespace gc::transfer
