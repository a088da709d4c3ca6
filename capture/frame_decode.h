#pragma once

#include "capture/frame_format.h"
#include "capture/jpeg_decode.h"

#include <QImage>
#include <QString>

namespace gc::capture {

enum class DecodeStatus {
    Ok,
    WrongSize,     // the failure text was drawn over the picture
    UnknownFormat, // the failure text was drawn over the picture
    BadJpeg,       // the picture was left as it was
};

// Turns raw frames into a 24-bit picture. Holds the JPEG decoder and a spare
// picture so that steady frames allocate nothing.
class FrameDecoder {
  public:
    // `picture` becomes format.width x format.height (Format_RGB888) when it is
    // not already. A bad JPEG frame leaves the last good picture untouched.
    DecodeStatus decode(const FrameFormat& format, const uint8_t* data, size_t size,
                        QImage& picture);

    // Why the last JPEG frame failed.
    QString jpegError() const { return m_jpeg.error(); }

  private:
    DecodeStatus decodeJpeg(const uint8_t* data, size_t size, QImage& picture);

    JpegDecoder m_jpeg;
    QImage m_spare;
};

// Draws "Unknown compression" and the frame's size and code at the top left.
void drawFailureText(QImage& picture, size_t size, uint32_t code);

} // namespace gc::capture
