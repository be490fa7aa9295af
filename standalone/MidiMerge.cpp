#include "standalone/MidiMerge.h"

#include <algorithm>

namespace tesmora6 {

static_assert((TMidiMerge::kCapacity & (TMidiMerge::kCapacity - 1)) == 0, "the queue's size is a power of two");

bool TMidiMerge::Push(uint32_t time, std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > 3) return false;
  const size_t at = written_.load(std::memory_order_relaxed);
  if (at - read_.load(std::memory_order_acquire) >= kCapacity) {
    dropped_.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  TSlot& slot = slots_[at & (kCapacity - 1)];
  slot.time = time;
  slot.bytes[0] = slot.bytes[1] = slot.bytes[2] = 0;
  std::copy(bytes.begin(), bytes.end(), slot.bytes);
  written_.store(at + 1, std::memory_order_release);
  return true;
}

size_t TMidiMerge::Collect(uint32_t cycleStart, uint32_t frames, std::span<const TMidiMessage> portEvents,
                           std::span<TMidiMessage> out) {
  if (frames == 0) return 0;
  const uint32_t previousStart = cycleStart - frames;
  const size_t available = written_.load(std::memory_order_acquire);
  size_t next = read_.load(std::memory_order_relaxed);
  size_t count = 0, port = 0;
  uint64_t lost = 0;
  auto put = [&](const TMidiMessage& m) {
    if (count < out.size()) {
      out[count++] = m;
    } else {
      ++lost;
    }
  };
  for (;;) {
    // The next queued message and its frame in this cycle, if it belongs to it. Stamps are
    // compared as distances (they wrap): one before the previous cycle is late (frame 0),
    // one at or after this cycle's start waits, and so does everything queued after it.
    bool haveQueued = false;
    TMidiMessage queued;
    if (next != available) {
      const TSlot& slot = slots_[next & (kCapacity - 1)];
      const auto sinceCycle = static_cast<int32_t>(slot.time - cycleStart);
      if (sinceCycle < 0) {
        const auto offset = static_cast<int32_t>(slot.time - previousStart);
        queued.frame = std::clamp(offset, 0, static_cast<int32_t>(frames) - 1);
        std::copy(std::begin(slot.bytes), std::end(slot.bytes), queued.bytes);
        haveQueued = true;
      }
    }
    const bool havePort = port < portEvents.size();
    if (!haveQueued && !havePort) break;
    if (havePort && (!haveQueued || portEvents[port].frame <= queued.frame)) {
      put(portEvents[port++]);
    } else {
      put(queued);
      ++next;
    }
  }
  read_.store(next, std::memory_order_release);
  if (lost) dropped_.fetch_add(lost, std::memory_order_relaxed);
  return count;
}

}  // namespace tesmora6
