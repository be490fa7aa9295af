// The bilinear biquad family: one section with a small-value flush and a hard clamp, the
// peak design that the voice-filter types "4PoleEQ1", "4PoleEQ2", "Vocal1" and "Vocal2"
// use, and the two-pole low pass "4PoleLP".
#pragma once

#include "dsp/DSPFilter.h"

class TBiquadFilter1Base : public TDSPFilter {
 public:
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    float y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    // Outputs within +-1e-5 become 0, so the tail never reaches denormals; the clamp
    // keeps a runaway section finite.
    if (y >= -1e-5f && y <= 1e-5f) y = 0.0f;
    if (y < -900000.0f) y = -900000.0f;
    if (y > 900000.0f) y = 900000.0f;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }
  bool StateFinite() const { return AllFinite(x1_, x2_, y1_, y2_); }

  // The peak design: the bilinear transform, prewarped at f, of
  // G (s^2 + (B / Q) s + 1) / (s^2 + s / Q + 1): a band boost of B at f on top of a
  // gain G.
  void PeakDesign(long double gain, long double fs, long double boost, long double quality,
                  long double f);

  float B0() const { return b0_; }
  float B1() const { return b1_; }
  float B2() const { return b2_; }
  float A1() const { return a1_; }
  float A2() const { return a2_; }

 protected:
  TBiquadFilter1Base();
  void AllocateBuffers() override;

  float formantScale_ = 0.0f;  // 0.2 fs
  float a1_ = 0.0f, a2_ = 0.0f;              // feedback
  float b0_ = 0.0f, b1_ = 0.0f, b2_ = 0.0f;  // feed-forward
  float x1_ = 0.0f, x2_ = 0.0f, y1_ = 0.0f, y2_ = 0.0f;
};

// The plain biquad; the voice types derive from it.
class TBiquadFilter1 : public TBiquadFilter1Base {};

// "4PoleLP": a single two-pole low pass at max(Fh, 33) whose damping falls as the
// resonance rises.
class TBiquadFilter14PoleLP final : public TBiquadFilter1 {
 public:
  void Recalculate() override;
};

// "4PoleEQ1": a peak at Fh whose gain, boost and quality follow the resonance.
class TBiquadFilter14PoleEQ1 final : public TBiquadFilter1 {
 public:
  void Recalculate() override;
};

// "4PoleEQ2": a fixed peak (G 0.5, B 9, Q 8) at Fh; resonance has no effect.
class TBiquadFilter14PoleEQ2 final : public TBiquadFilter1 {
 public:
  void Recalculate() override;
};

// "Vocal1": a formant peak whose frequency rises from 270 Hz through 400 Hz to 800 Hz as
// v = C / 22050 x 0.2 fs goes from 0 through 120 to 240 (and on beyond).
class TBiquadFilter1Vocal1 final : public TBiquadFilter1 {
 public:
  TBiquadFilter1Vocal1();
  void Recalculate() override;
};

// "Vocal2": as "Vocal1" with 650 Hz in place of 800 Hz and its own boost and quality.
class TBiquadFilter1Vocal2 final : public TBiquadFilter1 {
 public:
  TBiquadFilter1Vocal2();
  void Recalculate() override;
};
