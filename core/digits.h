#pragma once

#include <QString>

namespace gc {

// Persian (U+06F0..) and Arabic-Indic (U+0660..) digits as ASCII digits; other
// characters unchanged. After login the keyboard is Persian, and barcode scanners type
// through it, so every digit input sees these.
QString toAsciiDigits(const QString& text);

// True when every character is an ASCII digit (the empty text included).
bool isAsciiDigits(const QString& text);

} // namespace gc
