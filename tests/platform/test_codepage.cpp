#include "platform/text/codepage.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace gc::codepage;

TEST(CodePage, EveryByteRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encode(text).value(), all);
}

TEST(CodePage, KafAndYehKeepTheirDistinctBytes) {
    EXPECT_EQ(encode(QString::fromUtf8("ك")).value(), QByteArray("\xDF"));
    EXPECT_EQ(encode(QString::fromUtf8("ي")).value(), QByteArray("\xED"));
    EXPECT_EQ(encode(QString::fromUtf8("ک")).value(), QByteArray("\x98"));
}

TEST(CodePage, RepertoireMapsPersianYehAndDigits) {
    EXPECT_EQ(toRepertoire(QString::fromUtf8("یک ۱۲۳ ٤٥")).value(), QString::fromUtf8("يک 123 45"));
    EXPECT_EQ(toRepertoire(QString::fromUtf8("كيک")).value(), QString::fromUtf8("كيک"));
}

TEST(CodePage, RefusesWhatItCannotHold) {
    QString bad;
    EXPECT_FALSE(encode(QString::fromUtf8("a€b✓")).has_value());
    EXPECT_FALSE(toRepertoire(QString::fromUtf8("ok😀"), &bad).has_value());
    EXPECT_EQ(bad, QString::fromUtf8("😀"));
    EXPECT_TRUE(unsupportedCharMessage(bad).contains(bad));
    // U+0000 has a byte, but no engine keeps it in a text.
    EXPECT_FALSE(toRepertoire(QString("a") + QChar(0) + "b", &bad).has_value());
    EXPECT_EQ(bad, QString(QChar(0)));
}

TEST(CodePage, RefusalsNameTheWholeCharacterByItsCodePoint) {
    QString bad;
    ASSERT_FALSE(toRepertoire(QString::fromUtf8("ok😀x"), &bad).has_value());
    EXPECT_EQ(bad, QString::fromUtf8("😀"));
    const QString emoji = unsupportedCharMessage(bad);
    EXPECT_TRUE(emoji.contains(QString::fromUtf8("«😀» (U+1F600)"))) << emoji.toStdString();
    EXPECT_FALSE(emoji.contains("D83D"));
    // A lone half of a pair is named by itself, never with the character after it.
    const QString lone = QString("a") + QChar(0xD83D) + "b";
    ASSERT_FALSE(toRepertoire(lone, &bad).has_value());
    EXPECT_EQ(bad, QString(QChar(0xD83D)));
    EXPECT_TRUE(unsupportedCharMessage(bad).contains("«» (U+D83D)"));
    const QString trailing = QString("a") + QChar(0xDE00);
    ASSERT_FALSE(toRepertoire(trailing, &bad).has_value());
    EXPECT_TRUE(unsupportedCharMessage(bad).contains("(U+DE00)"));
    // A whole text names the first character without a byte, as it stands.
    EXPECT_TRUE(unsupportedCharMessage(QString::fromUtf8("ab۱✓")).contains("(U+06F1)"));
    EXPECT_TRUE(unsupportedCharMessage(QString::fromUtf8("ab✓"))
                    .contains(QString::fromUtf8("«✓» (U+2713)")));
}

// The table against the system's own converter (iconv's CP1256), as an independent oracle.
TEST(CodePage, MatchesIconv) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QProcess iconv;
    iconv.start("iconv", {"-f", "CP1256", "-t", "UTF-8"});
    if (!iconv.waitForStarted())
        GTEST_SKIP() << "iconv not available";
    iconv.write(all);
    iconv.closeWriteChannel();
    iconv.waitForFinished();
    EXPECT_EQ(decode(all), QString::fromUtf8(iconv.readAllStandardOutput()));
}
