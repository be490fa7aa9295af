// The synth voice: one sounding note with its envelopes (TDSPEnvelopeVoice), oscillators,
// filters, shapers, LFOs and step sequencers. TDSPSynthVoice holds everything but the
// oscillators, which the concrete voice registers; the product uses TDSPSixOscillatorVoice.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/DSPMultiFilter.h"
#include "dsp/DSPMultiShaper.h"
#include "dsp/DSPTune.h"
#include "dsp/DSPOscillator.h"
#include "engine/DSPSequencer.h"
#include "engine/EnvelopeVoice.h"

namespace tesmora6 {

// Adds the three LFOs, the four filters (stage 1 and 2, left and right), the two shapers,
// the two step sequencers and the gain buffer.
class TDSPSynthVoice : public TDSPEnvelopeVoice {
 public:
  static constexpr int kLfoCount = 3;
  static constexpr int kMaxOscillators = 6;
  enum FilterUnit { kFilter1Left, kFilter1Right, kFilter2Left, kFilter2Right, kFilterCount };

  TDSPSynthVoice();

  void Trigger() override;
  void Legato() override;
  void TakeOver(TDSPPooledVoice& source, bool restart) override;
  void SetTempo(double bpm) override;
  void ContextChanged(TDSPProcessInfo* info) override;

  // Restarts the LFOs whose key-sync flag is set, with their counters.
  void RestartKeySyncedLfos();
  int OscillatorCount() const { return oscillatorCount_; }
  TDSPOscillator& Oscillator(int i) { return *oscillators_[static_cast<size_t>(i)]; }
  TDSPDiatonicTune& Tuner(int i) { return *tuners_[static_cast<size_t>(i)]; }
  float* GainBuffer() { return gain_.data(); }

  // ---- LFOs: slot, key sync, completed cycles, elapsed samples, output ----
  std::array<TDSPOscillator, kLfoCount> Lfo;
  std::array<uint8_t, kLfoCount> LfoKeySync{};
  std::array<int32_t, kLfoCount> LfoCycles{};
  std::array<int32_t, kLfoCount> LfoTime{};
  std::array<float, kLfoCount> LfoOut{};

  std::array<TDSPMultiFilter, kFilterCount> Filters;
  TDSPMultiShaper ShaperLeft;
  TDSPMultiShaper ShaperRight;
  std::array<TDSPSequencer, 2> Sequencers;

 protected:
  // The concrete voice registers each oscillator and its tuner here.
  void AddOscillator(TDSPOscillator& osc, TDSPDiatonicTune& tuner);
  void RestartOscillators();
  void RestartSequencers(bool onlyWithRetrigger);

  std::array<TDSPOscillator*, kMaxOscillators> oscillators_{};
  std::array<TDSPDiatonicTune*, kMaxOscillators> tuners_{};
  int oscillatorCount_ = 0;
  std::vector<float> gain_;
};

// The voice of the product: six oscillators, each with its own pitch converter.
class TDSPSixOscillatorVoice final : public TDSPSynthVoice {
 public:
  TDSPSixOscillatorVoice() {
    AddOscillator(Osc1, Tune1);
    AddOscillator(Osc2, Tune2);
    AddOscillator(Osc3, Tune3);
    AddOscillator(Osc4, Tune4);
    AddOscillator(Osc5, Tune5);
    AddOscillator(Osc6, Tune6);
  }
  // In this order: the members are built as the oscillator levels of the voice were.
  TDSPOscillator Osc1;
  TDSPDiatonicTune Tune1;
  TDSPOscillator Osc2;
  TDSPDiatonicTune Tune2;
  TDSPOscillator Osc3;
  TDSPDiatonicTune Tune3;
  TDSPOscillator Osc4, Osc5, Osc6;
  TDSPDiatonicTune Tune4, Tune5, Tune6;
};

}  // namespace tesmora6
