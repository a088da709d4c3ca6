#pragma once

#include "barcode/barcode_types.h"

#include <array>
#include <string_view>

namespace gc::barcode {

// Widths in device pixels of the four line classes of the pattern language.
using Modules = std::array<int, 4>;

// Delphi-style rounding: halves go to the even neighbour.
int roundHalfEven(double value);

// The ratio a type accepts: two-width symbologies keep it within their readable range.
double clampRatio(TBarcodeType type, double ratio);

// Line widths for `modul` pixels. Width-string and EAN/UPC symbologies use 1, 2, 3 and 4
// modules whatever the ratio; the two-width ones use narrow = modul, wide = modul x ratio.
Modules MakeModules(TBarcodeType type, int modul, double ratio);

enum class LineKind { Gap, Bar, ShortBar };
struct LineProps {
    int width;
    LineKind kind;
};

// The width and kind of one pattern character; raises "<name>: internal Error" otherwise.
LineProps BarProps(char c, const Modules& modules, const QString& componentName);

// Sum of the line widths of a pattern (64-bit: long symbols at wide modules).
long long patternWidth(std::string_view pattern, const Modules& modules,
                       const QString& componentName);

} // namespace gc::barcode
