#pragma once

#include <QString>

namespace gc::xlsx {

// The current user's own temporary folder (created owner-only on first use). Empty, with
// `error` set, when it cannot be made or is not safely ours.
QString userTempFolder(QString* error);

// Creates a new empty file "<prefix>-XXXXXX.<suffix>" with a unique name in `folder` and
// returns its path; empty, with `error` set, on failure.
QString createUniqueFile(const QString& folder, const QString& prefix, const QString& suffix,
                         QString* error);

} // namespace gc::xlsx
