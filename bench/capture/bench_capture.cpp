#include "bench/support/bench_support.h"
#include "capture/camera_frames.h"
#include "capture/frame_decode.h"
#include "capture/frame_synth.h"
#include "capture/synthetic_kernel.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <random>
#include <string>
#include <utility>

extern "C" {
#include <libswscale/swscale.h>
}

using namespace gc::capture;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs `ours` and then `theirs` on each iteration; the iteration's time is ours. Reports
// both means and their ratio under the peer's name.
template <class Ours, class Theirs>
void timeBeside(benchmark::State& state, const std::string& peer, Ours ours, Theirs theirs) {
    double oursTotal = 0;
    double theirsTotal = 0;
    for (auto _ : state) {
        const Clock::time_point a = Clock::now();
        ours();
        const double mine = secondsSince(a);
        const Clock::time_point b = Clock::now();
        theirs();
        theirsTotal += secondsSince(b);
        oursTotal += mine;
        state.SetIterationTime(mine);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = oursTotal / n * 1e3;
    state.counters[peer + "_ms"] = theirsTotal / n * 1e3;
    state.counters["ratio_to_" + peer] = oursTotal / theirsTotal;
}

// A gradient with fine texture and sensor-like noise, the same for every run.
QImage cameraLike(int w, int h, int noise) {
    QImage image(w, h, QImage::Format_RGB888);
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> grain(-noise, noise);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int texture = ((x * x / 7 + y * 3) % 23) - 11 + ((x / 3 + y / 5) % 2) * 10;
            const int base[3] = {40 + 150 * x / w, 60 + 120 * y / h, 90 + 80 * (x + y) / (w + h)};
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = uchar(std::clamp(base[c] + texture + grain(rng), 0, 255));
        }
    }
    return image;
}

enum class Picture { Bars, Camera };

QImage makePicture(Picture kind, int w, int h) {
    return kind == Picture::Bars ? colourBars(w, h, 1) : cameraLike(w, h, 5);
}

const char* pictureName(Picture kind) {
    return kind == Picture::Bars ? "bars" : "camera";
}

// libswscale converting one raw frame to RGB24 on one thread.
class Swscale {
  public:
    Swscale(uint32_t code, int w, int h) : m_code(code), m_w(w), m_h(h) {
        const AVPixelFormat from = code == fourcc::Yuy2   ? AV_PIX_FMT_YUYV422
                                   : code == fourcc::I420 ? AV_PIX_FMT_YUV420P
                                                          : AV_PIX_FMT_NV12;
        m_ctx = sws_getContext(w, h, from, w, h, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr,
                               nullptr);
    }
    ~Swscale() { sws_freeContext(m_ctx); }
    Swscale(const Swscale&) = delete;
    Swscale& operator=(const Swscale&) = delete;

    bool ok() const { return m_ctx != nullptr; }

    // The output height, as sws_scale reports it.
    int convert(const uint8_t* frame, uint8_t* rgb) {
        const uint8_t* planes[4] = {frame, nullptr, nullptr, nullptr};
        int strides[4] = {m_w, 0, 0, 0};
        const int luma = m_w * m_h;
        if (m_code == fourcc::Yuy2) {
            strides[0] = 2 * m_w;
        } else if (m_code == fourcc::I420) {
            planes[1] = frame + luma;
            planes[2] = frame + luma + luma / 4;
            strides[1] = strides[2] = m_w / 2;
        } else {
            planes[1] = frame + luma;
            strides[1] = m_w;
        }
        uint8_t* out[4] = {rgb, nullptr, nullptr, nullptr};
        const int outStrides[4] = {3 * m_w, 0, 0, 0};
        return sws_scale(m_ctx, planes, strides, 0, m_h, out, outStrides);
    }

  private:
    SwsContext* m_ctx = nullptr;
    uint32_t m_code;
    int m_w;
    int m_h;
};

int maxDifference(const QImage& ours, const std::vector<uint8_t>& rgb) {
    int worst = 0;
    const size_t rowBytes = size_t(ours.width()) * 3;
    for (int y = 0; y < ours.height(); ++y)
        for (size_t i = 0; i < rowBytes; ++i)
            worst = std::max(worst, std::abs(int(ours.constScanLine(y)[i]) -
                                             int(rgb[size_t(y) * rowBytes + i])));
    return worst;
}

