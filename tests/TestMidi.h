// Sends MIDI messages to an instance through effProcessEvents, as a host does.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "host/VstAbi.h"

using TTestMidiMessages = std::vector<std::pair<int32_t, std::array<uint8_t, 3>>>;

inline void SendTestMidi(vst::AEffect* effect, const TTestMidiMessages& messages) {
  std::vector<vst::VstMidiEvent> events(messages.size());
  std::vector<uint8_t> block(16 + 8 * messages.size());
  auto* header = reinterpret_cast<vst::VstEvents*>(block.data());
  header->numEvents = static_cast<int32_t>(messages.size());
  auto** pointers = reinterpret_cast<vst::VstEvent**>(block.data() + 16);
  for (size_t i = 0; i < messages.size(); ++i) {
    events[i] = {};
    events[i].type = vst::kVstMidiType;
    events[i].byteSize = 32;
    events[i].deltaFrames = messages[i].first;
    for (int b = 0; b < 3; ++b) events[i].midiData[b] = static_cast<char>(messages[i].second[b]);
    pointers[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);
  }
  effect->dispatcher(effect, vst::effProcessEvents, 0, 0, header, 0.0f);
}
