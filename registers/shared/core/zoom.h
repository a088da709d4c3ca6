#pragma once

#include <algorithm>
#include <optional>

namespace gc::registers {

// The grid's zoom: the font from 6 to 48 points, columns never narrower than 20 pixels.
inline constexpr int kZoomMinFont = 6;
inline constexpr int kZoomMaxFont = 48;
inline constexpr int kZoomMinWidth = 20;
inline constexpr int kZoomWidthStep = 5;

// The font size after one step (+1 or -1); nullopt at the bound, where the zoom stops.
inline std::optional<int> zoomedFontSize(int points, int step) {
    const int next = points + step;
    if (next < kZoomMinFont || next > kZoomMaxFont)
        return std::nullopt;
    return next;
}

inline int zoomedWidth(int width, int step) {
    return std::max(kZoomMinWidth, width + step * kZoomWidthStep);
}

} // namespace gc::registers
