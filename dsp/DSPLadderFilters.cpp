#include "dsp/DSPLadderFilters.h"

#include <cmath>

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats.

// ---- TPoleZeroLadderFilter ----

TPoleZeroLadderFilter::TPoleZeroLadderFilter() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 3.999f;
}

void TPoleZeroLadderFilter::Recalculate() {
  const long double r = MapResonance();
  const long double top = 0.24L * fs_;
  const long double b = cutoff_ / 22050.0L * top;
  const long double f0 = Map(b, 0.1L, 1.0L, 0.001L, top);  // not clamped
  const long double f = 1.16L * f0;
  mappedCutoff_ = static_cast<float>(b);
  k_.hold = static_cast<float>(1.0L - f);
  k_.fb = static_cast<float>(r * (1.0L - 0.15L * f * f));
  k_.g = static_cast<float>(0.35013L * f * f * f * f);
}

void TPoleZeroLadderFilter::Reset() {
  TDSPFilter::Reset();
  k_.s1 = k_.s2 = k_.s3 = k_.s4 = 0.0f;
  k_.p1 = k_.p2 = k_.p3 = k_.p4 = 0.0f;
}

// ---- TBilinearLadderFilter ----

TBilinearLadderFilter::TBilinearLadderFilter() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 1.0f;
}

void TBilinearLadderFilter::Recalculate() {
  const long double res = MapResonance();
  const long double top = 0.12L * fs_;
  const long double fc = Clamp(cutoff_ / 22050.0L * top, 0.001L, top);
  mappedCutoff_ = static_cast<float>(fc);
  const long double f = fc * 2.0L / fs_;
  const long double k = 3.6L * f - 1.6L * f * f - 1.0L;
  const long double p = (k + 1.0L) * 0.5L;
  const long double scale = f > 0.0L ? std::pow(f, (1.0L - p) * 1.386249L) : 0.0L;
  k_.k = static_cast<float>(k);
  k_.p = static_cast<float>(p);
  k_.r = static_cast<float>(res * scale);
}

void TBilinearLadderFilter::Reset() {
  TDSPFilter::Reset();
  k_.y1 = k_.y2 = k_.y3 = k_.y4 = 0.0f;
  k_.uOld = k_.y1Old = k_.y2Old = k_.y3Old = 0.0f;
}

// ---- TSaturatingLadderFilter ----

TSaturatingLadderFilter::TSaturatingLadderFilter(Mode mode) {
  mode_ = mode;
  k_.mode = mode;
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.88f;
}

void TSaturatingLadderFilter::Recalculate() {
  const long double r = MapResonance();
  const long double f = cutoff_ / 22050.0L;  // not rescaled to the running rate
  const long double q = 1.0L - f;
  const long double p = f + 0.8L * f * q;
  mappedCutoff_ = cutoff_;
  k_.p = static_cast<float>(p);
  k_.k = static_cast<float>(2.0L * p - 1.0L);
  k_.fb = static_cast<float>(r * (1.0L + 0.5L * q * (1.0L - q + 5.6L * q * q)));
}

void TSaturatingLadderFilter::Reset() {
  TDSPFilter::Reset();
  k_.b0 = k_.b1 = k_.b2 = k_.b3 = k_.b4 = 0.0f;
}

// ---- TTwoPoleResonantFilter ----

TTwoPoleResonantFilter::TTwoPoleResonantFilter() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.999f;
}

void TTwoPoleResonantFilter::Recalculate() {
  const long double r = MapResonance();
  const long double f = Map(cutoff_, 0.001L, 0.999L, 0.001L, 0.24L * fs_);  // not clamped
  mappedCutoff_ = cutoff_;
  k_.f = static_cast<float>(f);
  // R' / (1 - f), with the reciprocal of 0 taken as 0 as everywhere in the library: at
  // exactly f = 1 the quotient would make the feedback infinite.
  const long double gap = 1.0L - f;
  k_.fb = static_cast<float>(r + (gap == 0.0L ? 0.0L : r / gap));
}

}  // namespace tesmora6
