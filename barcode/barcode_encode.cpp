#include "barcode/barcode_encode.h"

#include "barcode/barcode_checksum.h"
#include "barcode/barcode_tables.h"

#include <vector>

namespace gc::barcode {

namespace t = tables;

namespace {

QString padLeft(const QString& text, qsizetype length) {
    return text.size() >= length ? text : QString(length - text.size(), u'0') + text;
}

int digitAt(const QString& text, qsizetype i) {
    return text[i].unicode() - u'0';
}

BarcodeError badData(const EncodeOptions& o, const char* symbology, const QString& text) {
    return BarcodeError(
        QStringLiteral("%1:%2 bad Data <%3>").arg(o.componentName, QLatin1String(symbology), text));
}

BarcodeError badLength(TBarcodeType type) {
    return BarcodeError(QStringLiteral("Invalid Text len (%1)").arg(typeName(type)));
}

// Two-width elements: bars as 5/6, gaps as 0/1, alternating from `bar`.
void appendElements(std::string& out, std::string_view flags, bool bar = true) {
    for (char f : flags) {
        out += char((bar ? '5' : '0') + (f == 'w' ? 1 : 0));
        bar = !bar;
    }
}

// ---- 2 of 5 ----

Encoded interleaved(QString text) {
    if (text.size() % 2 != 0)
        text.prepend(u'0'); // a last digit without a partner would be lost
    std::string p = "5050";
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const auto bars = t::kTwoOfFive[digitAt(text, i)];
        const auto gaps = t::kTwoOfFive[digitAt(text, i + 1)];
        for (int e = 0; e < 5; ++e) {
            p += bars[e] == 'w' ? '6' : '5';
            p += gaps[e] == 'w' ? '1' : '0';
        }
    }
    p += "605";
    return {p, text};
}

Encoded industrial(const QString& text) {
    std::string p = "606050";
    for (qsizetype i = 0; i < text.size(); ++i)
        for (char f : t::kTwoOfFive[digitAt(text, i)])
            p += f == 'w' ? "60" : "50";
    p += "605060";
    return {p, text};
}

Encoded matrix(const QString& text) {
    std::string p = "705050";
    for (qsizetype i = 0; i < text.size(); ++i) {
        appendElements(p, t::kTwoOfFive[digitAt(text, i)]);
        p += '0';
    }
    p += "70505";
    return {p, text};
}

// ---- Code 39 ----

std::string code39(const QString& encoded, const QString& shown, bool checksum,
                   const EncodeOptions& o) {
    std::vector<int> values;
    values.reserve(std::size_t(encoded.size()) + 1);
    for (QChar c : encoded) {
        const auto v =
            c.unicode() < 128 ? t::kCode39Chars.find(char(c.unicode())) : std::string_view::npos;
        if (v == std::string_view::npos || c == u'*')
            throw badData(o, "Code39", shown);
        values.push_back(int(v));
    }
    if (checksum)
        values.push_back(code39CheckValue(values));
    std::string p;
    p.reserve((values.size() + 2) * 10);
    appendElements(p, t::kCode39[43]);
    p += '0';
    for (int v : values) {
        appendElements(p, t::kCode39[std::size_t(v)]);
        p += '0';
    }
    appendElements(p, t::kCode39[43]);
    return p;
}

// Full ASCII as Code 39 characters: each character alone or as a shift pair.
QString fullAscii(const QString& text, const EncodeOptions& o, const char* symbology) {
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        if (c.unicode() >= 128)
            throw badData(o, symbology, text);
        out += QLatin1String(t::kFullAscii[c.unicode()]);
    }
    return out;
}

// ---- Code 93 ----

std::string code93(const std::vector<int>& values) {
    const auto [c, k] = code93CheckValues(values);
    std::string w(t::kCode93Start);
    w.reserve((values.size() + 4) * 6);
    for (int v : values)
        w += t::kCode93[std::size_t(v)];
    w += t::kCode93[std::size_t(c)];
    w += t::kCode93[std::size_t(k)];
    w += t::kCode93Stop;
    return WidthsToPattern(w);
}

std::vector<int> code93Values(const QString& text, const EncodeOptions& o) {
    std::vector<int> values;
    values.reserve(std::size_t(text.size()));
    for (QChar c : text) {
        const auto v =
            c.unicode() < 128 ? t::kCode93Chars.find(char(c.unicode())) : std::string_view::npos;
        if (v == std::string_view::npos)
            throw badData(o, "Code93", text);
        values.push_back(int(v));
    }
    return values;
}

std::vector<int> code93ExtendedValues(const QString& text, const EncodeOptions& o) {
    std::vector<int> values;
    values.reserve(std::size_t(text.size()) * 2);
    for (QChar c : text) {
        if (c.unicode() >= 128)
            throw badData(o, "Code93", text);
        // Code 93 has shift characters of its own, so its whole base set is encoded as is.
        const auto direct = t::kCode93Chars.find(char(c.unicode()));
        if (direct != std::string_view::npos) {
            values.push_back(int(direct));
            continue;
        }
        const auto seq = t::kFullAscii[c.unicode()];
        values.push_back(43 + int(std::string_view("$%/+").find(seq[0])));
        values.push_back(int(t::kCode93Chars.find(seq[1])));
    }
    return values;
}

