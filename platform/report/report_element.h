#pragma once

#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace gc::report {

class DataSource;
class FontResolver;

// What an element needs to know about the surface it is drawn on.
struct PaintContext {
    double dpiX = 96.0; // device resolution
    double dpiY = 96.0;
    QPointF bandOriginPx; // the band's top-left corner on the device, in device pixels
    int pageNumber = 1;

    // The row being printed (nullptr outside the detail band's rows, or with no data).
    const DataSource* row = nullptr;
    int rowNumber = 0; // running number of the detail row, from 1; 0 before the first row
    // Named texts the program sets before printing, such as the report's date label.
    const QHash<QString, QString>* variables = nullptr;
    // Resolves requested typefaces to installed ones; nullptr means use fonts as given.
    FontResolver* fonts = nullptr;

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
