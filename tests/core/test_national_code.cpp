#include "core/national_code.h"
#include "registers/shared/digit_input.h"
#include "support/typing.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using gc::checkNationalCode;
using gc::NationalCodeVerdict;

TEST(NationalCode, CheckDigitRule) {
    EXPECT_EQ(checkNationalCode("1111111111"), NationalCodeVerdict::Valid); // r = 10 -> 1
    EXPECT_EQ(checkNationalCode("1111111112"), NationalCodeVerdict::Invalid);
    EXPECT_EQ(checkNationalCode("0000000401"), NationalCodeVerdict::Valid); // r = 1 -> 1
    EXPECT_EQ(checkNationalCode(""), NationalCodeVerdict::Empty);
    EXPECT_EQ(checkNationalCode("123456789"), NationalCodeVerdict::WrongLength);
}

TEST(NationalCode, NonDigitsAreInvalidAndPersianDigitsCount) {
    EXPECT_EQ(checkNationalCode("12345678a0"), NationalCodeVerdict::Invalid);
    EXPECT_EQ(checkNationalCode(QString::fromUtf8("۱۱۱۱۱۱۱۱۱۱")), NationalCodeVerdict::Valid);
    EXPECT_EQ(checkNationalCode(QString::fromUtf8("٠٠٠٠٠٠٠٤٠١")), NationalCodeVerdict::Valid);
}

TEST(DigitsOnlyInput, TypedAndPastedDigitsBecomeAsciiAndOthersAreRefused) {
    QLineEdit edit;
    gc::registers::makeDigitsOnly(&edit);
    edit.show();
    gctest::typeKeys(&edit, QString::fromUtf8("۱2٣x"));
    EXPECT_EQ(edit.text(), "123");
    edit.clear();
    edit.insert(QString::fromUtf8("۴۵"));
    EXPECT_EQ(edit.text(), "45");
    edit.insert("9z");
    EXPECT_EQ(edit.text(), "45");
}
