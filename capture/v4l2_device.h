#pragma once

#include "capture/frame_format.h"
#include "capture/kernel_table.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace gc::capture {

// A node that can capture and stream, named by its card name.
struct VideoNode {
    std::string path;
    QString name;
};

// The capture-and-stream nodes in numeric order. Nodes that cannot be opened
// or lack either capability are left out.
std::vector<VideoNode> listVideoNodes(const KernelTable& kernel);

struct DeviceControl {
    enum class Type { Integer, Boolean, Menu, Button };
    uint32_t id = 0;
    Type type = Type::Integer;
    QString name;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    int value = 0;
    bool inactive = false;
    bool readOnly = false;
    std::vector<std::pair<int, QString>> menu; // index, label
};

struct FrameRate {
    uint32_t numerator = 0; // seconds per frame as a fraction
    uint32_t denominator = 0;
    bool operator==(const FrameRate&) const = default;
};

struct FrameSize {
    int width = 0;
    int height = 0;
    std::vector<FrameRate> rates;
};

struct FormatChoice {
    uint32_t fourcc = 0;
    QString description;
    std::vector<FrameSize> sizes;
};

struct FormatRequest {
    uint32_t fourcc = 0;
    int width = 0;
    int height = 0;
    FrameRate rate; // 0/0 keeps the device's rate
};

// Receives each frame on the streaming thread.
using FrameCallback = std::function<void(const FrameFormat&, const uint8_t*, size_t)>;
// Told on the streaming thread when the device fails mid-stream (-errno).
using LossCallback = std::function<void(int error)>;

// One open V4L2 capture node with memory-mapped streaming on a thread of its own.
class V4l2Device {
  public:
    V4l2Device(KernelTable kernel, std::string path);
    ~V4l2Device();
    V4l2Device(const V4l2Device&) = delete;
    V4l2Device& operator=(const V4l2Device&) = delete;

    int open();
    int readFormat(FrameFormat& format);
    // Buffers, stream on, and the streaming thread.
    int start(FrameCallback onFrame, LossCallback onLoss);
    // Wakes the streaming thread, waits for it, and releases the buffers.
    void stop();
    bool streaming() const { return m_thread.joinable(); }

    int controls(std::vector<DeviceControl>& out);
    int setControl(uint32_t id, int value);
    int formats(std::vector<FormatChoice>& out);
    int currentRequest(FormatRequest& out);
    // Stops, sets the format and rate, and streams again if it was streaming.
    int applyFormat(const FormatRequest& request);

  private:
    struct Buffer {
        void* data = nullptr;
        size_t length = 0;
    };

    int ioctl(unsigned long request, void* arg) const;
    int mapBuffers();
    void releaseBuffers();
    void run();

    KernelTable m_kernel;
    std::string m_path;
    int m_fd = -1;
    int m_wakeFd = -1;
    std::vector<Buffer> m_buffers;
    FrameFormat m_format;
    FrameCallback m_onFrame;
    LossCallback m_onLoss;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace gc::capture
