#include "capture/synthetic_kernel.h"

#include "capture/frame_synth.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/videodev2.h>
#include <map>
#include <mutex>
#include <poll.h>

namespace gc::capture {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Phases = 4;
constexpr int FirstFd = 1000;
constexpr uint32_t ResetButton = V4L2_CID_PRIVATE_BASE;

const uint32_t Formats[] = {fourcc::Yuyv, fourcc::Mjpg, fourcc::Yu12, fourcc::Nv12, fourcc::Rgb24};
const std::pair<int, int> Sizes[] = {{320, 240}, {640, 480}, {1280, 720}, {1920, 1080}};

struct Control {
    v4l2_queryctrl query;
    int value;
};

void copyName(uint8_t* dst, size_t size, const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    std::memset(dst, 0, size);
    std::memcpy(dst, utf8.constData(), std::min(size - 1, size_t(utf8.size())));
}

v4l2_queryctrl query(uint32_t id, uint32_t type, const char* name, int min, int max, int def) {
    v4l2_queryctrl q{};
    q.id = id;
    q.type = type;
    copyName(q.name, sizeof q.name, QString::fromLatin1(name));
    q.minimum = min;
    q.maximum = max;
    q.step = 1;
    q.default_value = def;
    return q;
}

struct CameraState {
    SyntheticCamera spec;
    FrameFormat format;
    int fps = 30;
    bool unplugged = false;
    int streamingFd = -1; // the descriptor that owns the buffers
    bool streamOn = false;
    std::vector<std::vector<uint8_t>> buffers;
    std::vector<bool> queued;
    std::vector<uint32_t> bytesUsed;
    int delivered = 0;
    Clock::time_point due;
    std::vector<std::vector<uint8_t>> phaseFrames; // cached per format
    std::vector<Control> controls;

    size_t imageSize() const {
        if (layoutOf(format.fourcc) == Layout::Jpeg)
            return size_t(format.width) * size_t(format.height) * 2 + 65536;
        const auto g = geometryOf(format);
        return g ? size_t(g->frameSize) : 0;
    }
};

} // namespace

struct SyntheticKernel::Impl {
    mutable std::mutex mutex;
    std::vector<CameraState> cameras;
    std::map<int, int> fds; // descriptor -> camera
    int nextFd = FirstFd;

    CameraState* camera(int fd) {
        const auto it = fds.find(fd);
        return it == fds.end() ? nullptr : &cameras[size_t(it->second)];
    }

    void setFormat(CameraState& c, const FrameFormat& f) {
        c.format = f;
        c.format.stride = 0;
        if (const auto g = geometryOf(f))
            c.format.stride = int(g->lumaStride);
        c.phaseFrames.clear();
    }

    const std::vector<uint8_t>& phaseFrame(CameraState& c, int phase) {
        if (c.phaseFrames.empty())
            c.phaseFrames.resize(Phases);
        std::vector<uint8_t>& frame = c.phaseFrames[size_t(phase)];
        if (frame.empty())
            frame =
                encodeFrame(colourBars(c.format.width, c.format.height, phase), c.format.fourcc);
        return frame;
    }

    int open(const std::string& path, int) {
        std::lock_guard lock(mutex);
        for (size_t i = 0; i < cameras.size(); ++i) {
            if (cameras[i].spec.path != path)
                continue;
            if (cameras[i].unplugged)
                return -ENODEV;
            if (cameras[i].spec.openError != 0)
                return -cameras[i].spec.openError;
            fds[nextFd] = int(i);
            return nextFd++;
        }
        return -ENOENT;
    }

    int close(int fd) {
        std::lock_guard lock(mutex);
        CameraState* c = camera(fd);
        if (c == nullptr)
            return -EBADF;
        if (c->streamingFd == fd)
            freeBuffers(*c);
        fds.erase(fd);
        return 0;
    }

    static void freeBuffers(CameraState& c) {
        c.buffers.clear();
        c.queued.clear();
        c.bytesUsed.clear();
        c.streamOn = false;
        c.streamingFd = -1;
    }

