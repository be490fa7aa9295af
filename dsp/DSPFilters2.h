// The digital-resonator voice filters: the IIR notch, the resonator, the RBJ cookbook
// biquads, the resonant band pass and all-pass pair, and the pink-noise tilt filter.
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

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
  static auto Fields(S& k) { return std::tie(k.g, k.cg2, k.rc2, k.r2, k.x1, k.x2, k.y1, k.y2); }
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

class TIIRNotchFilter1 final : public TDSPFilter {
 public:
  TIIRNotchFilter1();
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TIIRNotchFilter1::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TIIRNotchFilter1::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TIIRNotchFilter1::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

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
  static auto Fields(S& k) { return std::tie(k.q, k.b1, k.g, k.y1, k.y2); }
  T Step(T x) {
    const T y = g * x - b1 * y1 - q * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

class TResonatorFilter2 final : public TDSPFilter {
 public:
  TResonatorFilter2();
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); k_.y1 = k_.y2 = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TResonatorFilter2::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TResonatorFilter2::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TResonatorFilter2::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.y1, k_.y2); }

 private:
  TResonatorKernel<float> k_;
};

// ---- RBJ cookbook biquads ----
// The raw cookbook coefficients of one design, before normalisation by a0.
struct TRBJCoefficients {
  long double b0, b1, b2, a0, a1, a2;
};

// Common part: fc = C / 22050 x 0.245 fs (a cutoff setting of 22050 reaches a quarter of
// the sample rate), the normalisation by a0 (silence when a0 = 0) and the section.
class TRBJFilter : public TDSPFilter {
 public:
  void Recalculate() final;
  void Reset() override { TDSPFilter::Reset(); section_.Clear(); }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TRBJFilter::section_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TRBJFilter::section_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TRBJFilter::section_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }
  TDSPFilterSection* LaneSection() override { return &section_; }

  float Step(float x) { return section_.Step(x); }
  bool StateFinite() const {
    return AllFinite(section_.x1, section_.x2, section_.y1, section_.y2);
  }

 protected:
  TRBJFilter();
  // The design's raw coefficients at angle w = 2 pi fc / fs (sine sn, cosine cs), with
  // R' and W' already mapped.
  virtual TRBJCoefficients Design(long double w, long double sn, long double cs,
                                  long double r, long double bw) const = 0;
  TDSPFilterSection section_;
};

// Low and high pass: alpha = sn / (2 R'), the resonance setting being Q (at most 0.999).
class TRBJFilterLH : public TRBJFilter {
 protected:
  static long double Alpha(long double sn, long double r) { return sn / (2.0L * r); }
};

class TRBJFilterLP final : public TRBJFilterLH {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

class TRBJFilterHP final : public TRBJFilterLH {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

// Band types: the bandwidth in octaves is W' x m (m = 1 for the band passes, 10 for notch
// and all-pass); alpha = sn sinh(ln 2 / 2 x BW x w / sn).
class TRBJFilterBTP : public TRBJFilter {
 protected:
  explicit TRBJFilterBTP(long double octaves) : octaves_(octaves) {}
  long double Alpha(long double w, long double sn, long double bw) const;
  long double octaves_;
};

// Band pass with constant skirt gain: the peak gain is R'.
class TRBJFilterBPFS final : public TRBJFilterBTP {
 public:
  TRBJFilterBPFS() : TRBJFilterBTP(1.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

// Band pass with constant 0 dB peak gain.
class TRBJFilterBPFP final : public TRBJFilterBTP {
 public:
  TRBJFilterBPFP() : TRBJFilterBTP(1.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

class TRBJFilterNotch final : public TRBJFilterBTP {
 public:
  TRBJFilterNotch() : TRBJFilterBTP(10.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

class TRBJFilterAPF final : public TRBJFilterBTP {
 public:
  TRBJFilterAPF() : TRBJFilterBTP(10.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

// Peaking EQ that only boosts: A = 10^(1.9675 R'), a peak of A^2 (about 0 ... 78 dB).
class TRBJFilterPeakIngEQ final : public TRBJFilter {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

// Shelves: gain G = max(78.7 R', 0.001) dB, A = 10^(G / 40), slope S = the raw bandwidth
// setting, beta = sqrt((A^2 + 1) / S - (A - 1)^2).
class TRBJFilterShelf : public TRBJFilter {
 protected:
  struct TShelf {
    long double a, betaSn;  // A and beta x sn
  };
  TShelf Shelf(long double sn, long double r) const;
};

class TRBJFilterLowShelf final : public TRBJFilterShelf {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
};

class TRBJFilterHighShelf final : public TRBJFilterShelf {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                          long double bw) const override;
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
  static auto Fields(S& k) { return std::tie(k.g, k.rc2, k.r2, k.x1, k.x2, k.y1, k.y2); }
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

class TCFilterX : public TDSPFilter {
 public:
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TCFilterX::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TCFilterX::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TCFilterX::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.x1, k_.x2, k_.y1, k_.y2); }

 protected:
  explicit TCFilterX(TPolePairKernel<float>::Mode mode);
  struct TPole {
    long double r, c;  // radius and cos(2 pi fc / fs)
  };
  // Maps the settings and stores the pole terms 2 r c and r^2.
  TPole DesignPole();
  TPolePairKernel<float> k_;
};

class TCFilterXBP final : public TCFilterX {
 public:
  TCFilterXBP() : TCFilterX(TPolePairKernel<float>::kBandPass) {}
  void Recalculate() override;
};

class TCFilterXPhaser final : public TCFilterX {
 public:
  TCFilterXPhaser() : TCFilterX(TPolePairKernel<float>::kAllPass) {}
  void Recalculate() override { DesignPole(); }
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
  static auto Fields(S& k) { return std::tie(k.k0, k.k2, k.p0, k.p1, k.p2); }
  T Step(T x) {
    p0 = 0.99765f * p0 + k0 * x;
    p1 = 0.963f * p1 + 0.2965164f * x;
    p2 = 0.57f * p2 + k2 * x;
    return p0 + p1 + p2 + 0.1848f * x;
  }
};

class TPinkNoiseFilter final : public TDSPFilter {
 public:
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); k_.p0 = k_.p1 = k_.p2 = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { KernelPeriod(*this, &TPinkNoiseFilter::k_, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(*this, &TPinkNoiseFilter::k_, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                      float* a, float* b) override {
    return LaneStagesPair(*this, &TPinkNoiseFilter::k_, right, nextLeft, nextRight, a, b,
                          context_->samplesPerMs);
  }

  float Step(float x) { return k_.Step(x); }
  bool StateFinite() const { return AllFinite(k_.p0, k_.p1, k_.p2); }

 private:
  TPinkNoiseKernel<float> k_;
};
