#include "support/reading_checks.h"

#include <algorithm>

namespace gctest {

namespace {

bool isPersianLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x0600 && u <= 0x06FF) || (u >= 0xFB50 && u <= 0xFEFF);
}

bool isLatinLetter(QChar c) {
    return c.unicode() < 0x80 && c.isLetter();
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool opensIsolate(QChar c) {
    return c.unicode() >= 0x2066 && c.unicode() <= 0x2068;
}

// Digits after a Latin word ("Windows 10") join its left-to-right run.
bool afterLatin(const QString& text, qsizetype at) {
    for (qsizetype k = at - 1; k >= 0; --k)
        if (text[k].isLetterOrNumber())
            return isLatinLetter(text[k]) || isAsciiDigit(text[k]);
    return false;
}

// Latin runs whose digits come before their first letter, outside isolate marks.
QStringList reorderedRuns(const QString& text) {
    QStringList out;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (opensIsolate(c)) {
            ++depth;
            continue;
        }
        if (c.unicode() == 0x2069) {
            depth = std::max(0, depth - 1);
            continue;
        }
        if (depth > 0 || !isAsciiDigit(c) || afterLatin(text, i))
            continue;
        // Digits, then separators, then a Latin letter: the run turns round.
        qsizetype j = i;
        while (j < text.size() &&
               (isAsciiDigit(text[j]) || QStringLiteral("-./: _").contains(text[j])))
            ++j;
        if (j < text.size() && isLatinLetter(text[j])) {
            qsizetype end = j;
            while (end < text.size() && (isLatinLetter(text[end]) || isAsciiDigit(text[end])))
                ++end;
            out << text.mid(i, end - i);
            i = end - 1;
        } else {
            i = j - 1;
        }
    }
    return out;
}

} // namespace

QStringList readingFaults(const QString& text, bool rightToLeft) {
    QStringList faults;
    if (rightToLeft)
        for (const QString& run : reorderedRuns(text))
            faults << "\"" + run + "\" is not isolated and reads in reverse";
    if (!std::any_of(text.begin(), text.end(), isPersianLetter))
        return faults;
    const QString trimmed = text.trimmed();
    if (rightToLeft ? trimmed.startsWith(u':') : trimmed.endsWith(u':'))
        faults << QStringLiteral("the colon stands before the caption");
    int open = 0;
    for (const QChar c : text) {
        if (c == u'\u00AB')
            ++open;
        else if (c == u'\u00BB' && --open < 0) {
            faults << QStringLiteral("\u00BB comes before its \u00AB");
            break;
        }
    }
    if (open > 0)
        faults << QStringLiteral("\u00AB is not closed");
    return faults;
}

} // namespace gctest
