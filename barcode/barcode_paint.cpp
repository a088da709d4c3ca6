#include "barcode/barcode_paint.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace gc::barcode {

namespace {

double toRadians(double degrees) {
    return degrees / 180.0 * std::numbers::pi;
}

// Quarter turns keep every line an axis-aligned rectangle, filled without a polygon.
bool isQuarterTurn(double radians) {
    const double s = std::sin(radians);
    const double c = std::cos(radians);
    return std::abs(s * c) < 1e-9;
}

// A turn by an angle given as its sine and cosine, worked out once per symbol.
struct Turn {
    double s;
    double c;

    explicit Turn(double radians) : s(std::sin(radians)), c(std::cos(radians)) {}
    QPoint operator()(QPoint p) const {
        return {roundHalfEven(p.x() * c + p.y() * s), roundHalfEven(-p.x() * s + p.y() * c)};
    }
};

} // namespace

QPoint RotatePoint(QPoint p, double radians) {
    return Turn(radians)(p);
}

QPoint RotationOrigin(long long width, int height, double radians) {
    const double s = std::sin(radians);
    const double c = std::cos(radians);
    const double w = double(width);
    const double h = height;
    if (s >= 0 && c >= 0)
        return {0, roundHalfEven(w * s)};
    if (s >= 0)
        return {-roundHalfEven(w * c), roundHalfEven(w * s - h * c)};
    if (c >= 0)
        return {-roundHalfEven(h * s), 0};
    return {-roundHalfEven(w * c) - roundHalfEven(h * s), -roundHalfEven(h * c)};
}

QSize canvasSize(long long width, int height, double angleDegrees) {
    const double a = toRadians(angleDegrees);
    const double s = std::abs(std::sin(a));
    const double c = std::abs(std::cos(a));
    return {roundHalfEven(c * double(width) + s * height + 0.5),
            roundHalfEven(s * double(width) + c * height + 0.5)};
}

void drawPattern(QPainter& painter, std::string_view pattern, const Modules& modules,
                 const SymbolPlacement& place, const QString& componentName) {
    const double a = toRadians(place.angle);
    long long total = 0;
    for (char ch : pattern)
        total += BarProps(ch, modules, componentName).width;
    const QPoint origin = QPoint(place.left, place.top) + RotationOrigin(total, place.height, a);
    const bool quarter = isQuarterTurn(a);
    const Turn turn(a);
    const int shortHeight = place.height * 2 / 5;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    const QBrush bar(place.colorBar);
    const QBrush gap(place.color);
    long long x = 0;
    for (char ch : pattern) {
        const LineProps line = BarProps(ch, modules, componentName);
        // Short bars stand on the baseline with the full bars.
        const int y0 = line.kind == LineKind::ShortBar ? place.height - shortHeight : 0;
        const QPoint corners[4] = {turn(QPoint(int(x), y0)), turn(QPoint(int(x), place.height)),
                                   turn(QPoint(int(x + line.width), place.height)),
                                   turn(QPoint(int(x + line.width), y0))};
        const QBrush& brush = line.kind == LineKind::Gap ? gap : bar;
        if (quarter) {
            const QPoint p = corners[0] + origin;
            const QPoint q = corners[2] + origin;
            painter.fillRect(QRect(std::min(p.x(), q.x()), std::min(p.y(), q.y()),
                                   std::abs(q.x() - p.x()), std::abs(q.y() - p.y())),
                             brush);
        } else {
            QPolygon polygon(4);
            for (int i = 0; i < 4; ++i)
                polygon[i] = corners[i] + origin;
            painter.setBrush(brush);
            painter.drawPolygon(polygon);
        }
        x += line.width;
    }
    painter.restore();
}

} // namespace gc::barcode
