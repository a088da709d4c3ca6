#include "barcode/barcode_pattern.h"

#include <algorithm>
#include <cmath>

namespace gc::barcode {

int roundHalfEven(double value) {
    return int(std::nearbyint(value));
}

namespace {

bool usesWholeModules(TBarcodeType type) {
    switch (type) {
    case bcCode128A:
    case bcCode128B:
    case bcCode128C:
    case bcCode93:
    case bcCode93Extended:
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C:
        return true;
    default:
        return false;
    }
}

} // namespace

double clampRatio(TBarcodeType type, double ratio) {
    switch (type) {
    case bcCode_2_5_matrix:
        return std::clamp(ratio, 2.25, 3.0);
    case bcCode_2_5_interleaved:
    case bcCode_2_5_industrial:
    case bcCode39:
    case bcCode39Extended:
        return std::clamp(ratio, 2.0, 3.0);
    default:
        return type >= bcCodeCodabar && type <= bcCodeUPC_Supp5 ? std::clamp(ratio, 2.0, 3.0)
                                                                : ratio;
    }
}

Modules MakeModules(TBarcodeType type, int modul, double ratio) {
    const int narrow = std::max(modul, 1);
    if (usesWholeModules(type))
        return {narrow, 2 * narrow, 3 * narrow, 4 * narrow};
    const int wide = std::max(roundHalfEven(narrow * ratio), 1);
    return {narrow, wide, std::max(wide * 3 / 2, 1), wide * 2};
}

LineProps BarProps(char c, const Modules& modules, const QString& componentName) {
    if (c >= '0' && c <= '3')
        return {modules[std::size_t(c - '0')], LineKind::Gap};
    if (c >= '5' && c <= '8')
        return {modules[std::size_t(c - '5')], LineKind::Bar};
    if (c >= 'A' && c <= 'D')
        return {modules[std::size_t(c - 'A')], LineKind::ShortBar};
    throw BarcodeError(QStringLiteral("%1: internal Error").arg(componentName));
}

long long patternWidth(std::string_view pattern, const Modules& modules,
                       const QString& componentName) {
    long long total = 0;
    for (char c : pattern)
        total += BarProps(c, modules, componentName).width;
    return total;
}

} // namespace gc::barcode
