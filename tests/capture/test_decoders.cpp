#include "capture/frame_decode.h"
#include "capture/frame_synth.h"
#include "capture/yuv_decode.h"
#include "oracle.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

using namespace gc::capture;
using namespace gc::capture::test;

namespace {

QImage decoded(const FrameFormat& format, const std::vector<uint8_t>& frame,
               DecodeStatus* status = nullptr) {
    FrameDecoder decoder;
    QImage picture;
    const DecodeStatus s = decoder.decode(format, frame.data(), frame.size(), picture);
    if (status)
        *status = s;
    return picture;
}

// Largest difference of any channel between our picture and ffmpeg's bgr24 bytes.
int maxDifference(const QImage& ours, const QByteArray& bgr) {
    int worst = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x)
            for (int c = 0; c < 3; ++c) {
                const int mine = ours.constScanLine(y)[3 * x + c];
                const int theirs = uchar(bgr[(qsizetype(y) * ours.width() + x) * 3 + (2 - c)]);
                worst = std::max(worst, std::abs(mine - theirs));
            }
    return worst;
}

std::vector<uint8_t> yuyvFrame(int w, int h, uint8_t y, uint8_t u, uint8_t v) {
    std::vector<uint8_t> f(size_t(w) * size_t(h) * 2);
    for (size_t i = 0; i < f.size(); i += 4) {
        f[i] = y;
        f[i + 1] = u;
        f[i + 2] = y;
        f[i + 3] = v;
    }
    return f;
}

// Sharp luma, slowly varying chroma: ffmpeg's scaler blends neighbouring chroma
// samples where our decoder repeats them, so chroma edges would measure the
// blend rather than the conversion.
std::vector<uint8_t> cameraLikeFrame(uint32_t code, int w, int h) {
    const FrameGeometry g = *geometryOf({w, h, code, 0});
    std::vector<uint8_t> f(size_t(g.frameSize));
    const auto luma = [](int x, int y) { return uint8_t(16 + ((x * 7 + y * 3) % 220)); };
    const auto u = [](int x, int y) { return uint8_t(128 + 60 * std::sin(x / 400.0 + y / 500.0)); };
    const auto v = [](int x, int y) { return uint8_t(128 + 60 * std::cos(y / 450.0 - x / 600.0)); };
    const Layout layout = layoutOf(code);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (layout == Layout::Packed422) {
                const bool uyvy = code == fourcc::Uyvy;
                uint8_t* q = f.data() + y * g.lumaStride + 4 * (x / 2);
                q[(uyvy ? 1 : 0) + 2 * (x % 2)] = luma(x, y);
                q[uyvy ? 0 : 1] = u(x / 2 * 2, y);
                q[uyvy ? 2 : 3] = v(x / 2 * 2, y);
            } else {
                f[size_t(y * g.lumaStride + x)] = luma(x, y);
            }
        }
    }
    uint8_t* chroma = f.data() + g.lumaStride * h;
    for (int cy = 0; cy < g.chromaHeight && layout != Layout::Packed422; ++cy) {
        for (int cx = 0; cx < g.chromaWidth; ++cx) {
            const uint8_t cu = u(2 * cx, 2 * cy);
            const uint8_t cv = v(2 * cx, 2 * cy);
            if (layout == Layout::SemiPlanar420) {
                chroma[cy * g.chromaStride + 2 * cx] = cu;
                chroma[cy * g.chromaStride + 2 * cx + 1] = cv;
            } else {
                const int64_t plane = g.chromaStride * g.chromaHeight;
                chroma[cy * g.chromaStride + cx] = cu;
                chroma[plane + cy * g.chromaStride + cx] = cv;
            }
        }
    }
    return f;
}

} // namespace

