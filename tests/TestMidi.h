// MIDI for the tests and benchmarks: messages with their frames, and a phrase cut into host
// blocks (TestVstMidi.h sends them to a VST 2 instance).
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace tesmora6 {

using TTestMidiMessages = std::vector<std::pair<int32_t, std::array<uint8_t, 3>>>;

// The messages of a phrase (frames counted from its start) that fall in the host block of
// `frames` frames starting at frame `start`, with their frames counted from the block's
// start, in the phrase's order.
inline TTestMidiMessages MidiInBlock(const TTestMidiMessages& phrase, int32_t start, int32_t frames) {
  TTestMidiMessages block;
  for (const auto& [frame, bytes] : phrase) {
    if (frame >= start && frame - start < frames) block.push_back({frame - start, bytes});
  }
  return block;
}

}  // namespace tesmora6
