// The test MIDI messages in the form the command-line host's Process and SendEvents take.
#pragma once

#include <vector>

#include "TestMidi.h"
#include "tools/host/VstHost.h"

namespace tesmora6 {

inline std::vector<THostMidiEvent> HostMidiEvents(const TTestMidiMessages& messages) {
  std::vector<THostMidiEvent> events;
  events.reserve(messages.size());
  for (const auto& [frame, bytes] : messages) events.push_back({frame, {bytes[0], bytes[1], bytes[2]}});
  return events;
}

}  // namespace tesmora6
