#include "registers/arbab/barge_molaghat.h"

#include "barcode/report_barcode.h"
#include "platform/report/data_source.h"
#include "platform/report/elements.h"

#include <QFontMetricsF>
#include <QImage>

namespace gc::registers {

namespace {

using namespace report;

constexpr double kLineMm = 6.0;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

// The slip's barcode takes its text from the row being printed, so one layout serves a
// visit and a run of cards alike.
class RowBarcode : public barcode::TReportBarcode {
  public:
    void paint(QPainter& painter, const PaintContext& ctx) override {
        setText(ctx.row ? ctx.row->fieldText(QStringLiteral("barcod")).trimmed() : QString());
        TReportBarcode::paint(painter, ctx);
    }
};

template <class T>
T& placed(T& element, QRectF mm, const QString& family, double px, bool bold, Qt::Alignment a) {
    element.geometryMm = mm;
    element.style.font = FontSpec::pixels96(family, px, bold);
    element.style.alignment = a;
    return element;
}

// The layout's sizes suit the narrow faces it was drawn with; in a wider substitute a
// caption is set smaller until it fits its box.
void fitToBox(Label& label, FontResolver& fonts) {
    QImage probe(1, 1, QImage::Format_RGB32);
    constexpr double kDpi = 600.0;
    probe.setDotsPerMeterX(int(kDpi / 0.0254));
    probe.setDotsPerMeterY(int(kDpi / 0.0254));
    const QFontMetricsF metrics(fonts.font(label.style.font), &probe);
    const double textMm = metrics.horizontalAdvance(label.value) * 25.4 / kDpi;
    const double roomMm = label.geometryMm.width() - 0.4;
    if (textMm > roomMm)
        label.style.font.pointSize *= roomMm / textMm;
}

// A caption reads from the right edge of its box, which ends at the slip's edge or at the
// next value to its right.
class Captions {
  public:
    Captions(Band& band, FontResolver& fonts) : band_(band), fonts_(fonts) {}
    Label& add(const char* text, double left, double right, double top,
               const QString& family = QStringLiteral("Arial"), bool bold = true,
               Qt::Alignment a = kRight) {
        Label& label = placed(band_.add<Label>(QString::fromUtf8(text)),
                              {left, top, right - left, kLineMm}, family, 13, bold, a);
        fitToBox(label, fonts_);
        return label;
    }

