#pragma once

#include "capture/frame_format.h"
#include "capture/kernel_table.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace gc::capture {

// One camera of the synthetic kernel and the faults it can be told to show.
struct SyntheticCamera {
    QString name = QStringLiteral("Synthetic camera");
    std::string path; // empty: /dev/video<index>
    uint32_t fourcc = fourcc::Yuyv;
    int width = 640;
    int height = 480;
    int fps = 30;
    bool paced = true; // false: a frame is ready whenever one is asked for
    bool canCapture = true;
    bool canStream = true;
    int openError = 0;        // errno that open fails with
    int busyError = 0;        // errno that buffer allocation fails with
    int wrongSizeEvery = 0;   // every Nth frame comes one row short
    int corruptJpegEvery = 0; // every Nth Motion-JPEG frame is cut short
    int sizeChangeAfter = 0;  // after N frames the picture is half as wide and high
    int unplugAfter = 0;      // after N frames the device is gone
};

// A kernel that serves synthetic V4L2 cameras drawing moving colour bars, for
// machines without a camera and for every test. Its table may outlive it.
class SyntheticKernel {
  public:
    explicit SyntheticKernel(std::vector<SyntheticCamera> cameras = {SyntheticCamera{}});
    ~SyntheticKernel();

    KernelTable table() const;

    // For tests: descriptors still open, and frames handed out by a camera.
    int openDescriptors() const;
    int framesDelivered(int camera) const;
    // Unplugs a camera now: its next wait or dequeue fails with ENODEV.
    void unplug(int camera);

    struct Impl;

  private:
    std::shared_ptr<Impl> m_impl;
};

} // namespace gc::capture
