#include "barcode/report_barcode.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace gc::barcode {

namespace {

constexpr double kDefaultHeightMm = 50 * 25.4 / 96; // 50 form pixels

// A page kept as vectors (a PDF, the preview) is printed later at a resolution unknown
// here. Its bars stand on the pixel grid of the coarsest printer slips meet, a 203-dpi
// thermal printer, so that its pixels keep every bar's width; finer printers and renderings
// get about three or more of their own pixels per grid step.
constexpr double kVectorGridDpi = 203.0;
// Code 39's narrowest wide-to-narrow ratio, for a symbol that does not fit at the designed one.
constexpr double kNarrowestRatio = 2.0;

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
    const double gridDpi = isVectorPage(painter) && Angle() == 0 ? kVectorGridDpi : ctx.dpiX;
    const double pxPerStep = ctx.dpiX / gridDpi;
    const auto xPos = [&](double mm) {
        return int(std::lround((ctx.bandOriginPx.x() + ctx.mmToPxX(mm)) / pxPerStep));
    };
    const auto yPos = [&](double mm) {
        return int(std::lround(ctx.bandOriginPx.y() + ctx.mmToPxY(mm)));
    };
    const QRectF& g = geometryMm;
    barcode_.setTop(yPos(g.top()));
    barcode_.setLeft(xPos(g.left()));
    barcode_.setHeight(yPos(g.top() + g.height()) - yPos(g.top()));
    if (!barcode_.Text().isEmpty()) {
        const double designedRatio = barcode_.Ratio();
        fitInside(xPos(g.left() + g.width()) - xPos(g.left()));
        painter.save();
        painter.scale(pxPerStep, 1.0);
        barcode_.DrawBarcode(painter);
        painter.restore();
        if (barcode_.Ratio() != designedRatio)
            barcode_.setRatio(designedRatio);
    }
    if (AfterPrint)
        AfterPrint(*this);
}

void TReportBarcodeBase::fitInside(int width) {
    barcode_.fitWidth(width);
    // A long text at one step per module: narrower wide bars before running past the frame.
    if (barcode_.Width() > width && barcode_.Ratio() > kNarrowestRatio) {
        barcode_.setRatio(kNarrowestRatio);
        barcode_.fitWidth(width);
    }
}

} // namespace gc::barcode
