// The resonant low passes built of one-pole stages with global feedback: the three
// four-pole ladders ("24DB LP", "24DB LP2", "24DB LP3" with its high and band pass) and
// the two-pole resonant low pass ("LP1").
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// ---- four-pole ladder, first variant: "24DB LP" ----
// Four identical one-pole stages with a zero (0.3 of the previous stage input) and
// global negative feedback fb from the last stage; input gain 0.35013 f^4 keeps the
// pass band at unity. Resonance range [0.001, 3.999]; unguarded at high resonance.
template <class T>
struct TPoleZeroLadderKernel {
  T hold = T(0.0f);  // 1 - f, f = 1.16 f0 the frequency term
  T fb = T(0.0f);    // feedback R' (1 - 0.15 f^2)
  T g = T(0.0f);     // input gain 0.35013 f^4
  T s1 = T(0.0f), s2 = T(0.0f), s3 = T(0.0f), s4 = T(0.0f);
  T p1 = T(0.0f), p2 = T(0.0f), p3 = T(0.0f), p4 = T(0.0f);

  template <class S>
  static auto Fields(S& k) {
    return std::tie(k.hold, k.fb, k.g, k.s1, k.s2, k.s3, k.s4, k.p1, k.p2, k.p3, k.p4);
  }
  T Step(T x) {
    const T u = (x - fb * s4) * g;
    // s_k := u_k + 0.3 p_k + (1 - f) s_k, p_k := u_k; stage k takes the new s_(k-1).
    s1 = u + 0.3f * p1 + hold * s1;
    p1 = u;
    s2 = s1 + 0.3f * p2 + hold * s2;
    p2 = s1;
    s3 = s2 + 0.3f * p3 + hold * s3;
    p3 = s2;
    s4 = s3 + 0.3f * p4 + hold * s4;
    p4 = s3;
    return s4;
  }
};

class TPoleZeroLadderFilter final : public TDSPKernelFilter<TPoleZeroLadderFilter> {
 public:
  TPoleZeroLadderFilter();
  void Recalculate() override;
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TPoleZeroLadderFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.s1, k_.s2, k_.s3, k_.s4, k_.p1, k_.p2, k_.p3, k_.p4); }

 private:
  TPoleZeroLadderKernel<float> k_;
};

// ---- four-pole ladder, second variant: "24DB LP2" ----
// Four bilinear one-pole stages y = p (u + u_old) - k y with feedback r from the last
// stage; the resonance is scaled down by f^((1 - p) 1.386249).
template <class T>
struct TBilinearLadderKernel {
  T k = T(0.0f);  // pole term 3.6 f - 1.6 f^2 - 1
  T p = T(0.0f);  // (k + 1) / 2
  T r = T(0.0f);  // feedback R' x scale
  T y1 = T(0.0f), y2 = T(0.0f), y3 = T(0.0f), y4 = T(0.0f);
  T uOld = T(0.0f), y1Old = T(0.0f), y2Old = T(0.0f), y3Old = T(0.0f);

  template <class S>
  static auto Fields(S& s) {
    return std::tie(s.k, s.p, s.r, s.y1, s.y2, s.y3, s.y4, s.uOld, s.y1Old, s.y2Old, s.y3Old);
  }
  T Step(T x) {
    const T u = x - r * y4;
    y1 = u * p + uOld * p - k * y1;
    y2 = y1 * p + y1Old * p - k * y2;
    y3 = y2 * p + y2Old * p - k * y3;
    y4 = y3 * p + y3Old * p - k * y4;
    uOld = u;
    y1Old = y1;
    y2Old = y2;
    y3Old = y3;
    return y4;
  }
};

class TBilinearLadderFilter final : public TDSPKernelFilter<TBilinearLadderFilter> {
 public:
  TBilinearLadderFilter();
  void Recalculate() override;
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TBilinearLadderFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.y1, k_.y2, k_.y3, k_.y4, k_.uOld, k_.y1Old, k_.y2Old, k_.y3Old); }

 private:
  TBilinearLadderKernel<float> k_;
};