  private:
    Band& band_;
    FontResolver& fonts_;
};

DataField& value(Band& b, const char* field, QRectF mm, const QString& family, double px,
                 Qt::Alignment a = kRight) {
    return placed(b.add<DataField>(QString::fromLatin1(field)), mm, family, px, true, a);
}

constexpr double kEdge = 73.3;

void heading(Band& b, Captions& c) {
    auto& border = b.add<Shape>();
    border.geometryMm = {0.3, 0.3, 73.6, 135.5};
    c.add("کاروندیس", 19.1, 69.4, 2.1, QStringLiteral("B Titr"), true, Qt::AlignCenter);
    c.add("برگه ملاقات اداري", 19.1, 69.4, 8.5, QStringLiteral("Titr"), true, Qt::AlignCenter);
}

void captions(Captions& c) {
    const QString lotus = QStringLiteral("Lotus");
    const QString arial = QStringLiteral("Arial");
    const QString zar = QStringLiteral("Zar");
    c.add("تاريخ ملاقات:", 57.1, kEdge, 18.3, lotus);
    c.add("ساعت ورود:", 20.6, 35.3, 18.3, lotus);
    c.add("نام و نام خانوادگي مراجعه كننده:", 37.0, kEdge, 24.9, arial, false);
    c.add("مقصد مراجعه كننده:", 50.5, kEdge, 31.5, arial, false);
    c.add("طبقه:", 66.7, kEdge, 38.4, arial, false);
    c.add("اتاق شماره:", 22.0, 35.8, 38.4, arial, false);
    c.add("نوع مدرك شناسايي تحويل نگهبان:", 33.6, kEdge, 62.2);
    c.add("نظرسنجي پاسخگويي", 48.9, kEdge, 69.1, lotus);
    c.add("ساعت خروج", 57.4, kEdge, 75.7);
    c.add("تاييد ملاقات شونده", 41.0, kEdge, 122.0, zar);
    c.add("تاييد نگهبان", 14.0, 36.0, 122.0, zar);
}

// The survey grades, each with a circle to tick by hand on its right, all in the size that
// fits the longest.
void survey(Band& b, Captions& c) {
    const char* grades[] = {"عالي", "خوب", "متوسط", "ضعيف"};
    const double circles[] = {43.9, 33.9, 23.0, 10.3};
    QList<Label*> labels;
    double size = 0;
    for (int i = 0; i < 4; ++i) {
        labels << &c.add(grades[i], circles[i] - 8.3, circles[i] - 0.3, 69.1);
        size = i == 0 ? labels.back()->style.font.pointSize
                      : std::min(size, labels.back()->style.font.pointSize);
        auto& circle = b.add<Shape>(Shape::Kind::Ellipse);
        circle.geometryMm = {circles[i], 69.8, 3.2, 3.2};
    }
    for (Label* label : labels)
        label->style.font.pointSize = size;
}

void barcodeElement(Band& b) {
    auto& code = b.add<RowBarcode>();
    code.geometryMm = {25.4, 47.9, 25.4, 13.2};
    code.setBarcodeHeight(50);
    code.setModul(1);
    code.setRatio(3.0);
    code.setTyp(barcode::bcCode39Extended);
    code.setCheckSumMethod(barcode::csmNone);
    code.setChecksum(false);
    code.setShowText(barcode::bcoNone);
    code.setAngle(0);
}

void visitValues(Band& b) {
    const QString zar = QStringLiteral("Zar");
    const QString arial = QStringLiteral("Arial");
    value(b, "dat", {35.5, 18.3, 21.3, kLineMm}, zar, 13);
    value(b, "vorod", {5.6, 18.3, 14.8, kLineMm}, zar, 13);
    value(b, "name", {1.3, 25.1, 34.7, kLineMm}, zar, 15);
    value(b, "maghsad", {4.0, 31.8, 45.2, kLineMm}, arial, 15);
    value(b, "tabaghe1", {36.0, 38.4, 30.4, kLineMm}, arial, 15);
    value(b, "otagh1", {1.3, 38.4, 20.4, kLineMm}, arial, 15);
    value(b, "madrak", {4.0, 62.4, 29.3, kLineMm}, arial, 13);
    value(b, "khoroj", {42.3, 75.7, 12.7, kLineMm}, arial, 13, Qt::AlignCenter);
    auto& sketch = b.add<Picture>();
    sketch.field = QStringLiteral("koroki");
    sketch.geometryMm = {2.1, 82.8, 69.6, 37.0};
}

} // namespace

std::unique_ptr<Report> Tbarge_molaghat::Report1(Content content) {
    auto r = std::make_unique<Report>();
    r->title = QStringLiteral("برگه ملاقات اداري");
    r->page = PageSetup::custom(80.0, 144.0);
    r->page.marginsMm = {3.0, 3.0, 3.0, 3.0};
    r->printIfEmpty = false;
    Band& slip = r->detail;
    slip.heightMm = 136.8;
    slip.background = Qt::white;
    FontResolver fonts;
    Captions c(slip, fonts);
    heading(slip, c);
    captions(c);
    survey(slip, c);
    barcodeElement(slip);
    if (content == Content::Visit)
        visitValues(slip);
    else
        value(slip, "barcod", {1.3, 50.0, 23.0, 9.0}, QStringLiteral("Arial"), 15, Qt::AlignCenter);
    return r;
}

} // namespace gc::registers
