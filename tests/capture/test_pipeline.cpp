#include "capture/camera_frames.h"
#include "capture/frame_synth.h"
#include "capture/synthetic_kernel.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

using namespace gc::capture;

namespace {

SyntheticCamera camera(uint32_t code, int w = 64, int h = 48) {
    SyntheticCamera c;
    c.name = "Cam";
    c.fourcc = code;
    c.width = w;
    c.height = h;
    c.fps = 200;
    return c;
}

// Runs the event loop, keeping the idle gate open, until `pred` holds.
template <typename Pred> bool spin(TCameraImage& cam, Pred pred, int ms = 5000) {
    return QTest::qWaitFor(
        [&] {
            cam.AppIdleStamp();
            return pred();
        },
        ms);
}

struct ManualClock {
    int64_t now = 100000;
    TCameraImage::Clock clock() {
        return [this] { return now; };
    }
};

const FrameFormat Tiny{2, 2, fourcc::Yuy2, 0};
const std::vector<uint8_t> TinyFrame(8, 128);

} // namespace

TEST(Pipeline, DecodesTheSyntheticCameraOnTheUiThread) {
    SyntheticKernel kernel({camera(fourcc::Yuyv)});
    TCameraImage cam(kernel.table());
    QStringList devices;
    cam.ListDevices(devices);
    EXPECT_EQ(devices, QStringList{"Cam"});

    QImage picture;
    cam.CopyFrameTo(picture);
    EXPECT_TRUE(picture.isNull()) << "nothing before a start";

    int frames = 0;
    const std::thread::id ui = std::this_thread::get_id();
    bool onUiThread = true;
    cam.setOnNewFrame([&](TCameraImage* sender, int w, int h, const uint8_t* data) {
        onUiThread = onUiThread && std::this_thread::get_id() == ui && sender == &cam && w == 64 &&
                     h == 48 && data != nullptr;
        ++frames;
    });
    ASSERT_EQ(cam.StartCapture("#1"), 0);
    EXPECT_TRUE(cam.isRunning());
    EXPECT_EQ(cam.deviceName(), "Cam");
    cam.CopyFrameTo(picture);
    EXPECT_EQ(picture.size(), QSize(64, 48)) << "before any frame: the empty picture";

    ASSERT_TRUE(spin(cam, [&] { return frames >= 3; }));
    EXPECT_TRUE(onUiThread);
    cam.CopyFrameTo(picture);
    // The picture is one of the camera's phases, decoded.
    bool matched = false;
    for (int phase = 0; phase < 4 && !matched; ++phase) {
        FrameDecoder d;
        QImage expected;
        const auto raw = encodeFrame(colourBars(64, 48, phase), fourcc::Yuyv);
        d.decode({64, 48, fourcc::Yuyv, 128}, raw.data(), raw.size(), expected);
        matched = expected == picture;
    }
    EXPECT_TRUE(matched);
    cam.StopCapture();
    EXPECT_FALSE(cam.isRunning());
    EXPECT_EQ(cam.Fps(), 0);
    EXPECT_EQ(kernel.openDescriptors(), 0);
    cam.StopCapture(); // stopping twice is harmless
}

TEST(Pipeline, AnIdleEventLoopOpensTheGate) {
    SyntheticKernel kernel({camera(fourcc::Yuyv)});
    TCameraImage cam(kernel.table());
    int frames = 0;
    cam.setOnNewFrame([&](TCameraImage*, int, int, const uint8_t*) { ++frames; });
    ASSERT_EQ(cam.StartCapture(""), 0);
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_GT(frames, 0);
}

TEST(Pipeline, IdleGateDropsFramesUntilTheUiThreadWasIdleWithinASecond) {
    ManualClock t;
    SyntheticKernel kernel(std::vector<SyntheticCamera>{});
    TCameraImage cam(kernel.table(), t.clock());
    cam.FrameArrived(Tiny, TinyFrame.data(), TinyFrame.size());
    EXPECT_EQ(cam.SkippedFrames(), 1) << "never idle yet";
    cam.AppIdleStamp();
    t.now += 1000;
    cam.FrameArrived(Tiny, TinyFrame.data(), TinyFrame.size());
    EXPECT_EQ(cam.SkippedFrames(), 1) << "exactly one second is still within";
    t.now += 1;
    cam.FrameArrived(Tiny, TinyFrame.data(), TinyFrame.size());
    EXPECT_EQ(cam.SkippedFrames(), 2) << "busy for more than a second";
    EXPECT_EQ(cam.FrameCount(), 3);
}

