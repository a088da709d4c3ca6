#pragma once

#include <QPointF>
#include <QRectF>

class QPainter;

namespace gc::report {

// What an element needs to know about the surface it is drawn on.
struct PaintContext {
    double dpiX = 96.0; // device resolution
    double dpiY = 96.0;
    QPointF bandOriginPx; // the band's top-left corner on the device, in device pixels
    int pageNumber = 1;

    double mmToPxX(double mm) const { return mm * dpiX / 25.4; }
    double mmToPxY(double mm) const { return mm * dpiY / 25.4; }
};

// Something printed on a band. Its geometry is in millimetres, relative to the band.
class Element {
public:
    virtual ~Element() = default;
    QRectF geometryMm;
    virtual void paint(QPainter& painter, const PaintContext& ctx) = 0;
};

} // namespace gc::report
