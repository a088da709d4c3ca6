#include "arbab_print_fixture.h"
#include "platform/db/query.h"

#include <algorithm>

using namespace gctest::arbab;

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

class VisitListReport : public PrintsTest {};

// The box of the word `text` on the page; empty when it is not there.
QRectF boxOf(const QList<Word>& all, const QString& text) {
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Word& w) { return w.text == text; });
    return it == all.end() ? QRectF() : it->box;
}

} // namespace

// The visitor list keeps its own bands and fonts: a 24.1 mm page header, rows 6.1 mm apart,
// the visitor's name in Tahoma 11 px bold beside the card number in Arial 13 px.
TEST_P(VisitListReport, HasItsOwnBandsAndFonts) {
    const QStringList names{QStringLiteral("احمدي"), QStringLiteral("بهرامي"),
                            QStringLiteral("جعفري")};
    for (int i = 0; i < names.size(); ++i) {
        Visit v{names[i], QStringLiteral("حراست"), "1", "10", QStringLiteral("كارت"), ""};
        v.cart_no = QString::number(70001 + i);
        v.vorod = QStringLiteral("0%1:00").arg(9 - i);
        addVisit(v);
    }
    dm->ADOQ_arbabrojo.openSql({"Select * from arbabrojo where ID<>-1", " order by vorod desc "});
    prints->previewList();
    const QList<Word> all = words(ui.path(), 1);

    QList<QRectF> cards;
    for (int i = 0; i < names.size(); ++i)
        cards << boxOf(all, QString::number(70001 + i));
    for (const QRectF& card : cards)
        ASSERT_FALSE(card.isEmpty());
    EXPECT_NEAR((cards[1].center().y() - cards[0].center().y()) / kPtPerMm, 6.1, 0.1);
    EXPECT_NEAR((cards[2].center().y() - cards[1].center().y()) / kPtPerMm, 6.1, 0.1);
    // Below the 10 mm margin, the page header and the column titles, in the middle of its row.
    EXPECT_NEAR(cards[0].center().y() / kPtPerMm, 10.0 + 24.1 + 6.8 + 6.1 / 2, 1.0);

    const QRectF name = boxOf(all, names[0]);
    ASSERT_FALSE(name.isEmpty());
    EXPECT_NEAR(name.center().y(), cards[0].center().y(), 3.0) << "on the same row";
    EXPECT_LT(name.height(), cards[0].height() * 0.92) << "11 px against 13 px";
}

INSTANTIATE_TEST_SUITE_P(Engines, VisitListReport,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