// Our decoder and libswscale on the same frame, alternating in one loop; the
// iteration time is ours.
void BM_YuvVsSwscale(benchmark::State& state) {
    const uint32_t codes[] = {fourcc::Yuy2, fourcc::I420, fourcc::Nv12};
    const uint32_t code = codes[state.range(0)];
    const int w = int(state.range(1));
    const int h = int(state.range(2));
    const Picture kind = Picture(state.range(3));
    state.SetLabel(fourCCText(code).toStdString() + " " + pictureName(kind));

    const std::vector<uint8_t> frame = encodeFrame(makePicture(kind, w, h), code);
    const std::optional<FrameGeometry> g = geometryOf({w, h, code, 0});
    if (!g || int64_t(frame.size()) != g->frameSize)
        return state.SkipWithError("the frame does not have the size of its format");
    Swscale peer(code, w, h);
    if (!peer.ok())
        return state.SkipWithError("libswscale has no context for this conversion");
    FrameDecoder decoder;
    QImage ours;
    std::vector<uint8_t> theirs(size_t(w) * h * 3);
    if (decoder.decode({w, h, code, 0}, frame.data(), frame.size(), ours) != DecodeStatus::Ok ||
        peer.convert(frame.data(), theirs.data()) != h)
        return state.SkipWithError("a decoder refused the frame");
    // Both convert the same studio-range samples with the same chroma per pair;
    // they differ only in rounding.
    if (const int diff = maxDifference(ours, theirs); diff > 3)
        return state.SkipWithError(
            ("our picture differs from libswscale's by " + std::to_string(diff)).c_str());

    timeBeside(
        state, "swscale",
        [&] {
            decoder.decode({w, h, code, 0}, frame.data(), frame.size(), ours);
            benchmark::DoNotOptimize(ours.constBits());
        },
        [&] {
            peer.convert(frame.data(), theirs.data());
            benchmark::DoNotOptimize(theirs.data());
        });
}
BENCHMARK(BM_YuvVsSwscale)
    ->ArgsProduct({{0, 1, 2}, {1920}, {1080}, {0, 1}})
    ->ArgsProduct({{0, 1, 2}, {640}, {480}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

struct JpegHeader {
    int width;
    int height;
    int components;
    std::array<std::pair<int, int>, 3> sampling; // horizontal, vertical per component
};

// What djpeg's decoding amounts to: the library's own calls into a row buffer.
class Libjpeg {
  public:
    Libjpeg() {
        m_cinfo.err = jpeg_std_error(&m_err);
        jpeg_create_decompress(&m_cinfo);
    }
    ~Libjpeg() { jpeg_destroy_decompress(&m_cinfo); }
    Libjpeg(const Libjpeg&) = delete;
    Libjpeg& operator=(const Libjpeg&) = delete;

    // The frame's header, for checking it.
    JpegHeader header(const std::vector<uint8_t>& jpeg) {
        jpeg_mem_src(&m_cinfo, jpeg.data(), jpeg.size());
        jpeg_read_header(&m_cinfo, TRUE);
        JpegHeader h{
            int(m_cinfo.image_width), int(m_cinfo.image_height), m_cinfo.num_components, {}};
        for (int c = 0; c < std::min(h.components, 3); ++c)
            h.sampling[c] = {m_cinfo.comp_info[c].h_samp_factor,
                             m_cinfo.comp_info[c].v_samp_factor};
        jpeg_abort_decompress(&m_cinfo);
        return h;
    }

    void decode(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& out) {
        jpeg_mem_src(&m_cinfo, jpeg.data(), jpeg.size());
        jpeg_read_header(&m_cinfo, TRUE);
        m_cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&m_cinfo);
        out.resize(size_t(m_cinfo.output_width) * m_cinfo.output_height * 3);
        while (m_cinfo.output_scanline < m_cinfo.output_height) {
            JSAMPROW row = out.data() + size_t(m_cinfo.output_scanline) * m_cinfo.output_width * 3;
            jpeg_read_scanlines(&m_cinfo, &row, 1);
        }
        jpeg_finish_decompress(&m_cinfo);
    }

  private:
    jpeg_decompress_struct m_cinfo{};
    jpeg_error_mgr m_err{};
};

bool samePixels(const QImage& ours, const std::vector<uint8_t>& rgb) {
    const size_t rowBytes = size_t(ours.width()) * 3;
    if (rgb.size() != rowBytes * size_t(ours.height()))
        return false;
    for (int y = 0; y < ours.height(); ++y)
        if (std::memcmp(ours.constScanLine(y), rgb.data() + size_t(y) * rowBytes, rowBytes) != 0)
            return false;
    return true;
}

// A 1080p Motion-JPEG frame through our decoder and through libjpeg alone,
// alternating in one loop; the iteration time is ours.
void BM_MjpegVsLibjpeg(benchmark::State& state) {
    const Picture kind = Picture(state.range(0));
    const int w = 1920;
    const int h = 1080;
    const QImage source = makePicture(kind, w, h);
    const std::vector<uint8_t> jpeg = kind == Picture::Bars
                                          ? encodeFrame(source, fourcc::Mjpg)
                                          : encodeJpeg(source, 92, true, JpegChroma::H2V1);
    Libjpeg peer;
    const JpegHeader info = peer.header(jpeg);
    if (info.width != w || info.height != h || info.components != 3)
        return state.SkipWithError("the frame is not a 1920x1080 colour JPEG");
    if (kind == Picture::Camera) {
        const std::array<std::pair<int, int>, 3> h2v1 = {{{2, 1}, {1, 1}, {1, 1}}};
        if (info.sampling != h2v1 || jpeg.size() < 600'000 || jpeg.size() > 800'000)
            return state.SkipWithError(("the camera frame is not a 4:2:2 JPEG of 600-800 KB: " +
                                        std::to_string(jpeg.size()) + " bytes")
                                           .c_str());
    }
    state.SetLabel(std::string(pictureName(kind)) + " " + std::to_string(jpeg.size() / 1000) +
                   " KB");
    FrameDecoder decoder;
    QImage ours;
    std::vector<uint8_t> theirs;
    peer.decode(jpeg, theirs);
    if (decoder.decode({w, h, fourcc::Mjpg, 0}, jpeg.data(), jpeg.size(), ours) !=
            DecodeStatus::Ok ||
        !samePixels(ours, theirs))
        return state.SkipWithError("our picture is not libjpeg's");

    timeBeside(
        state, "libjpeg",
        [&] {
            decoder.decode({w, h, fourcc::Mjpg, 0}, jpeg.data(), jpeg.size(), ours);
            benchmark::DoNotOptimize(ours.constBits());
        },
        [&] {
            peer.decode(jpeg, theirs);
            benchmark::DoNotOptimize(theirs.data());
        });
}
BENCHMARK(BM_MjpegVsLibjpeg)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// 1080p YUY2 at 30 frames a second through the whole pipeline with an idle
// user-interface thread: frames shown, frames skipped, and whether the
// picture's memory ever moved (a per-frame allocation would move it).
void BM_Pipeline1080p30(benchmark::State& state) {
    SyntheticCamera c;
    c.width = 1920;
    c.height = 1080;
    c.fps = 30;
    SyntheticKernel kernel({c});
    for (auto _ : state) {
        TCameraImage cam(kernel.table());
        QImage picture;
        int shown = 0;
        int moves = 0;
        const uchar* bits = nullptr;
        cam.setOnNewFrame([&](TCameraImage* sender, int, int, const uint8_t*) {
            sender->CopyFrameTo(picture);
            if (bits != nullptr && picture.constBits() != bits)
                ++moves;
            bits = picture.constBits();
            ++shown;
        });
        const bool started = cam.StartCapture("") == 0;
        if (!started || cam.FrameWidth() != 1920 || cam.FrameHeight() != 1080 ||
            cam.FourCC() != fourcc::Yuyv) {
            cam.StopCapture();
            return state.SkipWithError("the camera does not deliver 1920x1080 YUYV");
        }
        QEventLoop loop; // a real loop, so the idle gate sees it go idle
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["fps"] = cam.Fps();
        cam.StopCapture();
        state.counters["frames"] = cam.FrameCount();
        state.counters["shown"] = shown;
        state.counters["skipped"] = cam.SkippedFrames();
        state.counters["picture_moves"] = moves;
        if (shown == 0 || picture.size() != QSize(1920, 1080))
            return state.SkipWithError("no 1920x1080 picture was shown");
    }
}
BENCHMARK(BM_Pipeline1080p30)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
