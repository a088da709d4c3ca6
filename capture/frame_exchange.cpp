#include "capture/frame_exchange.h"

namespace gc::capture {

bool FrameExchange::publish() {
    const uint8_t previous = m_middle.exchange(uint8_t(m_back | Fresh), std::memory_order_acq_rel);
    m_back = previous & 3;
    return previous & Fresh;
}

bool FrameExchange::take() {
    if (!(m_middle.load(std::memory_order_relaxed) & Fresh))
        return false;
    const uint8_t previous = m_middle.exchange(m_front, std::memory_order_acq_rel);
    m_front = previous & 3;
    return true;
}

void FrameExchange::reset() {
    for (FrameSlot& slot : m_slots) {
        slot.size = 0;
        slot.sequence = 0;
        slot.format = {};
    }
    m_middle.store(1, std::memory_order_release);
    m_back = 2;
    m_front = 0;
}

} // namespace gc::capture