TEST(Pipeline, FrameRateEveryThirtyFramesAndNoDivisionByZero) {
    ManualClock t;
    SyntheticKernel kernel(std::vector<SyntheticCamera>{});
    TCameraImage cam(kernel.table(), t.clock());
    for (int i = 1; i <= 30; ++i) {
        t.now += 33;
        cam.FrameArrived(Tiny, TinyFrame.data(), TinyFrame.size());
    }
    EXPECT_EQ(cam.Fps(), 0) << "the 30th frame only sets the mark";
    for (int i = 31; i <= 60; ++i) {
        t.now += 50;
        cam.FrameArrived(Tiny, TinyFrame.data(), TinyFrame.size());
    }
    EXPECT_DOUBLE_EQ(cam.Fps(), 20.0);
    // Thirty frames within one millisecond: the rate is left alone.
    for (int i = 61; i <= 90; ++i)
        cam.FrameArrived(Tiny, TinyFrame.data(), TinyFrame.size());
    EXPECT_DOUBLE_EQ(cam.Fps(), 20.0);
    EXPECT_TRUE(std::isfinite(cam.Fps()));
}

TEST(Pipeline, AtMostOneHandOverPendingAndReplacedFramesCountAsSkipped) {
    SyntheticKernel kernel(std::vector<SyntheticCamera>{});
    TCameraImage cam(kernel.table());
    int handled = 0;
    uint8_t seen = 0;
    cam.setOnNewFrame([&](TCameraImage*, int, int, const uint8_t* data) {
        ++handled;
        seen = data[0];
    });
    cam.AppIdleStamp();
    for (uint8_t i = 1; i <= 5; ++i) {
        const std::vector<uint8_t> frame(8, i);
        cam.FrameArrived(Tiny, frame.data(), frame.size());
    }
    EXPECT_EQ(cam.SkippedFrames(), 4);
    QTest::qWait(50);
    EXPECT_EQ(handled, 1) << "one hand-over for five frames";
    EXPECT_EQ(seen, 5) << "the newest frame";
}

TEST(Pipeline, HandOverIsRaceFreeAndFramesArriveWhole) {
    SyntheticKernel kernel(std::vector<SyntheticCamera>{});
    TCameraImage cam(kernel.table());
    std::atomic<bool> done{false};
    int handled = 0;
    bool whole = true;
    cam.setOnNewFrame([&](TCameraImage*, int w, int h, const uint8_t* data) {
        // Each frame is filled with one byte value that also fixes its size.
        const size_t size = size_t(w) * size_t(h) * 2;
        for (size_t i = 0; i < size; ++i)
            whole = whole && data[i] == data[0];
        whole = whole && w == 16 + data[0] % 7 * 2;
        ++handled;
    });
    cam.AppIdleStamp();
    std::thread writer([&] {
        std::vector<uint8_t> frame;
        for (int i = 0; i < 3000; ++i) {
            const uint8_t value = uint8_t(i);
            const int w = 16 + value % 7 * 2;
            frame.assign(size_t(w) * 8 * 2, value);
            cam.FrameArrived({w, 8, fourcc::Yuy2, 0}, frame.data(), frame.size());
        }
        done = true;
    });
    spin(
        cam, [&] { return done.load(); }, 20000);
    writer.join();
    QTest::qWait(20);
    EXPECT_TRUE(whole);
    EXPECT_GT(handled, 0);
    EXPECT_EQ(cam.FrameCount(), 3000);
}

TEST(Pipeline, BadFramesAreCountedKeepThePictureAndRaiseOneMessage) {
    SyntheticCamera c = camera(fourcc::Mjpg);
    c.corruptJpegEvery = 2;
    SyntheticKernel kernel({c});
    TCameraImage cam(kernel.table());
    QSignalSpy failures(&cam, &TCameraImage::frameFailed);
    std::vector<QImage> goodFrames;
    for (int phase = 0; phase < 4; ++phase) {
        FrameDecoder d;
        QImage expected;
        const auto raw = encodeFrame(colourBars(64, 48, phase), fourcc::Mjpg);
        d.decode({64, 48, fourcc::Mjpg, 0}, raw.data(), raw.size(), expected);
        goodFrames.push_back(expected);
    }
    // Once a good frame was shown, the picture always holds a whole good frame: never the
    // grey of a cut one. (Under load the first frames handed over may all be cut ones.)
    QImage picture;
    bool sawGood = false;
    bool sawCutAfterGood = false;
    cam.setOnNewFrame([&](TCameraImage* sender, int, int, const uint8_t*) {
        sender->CopyFrameTo(picture);
        const bool good =
            std::find(goodFrames.begin(), goodFrames.end(), picture) != goodFrames.end();
        sawCutAfterGood = sawCutAfterGood || (sawGood && !good);
        sawGood = sawGood || good;
    });
    ASSERT_EQ(cam.StartCapture(""), 0);
    ASSERT_TRUE(spin(cam, [&] { return cam.FailedFrames() >= 5 && sawGood; }));
    cam.StopCapture();
    EXPECT_EQ(failures.count(), 1);
    EXPECT_FALSE(sawCutAfterGood);
}

