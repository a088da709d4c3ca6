#pragma once

#include "capture/capture_graph.h"
#include "capture/frame_decode.h"
#include "capture/frame_exchange.h"

#include <QImage>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace gc::capture {

// The camera as the rest of the program sees it: lists the devices, starts and
// stops capture, and turns the frames of the streaming thread into a 24-bit
// picture on the user-interface thread.
class TCameraImage : public QObject {
    Q_OBJECT

  public:
    // Raised on the user-interface thread with the raw frame (not the picture).
    using NewFrameHandler =
        std::function<void(TCameraImage* sender, int width, int height, const uint8_t* frameData)>;
    // Milliseconds of a steady clock.
    using Clock = std::function<int64_t()>;

    static constexpr int FpsFrames = 30;
    static constexpr int64_t IdleWindowMs = 1000;

    explicit TCameraImage(KernelTable kernel = defaultKernel(), Clock clock = {},
                          QObject* parent = nullptr);
    ~TCameraImage() override;

    void ListDevices(QStringList& list) const;
    // 0 when frames flow, 1 when the device could not be started (all released).
    int StartCapture(const QString& deviceName);
    // Waits for the streaming thread; safe when already stopped.
    void StopCapture();
    // Decodes the newest frame if it is not yet, then copies the picture.
    void CopyFrameTo(QImage& target);
    int ShowDeviceSettings();
    // A format that cannot be read back afterwards stops capture.
    int ShowFormatSettings();

    void setOnNewFrame(NewFrameHandler handler) { m_onNewFrame = std::move(handler); }
    void setPropertyFrames(PropertyFrames* frames) { m_frames = frames; }

    bool isRunning() const { return m_graph && m_graph->running(); }
    QString deviceName() const { return m_deviceName; }
    double Fps() const { return m_fps.load(); }
    int SkippedFrames() const { return m_skipped.load(); }
    int FrameCount() const { return m_frameCount.load(); }
    int FailedFrames() const { return m_failed; }
    int FrameWidth() const { return m_format.width; }
    int FrameHeight() const { return m_format.height; }
    uint32_t FourCC() const { return m_format.fourcc; }

    // Streaming thread: one frame from the device.
    void FrameArrived(const FrameFormat& format, const uint8_t* data, size_t size);
    // User-interface thread: it has just gone idle.
    void AppIdleStamp();

  signals:
    // The device failed mid-stream; capture has been stopped.
    void captureLost(const QString& message);
    // The first frame of a run that could not be decoded.
    void frameFailed(const QString& message);

  private:
    void handOver();
    void decodeFront();
    void lost(uint64_t run, int error);
    void signalHandOver();

    KernelTable m_kernel;
    Clock m_clock;
    PropertyFrames* m_frames = nullptr;
    std::unique_ptr<TCaptureGraph> m_graph;
    QString m_deviceName;
    NewFrameHandler m_onNewFrame;

    // Shared with the streaming thread.
    FrameExchange m_exchange;
    std::atomic<int> m_skipped{0};
    std::atomic<int> m_frameCount{0};
    std::atomic<double> m_fps{0};
    std::atomic<int64_t> m_lastIdle;
    int64_t m_fpsStamp = 0; // streaming thread only (reset while it is stopped)
    uint64_t m_sequence = 0;
    int m_wakeFd = -1;
    std::atomic<uint64_t> m_run{0};

    // User-interface thread only.
    QSocketNotifier* m_notifier = nullptr;
    bool m_busy = false;
    bool m_recheck = false;
    FrameFormat m_format;
    QImage m_bitmap;
    FrameDecoder m_decoder;
    uint64_t m_decodedSequence = 0;
    int m_failed = 0;
    bool m_failureReported = false;
};

} // namespace gc::capture