TEST(YuvTables, StudioBlackAndWhiteSumExactly) {
    const YuvTables& t = yuvTables();
    EXPECT_EQ(t.y[16] + t.ub[128], 0);
    EXPECT_EQ(t.y[16] + t.ug[128] + t.vg[128], 0);
    EXPECT_EQ(t.y[16] + t.vr[128], 0);
    EXPECT_EQ(t.y[235] + t.ub[128], 65280);
    EXPECT_EQ(t.y[235] + t.ug[128] + t.vg[128], 65280);
    EXPECT_EQ(t.y[235] + t.vr[128], 65280);
    EXPECT_EQ(t.clamp(-1023), 0);
    EXPECT_EQ(t.clamp(1023), 255);
    EXPECT_EQ(t.clamp(77), 77);

    const QImage black = decoded({4, 2, fourcc::Yuy2, 0}, yuyvFrame(4, 2, 16, 128, 128));
    const QImage white = decoded({4, 2, fourcc::Yuy2, 0}, yuyvFrame(4, 2, 235, 128, 128));
    EXPECT_EQ(black.pixel(3, 1), qRgb(0, 0, 0));
    EXPECT_EQ(white.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(Decoders, MatchFfmpegWithinTwo) {
    struct Case {
        uint32_t code;
        const char* pixFmt;
        int width;
        int height;
    };
    const Case cases[] = {
        {fourcc::Yuy2, "yuyv422", 320, 240}, {fourcc::Yuyv, "yuyv422", 64, 48},
        {fourcc::Uyvy, "uyvy422", 320, 240}, {fourcc::I420, "yuv420p", 320, 240},
        {fourcc::Yu12, "yuv420p", 96, 54},   {fourcc::Nv12, "nv12", 320, 240},
        {fourcc::Rgb24, "rgb24", 31, 9},     {fourcc::Bgr24, "bgr24", 32, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fourCCText(c.code).toStdString());
        const std::vector<uint8_t> frame =
            layoutOf(c.code) == Layout::Rgb ? encodeFrame(colourBars(c.width, c.height, 1), c.code)
                                            : cameraLikeFrame(c.code, c.width, c.height);
        QString error;
        const QByteArray reference = ffmpegToBgr(frame, c.pixFmt, c.width, c.height, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_EQ(reference.size(), qsizetype(c.width) * c.height * 3);
        DecodeStatus status;
        const QImage ours = decoded({c.width, c.height, c.code, 0}, frame, &status);
        ASSERT_EQ(status, DecodeStatus::Ok);
        EXPECT_LE(maxDifference(ours, reference), 2);
    }
}

TEST(Decoders, OddSizesDecodeAsTheCropOfTheNextEvenSize) {
    for (const uint32_t code : {fourcc::Yuyv, fourcc::Uyvy, fourcc::I420, fourcc::Nv12}) {
        SCOPED_TRACE(fourCCText(code).toStdString());
        DecodeStatus status;
        const QImage odd = decoded({33, 17, code, 0}, cameraLikeFrame(code, 33, 17), &status);
        ASSERT_EQ(status, DecodeStatus::Ok);
        const QImage even = decoded({34, 18, code, 0}, cameraLikeFrame(code, 34, 18));
        EXPECT_EQ(odd, even.copy(0, 0, 33, 17));
    }
}

TEST(Decoders, Yv12IsI420WithChromaPlanesExchanged) {
    const QImage source = colourBars(64, 32, 0);
    const std::vector<uint8_t> i420 = encodeFrame(source, fourcc::I420);
    std::vector<uint8_t> swapped = i420;
    const size_t luma = 64 * 32;
    const size_t plane = luma / 4;
    std::copy(i420.begin() + long(luma), i420.begin() + long(luma + plane),
              swapped.begin() + long(luma + plane));
    std::copy(i420.begin() + long(luma + plane), i420.end(), swapped.begin() + long(luma));
    EXPECT_EQ(decoded({64, 32, fourcc::I420, 0}, i420),
              decoded({64, 32, fourcc::Yv12, 0}, swapped));
    EXPECT_EQ(encodeFrame(source, fourcc::Yv12), swapped);
}

TEST(Decoders, BottomUpRgbFlipsRowsAndSwapsChannels) {
    // Two rows of one pixel each, stored bottom row first, blue first.
    const std::vector<uint8_t> frame = {1, 2, 3, 4, 5, 6};
    const QImage picture = decoded({1, 2, fourcc::BottomUpBgr, 0}, frame);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(6, 5, 4));
    EXPECT_EQ(picture.pixel(0, 1), qRgb(3, 2, 1));
}

TEST(Decoders, DeclaredStrideIsHonoured) {
    const QImage source = colourBars(30, 6, 2);
    for (const uint32_t code : {fourcc::Yuyv, fourcc::Yu12, fourcc::Nv12, fourcc::Rgb24}) {
        SCOPED_TRACE(fourCCText(code).toStdString());
        const std::vector<uint8_t> packed = encodeFrame(source, code);
        const FrameGeometry tight = *geometryOf({30, 6, code, 0});
        const int stride = int(tight.lumaStride) + 8;
        const FrameGeometry padded = *geometryOf({30, 6, code, stride});
        // Re-lay the packed frame row by row into the padded layout.
        std::vector<uint8_t> frame(size_t(padded.frameSize), 0xEE);
        for (int y = 0; y < 6; ++y)
            std::copy_n(packed.begin() + y * tight.lumaStride, tight.lumaStride,
                        frame.begin() + y * padded.lumaStride);
        const int64_t planes = code == fourcc::Yu12 ? 2 : (code == fourcc::Nv12 ? 1 : 0);
        for (int64_t p = 0; p < planes; ++p)
            for (int64_t y = 0; y < tight.chromaHeight; ++y)
                std::copy_n(
                    packed.begin() + 6 * tight.lumaStride +
                        p * tight.chromaStride * tight.chromaHeight + y * tight.chromaStride,
                    tight.chromaStride,
                    frame.begin() + 6 * padded.lumaStride +
                        p * padded.chromaStride * padded.chromaHeight + y * padded.chromaStride);
        EXPECT_EQ(decoded({30, 6, code, stride}, frame), decoded({30, 6, code, 0}, packed));
    }
}

TEST(Decoders, WrongSizesDrawTheFailureTextOverThePicture) {
    FrameDecoder decoder;
    QImage picture(200, 60, QImage::Format_RGB888);
    picture.fill(Qt::green);
    // RGB with padded rows: one byte more per row than width x 3.
    const std::vector<uint8_t> padded(size_t(200 * 3 + 1) * 60, 0x80);
    EXPECT_EQ(
        decoder.decode({200, 60, fourcc::BottomUpBgr, 0}, padded.data(), padded.size(), picture),
        DecodeStatus::WrongSize);
    EXPECT_EQ(fourCCText(0), "RGB");
    EXPECT_EQ(fourCCText(fourcc::Yuy2), "YUY2");
    EXPECT_NE(picture.pixel(2, 2), qRgb(0, 255, 0)) << "text drawn at the top left";
    EXPECT_EQ(picture.pixel(199, 59), qRgb(0, 255, 0)) << "the rest keeps the previous picture";

    const std::vector<uint8_t> shortFrame(100);
    for (const uint32_t code : {fourcc::Yuy2, fourcc::I420, fourcc::Nv12, fourcc::Rgb24})
        EXPECT_EQ(decoder.decode({200, 60, code, 0}, shortFrame.data(), shortFrame.size(), picture),
                  DecodeStatus::WrongSize);
    EXPECT_EQ(decoder.decode({200, 60, makeFourCC('H', '2', '6', '4'), 0}, shortFrame.data(),
                             shortFrame.size(), picture),
              DecodeStatus::UnknownFormat);
    // A declared stride shorter than a row is refused rather than read past.
    EXPECT_EQ(
        decoder.decode({200, 60, fourcc::Yuy2, 100}, shortFrame.data(), shortFrame.size(), picture),
        DecodeStatus::UnknownFormat);
}

TEST(Decoders, HugeDeclaredSizesDoNotOverflow) {
    const auto g = geometryOf({65535, 65535, fourcc::Yuy2, 0});
    ASSERT_TRUE(g);
    EXPECT_EQ(g->frameSize, int64_t(65536) * 2 * 65535);
    EXPECT_FALSE(geometryOf({-4, 4, fourcc::I420, 0}));
    EXPECT_FALSE(geometryOf({4, 4, fourcc::Mjpg, 0}));
}

class Jpeg : public ::testing::Test {
  protected:
    QImage decodeInto(const std::vector<uint8_t>& jpeg, QImage picture, DecodeStatus* status) {
        *status = decoder.decode({picture.width(), picture.height(), fourcc::Mjpg, 0}, jpeg.data(),
                                 jpeg.size(), picture);
        return picture;
    }
    FrameDecoder decoder;
};

TEST_F(Jpeg, DecodesExactlyAsDjpegWithAndWithoutHuffmanTables) {
    const QImage source = colourBars(320, 240, 3);
    const std::vector<uint8_t> full = encodeJpeg(source, 80, true);
    const std::vector<uint8_t> bare = encodeJpeg(source, 80, false);
    ASSERT_LT(bare.size(), full.size());
    QString error;
    const QByteArray reference = djpegPixels(full, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(reference.size(), 320 * 240 * 3);
    for (const auto* jpeg : {&full, &bare}) {
        DecodeStatus status;
        QImage blank(320, 240, QImage::Format_RGB888);
        const QImage picture = decodeInto(*jpeg, blank, &status);
        ASSERT_EQ(status, DecodeStatus::Ok);
        for (int y = 0; y < 240; ++y)
            ASSERT_EQ(0,
                      std::memcmp(picture.constScanLine(y), reference.constData() + y * 960, 960))
                << "row " << y;
    }
}

TEST_F(Jpeg, LargerFramesAreClippedSmallerOnesKeepTheRest) {
    DecodeStatus status;
    QImage small(64, 32, QImage::Format_RGB888);
    small.fill(Qt::blue);
    const QImage clipped = decodeInto(encodeJpeg(colourBars(128, 96, 0), 90, true), small, &status);
    EXPECT_EQ(status, DecodeStatus::Ok);
    EXPECT_EQ(clipped.size(), QSize(64, 32));
    EXPECT_GT(qRed(clipped.pixel(1, 1)), 200) << "the white bar's corner";

    QImage large(100, 100, QImage::Format_RGB888);
    large.fill(Qt::blue);
    const QImage partial = decodeInto(encodeJpeg(colourBars(16, 16, 0), 90, true), large, &status);
    EXPECT_EQ(status, DecodeStatus::Ok);
    EXPECT_EQ(partial.pixel(50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(partial.pixel(20, 5), qRgb(0, 0, 255));
    EXPECT_NE(partial.pixel(5, 5), qRgb(0, 0, 255));
}

TEST_F(Jpeg, BrokenFramesFailAndKeepTheLastGoodPicture) {
    QImage good(64, 48, QImage::Format_RGB888);
    good.fill(Qt::magenta);
    const std::vector<uint8_t> jpeg = encodeJpeg(colourBars(64, 48, 0), 90, true);
    DecodeStatus status;

    std::vector<uint8_t> truncated(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 3));
    EXPECT_EQ(decodeInto(truncated, good, &status), good);
    EXPECT_EQ(status, DecodeStatus::BadJpeg);

    std::vector<uint8_t> garbage(500, 0x42);
    EXPECT_EQ(decodeInto(garbage, good, &status), good);
    EXPECT_EQ(status, DecodeStatus::BadJpeg);
    EXPECT_FALSE(decoder.jpegError().isEmpty());

    // An absurd header: the start-of-frame dimensions patched to 65000 x 65000.
    std::vector<uint8_t> absurd = jpeg;
    for (size_t i = 0; i + 8 < absurd.size(); ++i) {
        if (absurd[i] == 0xff && absurd[i + 1] == 0xc0) {
            absurd[i + 5] = 0xfd;
            absurd[i + 6] = 0xe8;
            absurd[i + 7] = 0xfd;
            absurd[i + 8] = 0xe8;
            break;
        }
    }
    EXPECT_EQ(decodeInto(absurd, good, &status), good);
    EXPECT_EQ(status, DecodeStatus::BadJpeg);
    EXPECT_TRUE(decoder.jpegError().contains("refused")) << decoder.jpegError().toStdString();

    // The decoder recovers for the next good frame.
    decodeInto(jpeg, good, &status);
    EXPECT_EQ(status, DecodeStatus::Ok);
}
