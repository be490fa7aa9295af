// Test doubles for the host boundary: a product instance whose block render is replaced by
// a counter signal, driven through its AEffect entry functions exactly as a host does.
#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "host/Tesmora6Vst.h"
#include "framework/FloatingPointMode.h"
#include "TestVstMidi.h"
#include "host/VstAbi.h"
#include "instrument/Tesmora6.h"
#include "tests/support/FakeHost.h"

namespace tesmora6 {

// The probe's host: version 2400, this tempo and time signature (tests change them, or
// make it give no time info) and a count of display updates.
inline TFakeHost probeHostState;

// Renders a ramp that counts samples (1, 2, 3, ... times 1e-3), or silence when quiet.
class TProbePlugin : public TTesmora6 {
 public:
  int renders = 0;
  bool quiet = false;
  uint32_t mxcsrInRender = 0;
  float next = 1.0f;
  std::vector<TMidiEventCompact> notesOn, notesOff;
  int tempoChanges = 0, timeSignatureChanges = 0;

  void TempoChanged() override { ++tempoChanges; }
  void TimeSignatureChanged() override { ++timeSignatureChanges; }

  void NoteOn(const TMidiEventCompact& e) override { notesOn.push_back(e); }
  void NoteOff(const TMidiEventCompact& e) override { notesOff.push_back(e); }

  void RenderBlock() override {
    ++renders;
    mxcsrInRender = TFPUModeGuard::ReadMxcsr();
    const int32_t b = Context()->blockLength;
    for (int32_t i = 0; i < b; ++i) {
      const float v = quiet ? 0.0f : next++ * 1e-3f;
      outputs[0].stereo[2 * i] = v;
      outputs[0].stereo[2 * i + 1] = -v;
    }
    blockAudible = !quiet;
  }
};

// Owns a probe instance and calls it through its entry functions.
struct TProbeHost {
  TProbePlugin* plugin;
  vst::AEffect* effect;

  explicit TProbeHost(double rate = 44100.0) {
    plugin = new TProbePlugin();
    OpenVstPlugin(plugin, &FakeHostCallback<&probeHostState>);
    effect = VstEffectOf(plugin->Host());
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    Dispatch(vst::effMainsChanged, 0, 1);
  }
  ~TProbeHost() { Dispatch(vst::effClose); }
  TProbeHost(const TProbeHost&) = delete;
  TProbeHost& operator=(const TProbeHost&) = delete;

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  // processReplacing for n frames; returns left and right.
  std::pair<std::vector<float>, std::vector<float>> Process(int32_t n) {
    std::vector<float> l(static_cast<size_t>(n), 9.0f), r(static_cast<size_t>(n), 9.0f);
    float* outs[2] = {l.data(), r.data()};
    effect->processReplacing(effect, nullptr, outs, n);
    return {l, r};
  }
  void Midi(const TTestMidiMessages& messages) { SendTestMidi(effect, messages); }
  void SetParameter(int32_t index, float value) { effect->setParameter(effect, index, value); }
  float GetParameter(int32_t index) { return effect->getParameter(effect, index); }
};

}  // namespace tesmora6