    int ioctl(int fd, unsigned long request, void* arg) {
        std::lock_guard lock(mutex);
        CameraState* c = camera(fd);
        if (c == nullptr)
            return -EBADF;
        if (c->unplugged)
            return -ENODEV;
        switch (request) {
        case VIDIOC_QUERYCAP:
            return queryCap(*c, *static_cast<v4l2_capability*>(arg));
        case VIDIOC_G_FMT:
            return getFormat(*c, *static_cast<v4l2_format*>(arg));
        case VIDIOC_S_FMT:
            return setFormatIoctl(*c, *static_cast<v4l2_format*>(arg));
        case VIDIOC_G_PARM:
        case VIDIOC_S_PARM:
            return parm(*c, *static_cast<v4l2_streamparm*>(arg), request == VIDIOC_S_PARM);
        case VIDIOC_ENUM_FMT:
            return enumFormat(*static_cast<v4l2_fmtdesc*>(arg));
        case VIDIOC_ENUM_FRAMESIZES:
            return enumSizes(*c, *static_cast<v4l2_frmsizeenum*>(arg));
        case VIDIOC_ENUM_FRAMEINTERVALS:
            return enumIntervals(*static_cast<v4l2_frmivalenum*>(arg));
        case VIDIOC_REQBUFS:
            return requestBuffers(fd, *c, *static_cast<v4l2_requestbuffers*>(arg));
        case VIDIOC_QUERYBUF:
        case VIDIOC_QBUF:
            return buffer(fd, *c, *static_cast<v4l2_buffer*>(arg), request == VIDIOC_QBUF);
        case VIDIOC_DQBUF:
            return dequeue(fd, *c, *static_cast<v4l2_buffer*>(arg));
        case VIDIOC_STREAMON:
        case VIDIOC_STREAMOFF:
            if (c->streamingFd != fd)
                return -EBUSY;
            c->streamOn = request == VIDIOC_STREAMON;
            c->due = Clock::now();
            return 0;
        case VIDIOC_QUERYCTRL:
            return queryControl(*c, *static_cast<v4l2_queryctrl*>(arg));
        case VIDIOC_QUERYMENU:
            return queryMenu(*static_cast<v4l2_querymenu*>(arg));
        case VIDIOC_G_CTRL:
        case VIDIOC_S_CTRL:
            return control(*c, *static_cast<v4l2_control*>(arg), request == VIDIOC_S_CTRL);
        default:
            return -ENOTTY;
        }
    }

    static int queryCap(const CameraState& c, v4l2_capability& cap) {
        cap = {};
        std::strcpy(reinterpret_cast<char*>(cap.driver), "synthetic");
        copyName(cap.card, sizeof cap.card, c.spec.name);
        uint32_t caps = 0;
        if (c.spec.canCapture)
            caps |= V4L2_CAP_VIDEO_CAPTURE;
        if (c.spec.canStream)
            caps |= V4L2_CAP_STREAMING;
        cap.device_caps = caps;
        cap.capabilities = caps | V4L2_CAP_DEVICE_CAPS;
        return 0;
    }

