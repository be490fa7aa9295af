// The two-pole resonator voice filters: the IIR notch, the resonator and the pole pair
// with its band-pass and all-pass outputs ("Bandpass", "Phaser").
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// ---- IIR notch: "IIR NOTCH" ----
// Zeros on the unit circle at fc = Fh, poles at radius R' behind them. The delay line
// keeps the unclamped output; what leaves the filter is clamped to the 16-bit range.
template <class T>
struct TIIRNotchKernel {
  T g = T(0.0f);    // R' + (1 - R')^2 / (2 (|c| + 1))
  T cg2 = T(0.0f);  // 2 c g
  T rc2 = T(0.0f);  // 2 R' c
  T r2 = T(0.0f);   // R'^2
  T x1 = T(0.0f), x2 = T(0.0f), y1 = T(0.0f), y2 = T(0.0f);

  template <class S>
  static auto Fields(S& k) {
    return std::tie(k.g, k.cg2, k.rc2, k.r2, k.x1, k.x2, k.y1, k.y2);
  }
  T Step(T x) {
    // y = g (x + x2) - 2 c g x1 + 2 R' c y1 - R'^2 y2
    const T y = g * (x + x2) - cg2 * x1 + rc2 * y1 - r2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return filter_lanes::LowerTo(filter_lanes::RaiseTo(y, -32768.0f), 32767.0f);
  }
};

class TIIRNotchFilter final : public TDSPKernelFilter<TIIRNotchFilter> {
 public:
  TIIRNotchFilter();
  void Recalculate() override;
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TIIRNotchFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.x1, k_.x2, k_.y1, k_.y2); }

 private:
  TIIRNotchKernel<float> k_;
};

// ---- resonator: "RES" ----
// A two-pole resonance at fc = Fh whose pole radius q = exp(-2 pi W' / fs) follows the
// bandwidth in hertz; the gain g normalises the peak. Resonance has no effect.
template <class T>
struct TResonatorKernel {
  T q = T(0.0f);   // pole radius squared
  T b1 = T(0.0f);  // -4 q cos(2 pi fc / fs) / (1 + q)
  T g = T(0.0f);   // peak gain normalisation
  T y1 = T(0.0f), y2 = T(0.0f);

  template <class S>
  static auto Fields(S& k) {
    return std::tie(k.q, k.b1, k.g, k.y1, k.y2);
  }
  T Step(T x) {
    const T y = g * x - b1 * y1 - q * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

class TResonatorFilter final : public TDSPKernelFilter<TResonatorFilter> {
 public:
  TResonatorFilter();
  void Recalculate() override;
  void Reset() override {
    TDSPFilter::Reset();
    k_.y1 = k_.y2 = 0.0f;
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TResonatorFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.y1, k_.y2); }

 private:
  TResonatorKernel<float> k_;
};

// ---- resonant band pass and all-pass: "Bandpass", "Phaser" ----
// A pole pair at radius r = R' / 256 (R' in [1, 255]) and angle 2 pi fc / fs, fc = Fh.
// The band pass is y = g x + 2 r c y1 - r^2 y2 with its peak gain normalised by g; the
// all-pass y = r^2 x - 2 r c x1 + x2 + 2 r c y1 - r^2 y2 has unity magnitude, the phase
// turning around fc (near a pure two-sample delay at the smallest radius).
template <class T>
struct TPolePairKernel {
  enum Mode : int16_t { kBandPass, kAllPass };
  int16_t mode = kBandPass;
  T g = T(0.0f);    // band pass: sqrt(r (r - 4 c^2 + 2) + 1) (1 - r)
  T rc2 = T(0.0f);  // 2 r c
  T r2 = T(0.0f);   // r^2
  T x1 = T(0.0f), x2 = T(0.0f), y1 = T(0.0f), y2 = T(0.0f);

  template <class S>
  static auto Fields(S& k) {
    return std::tie(k.g, k.rc2, k.r2, k.x1, k.x2, k.y1, k.y2);
  }
  T Step(T x) {
    if (mode == kBandPass) {
      const T y = g * x + rc2 * y1 - r2 * y2;
      y2 = y1;
      y1 = y;
      return y;
    }
    const T y = r2 * x - rc2 * x1 + x2 + rc2 * y1 - r2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

class TPolePairFilter : public TDSPKernelFilter<TPolePairFilter> {
 public:
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TPolePairFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.x1, k_.x2, k_.y1, k_.y2); }

 protected:
  explicit TPolePairFilter(TPolePairKernel<float>::Mode mode);
  struct TPole {
    long double r, c;  // radius and cos(2 pi fc / fs)
  };
  // Maps the settings and stores the pole terms 2 r c and r^2.
  TPole DesignPole();
  TPolePairKernel<float> k_;
};

class TPolePairFilterBP final : public TPolePairFilter {
 public:
  TPolePairFilterBP() : TPolePairFilter(TPolePairKernel<float>::kBandPass) {}
  void Recalculate() override;
};

class TPolePairFilterPhaser final : public TPolePairFilter {
 public:
  TPolePairFilterPhaser() : TPolePairFilter(TPolePairKernel<float>::kAllPass) {}
  void Recalculate() override { DesignPole(); }
};

}  // namespace tesmora6
