#pragma once

#include <QString>

namespace gc::xlsx {

// Where exported workbooks are kept: "gatecontrol" under the desktop's documents folder, made
// when missing. The program never removes what it writes there. Empty, with `error` set, when
// it cannot be made.
QString keptFolder(QString* error);

// Creates the new empty file "<name>.<suffix>" in `folder`, or "<name> (2).<suffix>" and so on
// when that name is taken: an existing file is never opened, let alone overwritten. Characters
// that a file name cannot hold become "-". Returns the path; empty, with `error` set, on failure.
QString createKeptFile(const QString& folder, const QString& name, const QString& suffix,
                       QString* error);

} // namespace gc::xlsx
