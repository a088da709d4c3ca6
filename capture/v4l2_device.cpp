#include "capture/v4l2_device.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace gc::capture {

namespace {

constexpr uint32_t BufferCount = 4;
constexpr int WaitSliceMs = 2000;

QString fromFixed(const uint8_t* text, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text),
                             qsizetype(strnlen(reinterpret_cast<const char*>(text), size)))
        .trimmed();
}

bool canCaptureAndStream(const v4l2_capability& cap) {
    const uint32_t caps =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    return (caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING);
}

} // namespace

std::vector<VideoNode> listVideoNodes(const KernelTable& kernel) {
    std::vector<VideoNode> nodes;
    for (const std::string& path : sortedVideoNodes(kernel.listNodes())) {
        const int fd = kernel.open(path, O_RDWR | O_NONBLOCK);
        if (fd < 0)
            continue;
        v4l2_capability cap{};
        if (kernel.ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0 && canCaptureAndStream(cap))
            nodes.push_back({path, fromFixed(cap.card, sizeof cap.card)});
        kernel.close(fd);
    }
    return nodes;
}

V4l2Device::V4l2Device(KernelTable kernel, std::string path)
    : m_kernel(std::move(kernel)), m_path(std::move(path)) {}

V4l2Device::~V4l2Device() {
    stop();
    if (m_fd >= 0)
        m_kernel.close(m_fd);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

int V4l2Device::ioctl(unsigned long request, void* arg) const {
    return m_kernel.ioctl(m_fd, request, arg);
}

int V4l2Device::open() {
    if (m_fd >= 0)
        return 0;
    const int fd = m_kernel.open(m_path, O_RDWR | O_NONBLOCK);
    if (fd < 0)
        return fd;
    m_fd = fd;
    v4l2_capability cap{};
    int r = ioctl(VIDIOC_QUERYCAP, &cap);
    if (r == 0 && !canCaptureAndStream(cap))
        r = -ENODEV;
    if (r == 0 && m_wakeFd < 0) {
        m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_wakeFd < 0)
            r = -errno;
    }
    if (r != 0) {
        m_kernel.close(m_fd);
        m_fd = -1;
    }
    return r;
}

int V4l2Device::readFormat(FrameFormat& format) {
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const int r = ioctl(VIDIOC_G_FMT, &f);
    if (r != 0)
        return r;
    format.width = int(f.fmt.pix.width);
    format.height = int(f.fmt.pix.height);
    format.fourcc = f.fmt.pix.pixelformat;
    format.stride = layoutOf(format.fourcc) == Layout::Jpeg ? 0 : int(f.fmt.pix.bytesperline);
    return 0;
}

int V4l2Device::mapBuffers() {
    v4l2_requestbuffers req{};
    req.count = BufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    int r = ioctl(VIDIOC_REQBUFS, &req);
    if (r != 0)
        return r;
    if (req.count == 0)
        return -ENOMEM;
    for (uint32_t i = 0; i < req.count; ++i) {
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if ((r = ioctl(VIDIOC_QUERYBUF, &buf)) != 0)
            return r;
        void* p = m_kernel.mmap(buf.length, m_fd, off_t(buf.m.offset));
        if (p == nullptr)
            return -ENOMEM;
        m_buffers.push_back({p, buf.length});
        if ((r = ioctl(VIDIOC_QBUF, &buf)) != 0)
            return r;
    }
    return 0;
}

void V4l2Device::releaseBuffers() {
    for (const Buffer& b : m_buffers)
        m_kernel.munmap(b.data, b.length);
    if (!m_buffers.empty()) {
        v4l2_requestbuffers req{};
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        ioctl(VIDIOC_REQBUFS, &req);
    }
    m_buffers.clear();
}

int V4l2Device::start(FrameCallback onFrame, LossCallback onLoss) {
    if (m_fd < 0)
        return -EBADF;
    if (streaming())
        return 0;
    int r = readFormat(m_format);
    if (r == 0 && (m_format.width <= 0 || m_format.height <= 0))
        r = -EINVAL;
    if (r == 0)
        r = mapBuffers();
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (r == 0)
        r = ioctl(VIDIOC_STREAMON, &type);
    if (r != 0) {
        releaseBuffers();
        return r;
    }
    m_onFrame = std::move(onFrame);
    m_onLoss = std::move(onLoss);
    uint64_t drain = 0;
    while (::read(m_wakeFd, &drain, sizeof drain) > 0) {
    }
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
    return 0;
}

void V4l2Device::stop() {
    if (m_thread.joinable()) {
        m_stopping = true;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        ioctl(VIDIOC_STREAMOFF, &type);
    }
    releaseBuffers();
}

void V4l2Device::run() {
    while (!m_stopping) {
        const int ready = m_kernel.poll(m_fd, m_wakeFd, WaitSliceMs);
        if (m_stopping)
            break;
        if (ready == 0)
            continue;
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        const int r = ready < 0 ? ready : ioctl(VIDIOC_DQBUF, &buf);
        if (r == -EAGAIN)
            continue;
        if (r != 0) {
            if (m_onLoss)
                m_onLoss(r);
            return;
        }
        if (buf.index < m_buffers.size() && !(buf.flags & V4L2_BUF_FLAG_ERROR) &&
            buf.bytesused > 0 && m_onFrame) {
            const Buffer& b = m_buffers[buf.index];
            m_onFrame(m_format, static_cast<const uint8_t*>(b.data),
                      std::min<size_t>(buf.bytesused, b.length));
        }
        const int q = ioctl(VIDIOC_QBUF, &buf);
        if (q != 0) {
            if (m_onLoss)
                m_onLoss(q);
            return;
        }
    }
}

