#include "barcode/barcode_types.h"

#include <array>

namespace gc::barcode {

namespace {

struct TypeInfo {
    const char* name;
    bool numeric;
    const char* member;
};

constexpr std::array<TypeInfo, kBarcodeTypeCount> kTypes{{
    {"2_5_interleaved", true, "bcCode_2_5_interleaved"},
    {"2_5_industrial", true, "bcCode_2_5_industrial"},
    {"2_5_matrix", true, "bcCode_2_5_matrix"},
    {"Code39", false, "bcCode39"},
    {"Code39 Extended", false, "bcCode39Extended"},
    {"Code128A", false, "bcCode128A"},
    {"Code128B", false, "bcCode128B"},
    {"Code128C", true, "bcCode128C"},
    {"Code93", false, "bcCode93"},
    {"Code93 Extended", false, "bcCode93Extended"},
    {"MSI", true, "bcCodeMSI"},
    {"PostNet", true, "bcCodePostNet"},
    {"Codebar", false, "bcCodeCodabar"},
    {"EAN8", true, "bcCodeEAN8"},
    {"EAN13", true, "bcCodeEAN13"},
    {"UPC_A", true, "bcCodeUPC_A"},
    {"UPC_E0", true, "bcCodeUPC_E0"},
    {"UPC_E1", true, "bcCodeUPC_E1"},
    {"UPC Supp2", true, "bcCodeUPC_Supp2"},
    {"UPC Supp5", true, "bcCodeUPC_Supp5"},
    {"EAN128A", false, "bcCodeEAN128A"},
    {"EAN128B", false, "bcCodeEAN128B"},
    {"EAN128C", true, "bcCodeEAN128C"},
}};

} // namespace

QString typeName(TBarcodeType type) {
    const int i = int(type);
    return i >= 0 && i < kBarcodeTypeCount ? QString::fromLatin1(kTypes[i].name) : QString();
}

bool isNumericType(TBarcodeType type) {
    const int i = int(type);
    return i >= 0 && i < kBarcodeTypeCount && kTypes[i].numeric;
}

std::optional<TBarcodeType> typeFromName(const QString& name) {
    for (int i = 0; i < kBarcodeTypeCount; ++i)
        if (name.compare(QLatin1String(kTypes[i].name), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(kTypes[i].member), Qt::CaseInsensitive) == 0)
            return TBarcodeType(i);
    bool ok = false;
    const int ordinal = name.toInt(&ok);
    if (ok && ordinal >= 0 && ordinal < kBarcodeTypeCount)
        return TBarcodeType(ordinal);
    return std::nullopt;
}

} // namespace gc::barcode
