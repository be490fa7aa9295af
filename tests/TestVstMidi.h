// Test MIDI sent to an instance through effProcessEvents, as a VST 2 host does.
#pragma once

#include "TestMidi.h"
#include "host/VstAbi.h"
#include "host/VstEventBlock.h"

namespace tesmora6 {

inline void SendTestMidi(vst::AEffect* effect, const TTestMidiMessages& messages) {
  TVstEventBlock block;
  for (const auto& [frame, bytes] : messages) block.Add(frame, bytes[0], bytes[1], bytes[2]);
  effect->dispatcher(effect, vst::effProcessEvents, 0, 0, block.Events(), 0.0f);
}

}  // namespace tesmora6
