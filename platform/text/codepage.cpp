#include "platform/text/codepage.h"

#include <array>

namespace gc::codepage {

namespace {

// Unicode code points of bytes 0x80..0xFF; 0x00..0x7F are ASCII.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0679, 0x2039,
    0x0152, 0x0686, 0x0698, 0x0688, 0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA, 0x00A0, 0x060C, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x061B, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x061F, 0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F, 0x0630, 0x0631, 0x0632, 0x0633,
    0x0634, 0x0635, 0x0636, 0x00D7, 0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643,
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x0649, 0x064A, 0x00EE, 0x00EF, 0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7,
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2,
};

// Reverse table: code point -> byte + 1 (0 where the code page has no byte).
struct ReverseTable {
    std::array<unsigned short, 0x2200> bytes{};
    constexpr ReverseTable() {
        for (unsigned i = 0; i < 0x80; ++i)
            bytes[i] = static_cast<unsigned short>(i + 1);
        for (unsigned i = 0; i < kHigh.size(); ++i)
            bytes[kHigh[i]] = static_cast<unsigned short>(0x80 + i + 1);
    }
};
constexpr ReverseTable kReverse;

int byteOf(char16_t c) {
    return c < kReverse.bytes.size() ? kReverse.bytes[c] - 1 : -1;
}

// The whole character at `i`: a surrogate pair when one starts there, else the one unit.
QString characterAt(const QString& text, qsizetype i) {
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    return text.mid(i, pair ? 2 : 1);
}

char16_t mapChar(char16_t c) {
    if (c == 0x06CC) // Persian yeh
        return 0x064A;
    if (c >= 0x06F0 && c <= 0x06F9) // Persian digits
        return char16_t(u'0' + (c - 0x06F0));
    if (c >= 0x0660 && c <= 0x0669) // Arabic-Indic digits
        return char16_t(u'0' + (c - 0x0660));
    return c;
}

} // namespace

QString decode(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* p = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *p++ = QChar(b < 0x80 ? char16_t(b) : kHigh[b - 0x80]);
    }
    return out;
}

std::optional<QByteArray> encode(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteOf(text[i].unicode());
        if (b < 0)
            return std::nullopt;
        out[i] = char(b);
    }
    return out;
}

std::optional<QString> toRepertoire(const QString& text, QString* bad) {
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = mapChar(text[i].unicode());
        // The code page has a byte 0, but no engine keeps it inside a text value.
        if (c == 0 || byteOf(c) < 0) {
            if (bad)
                *bad = characterAt(text, i);
            return std::nullopt;
        }
        out[i] = QChar(c);
    }
    return out;
}

QString unsupportedCharMessage(const QString& text) {
    QString bad = text.left(1);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].unicode() == 0 || byteOf(text[i].unicode()) < 0) {
            bad = characterAt(text, i);
            break;
        }
    const char32_t code = bad.size() == 2 ? QChar::surrogateToUcs4(bad[0], bad[1])
                          : bad.isEmpty() ? 0
                                          : bad[0].unicode();
    // A control character or a lone half of a pair would cut or garble the message box; its
    // code says enough.
    const bool visible = code >= 0x20 && !QChar::isSurrogate(code);
    return QString::fromUtf8(
               "نويسه «%1» (U+%2) در متن هست که بانک اطلاعاتي نمي تواند آن را نگه دارد؛ "
               "لطفا آن را حذف يا جايگزين کنيد")
        .arg(visible ? bad : QString(),
             QString::number(code, 16).toUpper().rightJustified(4, QChar('0')));
}

} // namespace gc::codepage
