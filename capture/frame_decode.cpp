#include "capture/frame_decode.h"

#include "capture/yuv_decode.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace gc::capture {

namespace {

void ensureSize(QImage& image, int width, int height) {
    if (image.width() == width && image.height() == height &&
        image.format() == QImage::Format_RGB888)
        return;
    image = QImage(width, height, QImage::Format_RGB888);
    image.fill(Qt::black);
}

} // namespace

DecodeStatus FrameDecoder::decode(const FrameFormat& format, const uint8_t* data, size_t size,
                                  QImage& picture) {
    if (format.width <= 0 || format.height <= 0)
        return DecodeStatus::UnknownFormat;
    ensureSize(picture, format.width, format.height);
    const Layout layout = layoutOf(format.fourcc);
    if (layout == Layout::Jpeg)
        return decodeJpeg(data, size, picture);
    const std::optional<FrameGeometry> g = geometryOf(format);
    if (!g) {
        drawFailureText(picture, size, format.fourcc);
        return DecodeStatus::UnknownFormat;
    }
    if (int64_t(size) != g->frameSize) {
        drawFailureText(picture, size, format.fourcc);
        return DecodeStatus::WrongSize;
    }
    switch (layout) {
    case Layout::Rgb:
        rgbToImage(format, *g, data, picture);
        break;
    case Layout::Planar420:
        planar420ToImage(format, *g, data, picture);
        break;
    case Layout::SemiPlanar420:
        semiPlanar420ToImage(format, *g, data, picture);
        break;
    case Layout::Packed422:
        packed422ToImage(format, *g, data, picture);
        break;
    case Layout::Jpeg:
    case Layout::Unknown:
        break;
    }
    return DecodeStatus::Ok;
}

DecodeStatus FrameDecoder::decodeJpeg(const uint8_t* data, size_t size, QImage& picture) {
    ensureSize(m_spare, picture.width(), picture.height());
    if (!m_jpeg.decode(data, size, m_spare))
        return DecodeStatus::BadJpeg;
    // A smaller frame keeps the rest of the previous picture.
    const QSize got = m_jpeg.decodedSize();
    const int w = picture.width();
    const int h = picture.height();
    if (got.width() < w || got.height() < h) {
        const int covered = std::min(got.height(), h);
        const size_t left = size_t(std::min(got.width(), w)) * 3;
        for (int y = 0; y < h; ++y) {
            const size_t from = y < covered ? left : 0;
            std::memcpy(m_spare.scanLine(y) + from, picture.constScanLine(y) + from,
                        size_t(w) * 3 - from);
        }
    }
    std::swap(picture, m_spare);
    return DecodeStatus::Ok;
}

void drawFailureText(QImage& picture, size_t size, uint32_t code) {
    if (picture.isNull())
        return;
    QPainter p(&picture);
    p.setPen(Qt::black);
    p.setBackground(Qt::white);
    p.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics metrics = p.fontMetrics();
    const int lineTop = metrics.boundingRect(QLatin1Char('X')).height();
    p.drawText(QPoint(0, metrics.ascent()), QStringLiteral("Unknown compression"));
    p.drawText(
        QPoint(0, lineTop + metrics.ascent()),
        QStringLiteral("DataSize: %1  FourCC: %2").arg(QString::number(size), fourCCText(code)));
}

} // namespace gc::capture
