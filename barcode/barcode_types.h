#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

namespace gc::barcode {

// The ordinals are part of the stored layouts: keep the order.
enum TBarcodeType {
    bcCode_2_5_interleaved,
    bcCode_2_5_industrial,
    bcCode_2_5_matrix,
    bcCode39,
    bcCode39Extended,
    bcCode128A,
    bcCode128B,
    bcCode128C,
    bcCode93,
    bcCode93Extended,
    bcCodeMSI,
    bcCodePostNet,
    bcCodeCodabar,
    bcCodeEAN8,
    bcCodeEAN13,
    bcCodeUPC_A,
    bcCodeUPC_E0,
    bcCodeUPC_E1,
    bcCodeUPC_Supp2,
    bcCodeUPC_Supp5,
    bcCodeEAN128A,
    bcCodeEAN128B,
    bcCodeEAN128C,
};
constexpr int kBarcodeTypeCount = 23;

enum TCheckSumMethod { csmNone, csmModulo10 };

enum TBarcodeOption { bcoNone, bcoCode, bcoTyp, bcoBoth };

// Every failure of the component: encoding, check digits, bad pattern characters.
class BarcodeError : public std::runtime_error {
  public:
    explicit BarcodeError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

// The name shown for the type's human-readable caption ("Codebar" is the stored spelling).
QString typeName(TBarcodeType type);

// Types whose text must be digits (trimmed first).
bool isNumericType(TBarcodeType type);

// A type by its caption, its member name ("bcCode39") or its ordinal.
std::optional<TBarcodeType> typeFromName(const QString& name);

} // namespace gc::barcode
