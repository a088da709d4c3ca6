#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace gc::xlsx {

// The text cells of one sheet, kept compact so that a large export stays within a small
// memory budget: every text lives once, as NUL-terminated UTF-8, in one growing buffer,
// and each cell is a 16-byte entry pointing into it.
class CellStore {
  public:
    struct Cell {
        std::uint32_t row;
        std::uint32_t column;
        std::uint32_t offset;
        std::uint32_t length; // bytes, without the terminating NUL
    };

    // Returns false when the buffer would pass its 4 GiB addressing limit.
    bool set(int row, int column, const QString& text);

    // The cells in row, then column order; a later write to a cell replaces the earlier.
    const std::vector<Cell>& ordered();
    const char* text(const Cell& cell) const { return texts_.data() + cell.offset; }
    int lastRow() const { return lastRow_; }
    bool anyInRows(int first, int last) const;
    bool empty() const { return cells_.empty(); }

  private:
    std::string texts_;
    std::vector<Cell> cells_;
    bool inOrder_ = true;
    int lastRow_ = 0;
};

} // namespace gc::xlsx