TEST(Pipeline, ExceptionsFromTheHandlerAreCountedNotThrown) {
    SyntheticKernel kernel({camera(fourcc::Yuyv)});
    TCameraImage cam(kernel.table());
    QSignalSpy failures(&cam, &TCameraImage::frameFailed);
    cam.setOnNewFrame([](TCameraImage*, int, int, const uint8_t*) {
        throw std::runtime_error("drawing failed");
    });
    ASSERT_EQ(cam.StartCapture(""), 0);
    ASSERT_TRUE(spin(cam, [&] { return cam.FailedFrames() >= 3; }));
    EXPECT_EQ(failures.count(), 1);
    EXPECT_EQ(failures.first().first().toString(), "drawing failed");
}

TEST(Pipeline, StartFailuresLeaveNothingRunning) {
    SyntheticCamera empty = camera(fourcc::Yuyv, 0, 0);
    empty.name = "Empty";
    SyntheticCamera busy = camera(fourcc::Yuyv);
    busy.name = "Busy";
    busy.busyError = EBUSY;
    SyntheticKernel kernel({empty, busy, camera(fourcc::Yuyv)});
    TCameraImage cam(kernel.table());
    for (const char* name : {"Empty", "Busy", "Nobody", "#9"}) {
        EXPECT_EQ(cam.StartCapture(name), 1) << name;
        EXPECT_FALSE(cam.isRunning()) << name;
    }
    EXPECT_EQ(kernel.openDescriptors(), 0);
    EXPECT_EQ(cam.StartCapture("Cam"), 0);
    EXPECT_EQ(cam.StartCapture("Cam"), 0) << "a start while running stops first";
    EXPECT_EQ(kernel.openDescriptors(), 1);
}

TEST(Pipeline, AnUnpluggedCameraStopsAndSaysSo) {
    SyntheticCamera c = camera(fourcc::Yuyv);
    c.unplugAfter = 10;
    SyntheticKernel kernel({c});
    TCameraImage cam(kernel.table());
    QSignalSpy lost(&cam, &TCameraImage::captureLost);
    ASSERT_EQ(cam.StartCapture(""), 0);
    ASSERT_TRUE(spin(cam, [&] { return lost.count() > 0; }));
    EXPECT_FALSE(cam.isRunning());
    EXPECT_EQ(lost.first().first().toString(), "The camera was disconnected.");
    EXPECT_EQ(kernel.openDescriptors(), 0);
}

TEST(Pipeline, WrongSizesAndASizeChangeDrawTheFailureText) {
    SyntheticCamera c = camera(fourcc::Yuyv, 160, 120);
    c.sizeChangeAfter = 3;
    SyntheticKernel kernel({c});
    TCameraImage cam(kernel.table());
    QImage picture;
    cam.setOnNewFrame(
        [&](TCameraImage* sender, int, int, const uint8_t*) { sender->CopyFrameTo(picture); });
    ASSERT_EQ(cam.StartCapture(""), 0);
    ASSERT_TRUE(spin(cam, [&] { return cam.FailedFrames() >= 2; }));
    cam.StopCapture();
    EXPECT_EQ(picture.size(), QSize(160, 120));
}

TEST(Pipeline, DestroyingWhileFramesArriveWaitsForTheStream) {
    SyntheticCamera c = camera(fourcc::Yuyv, 320, 240);
    c.paced = false;
    SyntheticKernel kernel({c});
    for (int i = 0; i < 5; ++i) {
        auto cam = std::make_unique<TCameraImage>(kernel.table());
        cam->AppIdleStamp();
        ASSERT_EQ(cam->StartCapture(""), 0);
        QTest::qWait(5);
        cam.reset();
        EXPECT_EQ(kernel.openDescriptors(), 0);
    }
}

namespace {

// Picks Motion-JPEG at 320 x 240 in the format dialog.
class PickMjpeg : public PropertyFrames {
  public:
    int showControls(const QString&, V4l2Device&) override { return 0; }
    int showFormats(const std::vector<FormatChoice>&, const FormatRequest&,
                    FormatRequest& chosen) override {
        chosen = {fourcc::Mjpg, 320, 240, {1, 30}};
        return 0;
    }
};

} // namespace

TEST(Pipeline, FormatSettingsSwitchTheStream) {
    SyntheticKernel kernel({camera(fourcc::Yuyv)});
    TCameraImage cam(kernel.table());
    PickMjpeg dialogs;
    cam.setPropertyFrames(&dialogs);
    EXPECT_EQ(cam.ShowFormatSettings(), 1) << "not while stopped";
    ASSERT_EQ(cam.StartCapture(""), 0);
    EXPECT_EQ(cam.ShowDeviceSettings(), 0);
    ASSERT_EQ(cam.ShowFormatSettings(), 0);
    EXPECT_EQ(cam.FourCC(), fourcc::Mjpg);
    QImage picture;
    int w = 0;
    cam.setOnNewFrame([&](TCameraImage* sender, int width, int, const uint8_t*) {
        w = width;
        sender->CopyFrameTo(picture);
    });
    ASSERT_TRUE(spin(cam, [&] { return w == 320; }));
    EXPECT_EQ(picture.size(), QSize(320, 240));
    EXPECT_EQ(cam.FailedFrames(), 0);
}
