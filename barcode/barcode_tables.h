#pragma once

#include <array>
#include <string_view>

// Character tables of the symbologies. Two-width tables hold one flag per element
// ('w' wide, 'n' narrow, starting with a bar); width tables hold element widths in modules.
namespace gc::barcode::tables {

// Code 39: value = position in kCode39Chars; the last entry is the start/stop '*'.
inline constexpr std::string_view kCode39Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
extern const std::array<std::string_view, 44> kCode39;

inline constexpr std::string_view kCodabarChars = "0123456789-$:/.+ABCD";
extern const std::array<std::string_view, 20> kCodabar;

// 2 of 5 digits: five elements each.
extern const std::array<std::string_view, 10> kTwoOfFive;

// Code 93: 43 characters then the shifts ($), (%), (/), (+) at values 43 to 46.
inline constexpr std::string_view kCode93Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
extern const std::array<std::string_view, 47> kCode93;
inline constexpr std::string_view kCode93Start = "111141";
inline constexpr std::string_view kCode93Stop = "1111411";

// Code 128 values 0 to 102, starts A, B, C at 103 to 105, stop at 106.
extern const std::array<std::string_view, 107> kCode128;

// EAN/UPC digit sets in the pattern language.
extern const std::array<std::string_view, 10> kEanSetA;
extern const std::array<std::string_view, 10> kEanSetB;
extern const std::array<std::string_view, 10> kEanSetC;
extern const std::array<std::string_view, 10> kEan13Parity; // 'A' / 'B' for digits 2-7
extern const std::array<std::string_view, 10> kUpcEParity;  // 'E' / 'o'

// Full-ASCII pairs for characters 0 to 127: a shift letter ('$', '%', '/', '+') and a
// character, or the character alone.
extern const std::array<std::string_view, 128> kFullAscii;

} // namespace gc::barcode::tables
