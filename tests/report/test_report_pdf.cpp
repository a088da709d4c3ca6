#include "pdf_tools.h"
#include "platform/report/elements.h"
#include "platform/report/output.h"
#include "sample_layouts.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc::report;

namespace {

class ReportPdf : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ReportPdf, ListReportRepeatsItsHeadersOnEveryPage) {
    Report report;
    sample::layoutVehicleList(report);
    auto rows = sample::vehicleRows(60);
    report.data = rows.get();
    const QString file = path("list.pdf");
    const RenderResult r = writePdf(report, file);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.rows, 60);

    // 190 mm of A4 landscape inside the margins, 24 + 7 mm of headers: 26 rows of 6.1 mm a page.
    EXPECT_EQ(r.pages, 3);
    EXPECT_EQ(pdf::pageCount(file), 3);
    EXPECT_TRUE(pdf::pageSize(file).contains("(A4)")) << pdf::pageSize(file).toStdString();

    for (int page = 1; page <= 3; ++page) {
        const QString text = pdf::text(file, page);
        EXPECT_TRUE(text.contains(pdf::printedLetters(QStringLiteral("کاروندیس")))) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("1403/05/21"))) << page; // the date label
        EXPECT_TRUE(text.contains(QStringLiteral("رديف"))) << page;
        EXPECT_TRUE(text.contains(QString::number(page))) << page;
    }
    const QString first = pdf::text(file, 1);
    const QString last = pdf::text(file, 3);
    EXPECT_TRUE(first.contains(QStringLiteral("120026")));
    EXPECT_FALSE(first.contains(QStringLiteral("120027")));
    EXPECT_TRUE(pdf::text(file, 2).contains(QStringLiteral("120027")));
    EXPECT_TRUE(last.contains(QStringLiteral("120060")));
    EXPECT_TRUE(last.contains(QStringLiteral("08:59")));
}

namespace {

// The page size pdfinfo reports, in points.
QSizeF pagePoints(const QString& file) {
    const QStringList parts = pdf::pageSize(file).split(' ');
    return parts.size() >= 3 ? QSizeF(parts[0].toDouble(), parts[2].toDouble()) : QSizeF();
}

void expectPoints(const QString& file, double widthMm, double heightMm) {
    const QSizeF pts = pagePoints(file);
    EXPECT_NEAR(pts.width(), widthMm * 72 / 25.4, 1.0) << file.toStdString();
    EXPECT_NEAR(pts.height(), heightMm * 72 / 25.4, 1.0) << file.toStdString();
}

// Pictures may be stored lossily in the PDF: compare colours loosely.
bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

Report& oneLabel(Report& report, const QString& text) {
    report.pageHeader.heightMm = 10;
    report.pageHeader.add<Label>(text).geometryMm = {0, 0, 60, 8};
    return report;
}

} // namespace

TEST_F(ReportPdf, PaperSizesAndOrientations) {
    struct Case {
        PageSetup page;
        double w, h;
        const char* name;
    };
    const Case cases[] = {{PageSetup::a4(), 210, 297, "(A4)"},
                          {PageSetup::a4(QPageLayout::Landscape), 297, 210, "(A4)"},
                          {PageSetup::a5(), 148, 210, "(A5)"},
                          {PageSetup::a5(QPageLayout::Landscape), 210, 148, "(A5)"},
                          {PageSetup::custom(80.0, 144.0), 80, 144, ""},
                          {PageSetup::custom(79.9, 149.0), 79.9, 149, ""}};
    int i = 0;
    for (const Case& c : cases) {
        Report report;
        report.page = c.page;
        const QString file = path(QStringLiteral("page%1.pdf").arg(i++));
        ASSERT_TRUE(writePdf(oneLabel(report, "x"), file).ok());
        expectPoints(file, c.w, c.h);
        EXPECT_TRUE(pdf::pageSize(file).contains(c.name)) << pdf::pageSize(file).toStdString();
    }
}