    static int getFormat(const CameraState& c, v4l2_format& f) {
        if (f.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return -EINVAL;
        f.fmt.pix.width = uint32_t(c.format.width);
        f.fmt.pix.height = uint32_t(c.format.height);
        f.fmt.pix.pixelformat = c.format.fourcc;
        f.fmt.pix.bytesperline = uint32_t(c.format.stride);
        f.fmt.pix.sizeimage = uint32_t(c.imageSize());
        f.fmt.pix.field = V4L2_FIELD_NONE;
        return 0;
    }

    int setFormatIoctl(CameraState& c, v4l2_format& f) {
        if (f.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return -EINVAL;
        if (!c.buffers.empty())
            return -EBUSY;
        const uint32_t* known =
            std::find(std::begin(Formats), std::end(Formats), f.fmt.pix.pixelformat);
        const uint32_t code = known == std::end(Formats) ? c.format.fourcc : *known;
        const int w = std::clamp(int(f.fmt.pix.width), 2, 4096) & ~1;
        const int h = std::clamp(int(f.fmt.pix.height), 2, 4096) & ~1;
        setFormat(c, {w, h, code, 0});
        return getFormat(c, f);
    }

    static int parm(CameraState& c, v4l2_streamparm& p, bool set) {
        if (p.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return -EINVAL;
        v4l2_fract& t = p.parm.capture.timeperframe;
        if (set && t.numerator > 0 && t.denominator > 0)
            c.fps = std::clamp(int(t.denominator / t.numerator), 1, 120);
        p.parm.capture.capability = V4L2_CAP_TIMEPERFRAME;
        t = {1, uint32_t(c.fps)};
        return 0;
    }

    static int enumFormat(v4l2_fmtdesc& d) {
        if (d.type != V4L2_BUF_TYPE_VIDEO_CAPTURE || d.index >= std::size(Formats))
            return -EINVAL;
        d.pixelformat = Formats[d.index];
        d.flags = d.pixelformat == fourcc::Mjpg ? V4L2_FMT_FLAG_COMPRESSED : 0;
        copyName(d.description, sizeof d.description,
                 QStringLiteral("Synthetic %1").arg(fourCCText(d.pixelformat)));
        return 0;
    }

    static int enumSizes(const CameraState& c, v4l2_frmsizeenum& s) {
        if (std::find(std::begin(Formats), std::end(Formats), s.pixel_format) == std::end(Formats))
            return -EINVAL;
        std::vector<std::pair<int, int>> sizes(std::begin(Sizes), std::end(Sizes));
        sizes.emplace_back(c.spec.width, c.spec.height);
        std::sort(sizes.begin(), sizes.end());
        sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
        if (s.index >= sizes.size())
            return -EINVAL;
        s.type = V4L2_FRMSIZE_TYPE_DISCRETE;
        s.discrete = {uint32_t(sizes[s.index].first), uint32_t(sizes[s.index].second)};
        return 0;
    }

    static int enumIntervals(v4l2_frmivalenum& i) {
        static constexpr uint32_t rates[] = {30, 15};
        if (i.index >= std::size(rates))
            return -EINVAL;
        i.type = V4L2_FRMIVAL_TYPE_DISCRETE;
        i.discrete = {1, rates[i.index]};
        return 0;
    }

    int requestBuffers(int fd, CameraState& c, v4l2_requestbuffers& r) {
        if (r.memory != V4L2_MEMORY_MMAP || r.type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
            return -EINVAL;
        if (c.streamingFd >= 0 && c.streamingFd != fd)
            return -EBUSY;
        if (r.count == 0) {
            freeBuffers(c);
            return 0;
        }
        if (c.spec.busyError != 0)
            return -c.spec.busyError;
        r.count = std::min<uint32_t>(r.count, 8);
        c.buffers.assign(r.count, std::vector<uint8_t>(c.imageSize()));
        c.queued.assign(r.count, false);
        c.bytesUsed.assign(r.count, 0);
        c.streamingFd = fd;
        return 0;
    }

    static int buffer(int fd, CameraState& c, v4l2_buffer& b, bool enqueue) {
        if (c.streamingFd != fd || b.index >= c.buffers.size())
            return -EINVAL;
        b.length = uint32_t(c.buffers[b.index].size());
        b.m.offset = b.index * 0x100000u;
        if (enqueue)
            c.queued[b.index] = true;
        return 0;
    }

    int dequeue(int fd, CameraState& c, v4l2_buffer& b) {
        if (c.streamingFd != fd || !c.streamOn)
            return -EINVAL;
        const auto it = std::find(c.queued.begin(), c.queued.end(), true);
        if (it == c.queued.end())
            return -EAGAIN;
        if (c.spec.unplugAfter > 0 && c.delivered >= c.spec.unplugAfter) {
            c.unplugged = true;
            return -ENODEV;
        }
        if (c.spec.sizeChangeAfter > 0 && c.delivered == c.spec.sizeChangeAfter)
            setFormat(c, {c.format.width / 2, c.format.height / 2, c.format.fourcc, 0});
        const uint32_t index = uint32_t(it - c.queued.begin());
        const int n = ++c.delivered;
        std::vector<uint8_t>& target = c.buffers[index];
        const std::vector<uint8_t>& frame = phaseFrame(c, n % Phases);
        size_t used = std::min(frame.size(), target.size());
        std::memcpy(target.data(), frame.data(), used);
        if (c.spec.wrongSizeEvery > 0 && n % c.spec.wrongSizeEvery == 0)
            used -= std::min<size_t>(used, size_t(std::max(c.format.stride, 1)));
        if (c.spec.corruptJpegEvery > 0 && n % c.spec.corruptJpegEvery == 0 &&
            c.format.fourcc == fourcc::Mjpg)
            used /= 3;
        c.queued[index] = false;
        c.bytesUsed[index] = uint32_t(used);
        b = {};
        b.index = index;
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        b.bytesused = uint32_t(used);
        b.length = uint32_t(target.size());
        b.sequence = uint32_t(n);
        c.due += std::chrono::microseconds(1000000 / std::max(1, c.fps));
        return 0;
    }

    void initControls(CameraState& c) {
        c.controls = {
            {query(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", 0, 255, 128), 128},
            {query(V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN, "White Balance, Auto", 0, 1,
                   1),
             1},
            {query(V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CTRL_TYPE_INTEGER,
                   "White Balance Temperature", 2800, 6500, 4600),
             4600},
            {query(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line Frequency", 0, 2,
                   1),
             1},
            {query(ResetButton, V4L2_CTRL_TYPE_BUTTON, "Reset", 0, 0, 0), 0},
        };
        c.controls[2].query.flags = V4L2_CTRL_FLAG_INACTIVE; // while white balance is automatic
    }

    static int queryControl(const CameraState& c, v4l2_queryctrl& q) {
        const bool next = q.id & V4L2_CTRL_FLAG_NEXT_CTRL;
        const uint32_t id = q.id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
        const Control* found = nullptr;
        for (const Control& control : c.controls) {
            const bool fits = next ? control.query.id > id : control.query.id == id;
            if (fits && (found == nullptr || control.query.id < found->query.id))
                found = &control;
        }
        if (found == nullptr)
            return -EINVAL;
        q = found->query;
        return 0;
    }

    static int queryMenu(v4l2_querymenu& m) {
        static const char* names[] = {"Disabled", "50 Hz", "60 Hz"};
        if (m.id != V4L2_CID_POWER_LINE_FREQUENCY || m.index >= std::size(names))
            return -EINVAL;
        copyName(m.name, sizeof m.name, QString::fromLatin1(names[m.index]));
        return 0;
    }

    static int control(CameraState& c, v4l2_control& v, bool set) {
        for (Control& control : c.controls) {
            if (control.query.id != v.id)
                continue;
            if (!set) {
                v.value = control.value;
                return 0;
            }
            if (v.value < control.query.minimum || v.value > control.query.maximum)
                return -ERANGE;
            if (control.query.type == V4L2_CTRL_TYPE_BUTTON) {
                for (Control& other : c.controls)
                    other.value = other.query.default_value;
            } else {
                control.value = v.value;
            }
            const bool autoWb = c.controls[1].value != 0;
            c.controls[2].query.flags = autoWb ? V4L2_CTRL_FLAG_INACTIVE : 0;
            return 0;
        }
        return -EINVAL;
    }

    void* mmap(size_t length, int fd, off_t offset) {
        std::lock_guard lock(mutex);
        CameraState* c = camera(fd);
        const size_t index = size_t(offset) / 0x100000u;
        if (c == nullptr || c->streamingFd != fd || index >= c->buffers.size() ||
            length > c->buffers[index].size())
            return nullptr;
        return c->buffers[index].data();
    }

    // Waits for the next frame's time or the wake descriptor, without the lock.
    int poll(int fd, int wakeFd, int timeoutMs) {
        Clock::time_point due;
        bool ready = false;
        {
            std::lock_guard lock(mutex);
            CameraState* c = camera(fd);
            if (c == nullptr)
                return -EBADF;
            if (c->unplugged)
                return -ENODEV;
            ready = c->streamOn &&
                    std::find(c->queued.begin(), c->queued.end(), true) != c->queued.end();
            if (ready && (!c->spec.paced || Clock::now() >= c->due))
                return 1;
            due = ready ? c->due : Clock::now() + std::chrono::milliseconds(timeoutMs);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
        pollfd p{wakeFd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(std::clamp<int64_t>(wait.count() + 1, 0, timeoutMs)));
        if (r < 0)
            return errno == EINTR ? 0 : -errno;
        return r == 0 && ready && Clock::now() >= due ? 1 : 0;
    }
};

SyntheticKernel::SyntheticKernel(std::vector<SyntheticCamera> cameras)
    : m_impl(std::make_shared<Impl>()) {
    for (size_t i = 0; i < cameras.size(); ++i) {
        CameraState c;
        c.spec = std::move(cameras[i]);
        if (c.spec.path.empty())
            c.spec.path = "/dev/video" + std::to_string(i);
        c.fps = c.spec.fps;
        m_impl->setFormat(c, {c.spec.width, c.spec.height, c.spec.fourcc, 0});
        m_impl->initControls(c);
        m_impl->cameras.push_back(std::move(c));
    }
}

SyntheticKernel::~SyntheticKernel() = default;

KernelTable SyntheticKernel::table() const {
    std::shared_ptr<Impl> impl = m_impl;
    KernelTable k;
    k.listNodes = [impl] {
        std::lock_guard lock(impl->mutex);
        std::vector<std::string> nodes;
        for (const CameraState& c : impl->cameras)
            if (!c.unplugged)
                nodes.push_back(c.spec.path);
        std::reverse(nodes.begin(), nodes.end()); // the directory order is no order
        return nodes;
    };
    k.open = [impl](const std::string& path, int flags) { return impl->open(path, flags); };
    k.close = [impl](int fd) { return impl->close(fd); };
    k.ioctl = [impl](int fd, unsigned long request, void* arg) {
        return impl->ioctl(fd, request, arg);
    };
    k.mmap = [impl](size_t length, int fd, off_t offset) { return impl->mmap(length, fd, offset); };
    k.munmap = [](void*, size_t) { return 0; };
    k.poll = [impl](int fd, int wakeFd, int timeoutMs) {
        return impl->poll(fd, wakeFd, timeoutMs);
    };
    return k;
}

int SyntheticKernel::openDescriptors() const {
    std::lock_guard lock(m_impl->mutex);
    return int(m_impl->fds.size());
}

int SyntheticKernel::framesDelivered(int camera) const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->cameras.at(size_t(camera)).delivered;
}

void SyntheticKernel::unplug(int camera) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->cameras.at(size_t(camera)).unplugged = true;
}

} // namespace gc::capture
