#pragma once

#include "barcode/barcode_pattern.h"

#include <QColor>
#include <QPoint>
#include <QSize>
#include <string_view>

class QPainter;

namespace gc::barcode {

// Where and how a pattern is laid down, in device pixels.
struct SymbolPlacement {
    int left = 0;
    int top = 0;
    int height = 0;
    double angle = 0.0; // degrees, counter-clockwise
    QColor color = Qt::white;
    QColor colorBar = Qt::black;
};

QPoint RotatePoint(QPoint p, double radians);

// Offset that keeps the symbol of `width` x `height` rotated by `radians` inside its box.
QPoint RotationOrigin(long long width, int height, double radians);

// Bounding box of the rotated symbol.
QSize canvasSize(long long width, int height, double angleDegrees);

// The one drawing routine of every symbology: bars and gaps of `pattern`, rotated about
// the symbol's top-left corner and moved into its bounding box at (left, top).
void drawPattern(QPainter& painter, std::string_view pattern, const Modules& modules,
                 const SymbolPlacement& placement, const QString& componentName);

} // namespace gc::barcode