TEST_F(ReportPdf, AnEmptyReportPrintsOnlyWhenTheLayoutAsks) {
    Report report;
    sample::layoutVehicleList(report);
    report.summary.heightMm = 8;
    report.summary.add<Label>(QStringLiteral("پايان گزارش")).geometryMm = {200, 0, 70, 8};
    auto rows = sample::vehicleRows(0);
    report.data = rows.get();

    const QString printed = path("empty.pdf");
    const RenderResult r = writePdf(report, printed);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.pages, 1);
    EXPECT_EQ(r.rows, 0);
    const QString text = pdf::text(printed);
    EXPECT_TRUE(text.contains(QStringLiteral("رديف")));
    EXPECT_TRUE(text.contains(QStringLiteral("پايان گزارش")));

    report.printIfEmpty = false;
    const QString skipped = path("skipped.pdf");
    const RenderResult none = writePdf(report, skipped);
    EXPECT_FALSE(none.ok());
    EXPECT_EQ(none.pages, 0);
    EXPECT_FALSE(QFile::exists(skipped));
}

TEST_F(ReportPdf, AnUnwritablePathFailsAndSaysSo) {
    Report report;
    const RenderResult r = writePdf(oneLabel(report, "x"), "/nonexistent-dir/report.pdf");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.pages, 0);
}

TEST_F(ReportPdf, AlignmentIsAsSeenOnPaperInRightToLeftText) {
    Report report;
    report.page = PageSetup::custom(100, 30);
    report.page.marginsMm = {10, 10, 10, 10};
    report.pageHeader.heightMm = 10;
    auto& right = report.pageHeader.add<Label>(QStringLiteral("ثبت ثبت"));
    right.geometryMm = {0, 0, 80, 10};
    right.style.font.pointSize = 20;
    const QString file = path("align.pdf");
    ASSERT_TRUE(writePdf(report, file).ok());
    const QString prefix = path("align");
    pdf::run("pdftoppm", {"-r", "25.4", "-png", "-singlefile", file, prefix});
    const QImage page(prefix + ".png");
    int leftInk = 0;
    int rightInk = 0;
    for (int y = 10; y < 20; ++y) {
        for (int x = 10; x < 90; ++x) {
            if (qGray(page.pixel(x, y)) < 128)
                ++(x < 50 ? leftInk : rightInk);
        }
    }
    EXPECT_EQ(leftInk, 0);
    EXPECT_GT(rightInk, 0);
}

TEST_F(ReportPdf, ShapesFillsAndPicturesLandWhereTheLayoutPutsThem) {
    Report report;
    report.page = PageSetup::custom(100, 100);
    report.page.marginsMm = {10, 10, 10, 10};
    MemorySource rows({"pic"});
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    rows.addRow({png});
    report.data = &rows;

    report.detail.heightMm = 80;
    auto& circle = report.detail.add<Shape>(Shape::Kind::Ellipse);
    circle.geometryMm = {0, 0, 30, 30}; // page mm 10..40
    circle.fill = QColor(157, 206, 255);
    auto& box = report.detail.add<Shape>();
    box.geometryMm = {40, 0, 30, 30}; // page mm 50..80, outline only
    auto& fromField = report.detail.add<Picture>();
    fromField.field = "pic";
    fromField.geometryMm = {0, 40, 30, 30}; // page mm 10..40 across, 50..80 down
    auto& fixed = report.detail.add<Picture>();
    fixed.image = QImage(4, 4, QImage::Format_RGB32);
    fixed.image.fill(Qt::green);
    fixed.geometryMm = {40, 40, 30, 30};

    const QString file = path("shapes.pdf");
    ASSERT_TRUE(writePdf(report, file).ok());
    const QString prefix = path("shapes");
    pdf::run("pdftoppm", {"-r", "25.4", "-png", "-singlefile", file, prefix}); // 1 px per mm
    const QImage page(prefix + ".png");
    ASSERT_EQ(page.size(), QSize(100, 100));
    EXPECT_TRUE(near(page.pixelColor(25, 25), QColor(157, 206, 255)));
    EXPECT_TRUE(near(page.pixelColor(11, 11), QColor(Qt::white))); // outside the circle
    EXPECT_TRUE(near(page.pixelColor(65, 25), QColor(Qt::white))); // inside the unfilled box
    EXPECT_TRUE(near(page.pixelColor(25, 65), QColor(Qt::red)));
    EXPECT_TRUE(near(page.pixelColor(65, 65), QColor(Qt::green)));
    EXPECT_TRUE(near(page.pixelColor(90, 90), QColor(Qt::white)));
}
