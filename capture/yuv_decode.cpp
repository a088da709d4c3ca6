#include "capture/yuv_decode.h"

#include <cmath>
#include <cstring>

namespace gc::capture {

namespace {

int32_t roundHalfEven(double v) {
    return int32_t(std::nearbyint(v));
}

YuvTables buildTables() {
    YuvTables t{};
    for (int i = 0; i < 256; ++i) {
        t.y[i] = roundHalfEven(298.082 * i);
        t.ug[i] = roundHalfEven(-100.291 * i);
        t.ub[i] = roundHalfEven(516.412 * i - 70870.016);
        t.vr[i] = roundHalfEven(408.583 * i - 57067.776);
        t.vg[i] = roundHalfEven(-208.12 * i + 34707.456);
    }
    for (int i = -1023; i <= 1023; ++i)
        t.clip[size_t(i + 1023)] = uint8_t(i < 0 ? 0 : (i > 255 ? 255 : i));
    return t;
}

// One chroma pair's contribution, shared by the two pixels it covers.
struct Chroma {
    int32_t blue;
    int32_t green;
    int32_t red;
};

inline Chroma chroma(const YuvTables& t, uint8_t u, uint8_t v) {
    return {t.ub[u], t.ug[u] + t.vg[v], t.vr[v]};
}

// Sums lie within +-1023 * 256, and for negative sums truncation and the
// arithmetic shift both land on a clip entry of 0, so the shift is exact.
inline void putPixel(const YuvTables& t, uint8_t* dst, uint8_t y, const Chroma& c) {
    const int32_t yy = t.y[y];
    dst[0] = t.clamp((yy + c.red) >> 8);
    dst[1] = t.clamp((yy + c.green) >> 8);
    dst[2] = t.clamp((yy + c.blue) >> 8);
}

// Luma and one chroma row (u and v each `step` bytes apart) into one picture row.
inline void yuvRow(const YuvTables& t, uint8_t* dst, const uint8_t* luma, const uint8_t* u,
                   const uint8_t* v, int step, int width) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const Chroma c = chroma(t, u[i * step], v[i * step]);
        putPixel(t, dst, luma[0], c);
        putPixel(t, dst + 3, luma[1], c);
        dst += 6;
        luma += 2;
    }
    if (width & 1)
        putPixel(t, dst, luma[0], chroma(t, u[pairs * step], v[pairs * step]));
}

} // namespace

const YuvTables& yuvTables() {
    static const YuvTables tables = buildTables();
    return tables;
}

void packed422ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                      QImage& out) {
    const YuvTables& t = yuvTables();
    const bool uyvy = format.fourcc == fourcc::Uyvy;
    const int yOff = uyvy ? 1 : 0;
    const int uOff = uyvy ? 0 : 1;
    const int width = format.width;
    for (int r = 0; r < format.height; ++r) {
        const uint8_t* src = data + r * g.lumaStride;
        uint8_t* dst = out.scanLine(r);
        const int pairs = width / 2;
        for (int i = 0; i < pairs; ++i) {
            const uint8_t* q = src + 4 * i;
            const Chroma c = chroma(t, q[uOff], q[uOff + 2]);
            putPixel(t, dst, q[yOff], c);
            putPixel(t, dst + 3, q[yOff + 2], c);
            dst += 6;
        }
        if (width & 1) {
            const uint8_t* q = src + 4 * pairs;
            putPixel(t, dst, q[yOff], chroma(t, q[uOff], q[uOff + 2]));
        }
    }
}

void planar420ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                      QImage& out) {
    const YuvTables& t = yuvTables();
    const uint8_t* first = data + g.lumaStride * format.height;
    const uint8_t* second = first + g.chromaStride * g.chromaHeight;
    const bool vFirst = format.fourcc == fourcc::Yv12;
    const uint8_t* uPlane = vFirst ? second : first;
    const uint8_t* vPlane = vFirst ? first : second;
    for (int r = 0; r < format.height; ++r) {
        const int64_t c = (r / 2) * g.chromaStride;
        yuvRow(t, out.scanLine(r), data + r * g.lumaStride, uPlane + c, vPlane + c, 1,
               format.width);
    }
}

void semiPlanar420ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                          QImage& out) {
    const YuvTables& t = yuvTables();
    const uint8_t* uv = data + g.lumaStride * format.height;
    for (int r = 0; r < format.height; ++r) {
        const uint8_t* row = uv + (r / 2) * g.chromaStride;
        yuvRow(t, out.scanLine(r), data + r * g.lumaStride, row, row + 1, 2, format.width);
    }
}

void rgbToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                QImage& out) {
    const int64_t rowBytes = 3 * int64_t(format.width);
    for (int r = 0; r < format.height; ++r) {
        // Uncompressed device RGB is stored bottom-up; the Linux layouts are top-down.
        const int srcRow = format.fourcc == fourcc::BottomUpBgr ? format.height - 1 - r : r;
        const uint8_t* src = data + srcRow * g.lumaStride;
        uint8_t* dst = out.scanLine(r);
        if (format.fourcc == fourcc::Rgb24) {
            std::memcpy(dst, src, size_t(rowBytes));
            continue;
        }
        for (int64_t i = 0; i < rowBytes; i += 3) {
            dst[i] = src[i + 2];
            dst[i + 1] = src[i + 1];
            dst[i + 2] = src[i];
        }
    }
}

} // namespace gc::capture
