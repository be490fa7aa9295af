// Drives a real TTesmora6 through the engine interface (framework/SynthEngine.h), the one
// every plug-in adapter drives, while keeping the instrument at hand so tests can look at its
// voices. Each call runs in the floating-point mode the adapters give the engine (flush-to-
// zero, denormals-are-zero, x87 full precision), and the host link reports 120 BPM in 4/4, so
// the instrument renders here what it renders in a host.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "TestMidi.h"
#include "engine/Tesmora6ParamIds.h"
#include "framework/FloatingPointMode.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "tests/support/SignalMeasures.h"
#include "tests/support/TestHostLink.h"

namespace tesmora6 {

class TInstrumentHost {
 public:
  explicit TInstrumentHost(double rate = 44100.0) : TInstrumentHost(std::make_unique<TTesmora6>(), rate) {}
  // Hosts an instrument built by the test (a subclass of its own, say).
  explicit TInstrumentHost(std::unique_ptr<TTesmora6> instrument, double rate = 44100.0, bool renderFirstBlock = true)
      : engine_(MakeEngine(std::move(instrument))), plugin(&engine_->Instrument()) {
    TFPUModeGuard mode;
    engine_->SetHostLink(&link);
    // What a host does when it loads the plug-in: the sample rate, then processing on.
    engine_->SetSampleRate(rate);
    engine_->Resume();
    // The first block applies every parameter and builds the voice pool.
    if (renderFirstBlock) Render(64);
  }
  ~TInstrumentHost() {
    TFPUModeGuard mode;
    engine_.reset();
  }
  TInstrumentHost(const TInstrumentHost&) = delete;
  TInstrumentHost& operator=(const TInstrumentHost&) = delete;

  TSynthEngine& Engine() { return *engine_; }

  // Sets a parameter to a value in its own units (as the editor shows it).
  void Set(int32_t index, float real) {
    const auto& p = plugin->ParamInfo(index);
    SetNormalized(index, (real - p.minimum) / (p.maximum - p.minimum));
  }
  float Get(int32_t index) {
    TFPUModeGuard mode;
    return plugin->GetReal(index);
  }
  // The host's view of a parameter: normalized 0 .. 1.
  void SetNormalized(int32_t index, float normalized) {
    TFPUModeGuard mode;
    engine_->SetParameter(index, normalized);
  }
  float GetNormalized(int32_t index) {
    TFPUModeGuard mode;
    return engine_->Parameter(index);
  }
  // Only oscillator 1 sounds (the default patch has all six on).
  void SoloOscillator1(int waveform = 6) {
    for (int i = 1; i < 6; ++i) Set(Param::Osc1Amount + i, 0.0f);
    Set(Param::Osc1Waveform, static_cast<float>(waveform));
  }

  void SelectProgram(int32_t program) {
    TFPUModeGuard mode;
    engine_->SelectProgram(program);
  }
  int32_t CurrentProgram() {
    TFPUModeGuard mode;
    return engine_->CurrentProgram();
  }
  // The whole bank or the current program, as a host stores and restores it.
  std::vector<uint8_t> SaveState(bool wholeBank) {
    TFPUModeGuard mode;
    return engine_->SaveState(wholeBank);
  }
  void LoadState(std::span<const uint8_t> state, bool wholeBank) {
    TFPUModeGuard mode;
    engine_->LoadState(state, wholeBank);
  }
  void SetSampleRate(double rate) {
    TFPUModeGuard mode;
    engine_->SetSampleRate(rate);
  }
  void Suspend() {
    TFPUModeGuard mode;
    engine_->Suspend();
  }
  void Resume() {
    TFPUModeGuard mode;
    engine_->Resume();
  }

  // Messages for the next Render, each at its frame of that call's first block.
  void Midi(const TTestMidiMessages& messages) {
    TFPUModeGuard mode;
    for (const auto& [frame, bytes] : messages) engine_->QueueMidi({frame, {bytes[0], bytes[1], bytes[2]}});
  }
  void QueueMidi(std::span<const TMidiMessage> messages) {
    TFPUModeGuard mode;
    for (const TMidiMessage& m : messages) engine_->QueueMidi(m);
  }
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
      Process(out.left.data() + done, out.right.data() + done, n);
    }
    return out;
  }
  // One processing call into the caller's buffers.
  void Process(float* left, float* right, int32_t frames) {
    TFPUModeGuard mode;
    engine_->Process({}, left, right, frames);
  }

  // What the engine hears of the host's timeline (tests change its tempo).
  TTestHostLink link;

 private:
  // Building the engine applies its first program: in the adapters' mode as well.
  static std::unique_ptr<TTesmora6Engine> MakeEngine(std::unique_ptr<TTesmora6> instrument) {
    TFPUModeGuard mode;
    return std::make_unique<TTesmora6Engine>(std::move(instrument));
  }

  std::unique_ptr<TTesmora6Engine> engine_;

 public:
  TTesmora6* plugin;
};

}  // namespace tesmora6
