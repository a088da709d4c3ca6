#include "capture/jpeg_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <vector>

namespace gc::capture {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt data) are counted, nothing is printed.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0)
        ++cinfo->err->num_warnings;
}

} // namespace

struct JpegDecoder::State {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    std::vector<uint8_t> row; // for pictures wider than the target
};

JpegDecoder::JpegDecoder() : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = onError;
    s.err.pub.emit_message = onMessage;
    jpeg_create_decompress(&s.cinfo);
}

JpegDecoder::~JpegDecoder() {
    jpeg_destroy_decompress(&m_state->cinfo);
}

namespace {

enum class Outcome { Ok, Refused, Failed };

// Only plain locals live here, so a jump out of the library skips no destructor.
Outcome runDecode(jpeg_decompress_struct& cinfo, ErrorManager& err, std::vector<uint8_t>& row,
                  const uint8_t* data, size_t size, uchar* outBits, qsizetype outStride,
                  int outWidth, int outHeight, char* why, size_t whySize, QSize& decoded) {
    if (setjmp(err.jump)) {
        jpeg_abort_decompress(&cinfo);
        std::snprintf(why, whySize, "%s", err.message);
        return Outcome::Failed;
    }
    cinfo.err->num_warnings = 0;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    const int64_t pixels = int64_t(cinfo.image_width) * int64_t(cinfo.image_height);
    if (pixels <= 0 || pixels > JpegDecoder::MaxPixels || cinfo.image_width > 65500 ||
        cinfo.image_height > 65500) {
        std::snprintf(why, whySize, "picture of %ux%u refused", cinfo.image_width,
                      cinfo.image_height);
        jpeg_abort_decompress(&cinfo);
        return Outcome::Refused;
    }
    if (cinfo.num_components != 1 && cinfo.num_components != 3) {
        std::snprintf(why, whySize, "%d colour components not supported", cinfo.num_components);
        jpeg_abort_decompress(&cinfo);
        return Outcome::Refused;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION width = cinfo.output_width;
    const bool direct = int64_t(width) <= outWidth;
    const size_t copyBytes = size_t(std::min<int64_t>(width, outWidth)) * 3;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        const bool inside = y < outHeight;
        JSAMPROW target = nullptr;
        if (direct && inside) {
            target = outBits + y * outStride;
        } else {
            if (row.size() < size_t(width) * 3)
                row.resize(size_t(width) * 3);
            target = row.data();
        }
        jpeg_read_scanlines(&cinfo, &target, 1);
        if (inside && !direct)
            std::memcpy(outBits + y * outStride, target, copyBytes);
    }
    jpeg_finish_decompress(&cinfo);
    if (cinfo.err->num_warnings > 0) {
        std::snprintf(why, whySize, "corrupt JPEG data");
        return Outcome::Failed;
    }
    decoded = QSize(int(width), int(cinfo.output_height));
    return Outcome::Ok;
}

} // namespace

bool JpegDecoder::decode(const uint8_t* data, size_t size, QImage& out) {
    m_error.clear();
    m_size = QSize();
    if (data == nullptr || size < 4) {
        m_error = QStringLiteral("empty JPEG frame");
        return false;
    }
    char why[JMSG_LENGTH_MAX + 64] = {};
    const Outcome outcome =
        runDecode(m_state->cinfo, m_state->err, m_state->row, data, size, out.bits(),
                  out.bytesPerLine(), out.width(), out.height(), why, sizeof why, m_size);
    if (outcome != Outcome::Ok)
        m_error = QString::fromLocal8Bit(why);
    return outcome == Outcome::Ok;
}

} // namespace gc::capture
