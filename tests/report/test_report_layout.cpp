#include "platform/report/elements.h"
#include "platform/report/fonts.h"
#include "platform/report/output.h"
#include "sample_layouts.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
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
    // Where Debian's Persian display face is installed it serves both title faces.
    const QStringList farsiweb = {"DejaVu Sans", "Titr", "Nazli"};
    EXPECT_EQ(resolveFamily("B Titr", farsiweb), "Titr");
    EXPECT_EQ(resolveFamily("Titr", farsiweb), "Titr");

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

namespace {

// The columns of `image` that hold ink (anything not white).
std::pair<int, int> inkColumns(const QImage& image) {
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

QImage painted(Label& label) {
    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintContext ctx;
    ctx.dpiX = ctx.dpiY = image.logicalDpiX();
    label.paint(painter, ctx);
    painter.end();
    return image;
}

} // namespace

TEST(ReportText, ATitleTooWideForItsBoxShrinksToFitInsteadOfRunningOver) {
    Label title(QString::fromUtf8("نگهباني - ليست خودروهاي پاركينگ"));
    title.style.font = FontSpec::pixels96(QStringLiteral("DejaVu Sans"), 24, true);
    title.style.alignment = Qt::AlignCenter;
    title.geometryMm = {20, 0, 40, 12};
    const QImage canvas(1, 1, QImage::Format_RGB32);
    const int boxLeft = int(20 * canvas.logicalDpiX() / 25.4);
    const int boxRight = int(60 * canvas.logicalDpiX() / 25.4);

    // Without fitting, the box cuts the text at both its edges.
    const auto [cutFrom, cutTo] = inkColumns(painted(title));
    EXPECT_LE(cutFrom, boxLeft + 1);
    EXPECT_GE(cutTo, boxRight - 1);

    title.style.minPointSize = 6;
    const auto [from, to] = inkColumns(painted(title));
    EXPECT_GT(from, boxLeft);
    EXPECT_LT(to, boxRight);
    EXPECT_GT(to - from, (boxRight - boxLeft) / 2); // shrunk, not vanished
}

namespace {

// A right-aligned caption as the preview shows it: recorded in a right-to-left painter, then
// replayed.
QImage previewed(const QString& text) {
    Label label(text);
    label.style.font = FontSpec::pixels96(QStringLiteral("DejaVu Sans"), 20, true);
    label.style.alignment = Qt::AlignRight | Qt::AlignVCenter;
    label.geometryMm = {10, 2, 80, 10};
    QPicture page;
    QPainter recorder(&page);
    recorder.setLayoutDirection(Qt::RightToLeft);
    label.paint(recorder, PaintContext());
    recorder.end();
    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawPicture(0, 0, page);
    return image;
}

} // namespace

// The colon after a Persian caption stands on its left in the preview, as on paper: the
// words stay where they stand without it.
TEST(ReportText, ThePreviewKeepsACaptionsColonOnItsLeft) {
    const QImage bare = previewed(QString::fromUtf8("تاريخ ملاقات"));
    const QImage withColon = previewed(QString::fromUtf8("تاريخ ملاقات:"));
    const auto [from, to] = inkColumns(bare);
    EXPECT_LT(inkColumns(withColon).first, from);
    int moved = 0;
    for (int y = 0; y < bare.height(); ++y)
        for (int x = from; x <= to; ++x)
            moved += (qGray(bare.pixel(x, y)) < 128) != (qGray(withColon.pixel(x, y)) < 128);
    EXPECT_LT(moved, 20);
}

// A field's line breaks stay line breaks on paper.
TEST(ReportText, AFieldsLineBreaksPrintAsLines) {
    const auto height = [](const QString& text) {
        Label label(text);
        label.style.font = FontSpec::pixels96(QStringLiteral("DejaVu Sans"), 12, false);
        label.geometryMm = {0, 0, 80, 15};
        const QImage image = painted(label);
        int top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top;
    };
    EXPECT_GT(height(QString::fromUtf8("سطر اول\nسطر دوم")),
              2 * height(QString::fromUtf8("سطر اول")));
}
