#include "capture/frame_decode.h"
#include "capture/yuv_decode.h"

#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace gc::capture;

namespace {

using LumaAt = std::function<uint8_t(int x, int row)>;
struct UV {
    uint8_t u;
    uint8_t v;
};
using ChromaAt = std::function<UV(int cx, int cy)>;

// A frame in `format`'s layout, its strides honoured; padding bytes are noise.
std::vector<uint8_t> makeFrame(const FrameFormat& format, const LumaAt& luma,
                               const ChromaAt& chroma) {
    const FrameGeometry g = *geometryOf(format);
    std::vector<uint8_t> f(size_t(g.frameSize));
    std::mt19937 noise(7);
    for (uint8_t& b : f)
        b = uint8_t(noise());
    const int w = format.width;
    const int h = format.height;
    const Layout layout = layoutOf(format.fourcc);
    if (layout == Layout::Packed422) {
        const bool uyvy = format.fourcc == fourcc::Uyvy;
        for (int r = 0; r < h; ++r)
            for (int p = 0; p < g.chromaWidth; ++p) {
                uint8_t* q = f.data() + r * g.lumaStride + 4 * p;
                const UV c = chroma(p, r);
                q[uyvy ? 1 : 0] = luma(2 * p, r);
                q[uyvy ? 3 : 2] = 2 * p + 1 < w ? luma(2 * p + 1, r) : uint8_t(noise());
                q[uyvy ? 0 : 1] = c.u;
                q[uyvy ? 2 : 3] = c.v;
            }
        return f;
    }
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x)
            f[size_t(r * g.lumaStride + x)] = luma(x, r);
    uint8_t* planes = f.data() + g.lumaStride * h;
    const int64_t plane = g.chromaStride * g.chromaHeight;
    for (int cy = 0; cy < g.chromaHeight; ++cy)
        for (int cx = 0; cx < g.chromaWidth; ++cx) {
            const UV c = chroma(cx, cy);
            uint8_t* at = planes + cy * g.chromaStride;
            if (layout == Layout::SemiPlanar420) {
                at[2 * cx] = c.u;
                at[2 * cx + 1] = c.v;
            } else {
                const bool vFirst = format.fourcc == fourcc::Yv12;
                at[cx + (vFirst ? plane : 0)] = c.u;
                at[cx + (vFirst ? 0 : plane)] = c.v;
            }
        }
    return f;
}

// The conversion of one pixel as the tables define it, with division that
// truncates toward zero.
QRgb expected(uint8_t y, UV c) {
    const YuvTables& t = yuvTables();
    const auto clip = [&t](int32_t sum) { return t.clamp(sum / 256); };
    return qRgb(clip(t.y[y] + t.vr[c.v]), clip(t.y[y] + t.ug[c.u] + t.vg[c.v]),
                clip(t.y[y] + t.ub[c.u]));
}

// Decodes the frame and compares every pixel with `expected`; the first
// mismatch is reported with its inputs.
void expectExact(const FrameFormat& format, const LumaAt& luma, const ChromaAt& chroma) {
    const std::vector<uint8_t> frame = makeFrame(format, luma, chroma);
    FrameDecoder decoder;
    QImage picture;
    ASSERT_EQ(decoder.decode(format, frame.data(), frame.size(), picture), DecodeStatus::Ok);
    const bool packed = layoutOf(format.fourcc) == Layout::Packed422;
    for (int r = 0; r < format.height; ++r) {
        const uint8_t* row = picture.constScanLine(r);
        for (int x = 0; x < format.width; ++x) {
            const UV c = chroma(x / 2, packed ? r : r / 2);
            const QRgb want = expected(luma(x, r), c);
            const QRgb got = qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
            if (got != want) {
                ADD_FAILURE() << fourCCText(format.fourcc).toStdString() << " " << format.width
                              << "x" << format.height << " stride " << format.stride << " pixel ("
                              << x << "," << r << ") y=" << int(luma(x, r)) << " u=" << int(c.u)
                              << " v=" << int(c.v) << ": got " << std::hex << got << " want "
                              << want;
                return;
            }
        }
    }
}

} // namespace

// Every (y, u, v) triple once: a 4096 x 4096 frame whose chroma sample k carries
// u = k mod 256, v = (k / 256) mod 256, and the luma values k / 65536 picks.
TEST(YuvExact, EveryTripleMatchesTheTables) {
    const auto sample = [](int cx, int cy) { return cy * 2048 + cx; };
    const ChromaAt chroma = [&](int cx, int cy) {
        const int k = sample(cx, cy);
        return UV{uint8_t(k), uint8_t(k >> 8)};
    };
    const LumaAt packedLuma = [&](int x, int r) {
        return uint8_t(2 * (sample(x / 2, r) >> 16) + x % 2);
    };
    const LumaAt planarLuma = [&](int x, int r) {
        return uint8_t(4 * (sample(x / 2, r / 2) >> 16) + 2 * (r % 2) + x % 2);
    };
    for (const uint32_t code : {fourcc::Yuy2, fourcc::Uyvy})
        expectExact({4096, 4096, code, 0}, packedLuma, chroma);
    for (const uint32_t code : {fourcc::I420, fourcc::Nv12})
        expectExact({4096, 4096, code, 0}, planarLuma, chroma);
}

// Row tails, odd widths and heights, padded rows and the sibling layouts, on
// noise so that neighbouring pixels never agree by chance.
TEST(YuvExact, OddSizesStridesAndSiblings) {
    std::mt19937 rng(42);
    std::vector<uint8_t> pool(1 << 16);
    for (uint8_t& b : pool)
        b = uint8_t(rng());
    const LumaAt luma = [&](int x, int r) { return pool[size_t(x * 131 + r * 977) % pool.size()]; };
    const ChromaAt chroma = [&](int cx, int cy) {
        const size_t i = size_t(cx * 71 + cy * 1013);
        return UV{pool[(i + 5) % pool.size()], pool[(i + 40000) % pool.size()]};
    };
    const uint32_t codes[] = {fourcc::Yuy2, fourcc::Yuyv, fourcc::Uyvy,
                              fourcc::I420, fourcc::Yv12, fourcc::Nv12};
    for (const uint32_t code : codes)
        for (const int w : {1, 2, 3, 31, 32, 33, 63, 64, 65, 97, 130})
            for (const int h : {1, 2, 3, 5})
                for (const int pad : {0, 7, 40}) {
                    const int minRow = layoutOf(code) == Layout::Packed422 ? 4 * ((w + 1) / 2) : w;
                    expectExact({w, h, code, pad == 0 ? 0 : minRow + pad}, luma, chroma);
                }
}
