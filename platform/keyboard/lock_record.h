#pragma once

#include "platform/keyboard/keyboard_layout.h"

#include <QString>
#include <optional>

namespace gc::platform {

// The lock the program holds on one X display, kept in a file while it holds it, so that
// a run ended by a crash or a kill is undone at the next start.
struct LockRecord {
    GroupLock groups;
    qint64 pid = 0;     // the process that locked
    qint64 started = 0; // when that process started: a pid reused later is told apart
    bool operator==(const LockRecord&) const = default;
};

// The record of one display in the user's private folder. Only a regular file of the
// user's own is read or replaced there, never through a link and never waiting on a FIFO;
// anything else at its path is left alone and counts as no record.
class LockRecordFile {
  public:
    // The record of the display `displayName` (empty: $DISPLAY) in `folder`; none at all
    // where `folder` is not a directory of the user's own that only the user may enter.
    LockRecordFile(const QString& folder, const QString& displayName);

    // None when there is no record or it cannot be read.
    std::optional<LockRecord> read() const;
    // A fresh file beside the record, renamed into its place.
    bool write(const LockRecord& record) const;
    void remove() const;
    // Empty where no record is kept.
    const QString& path() const { return path_; }

  private:
    QString path_;
};

// The start time of the process `pid`, in clock ticks since boot; none where there is no
// such process or it has ended and waits to be reaped.
std::optional<qint64> processStartTime(qint64 pid);

// Whether the process that wrote `record` still runs: the same process, not a later one
// given its pid.
bool recordedProcessRunning(const LockRecord& record);

} // namespace gc::platform
