// The voices: one sounding note with its envelopes, oscillators, filters, shapers, LFOs
// and step sequencers, plus the bookkeeping the pool uses to allocate, glide, release and
// free it. Each class level adds its own components; the product uses TDSPSynthVoice6.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/DSPEnvelopes.h"
#include "dsp/DSPMultiFilter.h"
#include "dsp/DSPMultiShaper.h"
#include "dsp/DSPTune.h"
#include "dsp/DSPOscillator.h"
#include "engine/DSPSequencer.h"

class TVoicePoolLayer;

enum TVoiceState : uint8_t { kVoiceHeld = 0, kVoiceReleased = 1, kVoiceFree = 2 };

// The bookkeeping every voice carries.
class TDSPXVoice : public TDSPControl {
 public:
  TDSPXVoice() = default;
  ~TDSPXVoice() override = default;

  // Free, with its note bookkeeping back at the start values.
  virtual void Reset();
  // Note-off: the envelopes enter their release from the current level.
  virtual void Release();
  // Legato start from another, held voice.
  virtual void TakeOver(TDSPXVoice& source, bool restart);
  // Keeps sounding with its envelopes untouched; only the sequencers may restart.
  virtual void Legato() {}
  // Full start of a note.
  virtual void Trigger() {}
  virtual void AfterTrigger() {}
  virtual void SetTempo(double) {}

  bool IsFree() const { return State == kVoiceFree; }

  // A sounding voice taken for a new note first fades its old note out (cutting it in one
  // sample clicked), and the new note waits here until the fade has ended.
  struct TPendingNote {
    bool waiting = false;
    bool released = false;  // its note-off came during the fade
    int32_t note = 0;
    float velocity = 0.0f;
    float glideFrom = 0.0f;
  };
  TPendingNote Pending;
  void StartStealFade(int32_t samples) {
    stealFadePosition_ = 0;
    stealFadeLength_ = samples > 0 ? samples : 1;
  }
  // Multiplies a period of the voice's gain by the falling ramp: 1 - (t + 1) / length,
  // reaching 0 on the fade's last sample and staying there.
  void ApplyStealFade(float* gain, int32_t n) {
    for (int32_t k = 0; k < n; ++k, ++stealFadePosition_) {
      const float left = static_cast<float>(stealFadeLength_ - stealFadePosition_ - 1);
      gain[k] *= left > 0.0f ? left / static_cast<float>(stealFadeLength_) : 0.0f;
    }
  }
  bool StealFadeDone() const { return stealFadePosition_ >= stealFadeLength_; }
  // The key the voice answers to: the waiting note's once it has been taken.
  int32_t OwningNote() const { return Pending.waiting ? Pending.note : Note; }

  int32_t ControlCounter = -1;  // samples since the last control update; -1 = just triggered
  TVoicePoolLayer* Owner = nullptr;
  int32_t PoolSize = 0;
  uint8_t State = kVoiceFree;
  int32_t Age = 0;
  float Velocity = 0.0f;
  int32_t Note = 48;
  float GlideFrom = 48.0f;
  float LastPitch = 48.0f;
  int16_t VoiceIndex = 0;
  int32_t ReleaseAge = 0;

 private:
  int32_t stealFadePosition_ = 0;
  int32_t stealFadeLength_ = 0;
};

// Adds the amplitude envelope Env1 and the modulation envelope Env2.
class TDSPEnvVoice : public TDSPXVoice {
 public:
  TDSPEnvVoice();

  void Reset() override;
  void Release() override;
  void TakeOver(TDSPXVoice& source, bool restart) override;
  void Trigger() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  bool EnvelopesFinished() const { return Env1.Finished() && Env2.Finished(); }

  TDSPADSR Env1;
  TDSPADSR Env2;

 private:
  void TakeOverEnvelope(TDSPADSR& env, const TDSPADSR& source, float fadeTarget, bool restart);
};

// Adds the three LFOs, the four filters (stage 1 and 2, left and right), the two shapers,
// the two step sequencers and the gain buffer.
class TDSPSynthVoice : public TDSPEnvVoice {
 public:
  static constexpr int kLfoCount = 3;
  static constexpr int kMaxOscillators = 6;
  enum FilterUnit { kFilter1Left, kFilter1Right, kFilter2Left, kFilter2Right, kFilterCount };

  TDSPSynthVoice();

  void Trigger() override;
  void Legato() override;
  void TakeOver(TDSPXVoice& source, bool restart) override;
  void SetTempo(double bpm) override;
  void ContextChanged(TDSPProcessInfo* info) override;

  // Restarts the LFOs whose key-sync flag is set, with their counters.
  void RestartKeySyncedLfos();
  int OscillatorCount() const { return oscillatorCount_; }
  TDSPOscillator& Oscillator(int i) { return *oscillators_[static_cast<size_t>(i)]; }
  TDSPDiatonicTune1& Tuner(int i) { return *tuners_[static_cast<size_t>(i)]; }
  float* GainBuffer() { return gain_.data(); }

  // ---- LFOs: slot, key sync, completed cycles, elapsed samples, output ----
  std::array<TDSPOscillator, kLfoCount> Lfo;
  std::array<uint8_t, kLfoCount> LfoKeySync{};
  std::array<int32_t, kLfoCount> LfoCycles{};
  std::array<int32_t, kLfoCount> LfoTime{};
  std::array<float, kLfoCount> LfoOut{};

  std::array<TDSPMultiFilter, kFilterCount> Filters;
  TDSPMultiShaper1 ShaperLeft;
  TDSPMultiShaper1 ShaperRight;
  std::array<TDSPSequencer, 2> Sequencers;

 protected:
  // Each oscillator level registers its slot and tuner here.
  void AddOscillator(TDSPOscillator& osc, TDSPDiatonicTune1& tuner);
  void RestartOscillators();
  void RestartSequencers(bool onlyWithRetrigger);

  std::array<TDSPOscillator*, kMaxOscillators> oscillators_{};
  std::array<TDSPDiatonicTune1*, kMaxOscillators> tuners_{};
  int oscillatorCount_ = 0;
  std::vector<float> gain_;
};

// Oscillators 1, 2 and 3, one per level, each with its own pitch converter.
class TDSPSynthVoice1 : public TDSPSynthVoice {
 public:
  TDSPSynthVoice1() { AddOscillator(Osc1, Tune1); }
  TDSPOscillator Osc1;
  TDSPDiatonicTune1 Tune1;
};

class TDSPSynthVoice2 : public TDSPSynthVoice1 {
 public:
  TDSPSynthVoice2() { AddOscillator(Osc2, Tune2); }
  TDSPOscillator Osc2;
  TDSPDiatonicTune1 Tune2;
};

class TDSPSynthVoice3 : public TDSPSynthVoice2 {
 public:
  TDSPSynthVoice3() { AddOscillator(Osc3, Tune3); }
  TDSPOscillator Osc3;
  TDSPDiatonicTune1 Tune3;
};

// Six oscillators: the voice of the product.
class TDSPSynthVoice6 : public TDSPSynthVoice3 {
 public:
  TDSPSynthVoice6() {
    AddOscillator(Osc4, Tune4);
    AddOscillator(Osc5, Tune5);
    AddOscillator(Osc6, Tune6);
  }
  TDSPOscillator Osc4, Osc5, Osc6;
  TDSPDiatonicTune1 Tune4, Tune5, Tune6;
};
