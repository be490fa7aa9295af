// Drives a real TTesmora6 through the VST 2 adapter's AEffect entry functions, as a host
// does, while keeping the object at hand: for the tests of what the adapter itself does
// (opcodes, chunks handed to the host, calls from several threads).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "TestVstMidi.h"
#include "engine/Tesmora6ParamIds.h"
#include "host/Tesmora6Vst.h"
#include "host/VstAbi.h"
#include "instrument/Tesmora6.h"
#include "tests/support/FakeHost.h"
#include "tests/support/SignalMeasures.h"

namespace tesmora6 {

// The host of these tests: version 2400, 120 bpm in 4/4.
inline TFakeHost instrumentHost;

class TVstInstrumentHost {
 public:
  explicit TVstInstrumentHost(double rate = 44100.0) {
    plugin = new TTesmora6();
    OpenVstPlugin(plugin, &FakeHostCallback<&instrumentHost>);
    effect = VstEffectOf(plugin->Host());
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    Dispatch(vst::effMainsChanged, 0, 1);
    Render(64);  // the first block applies every parameter and builds the voice pool
  }
  ~TVstInstrumentHost() { Dispatch(vst::effClose); }
  TVstInstrumentHost(const TVstInstrumentHost&) = delete;
  TVstInstrumentHost& operator=(const TVstInstrumentHost&) = delete;

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  // Sets a parameter to a value in its own units (as the editor shows it).
  void Set(int32_t index, float real) {
    const auto& p = plugin->ParamInfo(index);
    effect->setParameter(effect, index, (real - p.minimum) / (p.maximum - p.minimum));
  }
  float Get(int32_t index) { return plugin->GetReal(index); }
  void Midi(const TTestMidiMessages& messages) { SendTestMidi(effect, messages); }
  void NoteOn(int note, int velocity = 127, int32_t at = 0) {
    Midi({{at, {0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)}}});
  }
  void NoteOff(int note, int32_t at = 0) { Midi({{at, {0x80, static_cast<uint8_t>(note), 0}}}); }
  TStereo Render(int32_t frames, int32_t block = 512) {
    TStereo out;
    out.left.resize(static_cast<size_t>(frames));
    out.right.resize(static_cast<size_t>(frames));
    for (int32_t done = 0; done < frames; done += block) {
      const int32_t n = std::min(block, frames - done);
      float* outs[2] = {out.left.data() + done, out.right.data() + done};
      effect->processReplacing(effect, nullptr, outs, n);
    }
    return out;
  }

  TTesmora6* plugin;
  vst::AEffect* effect;
};

}  // namespace tesmora6
