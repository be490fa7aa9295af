// MIDI from the ALSA sequencer joins the JACK port's events here. The sequencer's thread
// stamps each message with the JACK frame time it arrived at (jack_frame_time) and pushes it
// into a lock-free queue with one producer and one consumer; the audio thread takes, each
// cycle, what arrived during the cycle before and places it at the same distance from the
// cycle's start, one period later, so the rhythm played on a keyboard survives. Both inputs
// are then merged in frame order. Nothing here allocates, locks or waits.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/SynthEngine.h"

namespace tesmora6 {

class TMidiMerge {
 public:
  static constexpr size_t kCapacity = 1024;  // a power of two

  // ---- the producer's thread ----
  // Queues a message of 1 to 3 bytes stamped `time` (frames, as jack_frame_time counts,
  // wrapping at 2^32); false when it is not such a message or the queue is full (it is then
  // dropped and counted).
  bool Push(uint32_t time, std::span<const uint8_t> bytes);

  // ---- the audio thread ----
  // The cycle of `frames` frames whose first frame is at `cycleStart` (jack_last_frame_time):
  // a queued message stamped in [cycleStart - frames, cycleStart) goes to frame
  // time - (cycleStart - frames); an older one to frame 0; a newer one stays queued for the
  // next cycle. `portEvents` (in frame order, as a JACK port delivers them) and those are
  // written to `out` in frame order, the port's first at equal frames; returns how many
  // (messages beyond out's size are dropped and counted).
  size_t Collect(uint32_t cycleStart, uint32_t frames, std::span<const TMidiMessage> portEvents,
                 std::span<TMidiMessage> out);

  // Messages lost to a full queue or a full cycle, from any thread.
  uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  struct TSlot {
    uint32_t time = 0;
    uint8_t bytes[3] = {0, 0, 0};
  };
  std::array<TSlot, kCapacity> slots_{};
  std::atomic<size_t> written_{0};  // advanced by the producer
  std::atomic<size_t> read_{0};     // advanced by the consumer
  std::atomic<uint64_t> dropped_{0};
};

}  // namespace tesmora6
