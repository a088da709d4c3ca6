#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

// Pixels that differ from the background the image was filled with.
inline QRect drawnBounds(const QImage& image, QColor background) {
    QRect bounds;
    const QRgb bg = background.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != bg)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

#include <QString>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
