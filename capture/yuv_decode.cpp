#include "capture/yuv_decode.h"

#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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
void yuvRow(const YuvTables& t, uint8_t* dst, const uint8_t* luma, const uint8_t* u,
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

// Byte positions of the first luma and of u within a 4-byte packed group.
struct PackedOrder {
    int y;
    int u;
};

void packedRow(const YuvTables& t, uint8_t* dst, const uint8_t* src, PackedOrder o, int width) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const uint8_t* q = src + 4 * i;
        const Chroma c = chroma(t, q[o.u], q[o.u + 2]);
        putPixel(t, dst, q[o.y], c);
        putPixel(t, dst + 3, q[o.y + 2], c);
        dst += 6;
    }
    if (width & 1) {
        const uint8_t* q = src + 4 * pairs;
        putPixel(t, dst, q[o.y], chroma(t, q[o.u], q[o.u + 2]));
    }
}

// Two luma rows (or one: `luma1` null) sharing one chroma row; u and v are
// separate planes, or interleaved in `u` (then `v` is u + 1).
struct RowPair {
    const uint8_t* luma0;
    const uint8_t* luma1;
    uint8_t* dst0;
    uint8_t* dst1;
    const uint8_t* u;
    const uint8_t* v;
};

#if defined(__x86_64__)

// 32 pixels at a time with AVX2, giving the same bytes as the tables. A table
// entry T = 256 * hi + lo (0 <= lo < 256) turns (Y + T) >> 8 into
// y + hi + ((Y - 256 * y + lo) >> 8), where every term fits 16 bits.
namespace avx2 {

constexpr int BlockPixels = 32;

// Chroma table entry i equals (a * i + b) >> Shift for every i: exact integer
// forms of the rounded entries, checked over all inputs by the tests.
struct Affine {
    int32_t a;
    int32_t b;
};
constexpr int Shift = 13;
constexpr Affine Ub{4230447, -580563040};
constexpr Affine Ug{-821584, 4103};
constexpr Affine Vr{3347111, -467494986};
constexpr Affine Vg{-1704919, 284327439};

// Shuffle masks that turn, per 128-bit lane, 8 even then 8 odd pixels' bytes of
// each channel into 48 bytes of R G B triplets: chunk k, channel c at 32 * (3k + c).
constexpr std::array<uint8_t, 9 * 32> interleaveMasks() {
    std::array<uint8_t, 9 * 32> m{};
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 16; ++i) {
                const int pixel = (16 * k + i) / 3;
                const bool mine = (16 * k + i) % 3 == c;
                const int from = pixel / 2 + (pixel % 2) * 8;
                const uint8_t byte = mine ? uint8_t(from) : uint8_t(0x80);
                m[size_t(32 * (3 * k + c) + i)] = byte;
                m[size_t(32 * (3 * k + c) + 16 + i)] = byte;
            }
    return m;
}
alignas(32) constexpr std::array<uint8_t, 9 * 32> Masks = interleaveMasks();

// Table entries of sixteen chroma samples as hi and lo in 16-bit lanes. `a`
// holds samples 0-3 and 8-11, `b` 4-7 and 12-15 (32-bit lanes), so that
// packing puts them back in order.
struct Split {
    __m256i hi;
    __m256i lo;
};

[[gnu::target("avx2")]] inline Split split(__m256i a, __m256i b, Affine f) {
    const __m256i scale = _mm256_set1_epi32(f.a);
    const __m256i offset = _mm256_set1_epi32(f.b);
    const __m256i ta = _mm256_add_epi32(_mm256_mullo_epi32(a, scale), offset);
    const __m256i tb = _mm256_add_epi32(_mm256_mullo_epi32(b, scale), offset);
    const __m256i low = _mm256_set1_epi32(255);
    return {_mm256_packs_epi32(_mm256_srai_epi32(ta, Shift + 8), _mm256_srai_epi32(tb, Shift + 8)),
            _mm256_packs_epi32(_mm256_and_si256(_mm256_srli_epi32(ta, Shift), low),
                               _mm256_and_si256(_mm256_srli_epi32(tb, Shift), low))};
}

// Green's lo is the sum of two lo parts, below 512: still exact.
struct ChromaTerms {
    Split red;
    Split green;
    Split blue;
};

[[gnu::target("avx2")]] inline ChromaTerms chromaTerms(__m256i uA, __m256i uB, __m256i vA,
                                                       __m256i vB) {
    const Split ug = split(uA, uB, Ug);
    const Split vg = split(vA, vB, Vg);
    return {split(vA, vB, Vr),
            {_mm256_add_epi16(ug.hi, vg.hi), _mm256_add_epi16(ug.lo, vg.lo)},
            split(uA, uB, Ub)};
}

