#pragma once

#include "capture/frame_format.h"

#include <QImage>
#include <cstdint>
#include <vector>

namespace gc::capture {

// Moving colour bars over a grey ramp; `phase` shifts the bars sideways.
QImage colourBars(int width, int height, int phase);

// The picture laid out as a device would send it in `format` (rows tightly
// packed, chroma taken from the top-left pixel of each block). Motion-JPEG
// frames leave out the Huffman tables, as cameras do.
std::vector<uint8_t> encodeFrame(const QImage& picture, uint32_t code);

// How a JPEG's chroma is sampled: halved both ways (4:2:0), or across only (4:2:2).
enum class JpegChroma { H2V2, H2V1 };

// A baseline JPEG of the picture; with `withHuffmanTables` false the DHT
// segments are left out.
std::vector<uint8_t> encodeJpeg(const QImage& picture, int quality, bool withHuffmanTables,
                                JpegChroma chroma = JpegChroma::H2V2);

} // namespace gc::capture