int V4l2Device::controls(std::vector<DeviceControl>& out) {
    out.clear();
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (ioctl(VIDIOC_QUERYCTRL, &q) == 0) {
        const uint32_t id = q.id;
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        if (q.flags & V4L2_CTRL_FLAG_DISABLED)
            continue;
        DeviceControl c;
        switch (q.type) {
        case V4L2_CTRL_TYPE_INTEGER:
            c.type = DeviceControl::Type::Integer;
            break;
        case V4L2_CTRL_TYPE_BOOLEAN:
            c.type = DeviceControl::Type::Boolean;
            break;
        case V4L2_CTRL_TYPE_MENU:
            c.type = DeviceControl::Type::Menu;
            break;
        case V4L2_CTRL_TYPE_BUTTON:
            c.type = DeviceControl::Type::Button;
            break;
        default:
            continue; // classes, strings and compound controls have no dialog row
        }
        c.id = id;
        c.name = fromFixed(q.name, sizeof q.name);
        c.minimum = q.minimum;
        c.maximum = q.maximum;
        c.step = std::max(1, q.step);
        c.defaultValue = q.default_value;
        c.inactive = q.flags & V4L2_CTRL_FLAG_INACTIVE;
        c.readOnly = q.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED);
        if (c.type == DeviceControl::Type::Menu) {
            for (int i = q.minimum; i <= q.maximum; ++i) {
                v4l2_querymenu m{};
                m.id = id;
                m.index = uint32_t(i);
                if (ioctl(VIDIOC_QUERYMENU, &m) == 0)
                    c.menu.emplace_back(i, fromFixed(m.name, sizeof m.name));
            }
        }
        if (c.type != DeviceControl::Type::Button) {
            v4l2_control value{};
            value.id = id;
            if (ioctl(VIDIOC_G_CTRL, &value) == 0)
                c.value = value.value;
            else
                c.value = c.defaultValue;
        }
        out.push_back(std::move(c));
    }
    return 0;
}

int V4l2Device::setControl(uint32_t id, int value) {
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return ioctl(VIDIOC_S_CTRL, &c);
}

int V4l2Device::formats(std::vector<FormatChoice>& out) {
    out.clear();
    for (uint32_t i = 0;; ++i) {
        v4l2_fmtdesc d{};
        d.index = i;
        d.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (ioctl(VIDIOC_ENUM_FMT, &d) != 0)
            break;
        FormatChoice choice{d.pixelformat, fromFixed(d.description, sizeof d.description), {}};
        for (uint32_t s = 0;; ++s) {
            v4l2_frmsizeenum fs{};
            fs.index = s;
            fs.pixel_format = d.pixelformat;
            if (ioctl(VIDIOC_ENUM_FRAMESIZES, &fs) != 0)
                break;
            FrameSize size;
            if (fs.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                size.width = int(fs.discrete.width);
                size.height = int(fs.discrete.height);
            } else {
                // Stepwise ranges are offered at their largest size.
                size.width = int(fs.stepwise.max_width);
                size.height = int(fs.stepwise.max_height);
            }
            for (uint32_t k = 0;; ++k) {
                v4l2_frmivalenum fi{};
                fi.index = k;
                fi.pixel_format = d.pixelformat;
                fi.width = uint32_t(size.width);
                fi.height = uint32_t(size.height);
                if (ioctl(VIDIOC_ENUM_FRAMEINTERVALS, &fi) != 0)
                    break;
                const v4l2_fract f =
                    fi.type == V4L2_FRMIVAL_TYPE_DISCRETE ? fi.discrete : fi.stepwise.min;
                size.rates.push_back({f.numerator, f.denominator});
                if (fi.type != V4L2_FRMIVAL_TYPE_DISCRETE)
                    break;
            }
            choice.sizes.push_back(std::move(size));
            if (fs.type != V4L2_FRMSIZE_TYPE_DISCRETE)
                break;
        }
        out.push_back(std::move(choice));
    }
    return out.empty() ? -EINVAL : 0;
}

int V4l2Device::currentRequest(FormatRequest& out) {
    FrameFormat f;
    int r = readFormat(f);
    if (r != 0)
        return r;
    out.fourcc = f.fourcc;
    out.width = f.width;
    out.height = f.height;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (ioctl(VIDIOC_G_PARM, &parm) == 0)
        out.rate = {parm.parm.capture.timeperframe.numerator,
                    parm.parm.capture.timeperframe.denominator};
    return 0;
}

int V4l2Device::applyFormat(const FormatRequest& request) {
    const bool wasStreaming = streaming();
    FrameCallback onFrame = m_onFrame;
    LossCallback onLoss = m_onLoss;
    stop();
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    f.fmt.pix.width = uint32_t(request.width);
    f.fmt.pix.height = uint32_t(request.height);
    f.fmt.pix.pixelformat = request.fourcc;
    f.fmt.pix.field = V4L2_FIELD_ANY;
    int r = ioctl(VIDIOC_S_FMT, &f);
    if (r == 0 && request.rate.denominator != 0) {
        v4l2_streamparm parm{};
        parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        parm.parm.capture.timeperframe = {request.rate.numerator, request.rate.denominator};
        ioctl(VIDIOC_S_PARM, &parm); // a device without rate control keeps its own
    }
    if (wasStreaming) {
        const int restarted = start(std::move(onFrame), std::move(onLoss));
        if (r == 0)
            r = restarted;
    }
    return r;
}

} // namespace gc::capture
