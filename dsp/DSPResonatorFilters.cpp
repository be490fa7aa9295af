#include "dsp/DSPResonatorFilters.h"

#include <cmath>

#include "dsp/DSPOscillators.h"  // oscmath: extended sine and cosine without the slow reduction

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats. Their sines and
// cosines come from the waveforms' extended sine and cosine (oscmath): a three-part pi/2
// reduction and a series kernel, the library's values to about an extended ulp at a
// fraction of its cost (the library's kernels, and its multi-precision reduction above
// pi/4, dominated a modulated filter's recalculation).

// ---- TIIRNotchFilter ----

TIIRNotchFilter::TIIRNotchFilter() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.999f;
}

void TIIRNotchFilter::Recalculate() {
  const long double r = MapResonance();
  const long double fc = RescaledCutoff();
  mappedCutoff_ = static_cast<float>(fc);
  const long double c = oscmath::CosExtended(2.0L * kFilterPi * fc / fs_);
  const long double g = r + (1.0L - r) * (1.0L - r) / (2.0L * (std::fabs(c) + 1.0L));
  k_.g = static_cast<float>(g);
  k_.cg2 = static_cast<float>(2.0L * c * g);
  k_.rc2 = static_cast<float>(2.0L * r * c);
  k_.r2 = static_cast<float>(r * r);
}

void TIIRNotchFilter::Reset() {
  TDSPFilter::Reset();
  k_.x1 = k_.x2 = k_.y1 = k_.y2 = 0.0f;
}

// ---- TResonatorFilter ----

TResonatorFilter::TResonatorFilter() {
  bandwidthLow_ = 1.0f;
  bandwidthHigh_ = 22050.0f;
}

void TResonatorFilter::Recalculate() {
  const long double bw = MapBandwidth();  // hertz
  const long double fc = RescaledCutoff();
  mappedCutoff_ = static_cast<float>(fc);
  const long double q = std::exp(-2.0L * kFilterPi * bw / fs_);
  const long double b1 = -4.0L * q * oscmath::CosExtended(2.0L * kFilterPi * fc / fs_) / (1.0L + q);
  const long double g = std::sqrt(1.0L - b1 * b1 / (4.0L * q)) * (1.0L - q);
  k_.q = static_cast<float>(q);
  k_.b1 = static_cast<float>(b1);
  k_.g = static_cast<float>(g);
}

// ---- TPolePairFilter ----

TPolePairFilter::TPolePairFilter(TPolePairKernel<float>::Mode mode) {
  k_.mode = mode;
  resonanceLow_ = 1.0;
  resonanceHigh_ = 255.0f;
}

TPolePairFilter::TPole TPolePairFilter::DesignPole() {
  const long double r = MapResonance() / 256.0L;
  const long double fc = RescaledCutoff();
  mappedCutoff_ = static_cast<float>(fc);
  const long double c = oscmath::CosExtended(2.0L * kFilterPi * fc / fs_);
  k_.rc2 = static_cast<float>(2.0L * r * c);
  k_.r2 = static_cast<float>(r * r);
  return {r, c};
}

void TPolePairFilter::Reset() {
  TDSPFilter::Reset();
  k_.x1 = k_.x2 = k_.y1 = k_.y2 = 0.0f;
}

void TPolePairFilterBP::Recalculate() {
  const TPole p = DesignPole();
  k_.g = static_cast<float>(std::sqrt(p.r * (p.r - 4.0L * p.c * p.c + 2.0L) + 1.0L) * (1.0L - p.r));
}

}  // namespace tesmora6
