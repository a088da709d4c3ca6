#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace gc::capture {

// Motion-JPEG frames through libjpeg. Library errors end in a result, never in
// an exception or a jump through the caller. Frames that leave out the Huffman
// tables (as cameras do) decode with the standard tables.
class JpegDecoder {
  public:
    // A frame whose header claims more pixels than this is refused before any
    // picture memory is allocated.
    static constexpr int64_t MaxPixels = 8192LL * 8192LL;

    JpegDecoder();
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Decodes into `out` (Format_RGB888) from its top-left corner: a larger
    // picture is clipped, a smaller one leaves the rest of `out` as it was.
    // false on any error or warning; `error()` then says why and `out` may hold
    // part of the frame.
    bool decode(const uint8_t* data, size_t size, QImage& out);

    QString error() const { return m_error; }
    // Size of the last frame decoded without error.
    QSize decodedSize() const { return m_size; }

  private:
    struct State;
    std::unique_ptr<State> m_state;
    QString m_error;
    QSize m_size;
};

} // namespace gc::capture
