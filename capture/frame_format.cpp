#include "capture/frame_format.h"

namespace gc::capture {

Layout layoutOf(uint32_t code) {
    switch (code) {
    case fourcc::BottomUpBgr:
    case fourcc::Bgr24:
    case fourcc::Rgb24:
        return Layout::Rgb;
    case fourcc::Mjpg:
        return Layout::Jpeg;
    case fourcc::I420:
    case fourcc::Iyuv:
    case fourcc::Yu12:
    case fourcc::Yv12:
        return Layout::Planar420;
    case fourcc::Nv12:
        return Layout::SemiPlanar420;
    case fourcc::Yuy2:
    case fourcc::Yuyv:
    case fourcc::Yunv:
    case fourcc::Uyvy:
        return Layout::Packed422;
    default:
        return Layout::Unknown;
    }
}

QString fourCCText(uint32_t code) {
    if (code == 0)
        return QStringLiteral("RGB");
    QString text;
    for (int i = 0; i < 4; ++i)
        text += QChar(char16_t((code >> (8 * i)) & 0xff));
    return text;
}

std::optional<FrameGeometry> geometryOf(const FrameFormat& format) {
    const int64_t w = format.width;
    const int64_t h = format.height;
    if (w <= 0 || h <= 0 || format.stride < 0)
        return std::nullopt;
    FrameGeometry g;
    g.chromaWidth = (w + 1) / 2;
    g.chromaHeight = (h + 1) / 2;
    int64_t minRow = 0;
    switch (layoutOf(format.fourcc)) {
    case Layout::Rgb:
        minRow = 3 * w;
        break;
    case Layout::Packed422:
        minRow = 4 * g.chromaWidth;
        break;
    case Layout::Planar420:
    case Layout::SemiPlanar420:
        minRow = w;
        break;
    case Layout::Jpeg:
    case Layout::Unknown:
        return std::nullopt;
    }
    g.lumaStride = format.stride == 0 ? minRow : format.stride;
    if (g.lumaStride < minRow)
        return std::nullopt;
    g.frameSize = g.lumaStride * h;
    if (layoutOf(format.fourcc) == Layout::Planar420) {
        g.chromaStride = format.stride == 0 ? g.chromaWidth : (g.lumaStride + 1) / 2;
        if (g.chromaStride < g.chromaWidth)
            return std::nullopt;
        g.frameSize += 2 * g.chromaStride * g.chromaHeight;
    } else if (layoutOf(format.fourcc) == Layout::SemiPlanar420) {
        g.chromaStride = format.stride == 0 ? 2 * g.chromaWidth : g.lumaStride;
        if (g.chromaStride < 2 * g.chromaWidth)
            return std::nullopt;
        g.frameSize += g.chromaStride * g.chromaHeight;
    }
    return g;
}

} // namespace gc::capture
