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
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
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
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
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
class TDSPOnePoleFilter : public TDSPFilter {
 public:
  void Reset() override { TDSPFilter::Reset(); y_ = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    y_ = pass_ * x + k_ * y_;
    return y_;
  }
  bool StateFinite() const { return AllFinite(y_); }

 protected:
  TDSPOnePoleFilter() = default;
  float k_ = 0.0f;     // weight of the previous output
  float pass_ = 0.0f;  // 1 - k, weight of the input
  float y_ = 0.0f;
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
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
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
class T24DBResonantFilter3 final : public TDSPFilter {
 public:
  T24DBResonantFilter3();
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    const float u = x - r_ * y4_;
    y1_ = u * p_ + uOld_ * p_ - k_ * y1_;
    y2_ = y1_ * p_ + y1Old_ * p_ - k_ * y2_;
    y3_ = y2_ * p_ + y2Old_ * p_ - k_ * y3_;
    y4_ = y3_ * p_ + y3Old_ * p_ - k_ * y4_;
    uOld_ = u;
    y1Old_ = y1_;
    y2Old_ = y2_;
    y3Old_ = y3_;
    return y4_;
  }
  bool StateFinite() const {
    return AllFinite(y1_, y2_, y3_, y4_, uOld_, y1Old_, y2Old_, y3Old_);
  }

 private:
  float k_ = 0.0f;  // pole term 3.6 f - 1.6 f^2 - 1
  float p_ = 0.0f;  // (k + 1) / 2
  float r_ = 0.0f;  // feedback R' x scale
  float y1_ = 0.0f, y2_ = 0.0f, y3_ = 0.0f, y4_ = 0.0f;
  float uOld_ = 0.0f, y1Old_ = 0.0f, y2Old_ = 0.0f, y3Old_ = 0.0f;
};

// ---- four-pole ladder with saturation: "24DB LP3", "24DB HP", "24DB BP" ----
// The input is scaled down by 1000 before the ladder and the output up by 1000 after
// it, so the cubic soft clip on the last stage only bites on very large signals.
// F = C / 22050 is not rescaled to the running rate. Resonance range [0.001, 0.88].
class T24DBResonantFilter2 : public TDSPFilter {
 public:
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass };
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    const float in = 0.001f * x - fb_ * b4_;
    float t1 = b1_;
    b1_ = (in + b0_) * p_ - b1_ * k_;
    const float t2 = b2_;
    b2_ = (b1_ + t1) * p_ - b2_ * k_;
    t1 = b3_;
    b3_ = (b2_ + t2) * p_ - b3_ * k_;
    b4_ = (b3_ + t1) * p_ - b4_ * k_;
    b4_ = b4_ - b4_ * b4_ * b4_ * 0.166667f;  // cubic soft clip
    b0_ = in;
    switch (mode_) {
      case kLowPass: return 1000.0f * b4_;
      case kHighPass: return 1000.0f * (in - b4_);
      default: return 1000.0f * (3.0f * (b3_ - b4_));
    }
  }
  bool StateFinite() const { return AllFinite(b0_, b1_, b2_, b3_, b4_); }

 protected:
  explicit T24DBResonantFilter2(Mode mode);

 private:
  float p_ = 0.0f;   // F + 0.8 F q
  float k_ = 0.0f;   // 2p - 1
  float fb_ = 0.0f;  // R' (1 + 0.5 q (1 - q + 5.6 q^2))
  float b0_ = 0.0f, b1_ = 0.0f, b2_ = 0.0f, b3_ = 0.0f, b4_ = 0.0f;
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
class TXResonantFilter1 final : public TDSPFilter {
 public:
  TXResonantFilter1();
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); b0_ = b1_ = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    b0_ = b0_ + f_ * (x - b0_ + fb_ * (b0_ - b1_));
    b1_ = b1_ + f_ * (b0_ - b1_);
    return b1_;
  }
  bool StateFinite() const { return AllFinite(b0_, b1_); }

 private:
  float f_ = 0.0f;   // frequency term
  float fb_ = 0.0f;  // feedback R' + R' / (1 - f)
  float b0_ = 0.0f, b1_ = 0.0f;
};

// ---- double-sampled state-variable filter: "SVF LP", "SVF HP", "SVF BP",
// "SVF NOTCH", "PEAKING" ----
// Two passes of the Chamberlin structure per sample, the first pass's chosen node
// feeding the second; a cubic term keeps the band node in check. The frequency
// coefficient moves only a little with the cutoff: these filters sound through their
// fixed character and their resonance.
class TStateVariableFilter1 : public TDSPFilter {
 public:
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass, kNotch, kPeaking };
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    float u = gin_ * x;
    for (int pass = 0; pass < 2; ++pass) {
      u = FlushDenormal(u);
      low_ = FlushDenormal(low_);
      band_ = band_ - band_ * band_ * band_ * 0.001f;
      high_ = u - low_ - q_ * band_;
      band_ = band_ + fcoef_ * high_;
      low_ = low_ + fcoef_ * band_;
      notch_ = high_ + low_;
      peak_ = low_ - high_;
      u = Node();
    }
    return u;
  }
  bool StateFinite() const { return AllFinite(low_, band_); }
  float FrequencyCoefficient() const { return fcoef_; }

 protected:
  explicit TStateVariableFilter1(Mode mode);

 private:
  float Node() const {
    switch (mode_) {
      case kLowPass: return low_;
      case kHighPass: return high_;
      case kBandPass: return band_;
      case kNotch: return notch_;
      default: return peak_;
    }
  }

  float q_ = 0.0f;      // damping Rhi + Rlo - R'
  float fcoef_ = 0.0f;  // frequency coefficient
  float gin_ = 0.0f;    // input gain
  float low_ = 0.0f, high_ = 0.0f, band_ = 0.0f, notch_ = 0.0f, peak_ = 0.0f;
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
