// The analog-style voice filters: Butterworth sections with and without resonance, the
// one-pole smoother, the three four-pole ladders, the two-pole resonant low pass and the
// double-sampled state-variable filter. Each class keeps its coefficients and delay
// elements next to its per-sample `Step`; `Tick` and `FillPeriod` run that step through
// the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

// ---- Butterworth with resonance: "BW LP", "BW HP" ----
// A second-order section with damping r = 1.3 - R'. The low pass designs at the
// mirrored frequency ny - Fh, so its tan term is cot(pi Fh / fs): a low pass at Fh.
class TButterworthFilter1 : public TDSPFilter {
 public:
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); section_.Clear(); }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TButterworthFilter1::section_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TButterworthFilter1::section_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TButterworthFilter1::section_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }
  TDSPFilterSection* LaneSection() override { return &section_; }

  float Step(float x) { return section_.Step(x); }
  bool StateFinite() const {
    return AllFinite(section_.x1, section_.x2, section_.y1, section_.y2);
  }

 protected:
  explicit TButterworthFilter1(int16_t mode);  // 0 low pass, 1 high pass
  TDSPFilterSection section_;
};

class TButterworthFilter1LP final : public TButterworthFilter1 {
 public:
  TButterworthFilter1LP() : TButterworthFilter1(0) {}
};

class TButterworthFilter1HP final : public TButterworthFilter1 {
 public:
  TButterworthFilter1HP() : TButterworthFilter1(1) {}
};

// ---- Butterworth without resonance: "BW LP2", "BW HP2", "BW BP2", "BW BR2" ----
// The classic bilinear sections at fc = Fh; band pass and band reject take their width
// in hertz from the raw bandwidth setting, W x ny.
class TButterworthFilter2 : public TDSPFilter {
 public:
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass, kBandReject };
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); section_.Clear(); }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TButterworthFilter2::section_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TButterworthFilter2::section_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TButterworthFilter2::section_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }
  TDSPFilterSection* LaneSection() override { return &section_; }

  float Step(float x) { return section_.Step(x); }
  bool StateFinite() const {
    return AllFinite(section_.x1, section_.x2, section_.y1, section_.y2);
  }

 protected:
  explicit TButterworthFilter2(Mode mode);
  TDSPFilterSection section_;
};

class TButterworthFilter2LP final : public TButterworthFilter2 {
 public:
  TButterworthFilter2LP() : TButterworthFilter2(kLowPass) {}
};
class TButterworthFilter2HP final : public TButterworthFilter2 {
 public:
  TButterworthFilter2HP() : TButterworthFilter2(kHighPass) {}
};
class TButterworthFilter2BP final : public TButterworthFilter2 {
 public:
  TButterworthFilter2BP() : TButterworthFilter2(kBandPass) {}
};
class TButterworthFilter2BR final : public TButterworthFilter2 {
 public:
  TButterworthFilter2BR() : TButterworthFilter2(kBandReject) {}
};

// ---- one-pole smoother: "12DB LP" ----
// y = (1 - k) x + k y_prev. The low pass sets k = C / 22050, so a higher cutoff setting
// smooths more (k = 0 passes the input, k near 1 holds the output).
template <class T>
struct TOnePoleKernel {
  T k = T(0.0f);     // weight of the previous output
  T pass = T(0.0f);  // 1 - k, weight of the input
  T y = T(0.0f);

  template <class S>
  static auto Fields(S& s) { return std::tie(s.k, s.pass, s.y); }
  T Step(T x) {
    y = pass * x + k * y;
    return y;
  }
};

class TDSPOnePoleFilter : public TDSPFilter {
 public:
  void Reset() override { TDSPFilter::Reset(); k_.y = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TDSPOnePoleFilter::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TDSPOnePoleFilter::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TDSPOnePoleFilter::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

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

// ---- four-pole ladder, first variant: "24DB LP" ----
// Four identical one-pole stages with a zero (0.3 of the previous stage input) and
// global negative feedback fb from the last stage; input gain 0.35013 f^4 keeps the
// pass band at unity. Resonance range [0.001, 3.999]; unguarded at high resonance.
template <class T>
struct TLadder1Kernel {
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

class T24DBResonantLPFilter1 final : public TDSPFilter {
 public:
  T24DBResonantLPFilter1();
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &T24DBResonantLPFilter1::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &T24DBResonantLPFilter1::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &T24DBResonantLPFilter1::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const {
    return AllFinite(k_.s1, k_.s2, k_.s3, k_.s4, k_.p1, k_.p2, k_.p3, k_.p4);
  }

 private:
  TLadder1Kernel<float> k_;
};

// ---- four-pole ladder, second variant: "24DB LP2" ----
// Four bilinear one-pole stages y = p (u + u_old) - k y with feedback r from the last
// stage; the resonance is scaled down by f^((1 - p) 1.386249).
template <class T>
struct TLadder3Kernel {
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

class T24DBResonantFilter3 final : public TDSPFilter {
 public:
  T24DBResonantFilter3();
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &T24DBResonantFilter3::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &T24DBResonantFilter3::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &T24DBResonantFilter3::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const {
    return AllFinite(k_.y1, k_.y2, k_.y3, k_.y4, k_.uOld, k_.y1Old, k_.y2Old, k_.y3Old);
  }

 private:
  TLadder3Kernel<float> k_;
};

// ---- four-pole ladder with saturation: "24DB LP3", "24DB HP", "24DB BP" ----
// The input is scaled down by 1000 before the ladder and the output up by 1000 after
// it, so the cubic soft clip on the last stage only bites on very large signals.
// F = C / 22050 is not rescaled to the running rate. Resonance range [0.001, 0.88].
template <class T>
struct TLadder2Kernel {
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass };
  int16_t mode = kLowPass;  // which node leaves the filter
  T p = T(0.0f);   // F + 0.8 F q
  T k = T(0.0f);   // 2p - 1
  T fb = T(0.0f);  // R' (1 + 0.5 q (1 - q + 5.6 q^2))
  T b0 = T(0.0f), b1 = T(0.0f), b2 = T(0.0f), b3 = T(0.0f), b4 = T(0.0f);

  template <class S>
  static auto Fields(S& s) { return std::tie(s.p, s.k, s.fb, s.b0, s.b1, s.b2, s.b3, s.b4); }
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
      case kLowPass: return 1000.0f * b4;
      case kHighPass: return 1000.0f * (in - b4);
      default: return 1000.0f * (3.0f * (b3 - b4));
    }
  }
};

class T24DBResonantFilter2 : public TDSPFilter {
 public:
  using Mode = TLadder2Kernel<float>::Mode;
  using enum TLadder2Kernel<float>::Mode;
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &T24DBResonantFilter2::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &T24DBResonantFilter2::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &T24DBResonantFilter2::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.b0, k_.b1, k_.b2, k_.b3, k_.b4); }

 protected:
  explicit T24DBResonantFilter2(Mode mode);

 private:
  TLadder2Kernel<float> k_;
};

