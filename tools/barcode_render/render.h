#pragma once

#include "barcode/barcode.h"

#include <QImage>
#include <QString>

namespace gc::barcode::render {

// The symbol on a white image of `dpi` with a quiet zone of `margin` pixels all round.
QImage toImage(TBarcode& barcode, int dpi, int margin);

// The symbol on a PDF page of its own size at `dpi`; false with `error` set on failure.
bool toPdf(TBarcode& barcode, int dpi, int margin, const QString& path, QString* error);

// One character per module of the unrotated symbol: '1' bar, '2' short bar, '0' gap.
QString moduleBits(TBarcode& barcode);

} // namespace gc::barcode::render
