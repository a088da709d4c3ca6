#pragma once

#include "capture/frame_format.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace gc::capture {

// One raw frame with its own size, format and sequence number.
struct FrameSlot {
    std::vector<uint8_t> data; // capacity only grows; `size` bytes are the frame
    size_t size = 0;
    uint64_t sequence = 0;
    FrameFormat format;
};

// Hands frames from one writer thread to one reader thread without a lock.
// The writer fills its own slot and swaps it with the shared middle one; the
// reader swaps the middle one into its own slot. Neither ever touches the
// slot the other owns.
class FrameExchange {
  public:
    // Writer: the slot to fill next.
    FrameSlot& back() { return m_slots[m_back]; }
    // Writer: offers the filled slot. Returns true when it replaced a frame
    // the reader had not taken yet.
    bool publish();

    // Reader: takes the newest offered frame into front(); false when none waits.
    bool take();
    bool hasFresh() const { return m_middle.load(std::memory_order_acquire) & Fresh; }
    const FrameSlot& front() const { return m_slots[m_front]; }

    // Forgets a frame not yet taken; only while no writer runs.
    void dropPending() { m_middle.fetch_and(uint8_t(~Fresh), std::memory_order_acq_rel); }
    // Empties every slot; only while no writer runs.
    void reset();

  private:
    static constexpr uint8_t Fresh = 4;

    std::array<FrameSlot, 3> m_slots;
    std::atomic<uint8_t> m_middle{1};
    uint8_t m_back = 2;  // writer's own
    uint8_t m_front = 0; // reader's own
};

} // namespace gc::capture
