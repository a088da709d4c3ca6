#include "platform/db/collation.h"

#include "platform/db/db_error.h"
#include "platform/db/sqlite_file.h"
#include "platform/text/bidi.h"

#include <QSqlQuery>
#include <algorithm>
#include <array>
#include <cstring>
#include <sqlite3.h>

namespace gc::db {

namespace {

const char16_t kAlphabet[] = u"آابپتثجچحخدذرزژسشصضطظعغفقکگلمنوهی";

// Forms that sort as one letter of the alphabet.
char16_t alphabetLetter(char32_t c) {
    switch (c) {
    case 0x0643: // Arabic kaf
        return u'ک';
    case 0x064A: // Arabic yeh
    case 0x0649: // alef maksura
    case 0x0626: // yeh with hamza
        return u'ی';
    case 0x0623: // alef with hamza above
    case 0x0625: // alef with hamza below
    case 0x0671: // alef wasla
        return u'ا';
    case 0x0624: // waw with hamza
        return u'و';
    case 0x0629: // teh marbuta
    case 0x06C0: // heh with yeh
        return u'ه';
    default:
        return char16_t(c);
    }
}

bool ignorable(char32_t c) {
    return (c >= 0x064B && c <= 0x0652) || c == 0x0640 || c == 0x200C || c == 0x200D;
}

// The primary weight: its class in the high byte, its place within the class below.
char32_t computeWeight(char32_t c) {
    if (c < 0x80) {
        if (c >= '0' && c <= '9')
            return (1u << 24) | (c - '0');
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return (3u << 24) | (c | 0x20);
        return c;
    }
    if (c >= 0x06F0 && c <= 0x06F9)
        return (1u << 24) | (c - 0x06F0);
    if (c >= 0x0660 && c <= 0x0669)
        return (1u << 24) | (c - 0x0660);
    const char16_t letter = alphabetLetter(c);
    const char16_t* end = kAlphabet + std::size(kAlphabet) - 1;
    if (const char16_t* at = std::find(kAlphabet, end, letter); at != end)
        return (2u << 24) | char32_t(at - kAlphabet + 1);
    if (c == 0x0621) // hamza, before every letter
        return 2u << 24;
    if (c >= 0x0600 && c <= 0x06FF)
        return (2u << 24) | (0x100 + c);
    return (4u << 24) | c;
}

// Weights of the Arabic block looked up, not searched for: most letters compared are there.
char32_t weight(char32_t c) {
    static const auto arabic = [] {
        std::array<char32_t, 256> table{};
        for (char32_t i = 0; i < 256; ++i)
            table[i] = computeWeight(0x0600 + i);
        return table;
    }();
    return c >= 0x0600 && c <= 0x06FF ? arabic[c - 0x0600] : computeWeight(c);
}

// The next code point of UTF-8 text at `i`; a malformed byte stands for itself.
char32_t nextCodePoint(QByteArrayView s, qsizetype& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80)
        return b;
    const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k)
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return c;
}

// The weight of the next character that counts, or 0 at the end; with `variant`, only
// whether it is a letter's Arabic form (1) or not (0) instead.
char32_t nextWeight(QByteArrayView s, qsizetype& i, bool variant) {
    while (i < s.size()) {
        const char32_t c = nextCodePoint(s, i);
        if (ignorable(c))
            continue;
        if (variant)
            return c < 0x80 || alphabetLetter(c) == c ? 1 : 2;
        return weight(c) + 1;
    }
    return 0;
}

// Compares letter by letter: by the letters, or by their forms.
int compareBy(QByteArrayView a, QByteArrayView b, bool variant) {
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        const char32_t x = nextWeight(a, i, variant);
        const char32_t y = nextWeight(b, j, variant);
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
}

int compareCallback(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return comparePersian(QByteArrayView(static_cast<const char*>(a), lengthA),
                          QByteArrayView(static_cast<const char*>(b), lengthB));
}

} // namespace

int comparePersian(QByteArrayView a, QByteArrayView b) {
    // The Persian form before the Arabic one where the letters are the same, as the server's
    // collation has them.
    if (const int letters = compareBy(a, b, false))
        return letters;
    if (const int forms = compareBy(a, b, true))
        return forms;
    const int bytes = std::memcmp(a.data(), b.data(), std::size_t(std::min(a.size(), b.size())));
    if (bytes != 0)
        return bytes;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void registerPersianCollation(const QSqlDatabase& db) {
    sqlite3* engine = engineHandle(db);
    if (!engine)
        throw DbError(QString::fromUtf8("ترتيب الفباي فارسي روي بانک اطلاعاتي ثبت نشد"));
    registerPersianCollation(engine);
}

void registerPersianCollation(sqlite3* engine) {
    const QByteArray name = kFileCollation.toUtf8();
    if (sqlite3_create_collation_v2(engine, name.constData(), SQLITE_UTF8, nullptr, compareCallback,
                                    nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8("ترتيب الفباي فارسي روي بانک اطلاعاتي ثبت نشد: %1")
                          .arg(text::isolatedLtr(QString::fromUtf8(sqlite3_errmsg(engine)))));
}

QString serverPersianCollation(const QSqlDatabase& db) {
    // Made by the server's initdb from ICU's locales.
    const QString name = QStringLiteral("fa-IR-x-icu");
    QSqlQuery q(db);
    q.prepare("select 1 from pg_collation where collname = ?");
    q.addBindValue(name);
    return q.exec() && q.next() ? name : QString();
}

} // namespace gc::db
