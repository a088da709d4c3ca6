#pragma once

#include <QString>
#include <optional>

namespace gc::xlsx {

// Rows and columns are 1-based, as a spreadsheet user counts them.
inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;
inline constexpr int kMaxCellText = 32767; // UTF-16 units

struct CellRange {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;

    bool contains(int row, int column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool operator==(const CellRange&) const = default;
};

// "A" -> 1, "AA" -> 27; std::nullopt for anything that is not a column name in the sheet.
std::optional<int> columnNumber(const QString& letters);

// "A1", "A1:AA1", "$B$2:m10" (either corner first); std::nullopt when the text names no
// range of the sheet, for example a row 0 as in "A2:M0".
std::optional<CellRange> parseRange(const QString& text);

} // namespace gc::xlsx
