#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace gc::capture::test {

// Runs a command-line tool; its standard output, or an empty array with
// `error` set when it could not run or failed.
QByteArray runTool(const QString& program, const QStringList& args, QString* error);

// ffmpeg's conversion of one raw frame to bgr24 bytes.
QByteArray ffmpegToBgr(const std::vector<uint8_t>& frame, const char* pixFmt, int width, int height,
                       QString* error);

// djpeg's decoding of a JPEG file to PPM pixels (RGB, header removed).
QByteArray djpegPixels(const std::vector<uint8_t>& jpeg, QString* error);

} // namespace gc::capture::test
