#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/VstAbi.h"

namespace tesmora6 {

// The host's side of effProcessEvents: MIDI events and the VstEvents record that points at
// them, laid out as a host hands them over (the header, then one pointer per event; the
// record's declared two-entry array is only its start). Used by the command-line host, the
// preview renderer, the tests and the fuzzers.
class TVstEventBlock {
 public:
  void Clear() { events_.clear(); }
  bool Empty() const { return events_.empty(); }
  // One three-byte MIDI message at `deltaFrames` into the next processing call.
  void Add(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
    vst::VstMidiEvent e{};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(vst::VstMidiEvent);
    e.deltaFrames = deltaFrames;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    events_.push_back(e);
  }
  // The record for every event added since the last Clear; valid until the next Add or Clear.
  vst::VstEvents* Events() {
    constexpr size_t kHeader = offsetof(vst::VstEvents, events);
    record_.assign(kHeader + events_.size() * sizeof(vst::VstEvent*), 0);
    auto* header = reinterpret_cast<vst::VstEvents*>(record_.data());
    header->numEvents = static_cast<int32_t>(events_.size());
    auto** pointers = reinterpret_cast<vst::VstEvent**>(record_.data() + kHeader);
    for (size_t i = 0; i < events_.size(); ++i) pointers[i] = reinterpret_cast<vst::VstEvent*>(&events_[i]);
    return header;
  }

 private:
  std::vector<vst::VstMidiEvent> events_;
  std::vector<uint8_t> record_;
};

}  // namespace tesmora6
