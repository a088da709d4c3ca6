#pragma once

#include "barcode/barcode_types.h"

#include <QString>
#include <span>

namespace gc::barcode {

// EAN/UPC modulo-10 digit: weights 3, 1, 3, ... from the right. A non-digit raises.
int mod10CheckDigit(const QString& digits);
QString AppendMod10CheckDigit(const QString& digits);
// csmNone leaves the text as it is; csmModulo10 appends the modulo-10 digit.
QString DoCheckSumming(const QString& digits, TCheckSumMethod method);

// Code 39: sum of the character values modulo 43.
int code39CheckValue(std::span<const int> values);

// Code 128: (start value + sum of value x position) modulo 103; `values` start at position 1.
int code128CheckValue(int startValue, std::span<const int> values);

// Code 93: the C and K check values over the data values (K also covers C).
struct Code93Checks {
    int c;
    int k;
};
Code93Checks code93CheckValues(std::span<const int> values);

// MSI: the Luhn-style modulo-10 digit (every other digit from the right doubled).
int msiCheckDigit(const QString& digits);

// UPC-E: the six short digits expanded to the UPC-A digits after the number system.
QString upcEExpand(const QString& six);
// The UPC-E check digit: the UPC-A digit of the number system and the expanded text.
int upcECheckDigit(const QString& six, int numberSystem);

// Five-digit supplement: 3 x digits 1, 3, 5 + 9 x digits 2, 4, modulo 10.
int supp5CheckDigit(const QString& five);

} // namespace gc::barcode
