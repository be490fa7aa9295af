// The base of the seven stereo effects: the wet/dry/pan/mix/invert output law, two wet
// work buffers, the host tempo and its tick, the enabled flag, and the stereo period
// process the effect chain calls.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/DSPControl.h"

// The process-wide read position into DSPDenormalNoise shared by every effect. Any entries
// of the table will do, so instances share it without locking.
extern int32_t DSPDenormalPos;

// The anti-denormal values of one period: DSPDenormalNoise from DSPDenormalPos onward, one
// per sample; the position then advances by the period length and wraps past 4096.
const float* TakeDenormalValues(int32_t samples);

class TDSPStereoEffect : public TDSPControl {
 public:
  TDSPStereoEffect();
  ~TDSPStereoEffect() override;

  // One control period (M samples) of both arrays, in place.
  virtual void ProcessStereo(float* left, float* right) = 0;
  // Forgets all signal history (the base has none).
  virtual void Clear() {}
  virtual float QueryValue() const { return 0.0f; }
  // tick := 60000 / tempo / 120 ms (0.0001 at tempo 0); effects with time settings extend it.
  virtual void TempoChanged();

  // ---- the output law's settings: a changed value is stored, clamped, and recalculated ----
  void SetWetGain(float w);       // [-32, 32]
  void SetDryGain(float d);       // [-32, 32]
  void SetPan(float p);           // [0, 1]
  void SetMix(float x);           // [0, 1]
  void SetInvertLeft(bool on);
  void SetInvertRight(bool on);
  void SetTempo(float bpm);
  void SetLengthUnit(bool ticks);

  // The output law: gains from pan and inverts, wet and dry coefficients from the mix.
  void Recalculate() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  void Tick() override {}

  bool enabled = true;

  float Tempo() const { return tempo_; }
  float TickMs() const { return tick_; }
  bool LengthInTicks() const { return lengthUnit_ != 0; }
  float WetLeft() const { return wetLeft_; }
  float DryLeft() const { return dryLeft_; }
  float WetRight() const { return wetRight_; }
  float DryRight() const { return dryRight_; }

 protected:
  // Frees and re-allocates the buffers for the current block length (every context
  // change); effects extend it for their own buffers.
  void AllocateBuffers() override;
  int32_t PeriodLength() const { return context_->samplesPerMs; }
  // Entries of a period buffer: the padded block, or a padded period should a context
  // have blocks shorter than a period.
  int32_t PeriodBufferLength() const {
    return context_->paddedBlock > context_->samplesPerMs + 16 ? context_->paddedBlock
                                                                : context_->samplesPerMs + 16;
  }
  // left := in left x dry left + wet left x wetL; the same for the right.
  void MixOutput(float& left, float& right, float wetL, float wetR) const {
    left = left * dryLeft_ + wetL * wetLeft_;
    right = right * dryRight_ + wetR * wetRight_;
  }

  // ---- the finite guard ----
  // A feedback of 1 or more makes an effect grow by design, and a grown state overflows
  // at last. Every effect checks its period's output (and the state it wrote) at the end
  // of the period; while everything is finite nothing changes. Otherwise the effect
  // forgets its history and the period is silenced, so no NaN or infinity leaves it.
  // Every feedback path (chorus and delay lines, the phaser's loop) passes through this
  // bound. Settings at the top of their ranges (feedback and cross-feed together above a
  // loop gain of 1) made a loop grow without end, to 1e37 and beyond, while staying finite;
  // with the bound such a loop saturates instead. Normal settings never come near it, so
  // it changes nothing they produce. NaN passes unchanged, for the check below.
  static constexpr float kFeedbackLimit = 64.0f;
  static float BoundFeedback(float x) {
    return x < -kFeedbackLimit ? -kFeedbackLimit : (x > kFeedbackLimit ? kFeedbackLimit : x);
  }
  // True when none of the n values is an infinity or a NaN.
  static bool AllFinite(const float* a, int32_t n);
  // The same for n entries of a circular line of the given length from position `from`.
  static bool LineFinite(const float* line, int32_t length, int32_t from, int32_t n);
  // Clears the effect and silences the period of both arrays.
  void RecoverFromNonFinite(float* left, float* right);

  float tempo_ = 120.0f;
  // The tick of the initial tempo. Set-tempo ignores an unchanged tempo, so a host at
  // 120 beats per minute would otherwise keep a 5 ms tick that belongs to no tempo.
  float tick_ = 60000.0f / 120.0f / 120.0f;
  uint8_t lengthUnit_ = 0;
  float mix_ = 0.4f;
  float gainLeft_ = 0.0f, gainRight_ = 0.0f;
  float pan_ = 0.4f;
  float wetLeft_ = 0.0f, dryLeft_ = 0.0f, wetRight_ = 0.0f, dryRight_ = 0.0f;
  uint8_t invertLeft_ = 0, invertRight_ = 0;
  float wetGain_ = 0.6f;
  float dryGain_ = 1.0f;
  std::vector<float> wetBufferLeft_, wetBufferRight_;
};