// Sixteen samples in 16-bit lanes, in order, to the two 32-bit halves above.
[[gnu::target("avx2")]] inline ChromaTerms chromaTerms16(__m256i u, __m256i v) {
    const __m256i zero = _mm256_setzero_si256();
    return chromaTerms(_mm256_unpacklo_epi16(u, zero), _mm256_unpackhi_epi16(u, zero),
                       _mm256_unpacklo_epi16(v, zero), _mm256_unpackhi_epi16(v, zero));
}

// Y - 256 * y for 16-bit lanes y: 41 * y + ((256 * y + 116) * 277 >> 16) equals
// the luma table's rest for every y.
[[gnu::target("avx2")]] inline __m256i lumaRest(__m256i y) {
    const __m256i x = _mm256_or_si256(_mm256_slli_epi16(y, 8), _mm256_set1_epi16(116));
    return _mm256_add_epi16(_mm256_mullo_epi16(y, _mm256_set1_epi16(41)),
                            _mm256_mulhi_epu16(x, _mm256_set1_epi16(277)));
}

[[gnu::target("avx2")]] inline __m256i channel(__m256i y, __m256i rest, const Split& c) {
    return _mm256_add_epi16(_mm256_srli_epi16(_mm256_add_epi16(rest, c.lo), 8),
                            _mm256_add_epi16(y, c.hi));
}

[[gnu::target("avx2")]] inline __m256i chunk(__m256i r, __m256i g, __m256i b, int k) {
    const auto* mask = reinterpret_cast<const __m256i*>(Masks.data() + 32 * 3 * k);
    return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(r, _mm256_load_si256(mask)),
                                           _mm256_shuffle_epi8(g, _mm256_load_si256(mask + 1))),
                           _mm256_shuffle_epi8(b, _mm256_load_si256(mask + 2)));
}

// Even and odd luma of 32 pixels (16-bit lanes, in order) with their chroma
// terms into 96 bytes; the saturating pack is the clip.
[[gnu::target("avx2")]] inline void pixels(uint8_t* dst, __m256i even, __m256i odd,
                                           const ChromaTerms& c) {
    const __m256i restEven = lumaRest(even);
    const __m256i restOdd = lumaRest(odd);
    const __m256i r =
        _mm256_packus_epi16(channel(even, restEven, c.red), channel(odd, restOdd, c.red));
    const __m256i g =
        _mm256_packus_epi16(channel(even, restEven, c.green), channel(odd, restOdd, c.green));
    const __m256i b =
        _mm256_packus_epi16(channel(even, restEven, c.blue), channel(odd, restOdd, c.blue));
    const __m256i c0 = chunk(r, g, b, 0);
    const __m256i c1 = chunk(r, g, b, 1);
    const __m256i c2 = chunk(r, g, b, 2);
    auto* out = reinterpret_cast<__m256i*>(dst);
    _mm256_storeu_si256(out, _mm256_permute2x128_si256(c0, c1, 0x20));
    _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(c2, c0, 0x30));
    _mm256_storeu_si256(out + 2, _mm256_permute2x128_si256(c1, c2, 0x31));
}

[[gnu::target("avx2")]] inline __m256i byteAt(__m256i words, int shift) {
    return _mm256_and_si256(_mm256_srl_epi32(words, _mm_cvtsi32_si128(shift)),
                            _mm256_set1_epi32(255));
}

[[gnu::target("avx2")]] void packedBlocks(uint8_t* dst, const uint8_t* src, PackedOrder o,
                                          int blocks) {
    for (int i = 0; i < blocks; ++i, src += 64, dst += 96) {
        const __m256i w0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        const __m256i w1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32));
        const __m256i a = _mm256_permute2x128_si256(w0, w1, 0x20);
        const __m256i b = _mm256_permute2x128_si256(w0, w1, 0x31);
        const int ys = 8 * o.y;
        const int us = 8 * o.u;
        const __m256i even = _mm256_packs_epi32(byteAt(a, ys), byteAt(b, ys));
        const __m256i odd = _mm256_packs_epi32(byteAt(a, ys + 16), byteAt(b, ys + 16));
        pixels(dst, even, odd,
               chromaTerms(byteAt(a, us), byteAt(b, us), byteAt(a, us + 16), byteAt(b, us + 16)));
    }
}