class T24DBResonantFilter2LP final : public T24DBResonantFilter2 {
 public:
  T24DBResonantFilter2LP() : T24DBResonantFilter2(kLowPass) {}
};
class T24DBResonantFilter2HP final : public T24DBResonantFilter2 {
 public:
  T24DBResonantFilter2HP() : T24DBResonantFilter2(kHighPass) {}
};
class T24DBResonantFilter2BP final : public T24DBResonantFilter2 {
 public:
  T24DBResonantFilter2BP() : T24DBResonantFilter2(kBandPass) {}
};

// ---- two-pole resonant low pass: "LP1" ----
// Two leaky integrators with feedback of their difference. The frequency term f maps
// the cutoff 0.001 ... 0.24 fs onto 0.001 ... 0.999 without clamping, so cutoffs above
// 0.24 fs push f past 1 and the filter runs away (its sound; the guard catches overflow).
template <class T>
struct TXResonantKernel {
  T f = T(0.0f);   // frequency term
  T fb = T(0.0f);  // feedback R' + R' / (1 - f)
  T b0 = T(0.0f), b1 = T(0.0f);

  template <class S>
  static auto Fields(S& s) { return std::tie(s.f, s.fb, s.b0, s.b1); }
  T Step(T x) {
    b0 = b0 + f * (x - b0 + fb * (b0 - b1));
    b1 = b1 + f * (b0 - b1);
    return b1;
  }
};

class TXResonantFilter1 final : public TDSPFilter {
 public:
  TXResonantFilter1();
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); k_.b0 = k_.b1 = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TXResonantFilter1::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TXResonantFilter1::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TXResonantFilter1::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.b0, k_.b1); }

 private:
  TXResonantKernel<float> k_;
};

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
  T q = T(0.0f);      // damping Rhi + Rlo - R'
  T fcoef = T(0.0f);  // frequency coefficient
  T gin = T(0.0f);    // input gain
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
      case kLowPass: return low;
      case kHighPass: return high;
      case kBandPass: return band;
      case kNotch: return notch;
      default: return peak;
    }
  }
};

class TStateVariableFilter1 : public TDSPFilter {
 public:
  using Mode = TStateVariableKernel<float>::Mode;
  using enum TStateVariableKernel<float>::Mode;
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TStateVariableFilter1::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TStateVariableFilter1::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TStateVariableFilter1::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.low, k_.band); }
  float FrequencyCoefficient() const { return k_.fcoef; }

 protected:
  explicit TStateVariableFilter1(Mode mode);

 private:
  TStateVariableKernel<float> k_;
  long double ginDamping_ = -1.0L;  // the damping k_.gin was worked out for (none yet)
};

class TStateVariableFilter1LP final : public TStateVariableFilter1 {
 public:
  TStateVariableFilter1LP() : TStateVariableFilter1(kLowPass) {}
};
class TStateVariableFilter1HP final : public TStateVariableFilter1 {
 public:
  TStateVariableFilter1HP() : TStateVariableFilter1(kHighPass) {}
};
class TStateVariableFilter1BP final : public TStateVariableFilter1 {
 public:
  TStateVariableFilter1BP() : TStateVariableFilter1(kBandPass) {}
};
class TStateVariableFilter1NOTCH final : public TStateVariableFilter1 {
 public:
  TStateVariableFilter1NOTCH() : TStateVariableFilter1(kNotch) {}
};
class TStateVariableFilter1PEAKING final : public TStateVariableFilter1 {
 public:
  TStateVariableFilter1PEAKING() : TStateVariableFilter1(kPeaking) {}
};
