#pragma once

#include "capture/frame_format.h"

#include <QImage>
#include <array>
#include <cstdint>

namespace gc::capture {

// Studio-range BT.601 tables scaled by 256, the -16 luma and -128 chroma
// offsets folded into the chroma tables; every entry rounded half to even.
struct YuvTables {
    std::array<int32_t, 256> y;
    std::array<int32_t, 256> ug;
    std::array<int32_t, 256> ub;
    std::array<int32_t, 256> vr;
    std::array<int32_t, 256> vg;
    std::array<uint8_t, 2047> clip; // index + 1023 -> 0..255

    uint8_t clamp(int32_t v) const { return clip[size_t(v + 1023)]; }
};

// Built once on first use; read-only afterwards.
const YuvTables& yuvTables();

// Each writes a w x h picture into `out` (Format_RGB888, already that size).
// The caller has checked `data` against geometryOf(format).
void packed422ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                      QImage& out);
void planar420ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                      QImage& out);
void semiPlanar420ToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                          QImage& out);
void rgbToImage(const FrameFormat& format, const FrameGeometry& g, const uint8_t* data,
                QImage& out);

} // namespace gc::capture
