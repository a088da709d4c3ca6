#include "capture/frame_synth.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace gc::capture {

namespace {

struct Yuv {
    uint8_t y, u, v;
};

uint8_t clamp8(double v) {
    return uint8_t(std::clamp(int(v + 0.5), 0, 255));
}

Yuv toYuv(const uint8_t* rgb) {
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    return {clamp8(16 + (65.738 * r + 129.057 * g + 25.064 * b) / 256),
            clamp8(128 + (-37.945 * r - 74.494 * g + 112.439 * b) / 256),
            clamp8(128 + (112.439 * r - 94.154 * g - 18.285 * b) / 256)};
}

const uint8_t* pixel(const QImage& image, int x, int y) {
    return image.constScanLine(y) + 3 * x;
}

std::vector<uint8_t> removeHuffmanTables(const std::vector<uint8_t>& jpeg) {
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xff) {
        const uint8_t marker = jpeg[i + 1];
        if (marker == 0xda) // start of scan: the rest is entropy-coded data
            break;
        const size_t length = size_t(jpeg[i + 2]) << 8 | jpeg[i + 3];
        if (marker != 0xc4)
            out.insert(out.end(), jpeg.begin() + long(i), jpeg.begin() + long(i + 2 + length));
        i += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + long(std::min(i, jpeg.size())), jpeg.end());
    return out;
}

} // namespace

QImage colourBars(int width, int height, int phase) {
    static constexpr uint8_t bars[8][3] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235},
                                           {16, 235, 16},   {235, 16, 235}, {235, 16, 16},
                                           {16, 16, 235},   {16, 16, 16}};
    QImage image(width, height, QImage::Format_RGB888);
    const int barsHeight = height * 2 / 3;
    const int shift = (phase * std::max(2, width / 32)) & ~1;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            if (y < barsHeight) {
                const int bar = int(int64_t((x + shift) % width) * 8 / width);
                std::copy(bars[bar], bars[bar] + 3, row + 3 * x);
            } else {
                const uint8_t level = uint8_t(int64_t(x) * 255 / std::max(1, width - 1));
                row[3 * x] = level;
                row[3 * x + 1] = uint8_t(255 - level);
                row[3 * x + 2] = uint8_t((level + y) & 0xff);
            }
        }
    }
    return image;
}

std::vector<uint8_t> encodeFrame(const QImage& picture, uint32_t code) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    const FrameFormat format{image.width(), image.height(), code, 0};
    if (layoutOf(code) == Layout::Jpeg)
        return encodeJpeg(image, 85, false);
    const std::optional<FrameGeometry> g = geometryOf(format);
    if (!g)
        return {};
    std::vector<uint8_t> out(size_t(g->frameSize));
    const int w = image.width();
    const int h = image.height();
    switch (layoutOf(code)) {
    case Layout::Rgb:
        for (int y = 0; y < h; ++y) {
            const int target = code == fourcc::BottomUpBgr ? h - 1 - y : y;
            uint8_t* dst = out.data() + target * g->lumaStride;
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = pixel(image, x, y);
                const bool rgb = code == fourcc::Rgb24;
                dst[3 * x] = rgb ? p[0] : p[2];
                dst[3 * x + 1] = p[1];
                dst[3 * x + 2] = rgb ? p[2] : p[0];
            }
        }
        break;
    case Layout::Packed422: {
        const bool uyvy = code == fourcc::Uyvy;
        for (int y = 0; y < h; ++y) {
            uint8_t* dst = out.data() + y * g->lumaStride;
            for (int x = 0; x < w; x += 2) {
                const Yuv a = toYuv(pixel(image, x, y));
                const Yuv b = x + 1 < w ? toYuv(pixel(image, x + 1, y)) : a;
                uint8_t* q = dst + 2 * x;
                q[uyvy ? 1 : 0] = a.y;
                q[uyvy ? 3 : 2] = b.y;
                q[uyvy ? 0 : 1] = a.u;
                q[uyvy ? 2 : 3] = a.v;
            }
        }
        break;
    }
    case Layout::Planar420:
    case Layout::SemiPlanar420: {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out[size_t(y * g->lumaStride + x)] = toYuv(pixel(image, x, y)).y;
        uint8_t* chroma = out.data() + g->lumaStride * h;
        const bool semi = layoutOf(code) == Layout::SemiPlanar420;
        const int64_t planeSize = g->chromaStride * g->chromaHeight;
        for (int64_t cy = 0; cy < g->chromaHeight; ++cy) {
            for (int64_t cx = 0; cx < g->chromaWidth; ++cx) {
                const Yuv c = toYuv(pixel(image, int(2 * cx), int(2 * cy)));
                if (semi) {
                    chroma[cy * g->chromaStride + 2 * cx] = c.u;
                    chroma[cy * g->chromaStride + 2 * cx + 1] = c.v;
                } else {
                    const bool vFirst = code == fourcc::Yv12;
                    chroma[(vFirst ? planeSize : 0) + cy * g->chromaStride + cx] = c.u;
                    chroma[(vFirst ? 0 : planeSize) + cy * g->chromaStride + cx] = c.v;
                }
            }
        }
        break;
    }
    case Layout::Jpeg:
    case Layout::Unknown:
        break;
    }
    return out;
}

std::vector<uint8_t> encodeJpeg(const QImage& picture, int quality, bool withHuffmanTables,
                                JpegChroma chroma) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    if (image.isNull())
        return {};
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = 2;
    cinfo.comp_info[0].v_samp_factor = chroma == JpegChroma::H2V2 ? 2 : 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return withHuffmanTables ? out : removeHuffmanTables(out);
}

} // namespace gc::capture
