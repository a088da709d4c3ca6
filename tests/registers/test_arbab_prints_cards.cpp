#include "../report/pdf_tools.h"
#include "arbab_print_fixture.h"
#include "core/report_project.h"
#include "registers/arbab/core/visit_print_sql.h"

#include <QProcess>
#include <QSet>

using namespace gctest::arbab;
using gc::registers::arbab::parseCardCount;
namespace pdf = gc::report::pdf;

TEST(CardCount, AWholeNumberFromOneTo500) {
    EXPECT_EQ(parseCardCount("8"), 8);
    EXPECT_EQ(parseCardCount(" 500 "), 500);
    EXPECT_EQ(parseCardCount("1"), 1);
    EXPECT_EQ(parseCardCount(QStringLiteral("۱۲")), 12); // typed on the Persian layout
    EXPECT_EQ(parseCardCount("008"), 8);
    for (const char* bad : {"", "0", "501", "abc", "-3", "2.5", "8 8", "1e2", "0x10", "9999"})
        EXPECT_EQ(parseCardCount(bad), std::nullopt) << bad;
}

namespace {

class BlankCards : public PrintsTest {
  protected:
    bool batch(const QString& answer) {
        dialogs.inputs.push_back(answer);
        return prints->printBlankCards();
    }
    static QStringList rows(int firstNumber, int count) {
        QStringList out;
        for (int i = 1; i <= count; ++i)
            out << QStringLiteral("%1:%2").arg(firstNumber + i - 1).arg(i);
        return out;
    }
};

} // namespace

// Names 1 to 8, numbers continuing from the batch before; one card per slip-sized page,
// each carrying its own number as barcode and text.
TEST_P(BlankCards, TwoBatchesOfEightKeepTheNumbersRising) {
    ASSERT_TRUE(batch("8"));
    EXPECT_EQ(barcodTable(), rows(1, 8));
    ASSERT_TRUE(batch("8"));
    EXPECT_EQ(barcodTable(), rows(9, 8));

    ASSERT_EQ(printer->printed.size(), 2);
    const QString cards = printer->printed[1];
    ASSERT_EQ(pdf::pageCount(cards), 8);
    EXPECT_EQ(pdf::pageSize(cards), "227 x 408 pts"); // 80 x 144 mm in whole points
    for (int page = 1; page <= 8; ++page) {
        const QString number = QString::number(8 + page);
        const int dpi = page % 2 ? 203 : 300;
        const QString png = dir.filePath(QStringLiteral("card-%1.png").arg(page));
        ASSERT_FALSE(rasterise(cards, page, dpi, png).isNull());
        EXPECT_EQ(decodeBarcode(png), number) << "page " << page;
        const QString text = pdf::text(cards, page);
        EXPECT_TRUE(text.contains(number)) << "page " << page;
        EXPECT_TRUE(text.contains(QStringLiteral("برگه ملاقات اداري")));
    }
}

// Nothing is emptied or printed before a good count: Cancel and a bad answer change nothing.
TEST_P(BlankCards, CancelOrABadCountLeavesTheCardsAsTheyWere) {
    ASSERT_TRUE(batch("3"));
    const QStringList before = barcodTable();
    EXPECT_FALSE(batch(QString())); // Cancel
    EXPECT_TRUE(dialogs.messages.isEmpty());
    for (const char* bad : {"abc", "0", "501", ""}) {
        EXPECT_FALSE(batch(bad));
        EXPECT_EQ(barcodTable(), before) << bad;
    }
    EXPECT_EQ(dialogs.messages.size(), 4);
    EXPECT_EQ(printer->printed.size(), 1);
    ASSERT_TRUE(batch(QStringLiteral("۲")));
    EXPECT_EQ(barcodTable(), rows(4, 2));
}

// A stored project is kept and mentioned once; a failed print says so and is not printed.
TEST_P(BlankCards, StoredProjectIsKeptAndAFailedPrintSaysSo) {
    gc::StoreReportProject(*dm, "zamaem", QByteArray("cards project"));
    ASSERT_TRUE(batch("2"));
    ASSERT_TRUE(batch("2"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("«فايل ملاقات»")));
    EXPECT_EQ(scalar("select count(*) from zamaem"), "1");

    printer->failure = QStringLiteral("no paper");
    EXPECT_FALSE(batch("2"));
    EXPECT_TRUE(dialogs.texts().last().contains(QStringLiteral("چاپ نشد: no paper")));
}

// Three workstations issuing batches at once: each batch's numbers are its own and run
// without a gap, and the table ends holding exactly the last batch.
TEST_P(BlankCards, BatchesOfOtherWorkstationsNeverInterleave) {
    constexpr int kProcesses = 3, kBatches = 12, kCards = 6;
    const QString cs = dm->ADOConnection1.connectionString();
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < kProcesses; ++i) {
        workers.push_back(std::make_unique<QProcess>());
        workers.back()->start(QStringLiteral(GC_CARD_BATCHES),
                              {cs, QString::number(kBatches), QString::number(kCards)});
    }
    QSet<int> seen;
    int highest = 0;
    for (auto& w : workers) {
        ASSERT_TRUE(w->waitForFinished(120000));
        ASSERT_EQ(w->exitCode(), 0) << w->readAllStandardError().toStdString();
        const QStringList lines =
            QString::fromUtf8(w->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), kBatches);
        for (const QString& line : lines) {
            const QStringList numbers = line.split(' ');
            ASSERT_EQ(numbers.size(), kCards);
            for (int i = 0; i < kCards; ++i) {
                const int n = numbers[i].toInt();
                EXPECT_EQ(n, numbers[0].toInt() + i) << line.toStdString();
                EXPECT_FALSE(seen.contains(n)) << n;
                seen.insert(n);
                highest = std::max(highest, n);
            }
        }
    }
    EXPECT_EQ(barcodTable(), rows(highest - kCards + 1, kCards));
}

INSTANTIATE_TEST_SUITE_P(Engines, BlankCards,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
