#include "barcode/report_barcode.h"

#include <cmath>

namespace gc::barcode {

namespace {

constexpr double kDefaultHeightMm = 50 * 25.4 / 96; // 50 form pixels

} // namespace

TReportBarcodeBase::TReportBarcodeBase() : barcode_(QStringLiteral("Barcode")) {
    geometryMm = QRectF(0, 0, 0, kDefaultHeightMm);
}

void TReportBarcodeBase::paint(QPainter& painter, const gc::report::PaintContext& ctx) {
    if (BeforePrint)
        BeforePrint(*this);
    const auto xPos = [&](double mm) {
        return int(std::lround(ctx.bandOriginPx.x() + ctx.mmToPxX(mm)));
    };
    const auto yPos = [&](double mm) {
        return int(std::lround(ctx.bandOriginPx.y() + ctx.mmToPxY(mm)));
    };
    const QRectF& g = geometryMm;
    barcode_.setTop(yPos(g.top()));
    barcode_.setLeft(xPos(g.left()));
    barcode_.setHeight(yPos(g.top() + g.height()) - yPos(g.top()));
    if (!barcode_.Text().isEmpty()) {
        barcode_.fitWidth(xPos(g.left() + g.width()) - xPos(g.left()));
        barcode_.DrawBarcode(painter);
    }
    if (AfterPrint)
        AfterPrint(*this);
}

} // namespace gc::barcode
