#include "barcode/report_barcode.h"
#include "barcode_test_util.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace gc::barcode;
using gc::report::PaintContext;

namespace {

// The visit slip's element: 25.4, 47.9, 25.4 x 13.2 mm, Code 39 Extended of the digits.
void slipElement(TReportBarcode& e) {
    e.geometryMm = QRectF(25.4, 47.9, 25.4, 13.2);
    e.setBarcodeHeight(50);
    e.setModul(1);
    e.setRatio(3.0);
    e.setTyp(bcCode39Extended);
    e.setCheckSumMethod(csmNone);
    e.setChecksum(false);
    e.setShowText(bcoNone);
    e.setAngle(0);
}

PaintContext context(double dpi, QPointF origin = {}) {
    PaintContext ctx;
    ctx.dpiX = dpi;
    ctx.dpiY = dpi;
    ctx.bandOriginPx = origin;
    return ctx;
}

QImage page(double dpi) {
    const int w = int(80.0 / 25.4 * dpi);
    QImage image(w, w, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    return image;
}

QRect print(TReportBarcode& e, double dpi, QPointF origin = {}) {
    QImage image = page(dpi);
    QPainter painter(&image);
    e.paint(painter, context(dpi, origin));
    painter.end();
    return drawnBounds(image, Qt::magenta);
}

} // namespace

TEST(TReportBarcode, DefaultsAndForwarding) {
    TReportBarcode e;
    EXPECT_NEAR(e.geometryMm.height(), 13.229, 0.001); // 50 form pixels
    EXPECT_EQ(e.Typ(), bcCodeEAN13);
    EXPECT_FALSE(e.Checksum());
    EXPECT_EQ(e.CheckSumMethod(), csmModulo10);
    EXPECT_EQ(e.ShowText(), bcoNone);
    EXPECT_EQ(e.Color(), QColor(255, 255, 255));
    EXPECT_EQ(e.ColorBar(), QColor(0, 0, 0));
    slipElement(e);
    e.setText("1234");
    EXPECT_EQ(e.Barcode().Text(), "1234");
    EXPECT_EQ(e.Barcode().Typ(), bcCode39Extended);
    EXPECT_DOUBLE_EQ(e.Barcode().Ratio(), 3.0);
    EXPECT_EQ(e.Barcode().Height(), 50);
    EXPECT_EQ(e.BarcodeWidth(), 6 * 16 - 1);
    e.setBarcodeWidth(200); // rescales the module: 1 x 200 div 95
    EXPECT_EQ(e.Modul(), 2);
}

TEST(TReportBarcode, PlacesTheSymbolInDevicePixels) {
    TReportBarcode e;
    slipElement(e);
    e.setText("1234");
    const QPointF band(30, 40);
    const QRect drawn = print(e, 300, band);
    const int left = int(std::lround(30 + 25.4 / 25.4 * 300));
    const int top = int(std::lround(40 + 47.9 / 25.4 * 300));
    const int height = int(std::lround(40 + (47.9 + 13.2) / 25.4 * 300)) - top;
    EXPECT_EQ(drawn.left(), left);
    EXPECT_EQ(drawn.top(), top);
    EXPECT_EQ(drawn.height(), height);
    EXPECT_EQ(e.Barcode().Height(), height);
    EXPECT_LE(drawn.width(), 300); // 25.4 mm at 300 dpi
    EXPECT_EQ(e.Modul(), 3);       // 95 modules: 3 px fit, 4 px do not
}

// The module is the largest whole number of pixels that fits, whatever came before.
TEST(TReportBarcode, LongCodeAfterShortOneStillFits) {
    TReportBarcode e;
    slipElement(e);
    e.setText("1");
    print(e, 600);
    const int shortModul = e.Modul();
    EXPECT_GT(shortModul, 4);
    e.setText("123456789012");
    const QRect drawn = print(e, 600);
    EXPECT_LE(drawn.width(), 600);
    EXPECT_EQ(e.Modul(), 2); // 223 modules: 2 px fit into 600, 3 px do not
    print(e, 600);
    EXPECT_EQ(e.Modul(), 2); // the same text twice, the same module
    // Too long at one pixel and the designed ratio: narrower wide bars keep it inside the
    // frame, for that print only.
    e.setText("123456789012");
    EXPECT_LE(print(e, 203).width(), 203);
    EXPECT_EQ(e.Modul(), 1);
    EXPECT_DOUBLE_EQ(e.Ratio(), 3.0);
}

TEST(TReportBarcode, EmptyTextPrintsNothingButRaisesEvents) {
    TReportBarcode e;
    slipElement(e);
    QStringList events;
    e.BeforePrint = [&](TReportBarcodeBase& sender) {
        EXPECT_EQ(&sender, &e);
        events << "before";
    };
    e.AfterPrint = [&](TReportBarcodeBase&) { events << "after"; };
    EXPECT_TRUE(print(e, 300).isNull());
    EXPECT_EQ(events, QStringList({"before", "after"}));
    e.setText("5");
    EXPECT_FALSE(print(e, 300).isNull());
}

TEST(TReportBarcode, BadTextPropagatesAndDrawsNothing) {
    TReportBarcode e;
    slipElement(e);
    e.setText(QString::fromUtf8("\u06F1\u06F2")); // Persian digits are not ASCII
    QImage image = page(300);
    QPainter painter(&image);
    EXPECT_THROW(e.paint(painter, context(300)), BarcodeError);
    painter.end();
    EXPECT_TRUE(drawnBounds(image, Qt::magenta).isNull());
}
