#pragma once

#include <QString>

namespace gc {

// The Iranian national code: ten digits, the last a check digit over the first nine.
enum class NationalCodeVerdict {
    Empty,       // nothing typed: passes silently
    WrongLength, // "كد ملي مي بايست 10 رقم باشد"
    Invalid,     // "کد ملي صحيح نيست"; also any non-digit
    Valid,
};

// Persian and Arabic-Indic digits count as digits.
NationalCodeVerdict checkNationalCode(const QString& text);

inline const QString kNationalCodeLengthMessage = QStringLiteral("كد ملي مي بايست 10 رقم باشد");
inline const QString kNationalCodeInvalidMessage = QStringLiteral("کد ملي صحيح نيست");

} // namespace gc
