#include "render.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace gc::barcode::render {

namespace {

int dotsPerMeter(int dpi) {
    return int(std::lround(dpi / 0.0254));
}

} // namespace

QImage toImage(TBarcode& barcode, int dpi, int margin) {
    barcode.setLeft(margin);
    barcode.setTop(margin);
    QImage image(barcode.CanvasWidth() + 2 * margin, barcode.CanvasHeight() + 2 * margin,
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter(dpi));
    image.setDotsPerMeterY(dotsPerMeter(dpi));
    image.fill(Qt::white);
    QPainter painter(&image);
    barcode.DrawBarcode(painter);
    return image;
}

bool toPdf(TBarcode& barcode, int dpi, int margin, const QString& path, QString* error) {
    barcode.setLeft(margin);
    barcode.setTop(margin);
    const double mmPerPx = 25.4 / dpi;
    const QSizeF pageMm((barcode.CanvasWidth() + 2 * margin) * mmPerPx,
                        (barcode.CanvasHeight() + 2 * margin) * mmPerPx);
    QPdfWriter writer(path);
    writer.setResolution(dpi);
    writer.setPageSize(QPageSize(pageMm, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    barcode.DrawBarcode(painter);
    return painter.end();
}

QString moduleBits(TBarcode& barcode) {
    const std::string pattern = barcode.MakeData();
    QString bits;
    for (char c : pattern) {
        const LineProps line = BarProps(c, barcode.modules(), barcode.Name());
        bits += QString(line.width, line.kind == LineKind::Gap   ? u'0'
                                    : line.kind == LineKind::Bar ? u'1'
                                                                 : u'2');
    }
    return bits;
}

} // namespace gc::barcode::render
