#include "bench/support/bench_support.h"
#include "capture/camera_frames.h"
#include "capture/frame_decode.h"
#include "capture/frame_synth.h"
#include "capture/synthetic_kernel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <jpeglib.h>

using namespace gc::capture;

namespace {

void decodeFormat(benchmark::State& state, uint32_t code, int w, int h) {
    const std::vector<uint8_t> frame = encodeFrame(colourBars(w, h, 1), code);
    FrameDecoder decoder;
    QImage picture;
    for (auto _ : state) {
        decoder.decode({w, h, code, 0}, frame.data(), frame.size(), picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_Decode(benchmark::State& state) {
    const uint32_t codes[] = {fourcc::Yuy2, fourcc::I420, fourcc::Nv12, fourcc::Mjpg};
    const uint32_t code = codes[state.range(0)];
    state.SetLabel(fourCCText(code).toStdString());
    decodeFormat(state, code, int(state.range(1)), int(state.range(2)));
}
BENCHMARK(BM_Decode)
    ->ArgsProduct({{0, 1, 2, 3}, {1920}, {1080}})
    ->ArgsProduct({{0, 1, 2, 3}, {640}, {480}})
    ->Unit(benchmark::kMillisecond);

// What djpeg's decoding amounts to: the library's own calls into a row buffer.
void BM_LibjpegDirect1080p(benchmark::State& state) {
    const std::vector<uint8_t> jpeg = encodeFrame(colourBars(1920, 1080, 1), fourcc::Mjpg);
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    std::vector<uint8_t> out(size_t(1920) * 1080 * 3);
    for (auto _ : state) {
        jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = out.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        benchmark::DoNotOptimize(out.data());
    }
    jpeg_destroy_decompress(&cinfo);
}
BENCHMARK(BM_LibjpegDirect1080p)->Unit(benchmark::kMillisecond);

// ffmpeg (libswscale) converting a batch of raw frames on one thread; the
// time per frame includes the program's start, spread over the batch.
void BM_FfmpegBatch(benchmark::State& state) {
    const bool planar = state.range(0) == 1;
    const int w = int(state.range(1));
    const int h = int(state.range(2));
    const int frames = 60;
    const std::vector<uint8_t> one =
        encodeFrame(colourBars(w, h, 1), planar ? fourcc::I420 : fourcc::Yuy2);
    QTemporaryDir dir;
    const QString in = dir.filePath("batch.raw");
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the batch");
        return;
    }
    for (int i = 0; i < frames; ++i)
        f.write(reinterpret_cast<const char*>(one.data()), qint64(one.size()));
    f.close();
    state.SetLabel(planar ? "yuv420p" : "yuyv422");
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start("ffmpeg", {"-v", "error", "-threads", "1", "-f", "rawvideo", "-pix_fmt",
                           planar ? "yuv420p" : "yuyv422", "-s", QString("%1x%2").arg(w).arg(h),
                           "-i", in, "-f", "rawvideo", "-pix_fmt", "bgr24", "-y", "/dev/null"});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9 / frames);
    }
}
BENCHMARK(BM_FfmpegBatch)
    ->ArgsProduct({{0, 1}, {1920}, {1080}})
    ->ArgsProduct({{0, 1}, {640}, {480}})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

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
        cam.StartCapture("");
        QEventLoop loop; // a real loop, so the idle gate sees it go idle
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["fps"] = cam.Fps();
        cam.StopCapture();
        state.counters["frames"] = cam.FrameCount();
        state.counters["shown"] = shown;
        state.counters["skipped"] = cam.SkippedFrames();
        state.counters["picture_moves"] = moves;
    }
}
BENCHMARK(BM_Pipeline1080p30)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return gcbench::runBenchmarks(argc, argv);
}
