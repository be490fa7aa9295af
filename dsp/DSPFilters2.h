// The digital-resonator voice filters: the IIR notch, the resonator, the RBJ cookbook
// biquads, the resonant band pass and all-pass pair, and the pink-noise tilt filter.
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

// ---- IIR notch: "IIR NOTCH" ----
// Zeros on the unit circle at fc = Fh, poles at radius R' behind them. The delay line
// keeps the unclamped output; what leaves the filter is clamped to the 16-bit range.
class TIIRNotchFilter1 final : public TDSPFilter {
 public:
  TIIRNotchFilter1();
  void Recalculate() override;
  void Reset() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    // y = g (x + x2) - 2 c g x1 + 2 R' c y1 - R'^2 y2
    const float y = g_ * (x + x2_) - cg2_ * x1_ + rc2_ * y1_ - r2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y < -32768.0f ? -32768.0f : (y > 32767.0f ? 32767.0f : y);
  }
  bool StateFinite() const { return AllFinite(x1_, x2_, y1_, y2_); }

 private:
  float g_ = 0.0f;    // R' + (1 - R')^2 / (2 (|c| + 1))
  float cg2_ = 0.0f;  // 2 c g
  float rc2_ = 0.0f;  // 2 R' c
  float r2_ = 0.0f;   // R'^2
  float x1_ = 0.0f, x2_ = 0.0f, y1_ = 0.0f, y2_ = 0.0f;
};

// ---- resonator: "RES" ----
// A two-pole resonance at fc = Fh whose pole radius q = exp(-2 pi W' / fs) follows the
// bandwidth in hertz; the gain g normalises the peak. Resonance has no effect.
class TResonatorFilter2 final : public TDSPFilter {
 public:
  TResonatorFilter2();
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); y1_ = y2_ = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    const float y = g_ * x - b1_ * y1_ - q_ * y2_;
    y2_ = y1_;
    y1_ = y;
    return y;
  }
  bool StateFinite() const { return AllFinite(y1_, y2_); }

 private:
  float q_ = 0.0f;   // pole radius squared
  float b1_ = 0.0f;  // -4 q cos(2 pi fc / fs) / (1 + q)
  float g_ = 0.0f;   // peak gain normalisation
  float y1_ = 0.0f, y2_ = 0.0f;
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
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
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
class TCFilterX : public TDSPFilter {
 public:
  void Reset() override;
  bool StateFinite() const { return AllFinite(x1_, x2_, y1_, y2_); }

 protected:
  TCFilterX();
  struct TPole {
    long double r, c;  // radius and cos(2 pi fc / fs)
  };
  // Maps the settings and stores the pole terms 2 r c and r^2.
  TPole DesignPole();
  float rc2_ = 0.0f;  // 2 r c
  float r2_ = 0.0f;   // r^2
  float x1_ = 0.0f, x2_ = 0.0f, y1_ = 0.0f, y2_ = 0.0f;
};

// Band pass y = g x + 2 r c y1 - r^2 y2 with its peak gain normalised by g.
class TCFilterXBP final : public TCFilterX {
 public:
  void Recalculate() override;
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    const float y = g_ * x + rc2_ * y1_ - r2_ * y2_;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  float g_ = 0.0f;  // sqrt(r (r - 4 c^2 + 2) + 1) (1 - r)
};

// Second-order all-pass y = r^2 x - 2 r c x1 + x2 + 2 r c y1 - r^2 y2: unity magnitude,
// the phase turning around fc; near a pure two-sample delay at the smallest radius.
class TCFilterXPhaser final : public TCFilterX {
 public:
  void Recalculate() override { DesignPole(); }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    const float y = r2_ * x - rc2_ * x1_ + x2_ + rc2_ * y1_ - r2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }
};

// ---- pink-noise tilt filter: "RND1", "RND2" ----
// The three-pole economy pink filter; k = C / 22050 x 4 weights the slowest and the
// fastest pole (k = 1 is the classic pink response). Resonance and bandwidth have no
// effect.
class TPinkNoiseFilter final : public TDSPFilter {
 public:
  void Recalculate() override;
  void Reset() override { TDSPFilter::Reset(); p0_ = p1_ = p2_ = 0.0f; }
  void Tick() override { Out = GuardedTick(*this, In); }
  void FillPeriod(float* a) override { GuardedPeriod(*this, a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!GuardedPeriodPair(*this, right, a, b, context_->samplesPerMs)) TDSPFilter::FillPeriodPair(right, a, b);
  }

  float Step(float x) {
    p0_ = 0.99765f * p0_ + k0_ * x;
    p1_ = 0.963f * p1_ + 0.2965164f * x;
    p2_ = 0.57f * p2_ + k2_ * x;
    return p0_ + p1_ + p2_ + 0.1848f * x;
  }
  bool StateFinite() const { return AllFinite(p0_, p1_, p2_); }

 private:
  float k0_ = 0.0f;  // 0.099046 k
  float k2_ = 0.0f;  // 1.0526913 k
  float p0_ = 0.0f, p1_ = 0.0f, p2_ = 0.0f;
};
