#include "barcode/barcode.h"
#include "barcode_test_util.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace gc::barcode;

namespace {

struct Counted {
    TBarcode barcode;
    int changes = 0;
    Counted() {
        barcode.OnChange = [this](TBarcode&) { ++changes; };
    }
};

void code39Of12(TBarcode& b) {
    b.setTyp(bcCode39);
    b.setText("12");
    b.setRatio(3.0);
    b.setHeight(50);
}

} // namespace

TEST(TBarcode, DefaultsAndWriteRules) {
    Counted c;
    TBarcode& b = c.barcode;
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Text(), "");
    EXPECT_EQ(b.Modul(), 1);
    EXPECT_DOUBLE_EQ(b.Ratio(), 2.0);
    EXPECT_EQ(b.Typ(), bcCodeEAN13);
    EXPECT_FALSE(b.Checksum());
    EXPECT_EQ(b.CheckSumMethod(), csmModulo10);
    EXPECT_DOUBLE_EQ(b.Angle(), 0.0);
    EXPECT_EQ(b.ShowText(), bcoNone);
    EXPECT_EQ(b.Color(), QColor(255, 255, 255));
    EXPECT_EQ(b.ColorBar(), QColor(0, 0, 0));

    b.setModul(0);
    b.setModul(50);
    EXPECT_EQ(b.Modul(), 1);
    EXPECT_EQ(c.changes, 0);
    b.setModul(49);
    EXPECT_EQ(b.Modul(), 49);
    EXPECT_EQ(c.changes, 1);
    b.setHeight(10);
    b.setHeight(10); // the same value is no change
    b.setText("1");
    b.setTop(1);
    b.setLeft(1);
    b.setRatio(2.5);
    b.setTyp(bcCode39);
    b.setChecksum(true);
    b.setAngle(90);
    b.setShowText(bcoBoth);
    EXPECT_EQ(c.changes, 10);
    b.setCheckSumMethod(csmNone); // plain fields
    b.setColor(Qt::red);
    b.setColorBar(Qt::blue);
    EXPECT_EQ(c.changes, 10);
}

TEST(TBarcode, AssignCopiesSettingsAndHandler) {
    TBarcode source("Source");
    int sourceChanges = 0;
    source.OnChange = [&](TBarcode&) { ++sourceChanges; };
    source.setHeight(40);
    source.setText("ABC");
    source.setTop(3);
    source.setLeft(4);
    source.setModul(2);
    source.setRatio(2.5);
    source.setTyp(bcCode93);
    source.setChecksum(true);
    source.setCheckSumMethod(csmNone);
    source.setAngle(45);
    source.setShowText(bcoTyp);
    source.setColor(Qt::yellow);
    source.setColorBar(Qt::darkGreen);
    sourceChanges = 0;

    TBarcode copy;
    copy.Assign(source);
    EXPECT_EQ(sourceChanges, 1); // the copied handler reports the copy's change
    EXPECT_EQ(copy.Height(), 40);
    EXPECT_EQ(copy.Text(), "ABC");
    EXPECT_EQ(copy.Top(), 3);
    EXPECT_EQ(copy.Left(), 4);
    EXPECT_EQ(copy.Modul(), 2);
    EXPECT_DOUBLE_EQ(copy.Ratio(), 2.5);
    EXPECT_EQ(copy.Typ(), bcCode93);
    EXPECT_TRUE(copy.Checksum());
    EXPECT_EQ(copy.CheckSumMethod(), csmNone);
    EXPECT_DOUBLE_EQ(copy.Angle(), 45);
    EXPECT_EQ(copy.ShowText(), bcoTyp);
    EXPECT_EQ(copy.Color(), QColor(Qt::yellow));
    EXPECT_EQ(copy.ColorBar(), QColor(Qt::darkGreen));
    EXPECT_EQ(copy.Name(), "Barcode");
}

TEST(TBarcode, RatioClampFiresChangeOnlyWhereItApplies) {
    Counted c;
    c.barcode.setTyp(bcCode39);
    c.barcode.setText("A");
    c.barcode.setRatio(5.0);
    c.changes = 0;
    c.barcode.Width();
    EXPECT_DOUBLE_EQ(c.barcode.Ratio(), 3.0);
    EXPECT_EQ(c.changes, 1);
    c.barcode.setTyp(bcCode128B);
    c.barcode.setRatio(5.0);
    c.barcode.Width();
    EXPECT_DOUBLE_EQ(c.barcode.Ratio(), 5.0);
}

TEST(TBarcode, WidthAndModules) {
    TBarcode b;
    code39Of12(b);
    EXPECT_EQ(b.Width(), 63);
    EXPECT_EQ(b.modules(), (Modules{1, 3, 4, 6}));
    b.setWidth(130); // 1 x 130 div 63
    EXPECT_EQ(b.Modul(), 2);
    b.setWidth(10); // would be 0: ignored
    EXPECT_EQ(b.Modul(), 2);

    // Width-string and EAN symbols keep 1, 2, 3, 4 modules at any ratio.
    b.setTyp(bcCodeEAN13);
    b.setText("590123412345");
    b.setModul(1);
    b.setRatio(3.0);
    EXPECT_EQ(b.Width(), 95);
    b.setModul(2);
    EXPECT_EQ(b.Width(), 190);

    // Wide modules of a long symbol: no overflow (82 symbols of 735 px and 81 gaps of 49).
    b.setTyp(bcCode39);
    b.setText(QString(80, u'A'));
    b.setModul(49);
    EXPECT_EQ(b.Width(), 82 * 735 + 81 * 49);
}

