#pragma once

#include <optional>

namespace gc::xlsx {

// The automation's line-style numbers that a caller may give to Borders.LineStyle.
namespace LineStyle {
inline constexpr int xlContinuous = 1;
inline constexpr int xlDashDot = 4;
inline constexpr int xlDashDotDot = 5;
inline constexpr int xlSlantDashDot = 13;
inline constexpr int xlDash = -4115;
inline constexpr int xlDot = -4118;
inline constexpr int xlDouble = -4119;
inline constexpr int xlLineStyleNone = -4142;
} // namespace LineStyle

// The border styles of the .xlsx format that we write.
enum class BorderStyle { None, Thin, Dashed, Dotted, Double, DashDot, DashDotDot, SlantDashDot };

// Maps an automation line style onto a file border style. Each automation style has a
// file style of the same pattern; the automation's default weight is "thin", so a
// continuous line becomes a thin one and the patterned ones take their thin forms.
// An unknown number gives std::nullopt (the automation refuses it too).
std::optional<BorderStyle> borderStyleFor(int automationLineStyle);

} // namespace gc::xlsx
