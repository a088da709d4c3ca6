#include "core/national_code.h"

#include "core/digits.h"

namespace gc {

NationalCodeVerdict checkNationalCode(const QString& text) {
    if (text.isEmpty())
        return NationalCodeVerdict::Empty;
    if (text.size() != 10)
        return NationalCodeVerdict::WrongLength;
    const QString digits = toAsciiDigits(text);
    if (!isAsciiDigits(digits))
        return NationalCodeVerdict::Invalid;
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (digits[i].unicode() - u'0') * (10 - i);
    const int r = sum % 11;
    const int expected = r < 2 ? r : 11 - r;
    return digits[9].unicode() - u'0' == expected ? NationalCodeVerdict::Valid
                                                  : NationalCodeVerdict::Invalid;
}

} // namespace gc