TEST(TBarcode, TextWrittenBackReportsChange) {
    Counted c;
    c.barcode.setTyp(bcCode128C);
    c.barcode.setText("123");
    c.changes = 0;
    c.barcode.Width();
    EXPECT_EQ(c.barcode.Text(), "0123");
    EXPECT_EQ(c.changes, 1);
    // EAN-128 with a check digit stays as typed, however often it is encoded.
    c.barcode.setTyp(bcCodeEAN128B);
    c.barcode.setChecksum(true);
    c.barcode.setText("4711");
    for (int i = 0; i < 3; ++i)
        c.barcode.Width();
    EXPECT_EQ(c.barcode.Text(), "4711");
}

TEST(TBarcode, CanvasSizeRoundsHalvesToEven) {
    TBarcode b;
    code39Of12(b); // 63 wide
    EXPECT_EQ(b.CanvasWidth(), 64);
    EXPECT_EQ(b.CanvasHeight(), 50);
    b.setHeight(51);
    EXPECT_EQ(b.CanvasHeight(), 52);
    b.setText("1"); // 47 wide
    b.setAngle(90);
    EXPECT_EQ(b.CanvasHeight(), 48);
    EXPECT_EQ(b.CanvasWidth(), 52);
    b.setAngle(45);
    EXPECT_EQ(b.CanvasWidth(), 70); // (47 + 51) x 0.7071 + 0.5 = 69.8
}

// The drawn symbol fills its bounding box at (Left, Top) at every angle.
TEST(TBarcode, DrawnBoundsMatchCanvasSize) {
    for (double angle : {0.0, 30.0, 90.0, 135.0, 180.0, 225.0, 270.0, 315.0}) {
        TBarcode b;
        b.setTyp(bcCode128B);
        b.setText("Gate 7");
        b.setModul(2);
        b.setHeight(40);
        b.setAngle(angle);
        b.setLeft(10);
        b.setTop(12);
        b.setColor(QColor(250, 250, 250));
        QImage image(400, 400, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            QPainter painter(&image);
            b.DrawBarcode(painter);
        }
        const QRect drawn = drawnBounds(image, Qt::magenta);
        const QRect box(10, 12, b.CanvasWidth(), b.CanvasHeight());
        SCOPED_TRACE(angle);
        EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(drawn));
        EXPECT_LE(std::abs(drawn.width() - box.width()), 2);
        EXPECT_LE(std::abs(drawn.height() - box.height()), 2);
    }
}

TEST(TBarcode, AxisAlignedDrawingIsExact) {
    TBarcode b;
    code39Of12(b);
    b.setLeft(5);
    b.setTop(6);
    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        b.DrawBarcode(painter);
    }
    EXPECT_EQ(drawnBounds(image, Qt::magenta), QRect(5, 6, 63, 50));
    // Start symbol: bar 1, gap 3, bar 1, gap 1, bar 3, gap 1 ...
    const auto bar = [&](int x) { return image.pixel(5 + x, 30) == qRgb(0, 0, 0); };
    EXPECT_TRUE(bar(0));
    EXPECT_FALSE(bar(1));
    EXPECT_FALSE(bar(3));
    EXPECT_TRUE(bar(4));
    EXPECT_FALSE(bar(5));
    EXPECT_TRUE(bar(6) && bar(8));
    EXPECT_FALSE(bar(9));
}

// PostNet's short bars stand on the baseline with the full bars.
TEST(TBarcode, PostNetShortBarsAlignAtTheBottom) {
    TBarcode b;
    b.setTyp(bcCodePostNet);
    b.setText("1");
    b.setHeight(50);
    b.setModul(2);
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        b.DrawBarcode(painter);
    }
    // "1" is short, short, short, full, full after the start bar.
    const auto black = [&](int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
    const int shortBar = 2 + 4; // after the start bar (2 px) and its gap (4 px)
    EXPECT_FALSE(black(shortBar, 0));
    EXPECT_FALSE(black(shortBar, 29));
    EXPECT_TRUE(black(shortBar, 30));
    EXPECT_TRUE(black(shortBar, 49));
    EXPECT_FALSE(black(shortBar, 50));
    EXPECT_TRUE(black(0, 0));
    EXPECT_TRUE(black(0, 49));
}

TEST(TBarcode, DrawingKeepsPainterStateAndShowsText) {
    TBarcode b;
    code39Of12(b);
    QImage plain(80, 60, QImage::Format_RGB32);
    plain.fill(Qt::white);
    QImage captioned = plain;
    {
        QPainter painter(&plain);
        b.DrawBarcode(painter);
    }
    b.setShowText(bcoCode);
    {
        QPainter painter(&captioned);
        const QPen pen(Qt::green, 3);
        painter.setPen(pen);
        painter.setBrush(Qt::cyan);
        QFont font = painter.font();
        font.setPointSize(17);
        painter.setFont(font);
        b.DrawBarcode(painter);
        EXPECT_EQ(painter.pen(), pen);
        EXPECT_EQ(painter.brush(), QBrush(Qt::cyan));
        EXPECT_EQ(painter.font().pointSize(), 17);
    }
    EXPECT_NE(plain, captioned); // the code text stands over the bars' top-left corner
}

TEST(TBarcode, BadTextDrawsNothing) {
    TBarcode b;
    b.setTyp(bcCodeEAN13);
    b.setText("12x");
    b.setHeight(20);
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    EXPECT_THROW(b.DrawBarcode(painter), BarcodeError);
    painter.end();
    EXPECT_TRUE(drawnBounds(image, Qt::magenta).isNull());
}
