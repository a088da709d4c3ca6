#include "barcode/report_barcode.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace gc::barcode {

namespace {

constexpr double kDefaultHeightMm = 50 * 25.4 / 96; // 50 form pixels

// A page kept as vectors (a PDF, the preview) is printed later at a resolution unknown
// here. Its bars stand on a grid of half the dots of the coarsest printer slips meet, a
// 203-dpi thermal printer: a narrow bar is at least one whole dot there, and a wide bar may
// take a half step so that a long code still fits its frame. Finer printers and renderings
// get about one and a half or more of their own pixels per step.
constexpr double kVectorGridDpi = 2 * 203.0;
constexpr int kVectorNarrowest = 2; // steps: one 203-dpi dot
// Code 39's narrowest wide-to-narrow ratio, for a symbol that does not fit at the designed one.
constexpr int kNarrowestWide = 2; // narrow bars

bool isVectorPage(QPainter& painter) {
    const QPaintEngine::Type type = painter.paintEngine()->type();
    return type == QPaintEngine::Pdf || type == QPaintEngine::Picture;
}

} // namespace

TReportBarcodeBase::TReportBarcodeBase() : barcode_(QStringLiteral("Barcode")) {
    geometryMm = QRectF(0, 0, 0, kDefaultHeightMm);
}

void TReportBarcodeBase::paint(QPainter& painter, const gc::report::PaintContext& ctx) {
    if (BeforePrint)
        BeforePrint(*this);
    // Turned symbols keep the device's own pixels: the grid is horizontal.
    const bool onGrid = isVectorPage(painter) && Angle() == 0;
    const double pxPerStep = onGrid ? ctx.dpiX / kVectorGridDpi : 1.0;
    const int narrowest = onGrid ? kVectorNarrowest : 1;
    const auto xPos = [&](double mm) {
        return int(std::lround((ctx.bandOriginPx.x() + ctx.mmToPxX(mm)) / pxPerStep));
    };
    const auto yPos = [&](double mm) {
        return int(std::lround(ctx.bandOriginPx.y() + ctx.mmToPxY(mm)));
    };
    const QRectF& g = geometryMm;
    barcode_.setTop(yPos(g.top()));
    // The symbol starts on a whole dot of the coarsest printer.
    barcode_.setLeft((xPos(g.left()) + narrowest - 1) / narrowest * narrowest);
    barcode_.setHeight(yPos(g.top() + g.height()) - yPos(g.top()));
    if (!barcode_.Text().isEmpty()) {
        const double designedRatio = barcode_.Ratio();
        fitInside(xPos(g.left() + g.width()) - barcode_.Left(), narrowest);
        painter.save();
        painter.scale(pxPerStep, 1.0);
        barcode_.DrawBarcode(painter);
        painter.restore();
        barcode_.setRatio(designedRatio);
    }
    if (AfterPrint)
        AfterPrint(*this);
}

void TReportBarcodeBase::fitInside(int width, int narrowest) {
    barcode_.fitWidth(width);
    if (barcode_.Modul() >= narrowest && barcode_.Width() <= width)
        return;
    // Too long at the narrowest bar and the designed ratio: narrower wide bars, one step at a
    // time, before running past the frame.
    barcode_.setModul(narrowest);
    for (int wide = int(std::lround(narrowest * barcode_.Ratio())) - 1;
         barcode_.Width() > width && wide >= kNarrowestWide * narrowest; --wide)
        barcode_.setRatio(double(wide) / narrowest);
}

} // namespace gc::barcode
