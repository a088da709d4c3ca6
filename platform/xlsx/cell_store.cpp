#include "platform/xlsx/cell_store.h"

#include <algorithm>
#include <limits>

namespace gc::xlsx {

namespace {

bool before(const CellStore::Cell& a, const CellStore::Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

} // namespace

bool CellStore::set(int row, int column, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::size_t offset = texts_.size();
    if (offset + std::size_t(utf8.size()) + 1 > std::numeric_limits<std::uint32_t>::max())
        return false;
    texts_.append(utf8.constData(), std::size_t(utf8.size()));
    texts_.push_back('\0');
    const Cell cell{std::uint32_t(row), std::uint32_t(column), std::uint32_t(offset),
                    std::uint32_t(utf8.size())};
    if (!cells_.empty() && !before(cells_.back(), cell))
        inOrder_ = false;
    cells_.push_back(cell);
    lastRow_ = std::max(lastRow_, row);
    return true;
}

bool CellStore::anyInRows(int first, int last) const {
    return std::any_of(cells_.begin(), cells_.end(),
                       [&](const Cell& c) { return int(c.row) >= first && int(c.row) <= last; });
}

const std::vector<CellStore::Cell>& CellStore::ordered() {
    if (inOrder_)
        return cells_;
    std::stable_sort(cells_.begin(), cells_.end(), before);
    // Of several writes to one cell, the stable sort keeps them in write order: keep the last.
    std::vector<Cell> unique;
    unique.reserve(cells_.size());
    for (const Cell& c : cells_) {
        if (!unique.empty() && !before(unique.back(), c))
            unique.back() = c;
        else
            unique.push_back(c);
    }
    cells_ = std::move(unique);
    inOrder_ = true;
    return cells_;
}

} // namespace gc::xlsx
