// The voice filters built of parallel one-pole low passes without resonance: the one-pole
// smoother ("12DB LP") and the three-pole pink-noise tilt ("RND1", "RND2").
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// ---- one-pole smoother: "12DB LP" ----
// y = (1 - k) x + k y_prev. The low pass sets k = C / 22050, so a higher cutoff setting
// smooths more (k = 0 passes the input, k near 1 holds the output).
template <class T>
struct TOnePoleKernel {
  T k = T(0.0f);     // weight of the previous output
  T pass = T(0.0f);  // 1 - k, weight of the input
  T y = T(0.0f);

  template <class S>
  static auto Fields(S& s) {
    return std::tie(s.k, s.pass, s.y);
  }
  T Step(T x) {
    y = pass * x + k * y;
    return y;
  }
};

class TDSPOnePoleFilter : public TDSPKernelFilter<TDSPOnePoleFilter> {
 public:
  void Reset() override {
    TDSPFilter::Reset();
    k_.y = 0.0f;
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TDSPOnePoleFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.y); }

 protected:
  TDSPOnePoleFilter() = default;
  TOnePoleKernel<float> k_;
};

class TDSPOnePoleFilterLP final : public TDSPOnePoleFilter {
 public:
  void Recalculate() override;
};

// ---- pink-noise tilt filter: "RND1", "RND2" ----
// The three-pole economy pink filter; k = C / 22050 x 4 weights the slowest and the
// fastest pole (k = 1 is the classic pink response). Resonance and bandwidth have no
// effect.
template <class T>
struct TPinkNoiseKernel {
  T k0 = T(0.0f);  // 0.099046 k
  T k2 = T(0.0f);  // 1.0526913 k
  T p0 = T(0.0f), p1 = T(0.0f), p2 = T(0.0f);

  template <class S>
  static auto Fields(S& k) {
    return std::tie(k.k0, k.k2, k.p0, k.p1, k.p2);
  }
  T Step(T x) {
    p0 = 0.99765f * p0 + k0 * x;
    p1 = 0.963f * p1 + 0.2965164f * x;
    p2 = 0.57f * p2 + k2 * x;
    return p0 + p1 + p2 + 0.1848f * x;
  }
};

class TPinkNoiseFilter final : public TDSPKernelFilter<TPinkNoiseFilter> {
 public:
  void Recalculate() override;
  void Reset() override {
    TDSPFilter::Reset();
    k_.p0 = k_.p1 = k_.p2 = 0.0f;
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TPinkNoiseFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.p0, k_.p1, k_.p2); }

 private:
  TPinkNoiseKernel<float> k_;
};

}  // namespace tesmora6