// ---- Code 128 and EAN-128 ----

enum class CodeSet { A, B, C };

Encoded code128(QString text, CodeSet set, bool fnc1, const EncodeOptions& o) {
    std::vector<int> values;
    values.reserve(std::size_t(text.size()) + 1);
    if (fnc1)
        values.push_back(102);
    if (set == CodeSet::C) {
        if (text.size() % 2 != 0)
            text.prepend(u'0');
        for (qsizetype i = 0; i < text.size(); i += 2)
            values.push_back(digitAt(text, i) * 10 + digitAt(text, i + 1));
    } else {
        for (QChar c : text) {
            const auto u = c.unicode();
            int v = -1;
            if (u >= 32 && u < (set == CodeSet::A ? 96 : 128))
                v = u - 32;
            else if (set == CodeSet::A && u < 32)
                v = u + 64;
            if (v < 0)
                throw badData(o, "Code128", text);
            values.push_back(v);
        }
    }
    const int start = 103 + int(set);
    std::string w(t::kCode128[std::size_t(start)]);
    w.reserve((values.size() + 3) * 6 + 1);
    for (int v : values)
        w += t::kCode128[std::size_t(v)];
    w += t::kCode128[std::size_t(code128CheckValue(start, values))];
    w += t::kCode128[106];
    return {WidthsToPattern(w), text};
}

Encoded ean128(const QString& text, CodeSet set, const EncodeOptions& o) {
    if (!o.checksum)
        return code128(text, set, true, o);
    // The check digit is encoded but never kept in the text: each encode would add another.
    QString source = text;
    QString checked = DoCheckSumming(source, o.checkSumMethod);
    if (set == CodeSet::C && checked.size() % 2 != 0) {
        source.prepend(u'0');
        checked.prepend(u'0');
    }
    return {code128(checked, set, true, o).pattern, source};
}

// ---- MSI, PostNet, Codabar ----

Encoded msi(const QString& text) {
    const QString full = text + QChar(u'0' + msiCheckDigit(text));
    std::string p = "60";
    for (qsizetype i = 0; i < full.size(); ++i) {
        const int d = digitAt(full, i);
        for (int bit = 3; bit >= 0; --bit)
            p += (d >> bit) & 1 ? "60" : "51";
    }
    p += "515";
    return {p, text};
}

Encoded postNet(const QString& text) {
    static constexpr std::array<std::string_view, 10> kBars{
        "11000", "00011", "00101", "00110", "01001", "01010", "01100", "10001", "10010", "10100"};
    std::string p = "51";
    for (qsizetype i = 0; i < text.size(); ++i)
        for (char b : kBars[std::size_t(digitAt(text, i))])
            p += b == '1' ? "51" : "A1";
    p += '5';
    return {p, text};
}

Encoded codabar(const QString& text, const EncodeOptions& o) {
    std::string p;
    p.reserve(std::size_t(text.size() + 2) * 8);
    appendElements(p, t::kCodabar[16]);
    p += '0';
    for (QChar c : text) {
        const auto v =
            c.unicode() < 128 ? t::kCodabarChars.find(char(c.unicode())) : std::string_view::npos;
        if (v >= 16) // not a data character; A to D only start or stop the symbol
            throw badData(o, "Codebar", text);
        appendElements(p, t::kCodabar[v]);
        p += '0';
    }
    appendElements(p, t::kCodabar[17]);
    return {p, text};
}

// ---- EAN / UPC ----

std::string_view eanDigit(char set, int digit) {
    return set == 'A'   ? t::kEanSetA[std::size_t(digit)]
           : set == 'B' ? t::kEanSetB[std::size_t(digit)]
                        : t::kEanSetC[std::size_t(digit)];
}

Encoded ean8(const QString& text, const EncodeOptions& o) {
    const QString code =
        o.checksum ? DoCheckSumming(padLeft(text, 7), o.checkSumMethod) : padLeft(text, 8);
    if (code.size() != 8)
        throw BarcodeError(QStringLiteral("Invalid Text len (EAN8)"));
    std::string p = "505";
    for (int i = 0; i < 4; ++i)
        p += eanDigit('A', digitAt(code, i));
    p += "05050";
    for (int i = 4; i < 8; ++i)
        p += eanDigit('C', digitAt(code, i));
    p += "505";
    return {p, text};
}

Encoded ean13(const QString& text, const EncodeOptions& o) {
    const QString code =
        o.checksum ? DoCheckSumming(padLeft(text, 12), o.checkSumMethod) : padLeft(text, 13);
    if (code.size() != 13)
        throw BarcodeError(QStringLiteral("Invalid Text len (EAN13)"));
    const auto parity = t::kEan13Parity[std::size_t(digitAt(code, 0))];
    std::string p = "505";
    for (int i = 1; i < 7; ++i)
        p += eanDigit(parity[std::size_t(i - 1)], digitAt(code, i));
    p += "05050";
    for (int i = 7; i < 13; ++i)
        p += eanDigit('C', digitAt(code, i));
    p += "505";
    return {p, text};
}

