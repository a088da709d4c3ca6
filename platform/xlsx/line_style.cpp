#include "platform/xlsx/line_style.h"

namespace gc::xlsx {

std::optional<BorderStyle> borderStyleFor(int automationLineStyle) {
    switch (automationLineStyle) {
    case LineStyle::xlContinuous:
        return BorderStyle::Thin;
    case LineStyle::xlDash:
        return BorderStyle::Dashed;
    case LineStyle::xlDot:
        return BorderStyle::Dotted;
    case LineStyle::xlDouble:
        return BorderStyle::Double;
    case LineStyle::xlDashDot:
        return BorderStyle::DashDot;
    case LineStyle::xlDashDotDot:
        return BorderStyle::DashDotDot;
    case LineStyle::xlSlantDashDot:
        return BorderStyle::SlantDashDot;
    case LineStyle::xlLineStyleNone:
        return BorderStyle::None;
    default:
        return std::nullopt;
    }
}

} // namespace gc::xlsx
