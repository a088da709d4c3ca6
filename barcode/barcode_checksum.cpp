#include "barcode/barcode_checksum.h"

namespace gc::barcode {

namespace {

int digitValue(QChar c) {
    if (c < u'0' || c > u'9')
        throw BarcodeError(QStringLiteral("'%1' is not a valid integer value").arg(c));
    return c.unicode() - u'0';
}

} // namespace

int mod10CheckDigit(const QString& digits) {
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        sum += digitValue(digits[i]) * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

QString AppendMod10CheckDigit(const QString& digits) {
    return digits + QChar(u'0' + mod10CheckDigit(digits));
}

QString DoCheckSumming(const QString& digits, TCheckSumMethod method) {
    return method == csmModulo10 ? AppendMod10CheckDigit(digits) : digits;
}

int code39CheckValue(std::span<const int> values) {
    int sum = 0;
    for (int v : values)
        sum = (sum + v) % 43;
    return sum;
}

int code128CheckValue(int startValue, std::span<const int> values) {
    long long sum = startValue;
    long long position = 1;
    for (int v : values)
        sum = (sum + v * position++) % 103;
    return int(sum);
}

Code93Checks code93CheckValues(std::span<const int> values) {
    long long c = 0;
    long long k = 0;
    const auto n = values.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto fromRight = n - i; // 1 for the last value
        c += values[i] * static_cast<long long>((fromRight - 1) % 20 + 1);
        k += values[i] * static_cast<long long>(fromRight % 15 + 1);
    }
    const int cv = int(c % 47);
    k += cv; // C stands at weight 1 of K
    return {cv, int(k % 47)};
}

int msiCheckDigit(const QString& digits) {
    int sum = 0;
    bool doubled = true;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        int d = digitValue(digits[i]);
        if (doubled) {
            d *= 2;
            d = d / 10 + d % 10;
        }
        sum += d;
        doubled = !doubled;
    }
    return (10 - sum % 10) % 10;
}

QString upcEExpand(const QString& six) {
    const QString d = six.left(6);
    if (d.size() != 6)
        return QString();
    const QChar last = d[5];
    switch (last.unicode()) {
    case u'0':
    case u'1':
    case u'2':
        return d.left(2) + last + QStringLiteral("0000") + d.mid(2, 3);
    case u'3':
        return d.left(3) + QStringLiteral("00000") + d.mid(3, 2);
    case u'4':
        return d.left(4) + QStringLiteral("00000") + d[4];
    default:
        return d.left(5) + QStringLiteral("0000") + last;
    }
}

int upcECheckDigit(const QString& six, int numberSystem) {
    return mod10CheckDigit(QString::number(numberSystem) + upcEExpand(six));
}

int supp5CheckDigit(const QString& five) {
    int sum = 0;
    for (qsizetype i = 0; i < five.size(); ++i)
        sum += digitValue(five[i]) * (i % 2 == 0 ? 3 : 9);
    return sum % 10;
}

} // namespace gc::barcode
