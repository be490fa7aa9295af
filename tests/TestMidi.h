// Sends MIDI messages to an instance through effProcessEvents, as a host does.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "host/VstAbi.h"
#include "host/VstEventBlock.h"

using TTestMidiMessages = std::vector<std::pair<int32_t, std::array<uint8_t, 3>>>;

inline void SendTestMidi(vst::AEffect* effect, const TTestMidiMessages& messages) {
  TVstEventBlock block;
  for (const auto& [frame, bytes] : messages) block.Add(frame, bytes[0], bytes[1], bytes[2]);
  effect->dispatcher(effect, vst::effProcessEvents, 0, 0, block.Events(), 0.0f);
}