Encoded upcA(const QString& text, const EncodeOptions& o) {
    const QString code = o.checksum ? DoCheckSumming(padLeft(text, 11).left(11), o.checkSumMethod)
                                    : padLeft(text, 12);
    if (code.size() != 12)
        throw badLength(bcCodeUPC_A);
    std::string p = "505";
    for (int i = 0; i < 6; ++i)
        p += eanDigit('A', digitAt(code, i));
    p += "05050";
    for (int i = 6; i < 12; ++i)
        p += eanDigit('C', digitAt(code, i));
    p += "505";
    return {p, code};
}

Encoded upcE(TBarcodeType type, const QString& text, const EncodeOptions& o) {
    QString code;
    if (o.checksum) {
        const QString six = padLeft(text, 6).left(6);
        const int numberSystem = type == bcCodeUPC_E1 ? 1 : 0;
        code = o.checkSumMethod == csmModulo10
                   ? six + QChar(u'0' + upcECheckDigit(six, numberSystem))
                   : six;
    } else {
        code = padLeft(text, 7);
    }
    if (code.size() > 7)
        throw badLength(type);
    const QString six = code.left(6);
    const auto parity = t::kUpcEParity[std::size_t(upcECheckDigit(six, type == bcCodeUPC_E1))];
    const char even = type == bcCodeUPC_E1 ? 'A' : 'B';
    const char odd = type == bcCodeUPC_E1 ? 'B' : 'A';
    std::string p = "505";
    for (int i = 0; i < 6; ++i)
        p += eanDigit(parity[std::size_t(i)] == 'E' ? even : odd, digitAt(six, i));
    p += "050505";
    return {p, code};
}

std::string supplement(const QString& digits, std::string_view parity) {
    std::string p = "506";
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0)
            p += "05";
        p += eanDigit(parity[std::size_t(i)] == 'E' ? 'B' : 'A', digitAt(digits, i));
    }
    return p;
}

Encoded supp2(const QString& text) {
    const QString code = padLeft(text, 2);
    if (code.size() != 2)
        throw badLength(bcCodeUPC_Supp2);
    static constexpr std::array<std::string_view, 4> kParity{"oo", "oE", "Eo", "EE"};
    return {supplement(code, kParity[std::size_t(code.toInt() % 4)]), code};
}

Encoded supp5(const QString& text, const EncodeOptions& o) {
    QString code = padLeft(text, 5);
    if (o.checksum)
        code = code.left(5);
    else if (code.size() != 5)
        throw badLength(bcCodeUPC_Supp5);
    const int check = supp5CheckDigit(code);
    const std::string p = supplement(code, t::kUpcEParity[std::size_t(check)].substr(1));
    return {p, o.checksum ? code + QChar(u'0' + check) : code};
}

} // namespace

std::string WidthsToPattern(std::string_view widths) {
    std::string p(widths.size(), '0');
    for (std::size_t i = 0; i < widths.size(); ++i)
        p[i] = char(widths[i] - '1' + (i % 2 == 0 ? '5' : '0'));
    return p;
}

Encoded encode(TBarcodeType type, const QString& text, const EncodeOptions& o) {
    QString s = text;
    if (isNumericType(type)) {
        s = s.trimmed();
        for (QChar c : s)
            if (c < u'0' || c > u'9')
                throw BarcodeError(QStringLiteral("Barcode must be numeric"));
    }
    switch (type) {
    case bcCode_2_5_interleaved:
        return interleaved(s);
    case bcCode_2_5_industrial:
        return industrial(s);
    case bcCode_2_5_matrix:
        return matrix(s);
    case bcCode39:
        return {code39(s, s, o.checksum, o), s};
    case bcCode39Extended:
        return {code39(fullAscii(s, o, "Code39"), s, o.checksum, o), s};
    case bcCode128A:
        return code128(s, CodeSet::A, false, o);
    case bcCode128B:
        return code128(s, CodeSet::B, false, o);
    case bcCode128C:
        return code128(s, CodeSet::C, false, o);
    case bcCode93:
        return {code93(code93Values(s, o)), s};
    case bcCode93Extended:
        return {code93(code93ExtendedValues(s, o)), s};
    case bcCodeMSI:
        return msi(s);
    case bcCodePostNet:
        return postNet(s);
    case bcCodeCodabar:
        return codabar(s, o);
    case bcCodeEAN8:
        return ean8(s, o);
    case bcCodeEAN13:
        return ean13(s, o);
    case bcCodeUPC_A:
        return upcA(s, o);
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        return upcE(type, s, o);
    case bcCodeUPC_Supp2:
        return supp2(s);
    case bcCodeUPC_Supp5:
        return supp5(s, o);
    case bcCodeEAN128A:
        return ean128(s, CodeSet::A, o);
    case bcCodeEAN128B:
        return ean128(s, CodeSet::B, o);
    case bcCodeEAN128C:
        return ean128(s, CodeSet::C, o);
    }
    throw BarcodeError(QStringLiteral("%1: wrong BarcodeType").arg(o.componentName));
}

} // namespace gc::barcode
