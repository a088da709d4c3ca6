#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace gc::capture {

constexpr uint32_t makeFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// Codes a device reports. 0 is uncompressed 24-bit BGR stored bottom-up; the
// Linux names of the same layouts decode alike.
namespace fourcc {
constexpr uint32_t BottomUpBgr = 0;
constexpr uint32_t Bgr24 = makeFourCC('B', 'G', 'R', '3');
constexpr uint32_t Rgb24 = makeFourCC('R', 'G', 'B', '3');
constexpr uint32_t Mjpg = makeFourCC('M', 'J', 'P', 'G');
constexpr uint32_t I420 = makeFourCC('I', '4', '2', '0');
constexpr uint32_t Iyuv = makeFourCC('I', 'Y', 'U', 'V');
constexpr uint32_t Yu12 = makeFourCC('Y', 'U', '1', '2');
constexpr uint32_t Yv12 = makeFourCC('Y', 'V', '1', '2');
constexpr uint32_t Nv12 = makeFourCC('N', 'V', '1', '2');
constexpr uint32_t Yuy2 = makeFourCC('Y', 'U', 'Y', '2');
constexpr uint32_t Yuyv = makeFourCC('Y', 'U', 'Y', 'V');
constexpr uint32_t Yunv = makeFourCC('Y', 'U', 'N', 'V');
constexpr uint32_t Uyvy = makeFourCC('U', 'Y', 'V', 'Y');
} // namespace fourcc

// The shape of the frames a device delivers. `stride` is the byte length of one
// packed row or of one luma row; 0 means rows are tightly packed.
struct FrameFormat {
    int width = 0;
    int height = 0;
    uint32_t fourcc = 0;
    int stride = 0;

    bool operator==(const FrameFormat&) const = default;
};

enum class Layout { Unknown, Rgb, Jpeg, Planar420, SemiPlanar420, Packed422 };

Layout layoutOf(uint32_t code);

// The code as four characters in memory order, or "RGB" for 0.
QString fourCCText(uint32_t code);

// Row strides and plane offsets of an uncompressed frame, all in 64 bits.
struct FrameGeometry {
    int64_t lumaStride = 0;   // packed row or luma row
    int64_t chromaStride = 0; // one chroma row (planar) or one UV row (semi-planar)
    int64_t chromaWidth = 0;
    int64_t chromaHeight = 0;
    int64_t frameSize = 0; // bytes the declared layout takes
};

// std::nullopt for compressed or unknown codes, a non-positive size, or a
// declared stride too short for the width.
std::optional<FrameGeometry> geometryOf(const FrameFormat& format);

} // namespace gc::capture
