#include "capture/capture_graph.h"
#include "capture/synthetic_kernel.h"
#include "capture/v4l2_device.h"

#include <QElapsedTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <linux/videodev2.h>
#include <thread>

using namespace gc::capture;

namespace {

SyntheticCamera camera(const char* name, const char* path = "") {
    SyntheticCamera c;
    c.name = QString::fromLatin1(name);
    c.path = path;
    c.width = 64;
    c.height = 48;
    c.fps = 200;
    return c;
}

template <typename Pred> bool waitFor(Pred pred, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace

TEST(VideoNodes, NumericOrderAndOnlyCaptureStreamingNodes) {
    SyntheticCamera noStream = camera("No stream", "/dev/video0");
    noStream.canStream = false;
    SyntheticCamera metadata = camera("Metadata", "/dev/video1");
    metadata.canCapture = false;
    SyntheticCamera locked = camera("Locked", "/dev/video3");
    locked.openError = EACCES;
    SyntheticKernel kernel(
        {camera("Ten", "/dev/video10"), noStream, camera("Two", "/dev/video2"), metadata, locked});
    QStringList names;
    EXPECT_EQ(TCaptureGraph::ListVideoDevices(kernel.table(), names), 0);
    EXPECT_EQ(names, QStringList({"Two", "Ten"}));
    EXPECT_EQ(kernel.openDescriptors(), 0);
    EXPECT_EQ(sortedVideoNodes({"/dev/video10", "/dev/videoX", "/dev/video9"}),
              std::vector<std::string>({"/dev/video9", "/dev/video10", "/dev/videoX"}));
}

TEST(CaptureGraph, BindsByNameOrPosition) {
    EXPECT_TRUE(TCaptureGraph::Matches("#2", "Beta", 2));
    EXPECT_FALSE(TCaptureGraph::Matches("#2", "Beta", 1));
    EXPECT_TRUE(TCaptureGraph::Matches("beta", " BETA ", 5));
    EXPECT_FALSE(TCaptureGraph::Matches("#12", "Beta", 12)) << "two digits are a name";
    EXPECT_TRUE(TCaptureGraph::Matches("#12", "#12", 3));

    SyntheticKernel kernel({camera("Alpha"), camera("BETA")});
    const struct {
        QString wanted;
        int result;
        QString chosen;
    } cases[] = {{"", 0, "Alpha"},          {"#2", 0, "BETA"},        {"  beta ", 0, "BETA"},
                 {"#12", result::Fail, ""}, {"#3", result::Fail, ""}, {"Gamma", result::Fail, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wanted.toStdString());
        TCaptureGraph graph(kernel.table(), nullptr);
        QString chosen = "stale";
        EXPECT_EQ(graph.OpenDevice(c.wanted, chosen), c.result);
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(graph.running(), c.result == 0);
    }
    EXPECT_EQ(kernel.openDescriptors(), 0);
}

TEST(CaptureGraph, FirstFailureIsHandedUpAndEverythingReleased) {
    {
        SyntheticKernel none(std::vector<SyntheticCamera>{});
        TCaptureGraph graph(none.table(), nullptr);
        QString chosen;
        EXPECT_EQ(graph.OpenDevice("", chosen), result::Fail);
    }
    SyntheticCamera locked = camera("Locked");
    locked.openError = EACCES;
    SyntheticCamera busy = camera("Busy");
    busy.busyError = EBUSY;
    SyntheticKernel kernel({locked, busy});
    // A node that cannot be opened is not listed, so it is not found by name either.
    for (const auto& [name, expected] :
         {std::pair{"Locked", result::Fail}, std::pair{"Busy", -EBUSY}}) {
        TCaptureGraph graph(kernel.table(), nullptr);
        QString chosen;
        EXPECT_EQ(graph.OpenDevice(name, chosen), expected) << name;
        EXPECT_FALSE(graph.running());
    }
    EXPECT_EQ(kernel.openDescriptors(), 0);
}

TEST(CaptureGraph, StreamsFramesWithTheirFormatAndReportsAnUnplug) {
    SyntheticCamera c = camera("Cam");
    c.unplugAfter = 12;
    SyntheticKernel kernel({c});
    TCaptureGraph graph(kernel.table(), nullptr);
    QString chosen;
    ASSERT_EQ(graph.OpenDevice("Cam", chosen), 0);
    int w = 0, h = 0;
    uint32_t code = 0;
    ASSERT_EQ(graph.ReadCurrentFormat(w, h, code), 0);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(code, fourcc::Yuyv);

    std::atomic<int> frames{0};
    std::atomic<int> loss{0};
    std::atomic<bool> rightSize{true};
    graph.SetFrameHandler(
        [&](const FrameFormat& f, const uint8_t*, size_t size) {
            if (f.width != 64 || f.height != 48 || f.stride != 128 || size != 64 * 48 * 2)
                rightSize = false;
            ++frames;
        },
        [&](int error) { loss = error; });
    ASSERT_TRUE(waitFor([&] { return loss != 0; }));
    EXPECT_EQ(loss, -ENODEV);
    EXPECT_TRUE(rightSize);
    EXPECT_LE(frames, 12);
    EXPECT_GT(frames, 0);
}

TEST(CaptureGraph, StopWhileWaitingForAFrameReturnsQuickly) {
    SyntheticCamera slow = camera("Slow");
    slow.fps = 1;
    SyntheticKernel kernel({slow});
    TCaptureGraph graph(kernel.table(), nullptr);
    QString chosen;
    ASSERT_EQ(graph.OpenDevice("", chosen), 0);
    ASSERT_TRUE(waitFor([&] { return kernel.framesDelivered(0) == 1; }));
    // The streaming thread now waits a second for the next frame.
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(graph.SetGraphRunning(false), 0);
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_FALSE(graph.running());
    EXPECT_EQ(graph.SetGraphRunning(true), 0);
    EXPECT_TRUE(graph.running());
}

TEST(V4l2Device, ControlsWithTheirKindsAndStates) {
    SyntheticKernel kernel({camera("Cam")});
    V4l2Device device(kernel.table(), "/dev/video0");
    ASSERT_EQ(device.open(), 0);
    std::vector<DeviceControl> controls;
    ASSERT_EQ(device.controls(controls), 0);
    ASSERT_EQ(controls.size(), 5u);
    EXPECT_EQ(controls[0].type, DeviceControl::Type::Integer);
    EXPECT_EQ(controls[0].name, "Brightness");
    EXPECT_EQ(controls[1].type, DeviceControl::Type::Boolean);
    EXPECT_EQ(controls[2].type, DeviceControl::Type::Menu);
    EXPECT_EQ(controls[2].menu.size(), 3u);
    EXPECT_EQ(controls[2].menu[1].second, "50 Hz");
    EXPECT_TRUE(controls[3].inactive) << "temperature while white balance is automatic";
    EXPECT_EQ(controls[4].type, DeviceControl::Type::Button);

    EXPECT_EQ(device.setControl(V4L2_CID_AUTO_WHITE_BALANCE, 0), 0);
    EXPECT_EQ(device.setControl(V4L2_CID_BRIGHTNESS, 300), -ERANGE);
    EXPECT_EQ(device.setControl(V4L2_CID_BRIGHTNESS, 200), 0);
    device.controls(controls);
    EXPECT_FALSE(controls[3].inactive);
    EXPECT_EQ(controls[0].value, 200);
}

TEST(V4l2Device, FormatsAndApplyingOneRestartsTheStream) {
    SyntheticKernel kernel({camera("Cam")});
    V4l2Device device(kernel.table(), "/dev/video0");
    ASSERT_EQ(device.open(), 0);
    std::vector<FormatChoice> formats;
    ASSERT_EQ(device.formats(formats), 0);
    ASSERT_GE(formats.size(), 2u);
    EXPECT_EQ(formats[1].fourcc, fourcc::Mjpg);
    EXPECT_FALSE(formats[0].sizes.empty());
    EXPECT_EQ(formats[0].sizes[0].rates.front(), (FrameRate{1, 30}));

    std::atomic<uint32_t> lastCode{0};
    std::atomic<int> lastWidth{0};
    ASSERT_EQ(device.start(
                  [&](const FrameFormat& f, const uint8_t*, size_t) {
                      lastCode = f.fourcc;
                      lastWidth = f.width;
                  },
                  {}),
              0);
    ASSERT_TRUE(waitFor([&] { return lastCode == fourcc::Yuyv; }));
    ASSERT_EQ(device.applyFormat({fourcc::Mjpg, 320, 240, {1, 15}}), 0);
    EXPECT_TRUE(device.streaming());
    ASSERT_TRUE(waitFor([&] { return lastCode == fourcc::Mjpg; }));
    EXPECT_EQ(lastWidth, 320);
    FormatRequest now;
    ASSERT_EQ(device.currentRequest(now), 0);
    EXPECT_EQ(now.rate, (FrameRate{1, 15}));
    device.stop();
    EXPECT_FALSE(device.streaming());
}
