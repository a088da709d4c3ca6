#pragma once

#include "capture/kernel_table.h"
#include "capture/v4l2_device.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

namespace gc::capture {

// Result codes: 0 is success, a kernel failure is its negative errno, and the
// layer's own failures are these two.
namespace result {
constexpr int Ok = 0;
constexpr int NoPlace = int(0x80004003u); // nowhere to put the bound device
constexpr int Fail = int(0x80004005u);    // no device, or none by that name
} // namespace result

// The settings dialogs, supplied by the window layer.
class PropertyFrames {
  public:
    virtual ~PropertyFrames() = default;
    // Shows the device's controls; each change is applied at once.
    virtual int showControls(const QString& caption, V4l2Device& device) = 0;
    // Offers the formats; 0 with `chosen` set when the user picked one, 1 when cancelled.
    virtual int showFormats(const std::vector<FormatChoice>& formats, const FormatRequest& current,
                            FormatRequest& chosen) = 0;
};

// The capture device's side of the camera: lists the devices, binds one by name
// or position, streams its frames to a handler on the streaming thread, and
// takes everything down again. Each operation stops at the first failing step
// and hands up its code.
class TCaptureGraph {
  public:
    TCaptureGraph(KernelTable kernel, PropertyFrames* frames);
    ~TCaptureGraph();
    TCaptureGraph(const TCaptureGraph&) = delete;
    TCaptureGraph& operator=(const TCaptureGraph&) = delete;

    // Clears `list` and adds every device's name, in order.
    static int ListVideoDevices(const KernelTable& kernel, QStringList& list);

    // Binds the device and starts streaming. An empty name means "#1"; "#1" to
    // "#9" select by position; anything else is a name compared without case
    // or surrounding blanks. `chosen` receives the bound device's own name.
    int OpenDevice(const QString& name, QString& chosen);
    int ReadCurrentFormat(int& width, int& height, uint32_t& fourcc);
    int ReadCurrentFormat(FrameFormat& format);
    // The handler runs on the streaming thread; frames before it is set are dropped.
    void SetFrameHandler(FrameCallback onFrame, LossCallback onLoss);
    int SetGraphRunning(bool run);
    bool running() const;
    int ShowDevicePropertyFrame();
    // Stops, offers the formats, applies the chosen one and streams again.
    int ShowFormatPropertyFrame();

    // True when `wanted` (already trimmed) selects the device `name` at 1-based `position`.
    static bool Matches(const QString& wanted, const QString& name, int position);

  private:
    void deliver(const FrameFormat& format, const uint8_t* data, size_t size);
    void lose(int error);

    KernelTable m_kernel;
    PropertyFrames* m_frames;
    QString m_name;
    std::unique_ptr<V4l2Device> m_device;
    std::mutex m_handlerMutex; // the handler is set on one thread and called on the other
    FrameCallback m_onFrame;
    LossCallback m_onLoss;
};

// The devices the program uses: the real ones, or the synthetic camera when
// GC_CAMERA=synthetic asks for it. It never stands in for a missing camera:
// colour bars stored as a visitor's photograph would deceive the guard.
KernelTable defaultKernel();

} // namespace gc::capture
