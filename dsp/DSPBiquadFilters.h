// The bilinear biquad family: one section with a small-value flush and a hard clamp, the
// peak design that the voice-filter types "4PoleEQ1", "4PoleEQ2", "Vocal1" and "Vocal2"
// use, and the two-pole low pass "4PoleLP".
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// The section of the family: y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, where outputs
// within +-1e-5 become 0, so the tail never reaches denormals, and the clamp to
// +-900000 keeps a runaway section finite.
template <class T>
struct TClampedBiquadKernel {
  T a1 = T(0.0f), a2 = T(0.0f);                // feedback
  T b0 = T(0.0f), b1 = T(0.0f), b2 = T(0.0f);  // feed-forward
  T x1 = T(0.0f), x2 = T(0.0f), y1 = T(0.0f), y2 = T(0.0f);

  template <class S>
  static auto Fields(S& k) {
    return std::tie(k.a1, k.a2, k.b0, k.b1, k.b2, k.x1, k.x2, k.y1, k.y2);
  }
  T Step(T x) {
    using namespace filter_lanes;
    T y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    y = ZeroWithin(y, 1e-5f);
    y = RaiseTo(y, -900000.0f);
    y = LowerTo(y, 900000.0f);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// The plain biquad of the family; the voice types derive from it.
class TClampedBiquadFilter : public TDSPKernelFilter<TClampedBiquadFilter> {
 public:
  TClampedBiquadFilter();
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TClampedBiquadFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.x1, k_.x2, k_.y1, k_.y2); }

  // The peak design: the bilinear transform, prewarped at f, of
  // G (s^2 + (B / Q) s + 1) / (s^2 + s / Q + 1): a band boost of B at f on top of a
  // gain G.
  void PeakDesign(long double gain, long double fs, long double boost, long double quality, long double f);

  float B0() const { return k_.b0; }
  float B1() const { return k_.b1; }
  float B2() const { return k_.b2; }
  float A1() const { return k_.a1; }
  float A2() const { return k_.a2; }

 protected:
  void AllocateBuffers() override;

  float formantScale_ = 0.0f;  // 0.2 fs
  TClampedBiquadKernel<float> k_;
};

// "4PoleLP": a single two-pole low pass at max(Fh, 33) whose damping falls as the
// resonance rises.
class TBiquad4PoleLPFilter final : public TClampedBiquadFilter {
 public:
  void Recalculate() override;
};

// "4PoleEQ1": a peak at Fh whose gain, boost and quality follow the resonance.
class TBiquad4PoleEQ1Filter final : public TClampedBiquadFilter {
 public:
  void Recalculate() override;
};

// "4PoleEQ2": a fixed peak (G 0.5, B 9, Q 8) at Fh; resonance has no effect.
class TBiquad4PoleEQ2Filter final : public TClampedBiquadFilter {
 public:
  void Recalculate() override;
};

// "Vocal1": a formant peak whose frequency rises from 270 Hz through 400 Hz to 800 Hz as
// v = C / 22050 x 0.2 fs goes from 0 through 120 to 240 (and on beyond).
class TBiquadVocal1Filter final : public TClampedBiquadFilter {
 public:
  TBiquadVocal1Filter();
  void Recalculate() override;
};

// "Vocal2": as "Vocal1" with 650 Hz in place of 800 Hz and its own boost and quality.
class TBiquadVocal2Filter final : public TClampedBiquadFilter {
 public:
  TBiquadVocal2Filter();
  void Recalculate() override;
};

}  // namespace tesmora6
