// The double-sampled state-variable voice filter and its five output nodes ("SVF LP" ...
// "PEAKING").
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// ---- double-sampled state-variable filter: "SVF LP", "SVF HP", "SVF BP",
// "SVF NOTCH", "PEAKING" ----
// Two passes of the Chamberlin structure per sample, the first pass's chosen node
// feeding the second; a cubic term keeps the band node in check. The frequency
// coefficient moves only a little with the cutoff: these filters sound through their
// fixed character and their resonance.
template <class T>
struct TStateVariableKernel {
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass, kNotch, kPeaking };
  int16_t mode = kLowPass;  // which node leaves each pass
  T q = T(0.0f);            // damping Rhi + Rlo - R'
  T fcoef = T(0.0f);        // frequency coefficient
  T gin = T(0.0f);          // input gain
  T low = T(0.0f), high = T(0.0f), band = T(0.0f), notch = T(0.0f), peak = T(0.0f);

  template <class S>
  static auto Fields(S& s) {
    return std::tie(s.q, s.fcoef, s.gin, s.low, s.high, s.band, s.notch, s.peak);
  }
  T Step(T x) {
    using filter_lanes::FlushSubnormal;
    T u = gin * x;
    for (int pass = 0; pass < 2; ++pass) {
      u = FlushSubnormal(u);
      low = FlushSubnormal(low);
      band = band - band * band * band * 0.001f;
      high = u - low - q * band;
      band = band + fcoef * high;
      low = low + fcoef * band;
      notch = high + low;
      peak = low - high;
      u = Node();
    }
    return u;
  }
  T Node() const {
    switch (mode) {
      case kLowPass:
        return low;
      case kHighPass:
        return high;
      case kBandPass:
        return band;
      case kNotch:
        return notch;
      default:
        return peak;
    }
  }
};

class TStateVariableFilter : public TDSPKernelFilter<TStateVariableFilter> {
 public:
  using Mode = TStateVariableKernel<float>::Mode;
  using enum TStateVariableKernel<float>::Mode;
  void Recalculate() override;
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TStateVariableFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.low, k_.band); }
  float FrequencyCoefficient() const { return k_.fcoef; }

 protected:
  explicit TStateVariableFilter(Mode mode);

 private:
  TStateVariableKernel<float> k_;
  long double ginDamping_ = -1.0L;  // the damping k_.gin was worked out for (none yet)
};

class TStateVariableFilterLP final : public TStateVariableFilter {
 public:
  TStateVariableFilterLP() : TStateVariableFilter(kLowPass) {}
};
class TStateVariableFilterHP final : public TStateVariableFilter {
 public:
  TStateVariableFilterHP() : TStateVariableFilter(kHighPass) {}
};
class TStateVariableFilterBP final : public TStateVariableFilter {
 public:
  TStateVariableFilterBP() : TStateVariableFilter(kBandPass) {}
};
class TStateVariableFilterNotch final : public TStateVariableFilter {
 public:
  TStateVariableFilterNotch() : TStateVariableFilter(kNotch) {}
};
class TStateVariableFilterPeaking final : public TStateVariableFilter {
 public:
  TStateVariableFilterPeaking() : TStateVariableFilter(kPeaking) {}
};

}  // namespace tesmora6
