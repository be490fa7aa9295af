// The Butterworth voice filters: the second-order section with resonance ("BW LP",
// "BW HP") and the classic bilinear sections without it ("BW LP2" ... "BW BR2").
// Each class keeps its coefficients and delay elements next to its per-sample `Step`;
// `Tick` and `FillPeriod` run that step through the finite-state guard of TDSPFilter.
#pragma once

#include "dsp/DSPFilter.h"

namespace tesmora6 {

// ---- Butterworth with resonance: "BW LP", "BW HP" ----
// A second-order section with damping r = 1.3 - R'. The low pass designs at the
// mirrored frequency ny - Fh, so its tan term is cot(pi Fh / fs): a low pass at Fh.
class TResonantButterworthFilter : public TDSPKernelFilter<TResonantButterworthFilter> {
 public:
  void Recalculate() override;
  void Reset() override {
    TDSPFilter::Reset();
    section_.Clear();
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TResonantButterworthFilter::section_; }
  TDSPFilterSection* LaneSection() override { return &section_; }

  float Step(float x) { return section_.Step(x); }
  bool StateFinite() const { return AllFinite(section_.x1, section_.x2, section_.y1, section_.y2); }

 protected:
  explicit TResonantButterworthFilter(int16_t mode);  // 0 low pass, 1 high pass
  TDSPFilterSection section_;
};

class TResonantButterworthFilterLP final : public TResonantButterworthFilter {
 public:
  TResonantButterworthFilterLP() : TResonantButterworthFilter(0) {}
};

class TResonantButterworthFilterHP final : public TResonantButterworthFilter {
 public:
  TResonantButterworthFilterHP() : TResonantButterworthFilter(1) {}
};

// ---- Butterworth without resonance: "BW LP2", "BW HP2", "BW BP2", "BW BR2" ----
// The classic bilinear sections at fc = Fh; band pass and band reject take their width
// in hertz from the raw bandwidth setting, W x ny.
class TClassicButterworthFilter : public TDSPKernelFilter<TClassicButterworthFilter> {
 public:
  enum Mode : int16_t { kLowPass, kHighPass, kBandPass, kBandReject };
  void Recalculate() override;
  void Reset() override {
    TDSPFilter::Reset();
    section_.Clear();
  }
  // The lanes kernel the periods run on (see TDSPKernelFilter).
  static constexpr auto Kernel() { return &TClassicButterworthFilter::section_; }
  TDSPFilterSection* LaneSection() override { return &section_; }

  float Step(float x) { return section_.Step(x); }
  bool StateFinite() const { return AllFinite(section_.x1, section_.x2, section_.y1, section_.y2); }

 protected:
  explicit TClassicButterworthFilter(Mode mode);
  TDSPFilterSection section_;
};

class TClassicButterworthFilterLP final : public TClassicButterworthFilter {
 public:
  TClassicButterworthFilterLP() : TClassicButterworthFilter(kLowPass) {}
};
class TClassicButterworthFilterHP final : public TClassicButterworthFilter {
 public:
  TClassicButterworthFilterHP() : TClassicButterworthFilter(kHighPass) {}
};
class TClassicButterworthFilterBP final : public TClassicButterworthFilter {
 public:
  TClassicButterworthFilterBP() : TClassicButterworthFilter(kBandPass) {}
};
class TClassicButterworthFilterBR final : public TClassicButterworthFilter {
 public:
  TClassicButterworthFilterBR() : TClassicButterworthFilter(kBandReject) {}
};

}  // namespace tesmora6