// ---- four-pole ladder with saturation: "24DB LP3", "24DB HP", "24DB BP" ----
// The input is scaled down by 1000 before the ladder and the output up by 1000 after
// it, so the cubic soft clip on the last stage only bites on very large signals.
// F = C / 22050 is not rescaled to the running rate. Resonance range [0.001, 0.88].
template <class T>
struct TSaturatingLadderKernel {
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass };
  int16_t mode = kLowPass;  // which node leaves the filter
  T p = T(0.0f);            // F + 0.8 F q
  T k = T(0.0f);            // 2p - 1
  T fb = T(0.0f);           // R' (1 + 0.5 q (1 - q + 5.6 q^2))
  T b0 = T(0.0f), b1 = T(0.0f), b2 = T(0.0f), b3 = T(0.0f), b4 = T(0.0f);

  template <class S>
  static auto Fields(S& s) {
    return std::tie(s.p, s.k, s.fb, s.b0, s.b1, s.b2, s.b3, s.b4);
  }
  T Step(T x) {
    const T in = 0.001f * x - fb * b4;
    T t1 = b1;
    b1 = (in + b0) * p - b1 * k;
    const T t2 = b2;
    b2 = (b1 + t1) * p - b2 * k;
    t1 = b3;
    b3 = (b2 + t2) * p - b3 * k;
    b4 = (b3 + t1) * p - b4 * k;
    b4 = b4 - b4 * b4 * b4 * 0.166667f;  // cubic soft clip
    b0 = in;
    switch (mode) {
      case kLowPass:
        return 1000.0f * b4;
      case kHighPass:
        return 1000.0f * (in - b4);
      default:
        return 1000.0f * (3.0f * (b3 - b4));
    }
  }
};

class TSaturatingLadderFilter : public TDSPKernelFilter<TSaturatingLadderFilter> {
 public:
  using Mode = TSaturatingLadderKernel<float>::Mode;
  using enum TSaturatingLadderKernel<float>::Mode;
  void Recalculate() override;
  void Reset() override;
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TSaturatingLadderFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.b0, k_.b1, k_.b2, k_.b3, k_.b4); }

 protected:
  explicit TSaturatingLadderFilter(Mode mode);

 private:
  TSaturatingLadderKernel<float> k_;
};

class TSaturatingLadderFilterLP final : public TSaturatingLadderFilter {
 public:
  TSaturatingLadderFilterLP() : TSaturatingLadderFilter(kLowPass) {}
};
class TSaturatingLadderFilterHP final : public TSaturatingLadderFilter {
 public:
  TSaturatingLadderFilterHP() : TSaturatingLadderFilter(kHighPass) {}
};
class TSaturatingLadderFilterBP final : public TSaturatingLadderFilter {
 public:
  TSaturatingLadderFilterBP() : TSaturatingLadderFilter(kBandPass) {}
};

// ---- two-pole resonant low pass: "LP1" ----
// Two leaky integrators with feedback of their difference. The frequency term f maps
// the cutoff 0.001 ... 0.24 fs onto 0.001 ... 0.999 without clamping, so cutoffs above
// 0.24 fs push f past 1 and the filter runs away (its sound; the guard catches overflow).
template <class T>
struct TTwoPoleResonantKernel {
  T f = T(0.0f);   // frequency term
  T fb = T(0.0f);  // feedback R' + R' / (1 - f)
  T b0 = T(0.0f), b1 = T(0.0f);

  template <class S>
  static auto Fields(S& s) {
    return std::tie(s.f, s.fb, s.b0, s.b1);
  }
  T Step(T x) {
    b0 = b0 + f * (x - b0 + fb * (b0 - b1));
    b1 = b1 + f * (b0 - b1);
    return b1;
  }
};

class TTwoPoleResonantFilter final : public TDSPKernelFilter<TTwoPoleResonantFilter> {
 public:
  TTwoPoleResonantFilter();
  void Recalculate() override;
  void Reset() override {
    TDSPFilter::Reset();
    k_.b0 = k_.b1 = 0.0f;
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TTwoPoleResonantFilter::k_; }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.b0, k_.b1); }

 private:
  TTwoPoleResonantKernel<float> k_;
};

}  // namespace tesmora6
