// The RBJ cookbook biquad voice filters ("RBJ LP" ... "HIGHSHELF").
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// ---- RBJ cookbook biquads ----
// The raw cookbook coefficients of one design, before normalisation by a0.
struct TRBJCoefficients {
  long double b0, b1, b2, a0, a1, a2;
};

// Common part: fc = C / 22050 x 0.245 fs (a cutoff setting of 22050 reaches a quarter of
// the sample rate), the normalisation by a0 (silence when a0 = 0) and the section.
class TRBJFilter : public TDSPKernelFilter<TRBJFilter> {
 public:
  void Recalculate() final;
  void Reset() override {
    TDSPFilter::Reset();
    section_.Clear();
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TRBJFilter::section_; }
  TDSPFilterSection* LaneSection() override { return &section_; }

  float Step(float x) { return section_.Step(x); }
  bool StateFinite() const { return AllFinite(section_.x1, section_.x2, section_.y1, section_.y2); }

 protected:
  TRBJFilter();
  // The design's raw coefficients at angle w = 2 pi fc / fs (sine sn, cosine cs), with
  // R' and W' already mapped.
  virtual TRBJCoefficients Design(long double w, long double sn, long double cs, long double r,
                                  long double bw) const = 0;
  TDSPFilterSection section_;
};

// Low and high pass: alpha = sn / (2 R'), the resonance setting being Q (at most 0.999).
class TRBJFilterLowHigh : public TRBJFilter {
 protected:
  static long double Alpha(long double sn, long double r) { return sn / (2.0L * r); }
};

class TRBJFilterLP final : public TRBJFilterLowHigh {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

class TRBJFilterHP final : public TRBJFilterLowHigh {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

// Band types: the bandwidth in octaves is W' x m (m = 1 for the band passes, 10 for notch
// and all-pass); alpha = sn sinh(ln 2 / 2 x BW x w / sn).
class TRBJFilterBand : public TRBJFilter {
 protected:
  explicit TRBJFilterBand(long double octaves) : octaves_(octaves) {}
  long double Alpha(long double w, long double sn, long double bw) const;
  long double octaves_;
};

// Band pass with constant skirt gain: the peak gain is R'.
class TRBJFilterBPFS final : public TRBJFilterBand {
 public:
  TRBJFilterBPFS() : TRBJFilterBand(1.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

// Band pass with constant 0 dB peak gain.
class TRBJFilterBPFP final : public TRBJFilterBand {
 public:
  TRBJFilterBPFP() : TRBJFilterBand(1.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

class TRBJFilterNotch final : public TRBJFilterBand {
 public:
  TRBJFilterNotch() : TRBJFilterBand(10.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

class TRBJFilterAPF final : public TRBJFilterBand {
 public:
  TRBJFilterAPF() : TRBJFilterBand(10.0L) {}

 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

// Peaking EQ that only boosts: A = 10^(1.9675 R'), a peak of A^2 (about 0 ... 78 dB).
class TRBJFilterPeakingEQ final : public TRBJFilter {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
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
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

class TRBJFilterHighShelf final : public TRBJFilterShelf {
 protected:
  TRBJCoefficients Design(long double w, long double sn, long double cs, long double r, long double bw) const override;
};

}  // namespace tesmora6
