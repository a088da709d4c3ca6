#pragma once

#include <QDateTime>
#include <QString>

namespace gc::xlsx {

// The current user's own temporary folder (created owner-only on first use). Empty, with
// `error` set, when it cannot be made or is not safely ours.
QString userTempFolder(QString* error);

// The template of this run's temporary files in `folder`: "<prefix>-<pid>-XXXXXX.<suffix>",
// for QTemporaryFile, which creates the file exclusively and follows no link.
QString uniqueFileTemplate(const QString& folder, const QString& prefix, const QString& suffix);

// Creates a new empty file from uniqueFileTemplate() and returns its path; empty, with
// `error` set, on failure.
QString createUniqueFile(const QString& folder, const QString& prefix, const QString& suffix,
                         QString* error);

// Removes this run's files from the user's temporary folder (at exit), or the files there
// last changed before `before` (at start: leftovers of runs that ended without cleaning up).
// Links are removed, never followed. Returns how many were removed.
int removeThisRunsFiles();
int removeFilesOlderThan(const QDateTime& before);

} // namespace gc::xlsx
