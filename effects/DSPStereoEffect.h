// The base of the seven stereo effects: the wet/dry/pan/mix/invert output law, two wet
// work buffers, the host tempo and its tick, the enabled flag, and the stereo period
// process the effect chain calls.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "dsp/DSPControl.h"

namespace tesmora6 {

// The process-wide read position into DSPDenormalNoise shared by every effect. Any entries
// of the table will do, so instances share it without locking (atomic, as instances render
// on threads of their own).
extern std::atomic<int32_t> DSPDenormalPos;

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
  // tick := 60000 / tempo / 120 ms (0.0001 at tempo 0); effects with time settings extend it.
  virtual void TempoChanged();

  // ---- the output law's settings: a changed value is stored, clamped, and recalculated ----
  void SetWetGain(float w);  // [-32, 32]
  void SetDryGain(float d);  // [-32, 32]
  void SetPan(float p);      // [0, 1]
  void SetMix(float x);      // [0, 1]
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
    return context_->paddedBlock > context_->samplesPerMs + 16 ? context_->paddedBlock : context_->samplesPerMs + 16;
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
  // bound. Feedback and cross-feed together, or a resonant filter inside a delay's loop,
  // can make a loop's gain exceed 1, and such a loop grows until something stops it. A
  // hard clamp (it was at 64) let it sit at the clamp for good: a +36 dBFS square wave
  // with DC long after the notes had ended. The bound is soft instead: values up to
  // kFeedbackKnee (+12 dBFS) pass unchanged (every loop a normal setting drives stays well
  // below it: the stored test render of all seven effects on a chord peaks under 2, so the
  // sound of those settings is untouched, bit for bit), and above it the excess is
  // compressed smoothly toward kFeedbackLimit, with slope 1 at the knee. A loop whose gain
  // exceeds 1 then rings at a bounded level, like a tape echo driven into self-
  // oscillation, without hard edges or DC; the output limiter of the instance bounds what
  // reaches the host. NaN passes unchanged, for the check below.
  static constexpr float kFeedbackKnee = 4.0f;
  static constexpr float kFeedbackLimit = 8.0f;
  static float BoundFeedback(float x) {
    if (x > kFeedbackKnee) return kFeedbackKnee + SoftExcess(x - kFeedbackKnee);
    if (x < -kFeedbackKnee) return -kFeedbackKnee - SoftExcess(-x - kFeedbackKnee);
    return x;
  }
  // e / (1 + e / h) with h = limit - knee: slope 1 at e = 0, approaching h as e grows
  // (an infinite excess gives NaN, which the finite check then clears).
  static float SoftExcess(float e) {
    constexpr float h = kFeedbackLimit - kFeedbackKnee;
    return e / (1.0f + e / h);
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

}  // namespace tesmora6