[[gnu::target("avx2")]] inline void lumaPixels(uint8_t* dst, const uint8_t* luma,
                                               const ChromaTerms& c) {
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma));
    pixels(dst, _mm256_and_si256(w, _mm256_set1_epi16(255)), _mm256_srli_epi16(w, 8), c);
}

[[gnu::target("avx2")]] void rowPairBlocks(RowPair p, bool interleaved, int blocks) {
    for (int i = 0; i < blocks; ++i) {
        const int x = BlockPixels * i;
        ChromaTerms c;
        if (interleaved) {
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p.u + x));
            c = chromaTerms16(_mm256_and_si256(w, _mm256_set1_epi16(255)), _mm256_srli_epi16(w, 8));
        } else {
            const auto* u = reinterpret_cast<const __m128i*>(p.u + x / 2);
            const auto* v = reinterpret_cast<const __m128i*>(p.v + x / 2);
            c = chromaTerms16(_mm256_cvtepu8_epi16(_mm_loadu_si128(u)),
                              _mm256_cvtepu8_epi16(_mm_loadu_si128(v)));
        }
        lumaPixels(p.dst0 + 3 * x, p.luma0 + x, c);
        if (p.luma1)
            lumaPixels(p.dst1 + 3 * x, p.luma1 + x, c);
    }
}

} // namespace avx2

bool haveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}

// Pixels the vector code covers at the start of each row.
int vectorPixels(int width) {
    return haveAvx2() ? width / avx2::BlockPixels * avx2::BlockPixels : 0;
}

void packedVector(uint8_t* dst, const uint8_t* src, PackedOrder o, int pixels) {
    avx2::packedBlocks(dst, src, o, pixels / avx2::BlockPixels);
}

void rowPairVector(const RowPair& p, bool interleaved, int pixels) {
    avx2::rowPairBlocks(p, interleaved, pixels / avx2::BlockPixels);
}

#else

int vectorPixels(int) {
    return 0;
}

void packedVector(uint8_t*, const uint8_t*, PackedOrder, int) {}

void rowPairVector(const RowPair&, bool, int) {}

#endif

void packedRows(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                QImage& out) {
    const YuvTables& t = yuvTables();
    const PackedOrder o = format.fourcc == fourcc::Uyvy ? PackedOrder{1, 0} : PackedOrder{0, 1};
    const int done = vectorPixels(format.width);
    for (int r = 0; r < format.height; ++r) {
        const uint8_t* src = data + r * g.lumaStride;
        uint8_t* dst = out.scanLine(r);
        packedVector(dst, src, o, done);
        packedRow(t, dst + 3 * done, src + 2 * done, o, format.width - done);
    }
}

// Rows of a 4:2:0 frame, two at a time per chroma row; u and v `step` bytes
// apart within their rows.
void rows420(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
             const uint8_t* u, const uint8_t* v, int step, QImage& out) {
    const YuvTables& t = yuvTables();
    const int done = vectorPixels(format.width);
    for (int r = 0; r < format.height; r += 2) {
        const bool second = r + 1 < format.height;
        const int64_t c = (r / 2) * g.chromaStride;
        const uint8_t* luma0 = data + r * g.lumaStride;
        const uint8_t* luma1 = second ? luma0 + g.lumaStride : nullptr;
        uint8_t* dst0 = out.scanLine(r);
        uint8_t* dst1 = second ? out.scanLine(r + 1) : nullptr;
        rowPairVector({luma0, luma1, dst0, dst1, u + c, v + c}, step == 2, done);
        const int64_t cx = int64_t(done / 2) * step;
        yuvRow(t, dst0 + 3 * done, luma0 + done, u + c + cx, v + c + cx, step, format.width - done);
        if (second)
            yuvRow(t, dst1 + 3 * done, luma1 + done, u + c + cx, v + c + cx, step,
                   format.width - done);
    }
}

} // namespace

const YuvTables& yuvTables() {
    static const YuvTables tables = buildTables();
    return tables;
}

void packed422ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                      QImage& out) {
    packedRows(format, g, data, out);
}

void planar420ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                      QImage& out) {
    const uint8_t* first = data + g.lumaStride * format.height;
    const uint8_t* second = first + g.chromaStride * g.chromaHeight;
    const bool vFirst = format.fourcc == fourcc::Yv12;
    rows420(format, g, data, vFirst ? second : first, vFirst ? first : second, 1, out);
}

void semiPlanar420ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                          QImage& out) {
    const uint8_t* uv = data + g.lumaStride * format.height;
    rows420(format, g, data, uv, uv + 1, 2, out);
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
