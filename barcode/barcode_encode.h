#pragma once

#include "barcode/barcode_types.h"

#include <QString>
#include <string>

namespace gc::barcode {

struct EncodeOptions {
    bool checksum = false;
    TCheckSumMethod checkSumMethod = csmModulo10;
    QString componentName; // names the component in messages
};

struct Encoded {
    std::string pattern; // one pattern character per bar or gap
    QString text;        // the text as the encoder leaves it (trimmed, padded, checked)
};

// Encodes `text` as `type`; raises BarcodeError with the component's message on bad input.
Encoded encode(TBarcodeType type, const QString& text, const EncodeOptions& options);

// "211412" -> "615061": module widths (bar first) into bar and gap pattern characters.
std::string WidthsToPattern(std::string_view widths);

} // namespace gc::barcode
