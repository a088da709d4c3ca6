#pragma once

#include <QString>
#include <vector>

namespace gc::xlsx {

class Worksheet;

// Streams the sheets into an .xlsx file at `path` (constant-memory mode: rows are written
// in order and spooled in `scratchFolder`). Sheets run right to left, every cell is text.
// Returns the error text, empty on success.
QString writeXlsx(const QString& path, const QString& scratchFolder,
                  const std::vector<Worksheet*>& sheets);

} // namespace gc::xlsx
