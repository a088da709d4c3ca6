#include "platform/report/elements.h"
#include "platform/report/fonts.h"
#include "platform/report/output.h"
#include "sample_layouts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc::report;

TEST(ReportFonts, MissingPersianFacesFallBackToAnInstalledOne) {
    const QStringList withTahoma = {"Arial", "Tahoma", "DejaVu Sans"};
    const QStringList withoutTahoma = {"Arial", "DejaVu Sans [Foundry]"};
    EXPECT_EQ(resolveFamily("arial", withTahoma), "Arial");
    EXPECT_EQ(resolveFamily("B Titr", withTahoma), "Tahoma");
    EXPECT_EQ(resolveFamily("Zar", withoutTahoma), "DejaVu Sans");
    EXPECT_EQ(resolveFamily("Lotus", {}), "Lotus");

    FontResolver fonts(withoutTahoma);
    const QFont f = fonts.font(FontSpec::pixels96("Titr", 24, true));
    EXPECT_EQ(f.family(), "DejaVu Sans");
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 18.0);
    EXPECT_TRUE(f.bold());
}

TEST(ReportPage, SizesTurnForLandscapeAndMarginsBoundTheContent) {
    const PageSetup a4 = PageSetup::a4(QPageLayout::Landscape);
    EXPECT_EQ(a4.sizeMm(), QSizeF(297, 210));
    EXPECT_EQ(a4.contentMm(), QRectF(10, 10, 277, 190));
    PageSetup slip = PageSetup::custom(80, 144);
    slip.marginsMm = {3, 3, 3, 3};
    EXPECT_EQ(slip.contentMm(), QRectF(3, 3, 74, 138));
}

namespace {

// Stands in for a printable of another module (the barcode): records what it was told.
class Probe : public Element {
  public:
    struct Call {
        int page;
        int rowNumber;
        QString field;
        QPointF origin;
        double dpi;
    };
    void paint(QPainter&, const PaintContext& ctx) override {
        calls.push_back({ctx.pageNumber, ctx.rowNumber,
                         ctx.row ? ctx.row->fieldText("num") : QString(), ctx.bandOriginPx,
                         ctx.dpiX});
    }
    std::vector<Call> calls;
};

} // namespace

TEST(ReportLayout, RowsStreamIntoPagesBetweenHeadersAndFooters) {
    QTemporaryDir dir;
    Report report;
    report.page = PageSetup::a5();
    report.page.marginsMm = {10, 10, 10, 10}; // 190 mm of height
    report.pageHeader.heightMm = 20;
    auto& head = report.pageHeader.add<Probe>();
    report.columnHeader.heightMm = 10;
    report.pageFooter.heightMm = 10;
    auto& foot = report.pageFooter.add<Probe>();
    report.detail.heightMm = 15; // (190 - 20 - 10 - 10) / 15 = 10 rows a page
    auto& row = report.detail.add<Probe>();
    report.summary.heightMm = 80; // 75 mm are left under the third page's rows
    auto& summary = report.summary.add<Probe>();
    auto rows = sample::vehicleRows(25);
    rows->first();
    rows->next();
    rows->next(); // the list's current row
    report.data = rows.get();

    const RenderResult r = writePdf(report, dir.filePath("a.pdf"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.rows, 25);
    EXPECT_EQ(r.pages, 4); // 10 + 10 + 5 rows, then the summary does not fit the third page
    EXPECT_EQ(rows->position(), 2);

    ASSERT_EQ(row.calls.size(), 25u);
    const double dpi = row.calls[0].dpi;
    const auto px = [dpi](double mm) { return mm * dpi / 25.4; };
    for (int i = 0; i < 25; ++i) {
        const auto& c = row.calls[std::size_t(i)];
        EXPECT_EQ(c.rowNumber, i + 1);
        EXPECT_EQ(c.page, i / 10 + 1);
        EXPECT_EQ(c.field, QString::number(120001 + i));
        EXPECT_NEAR(c.origin.y(), px(10 + 20 + 10 + 15 * (i % 10)), 0.01);
        EXPECT_NEAR(c.origin.x(), px(10), 0.01);
    }
    ASSERT_EQ(head.calls.size(), 4u);
    ASSERT_EQ(foot.calls.size(), 4u);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(head.calls[std::size_t(p)].page, p + 1);
        EXPECT_TRUE(head.calls[std::size_t(p)].field.isEmpty());
        EXPECT_NEAR(foot.calls[std::size_t(p)].origin.y(), px(210 - 10 - 10), 0.01);
    }
    ASSERT_EQ(summary.calls.size(), 1u);
    EXPECT_EQ(summary.calls[0].page, 4);
    EXPECT_EQ(summary.calls[0].rowNumber, 25);
}

TEST(ReportLayout, ABandTallerThanThePageStillEndsTheRun) {
    QTemporaryDir dir;
    Report report;
    report.page = PageSetup::custom(80, 100);
    report.detail.heightMm = 150;
    auto& row = report.detail.add<Probe>();
    auto rows = sample::vehicleRows(3);
    report.data = rows.get();
    const RenderResult r = writePdf(report, dir.filePath("tall.pdf"));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.pages, 3);
    EXPECT_EQ(row.calls.size(), 3u);
}
