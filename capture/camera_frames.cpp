#include "capture/camera_frames.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>
#include <cstring>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace gc::capture {

namespace {

int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Far enough from any clock reading that the gate stays shut until the first idle moment.
constexpr int64_t NeverIdle = std::numeric_limits<int64_t>::min() / 4;

QString lossText(int error) {
    if (error == -ENODEV)
        return QStringLiteral("The camera was disconnected.");
    return QStringLiteral("The camera stopped: %1").arg(QString::fromLocal8Bit(strerror(-error)));
}

} // namespace

TCameraImage::TCameraImage(KernelTable kernel, Clock clock, QObject* parent)
    : QObject(parent), m_kernel(std::move(kernel)),
      m_clock(clock ? std::move(clock) : Clock(steadyMs)), m_lastIdle(NeverIdle) {
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd >= 0) {
        m_notifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { handOver(); });
    }
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TCameraImage::AppIdleStamp);
}

TCameraImage::~TCameraImage() {
    StopCapture();
    delete m_notifier;
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void TCameraImage::ListDevices(QStringList& list) const {
    TCaptureGraph::ListVideoDevices(m_kernel, list);
}

int TCameraImage::StartCapture(const QString& deviceName) {
    if (m_graph)
        StopCapture();
    m_skipped = 0;
    m_frameCount = 0;
    m_fps = 0;
    m_fpsStamp = 0;
    m_failed = 0;
    m_failureReported = false;
    m_decodedSequence = 0;
    m_exchange.reset();
    const uint64_t run = ++m_run;

    m_graph = std::make_unique<TCaptureGraph>(m_kernel, m_frames);
    QString chosen;
    int r = m_graph->OpenDevice(deviceName, chosen);
    FrameFormat format;
    if (r == 0)
        r = m_graph->ReadCurrentFormat(format);
    if (r != 0 || format.width <= 0 || format.height <= 0) {
        StopCapture();
        return 1;
    }
    m_deviceName = chosen;
    m_format = format;
    m_bitmap = QImage(format.width, format.height, QImage::Format_RGB888);
    m_bitmap.fill(Qt::black);
    m_graph->SetFrameHandler(
        [this](const FrameFormat& f, const uint8_t* d, size_t s) { FrameArrived(f, d, s); },
        [this, run](int error) {
            QMetaObject::invokeMethod(
                this, [this, run, error] { lost(run, error); }, Qt::QueuedConnection);
        });
    return 0;
}

void TCameraImage::StopCapture() {
    m_fps = 0;
    m_graph.reset(); // joins the streaming thread
    m_exchange.dropPending();
    m_deviceName.clear();
}

void TCameraImage::lost(uint64_t run, int error) {
    if (run != m_run || !m_graph)
        return;
    StopCapture();
    emit captureLost(lossText(error));
}

void TCameraImage::AppIdleStamp() {
    m_lastIdle = m_clock();
}

void TCameraImage::FrameArrived(const FrameFormat& format, const uint8_t* data, size_t size) {
    const int count = ++m_frameCount;
    const int64_t now = m_clock();
    if (count % FpsFrames == 0) {
        // Thirty frames within one clock tick give no rate; wait for the next mark.
        if (m_fpsStamp != 0 && now != m_fpsStamp)
            m_fps = FpsFrames * 1000.0 / double(now - m_fpsStamp);
        m_fpsStamp = now;
    }
    const int64_t sinceIdle = now - m_lastIdle.load();
    if (sinceIdle > IdleWindowMs || sinceIdle < -IdleWindowMs) {
        ++m_skipped;
        return;
    }
    FrameSlot& slot = m_exchange.back();
    if (slot.data.size() < size)
        slot.data.resize(size);
    std::memcpy(slot.data.data(), data, size);
    slot.size = size;
    slot.format = format;
    slot.sequence = ++m_sequence;
    if (m_exchange.publish())
        ++m_skipped; // the reader had not picked up the frame it replaced
    else
        signalHandOver();
    std::this_thread::yield();
}

void TCameraImage::signalHandOver() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

void TCameraImage::handOver() {
    uint64_t drained = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &drained, sizeof drained);
    if (m_busy) {
        m_recheck = true; // a handler is pumping events; come back when it is done
        return;
    }
    if (!m_exchange.take())
        return;
    const FrameSlot& slot = m_exchange.front();
    m_format = slot.format;
    m_busy = true;
    try {
        if (m_onNewFrame)
            m_onNewFrame(this, m_format.width, m_format.height, slot.data.data());
    } catch (const std::exception& e) {
        ++m_failed;
        if (!m_failureReported) {
            m_failureReported = true;
            emit frameFailed(QString::fromLocal8Bit(e.what()));
        }
    }
    m_busy = false;
    if (m_recheck) {
        m_recheck = false;
        if (m_exchange.hasFresh())
            signalHandOver();
    }
}

void TCameraImage::decodeFront() {
    const FrameSlot& slot = m_exchange.front();
    if (slot.size == 0 || slot.sequence == m_decodedSequence)
        return;
    m_decodedSequence = slot.sequence;
    const DecodeStatus status =
        m_decoder.decode(slot.format, slot.data.data(), slot.size, m_bitmap);
    if (status == DecodeStatus::Ok)
        return;
    ++m_failed;
    if (status == DecodeStatus::BadJpeg && !m_failureReported) {
        m_failureReported = true;
        emit frameFailed(
            QStringLiteral("A camera frame could not be decoded: %1").arg(m_decoder.jpegError()));
    }
}

void TCameraImage::CopyFrameTo(QImage& target) {
    decodeFront();
    if (target.size() != m_bitmap.size() || target.format() != m_bitmap.format()) {
        target = m_bitmap.copy();
        return;
    }
    const size_t rowBytes = size_t(m_bitmap.width()) * 3;
    for (int y = 0; y < m_bitmap.height(); ++y)
        std::memcpy(target.scanLine(y), m_bitmap.constScanLine(y), rowBytes);
}

int TCameraImage::ShowDeviceSettings() {
    if (!m_graph)
        return 1;
    return m_graph->ShowDevicePropertyFrame() == 0 ? 0 : 1;
}

int TCameraImage::ShowFormatSettings() {
    if (!m_graph)
        return 1;
    int r = m_graph->ShowFormatPropertyFrame();
    FrameFormat format;
    if (r == 0)
        r = m_graph->ReadCurrentFormat(format);
    if (r != 0 || format.width <= 0 || format.height <= 0 || !m_graph->running()) {
        StopCapture();
        return 1;
    }
    m_format = format;
    return 0;
}

} // namespace gc::capture
