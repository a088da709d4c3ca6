#include "capture/capture_graph.h"

#include "capture/synthetic_kernel.h"

#include <cerrno>

namespace gc::capture {

TCaptureGraph::TCaptureGraph(KernelTable kernel, PropertyFrames* frames)
    : m_kernel(std::move(kernel)), m_frames(frames) {}

TCaptureGraph::~TCaptureGraph() {
    SetGraphRunning(false);
    m_device.reset();
}

int TCaptureGraph::ListVideoDevices(const KernelTable& kernel, QStringList& list) {
    list.clear();
    for (const VideoNode& node : listVideoNodes(kernel))
        list.append(node.name);
    return result::Ok;
}

bool TCaptureGraph::Matches(const QString& wanted, const QString& name, int position) {
    if (name.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
        return true;
    return wanted.size() == 2 && wanted[0] == QLatin1Char('#') && wanted[1].isDigit() &&
           wanted[1].digitValue() == position;
}

int TCaptureGraph::OpenDevice(const QString& name, QString& chosen) {
    chosen.clear();
    m_device.reset();
    QString wanted = name.trimmed();
    if (wanted.isEmpty())
        wanted = QStringLiteral("#1");
    const std::vector<VideoNode> nodes = listVideoNodes(m_kernel);
    if (nodes.empty())
        return result::Fail;
    int failure = result::Fail;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!Matches(wanted, nodes[i].name, int(i) + 1))
            continue;
        auto device = std::make_unique<V4l2Device>(m_kernel, nodes[i].path);
        const int r = device->open();
        if (r != 0) {
            failure = r;
            continue;
        }
        m_device = std::move(device);
        m_name = nodes[i].name;
        chosen = m_name;
        return SetGraphRunning(true);
    }
    return failure;
}

int TCaptureGraph::ReadCurrentFormat(FrameFormat& format) {
    format = {};
    if (!m_device)
        return result::Fail;
    return m_device->readFormat(format);
}

int TCaptureGraph::ReadCurrentFormat(int& width, int& height, uint32_t& fourcc) {
    width = 0;
    height = 0;
    FrameFormat f;
    const int r = ReadCurrentFormat(f);
    if (r == 0) {
        width = f.width;
        height = f.height;
        fourcc = f.fourcc;
    }
    return r;
}

void TCaptureGraph::SetFrameHandler(FrameCallback onFrame, LossCallback onLoss) {
    std::lock_guard lock(m_handlerMutex);
    m_onFrame = std::move(onFrame);
    m_onLoss = std::move(onLoss);
}

void TCaptureGraph::deliver(const FrameFormat& format, const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    std::lock_guard lock(m_handlerMutex);
    if (m_onFrame)
        m_onFrame(format, data, size);
}

void TCaptureGraph::lose(int error) {
    std::lock_guard lock(m_handlerMutex);
    if (m_onLoss)
        m_onLoss(error);
}

int TCaptureGraph::SetGraphRunning(bool run) {
    if (!m_device)
        return result::Ok;
    if (!run) {
        m_device->stop();
        return result::Ok;
    }
    if (m_device->streaming())
        return result::Ok;
    return m_device->start(
        [this](const FrameFormat& f, const uint8_t* d, size_t s) { deliver(f, d, s); },
        [this](int error) { lose(error); });
}

bool TCaptureGraph::running() const {
    return m_device && m_device->streaming();
}

int TCaptureGraph::ShowDevicePropertyFrame() {
    if (!m_device || m_frames == nullptr)
        return result::Fail;
    return m_frames->showControls(m_name, *m_device);
}

int TCaptureGraph::ShowFormatPropertyFrame() {
    if (!m_device || m_frames == nullptr)
        return result::Fail;
    std::vector<FormatChoice> formats;
    FormatRequest current;
    int r = m_device->formats(formats);
    if (r == 0)
        r = m_device->currentRequest(current);
    if (r != 0)
        return r;
    FormatRequest chosen = current;
    if (m_frames->showFormats(formats, current, chosen) != 0)
        return result::Ok;
    return m_device->applyFormat(chosen);
}

KernelTable defaultKernel() {
    if (qgetenv("GC_CAMERA") == "synthetic")
        return SyntheticKernel().table();
    return systemKernel();
}

} // namespace gc::capture
