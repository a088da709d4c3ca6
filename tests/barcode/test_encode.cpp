#include "barcode/barcode_checksum.h"
#include "barcode/barcode_encode.h"
#include "barcode/barcode_pattern.h"
#include "barcode_test_util.h"

#include <gtest/gtest.h>

using namespace gc::barcode;

namespace {

EncodeOptions opts(bool checksum = false, TCheckSumMethod method = csmModulo10) {
    return {checksum, method, QStringLiteral("Barcode")};
}

std::string pat(TBarcodeType type, const QString& text, EncodeOptions o = opts()) {
    return encode(type, text, o).pattern;
}

QString errorOf(TBarcodeType type, const QString& text, EncodeOptions o = opts()) {
    try {
        encode(type, text, o);
    } catch (const BarcodeError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST(BarcodeCheckDigits, KnownValues) {
    EXPECT_EQ(AppendMod10CheckDigit("590123412345"), "5901234123457");
    EXPECT_EQ(DoCheckSumming("123", csmNone), "123");
    EXPECT_EQ(DoCheckSumming("03600029145", csmModulo10), "036000291452");
    EXPECT_EQ(msiCheckDigit("1234"), 4);
    EXPECT_EQ(supp5CheckDigit("51234"), 9);
    const int test93[] = {29, 14, 28, 29, 9, 3}; // TEST93: C is '+', K is '6'
    EXPECT_EQ(code93CheckValues(test93).c, 41);
    EXPECT_EQ(code93CheckValues(test93).k, 6);
    const int code39[] = {12, 24, 13, 14, 3, 9}; // CODE39 -> W
    EXPECT_EQ(code39CheckValue(code39), 32);
    try {
        mod10CheckDigit("12A");
        FAIL() << "a letter must not pass the modulo-10 check";
    } catch (const BarcodeError& e) {
        EXPECT_EQ(e.message(), "'A' is not a valid integer value");
    }
}

// The UPC-E digit is the one of the expanded UPC-A number, number system included.
TEST(BarcodeCheckDigits, UpcEUsesExpandedUpcA) {
    EXPECT_EQ(upcEExpand("425261"), "4210000526");
    EXPECT_EQ(upcECheckDigit("425261", 0), 4); // 04252614 <-> 042100005264
    EXPECT_EQ(upcECheckDigit("123456", 0), 5);
    EXPECT_EQ(upcEExpand("123453"), "1230000045");
    EXPECT_EQ(upcEExpand("123454"), "1234000005");
    EXPECT_NE(upcECheckDigit("123456", 1), upcECheckDigit("123456", 0));
}

TEST(BarcodePattern, WidthStringsAndTables) {
    EXPECT_EQ(WidthsToPattern("211412"), "605351"); // bar 2, gap 1, bar 1, gap 4, bar 1, gap 2
    // Code 39 of 12: start, gap, 1, gap, 2, gap, stop; 0 and * as the stored table has them.
    EXPECT_EQ(pat(bcCode39, "0").substr(0, 19), "515060605"
                                                "0"
                                                "505160605");
    const std::string twelve = pat(bcCode39, "12");
    EXPECT_EQ(twelve.size(), 4u * 9 + 3);
    EXPECT_EQ(twelve.substr(0, 10), "5150606050");
    EXPECT_EQ(twelve.substr(30), "515060605");
    EXPECT_EQ(pat(bcCode39, "CODE39", opts(true)), pat(bcCode39, "CODE39W"));
}

TEST(BarcodePattern, TextHandlingOfTheEncoders) {
    // The extended form encodes shift pairs and keeps the text as typed.
    const Encoded ext = encode(bcCode39Extended, "ab", opts());
    EXPECT_EQ(ext.pattern, pat(bcCode39, "+A+B"));
    EXPECT_EQ(ext.text, "ab");
    const Encoded c = encode(bcCode128C, "123", opts());
    EXPECT_EQ(c.text, "0123");
    EXPECT_EQ(c.pattern, pat(bcCode128C, "0123"));
    EXPECT_EQ(pat(bcCodeEAN13, "590123412345", opts(true)), pat(bcCodeEAN13, "5901234123457"));
    EXPECT_EQ(pat(bcCodeEAN13, "590123412345"), pat(bcCodeEAN13, "0590123412345"));
    const Encoded trimmed = encode(bcCodeEAN8, " 1234567 ", opts());
    EXPECT_EQ(trimmed.text, "1234567");
    EXPECT_EQ(trimmed.pattern, pat(bcCodeEAN8, "01234567"));
    // PostNet has no correction digit of its own: start, five bars a digit, stop.
    EXPECT_EQ(pat(bcCodePostNet, "12345").size(), 2u + 5 * 10 + 1);
    EXPECT_EQ(pat(bcCodePostNet, "1"), "51"
                                       "A1A1A15151"
                                       "5");
    const Encoded s5 = encode(bcCodeUPC_Supp5, "51234", opts(true));
    EXPECT_EQ(s5.text, "512349");
    EXPECT_EQ(encode(bcCodeUPC_Supp5, s5.text, opts(true)).text, "512349");
}

TEST(BarcodeMends, UpcWithCheckDigitKeepsTheLastDigit) {
    EXPECT_EQ(encode(bcCodeUPC_A, "03600029145", opts(true)).text, "036000291452");
    EXPECT_EQ(encode(bcCodeUPC_A, "036000291452", opts(true)).text, "036000291452");
    EXPECT_EQ(encode(bcCodeUPC_A, "3600029145", opts(true)).text, "036000291452");
    EXPECT_EQ(encode(bcCodeUPC_E0, "123456", opts(true)).text, "1234565");
    EXPECT_EQ(encode(bcCodeUPC_E0, "1234565", opts(true)).text, "1234565");
    EXPECT_EQ(encode(bcCodeUPC_E0, "23456", opts(true)).text,
              QStringLiteral("023456%1").arg(upcECheckDigit("023456", 0)));
}

TEST(BarcodeMends, UpcEParityFollowsTheStandardCheckDigit) {
    // 425261 has the standard digit 4: row EoEEoo, E in set B for number system 0.
    const std::string p = pat(bcCodeUPC_E0, "425261", opts(true));
    EXPECT_EQ(p.substr(3, 4), "1705");  // 4 from set B
    EXPECT_EQ(p.substr(7, 4), "1516");  // 2 from set A
    EXPECT_EQ(p.substr(15, 4), "1606"); // the second 2 from set B
    // The same row whether or not a digit is appended, and with the method "none".
    EXPECT_EQ(pat(bcCodeUPC_E0, "4252614"), p);
    EXPECT_EQ(pat(bcCodeUPC_E0, "4252619"), p); // a seventh digit is not what selects the row
    EXPECT_EQ(pat(bcCodeUPC_E0, "425261", opts(true, csmNone)), p);
    // Number system 1 inverts the row.
    EXPECT_EQ(pat(bcCodeUPC_E1, "425261", opts(true)).substr(3, 4), "0526");
}

TEST(BarcodeMends, Ean128CheckDigitIsNeverWrittenBack) {
    const Encoded first = encode(bcCodeEAN128C, "1234", opts(true));
    EXPECT_EQ(first.text, "01234"); // "12348" is odd: a leading 0 keeps the pairs whole
    EXPECT_EQ(first.pattern, pat(bcCodeEAN128C, "012348"));
    const Encoded again = encode(bcCodeEAN128C, first.text, opts(true));
    EXPECT_EQ(again.text, first.text);
    EXPECT_EQ(again.pattern, first.pattern);
    EXPECT_EQ(encode(bcCodeEAN128B, "123", opts(true)).text, "123");
    EXPECT_EQ(errorOf(bcCodeEAN128B, "AB", opts(true)), "'B' is not a valid integer value");
}

TEST(BarcodeMends, InterleavedOddLengthGetsLeadingZero) {
    const Encoded e = encode(bcCode_2_5_interleaved, "12345", opts());
    EXPECT_EQ(e.text, "012345");
    EXPECT_EQ(e.pattern, pat(bcCode_2_5_interleaved, "012345"));
    EXPECT_EQ(e.pattern.size(), 4u + 3 * 10 + 3);
}

TEST(BarcodeMends, UpcALengthIsChecked) {
    EXPECT_EQ(errorOf(bcCodeUPC_A, "03600029145", opts(true, csmNone)), "Invalid Text len (UPC_A)");
    EXPECT_EQ(errorOf(bcCodeUPC_A, "0360002914521"), "Invalid Text len (UPC_A)");
    EXPECT_EQ(errorOf(bcCodeUPC_E0, "12345678"), "Invalid Text len (UPC_E0)");
    EXPECT_EQ(errorOf(bcCodeUPC_Supp2, "123"), "Invalid Text len (UPC Supp2)");
}

TEST(BarcodeMends, TextASymbologyCannotCarryIsRefused) {
    EXPECT_EQ(errorOf(bcCodeCodabar, "12A4"), "Barcode:Codebar bad Data <12A4>");
    EXPECT_EQ(errorOf(bcCodeCodabar, "12x"), "Barcode:Codebar bad Data <12x>");
    EXPECT_EQ(errorOf(bcCode39, "abc"), "Barcode:Code39 bad Data <abc>");
    EXPECT_EQ(errorOf(bcCode39, "A*B"), "Barcode:Code39 bad Data <A*B>");
    EXPECT_EQ(errorOf(bcCode39Extended, QString::fromUtf8("caf\u00e9")),
              QString::fromUtf8("Barcode:Code39 bad Data <caf\u00e9>"));
    EXPECT_EQ(errorOf(bcCode128A, "Ab"), "Barcode:Code128 bad Data <Ab>");
    EXPECT_EQ(errorOf(bcCode128B, "A\tB"), "Barcode:Code128 bad Data <A\tB>");
    EXPECT_EQ(errorOf(bcCode93, "A[B"), "Barcode:Code93 bad Data <A[B>");
    EXPECT_EQ(errorOf(bcCode93Extended, QString::fromUtf8("\u0627")),
              QString::fromUtf8("Barcode:Code93 bad Data <\u0627>"));
    // What the sets do hold still encodes.
    EXPECT_NO_THROW(encode(bcCode128A, "AB\t12", opts()));
    EXPECT_NO_THROW(encode(bcCode93Extended, "a[b]{}", opts()));
    EXPECT_NO_THROW(encode(bcCodeCodabar, "0123456789-$:/.+", opts()));
}

TEST(BarcodeErrors, MessagesOfTheComponent) {
    EXPECT_EQ(errorOf(bcCodeEAN13, "12a4"), "Barcode must be numeric");
    EXPECT_EQ(errorOf(bcCodeMSI, "1 2"), "Barcode must be numeric");
    EXPECT_EQ(errorOf(bcCodeEAN8, "123456789"), "Invalid Text len (EAN8)");
    EXPECT_EQ(errorOf(bcCodeEAN8, "1234567", opts(true, csmNone)), "Invalid Text len (EAN8)");
    EXPECT_EQ(errorOf(bcCodeEAN13, "12345678901234"), "Invalid Text len (EAN13)");
    EXPECT_EQ(errorOf(TBarcodeType(23), "1"), "Barcode: wrong BarcodeType");
    try {
        BarProps('X', {1, 2, 3, 4}, "Barcode1");
        FAIL();
    } catch (const BarcodeError& e) {
        EXPECT_EQ(e.message(), "Barcode1: internal Error");
    }
}

TEST(BarcodeModules, WholeModulesWhateverTheRatio) {
    EXPECT_EQ(MakeModules(bcCode39, 1, 3.0), (Modules{1, 3, 4, 6}));
    EXPECT_EQ(MakeModules(bcCode128B, 1, 3.0), (Modules{1, 2, 3, 4}));
    EXPECT_EQ(MakeModules(bcCode93, 2, 5.0), (Modules{2, 4, 6, 8}));
    EXPECT_EQ(MakeModules(bcCodeEAN13, 3, 2.5), (Modules{3, 6, 9, 12}));
    EXPECT_EQ(MakeModules(bcCodeEAN128C, 1, 1.0), (Modules{1, 2, 3, 4}));
    EXPECT_EQ(MakeModules(bcCodeMSI, 2, 2.5), (Modules{2, 5, 7, 10}));
    // Never below one pixel, and int widths for the widest modules.
    EXPECT_EQ(MakeModules(bcCodePostNet, 1, 0.2), (Modules{1, 1, 1, 2}));
    EXPECT_EQ(MakeModules(bcCode39, 49, 3.0), (Modules{49, 147, 220, 294}));
    EXPECT_DOUBLE_EQ(clampRatio(bcCode39, 5.0), 3.0);
    EXPECT_DOUBLE_EQ(clampRatio(bcCode_2_5_matrix, 2.0), 2.25);
    EXPECT_DOUBLE_EQ(clampRatio(bcCodeCodabar, 1.0), 2.0);
    EXPECT_DOUBLE_EQ(clampRatio(bcCode128B, 5.0), 5.0);
    EXPECT_DOUBLE_EQ(clampRatio(bcCodePostNet, 1.0), 1.0);
}
