#include "dsp/DSPFilters2.h"

#include <cmath>

#include "dsp/DSPOscillators.h"  // oscmath: extended sine and cosine without the slow reduction

// Coefficients are computed in extended precision and stored as floats. Their sines and
// cosines come from the waveforms' extended sine and cosine (oscmath): a three-part pi/2
// reduction and a series kernel, the library's values to about an extended ulp at a
// fraction of its cost (the library's kernels, and its multi-precision reduction above
// pi/4, dominated a modulated filter's recalculation).

namespace {
constexpr long double kLn2 = 0.693147180559945309417232121458176568L;
}

// ---- TIIRNotchFilter1 ----

TIIRNotchFilter1::TIIRNotchFilter1() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.999f;
}

void TIIRNotchFilter1::Recalculate() {
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

void TIIRNotchFilter1::Reset() {
  TDSPFilter::Reset();
  k_.x1 = k_.x2 = k_.y1 = k_.y2 = 0.0f;
}

// ---- TResonatorFilter2 ----

TResonatorFilter2::TResonatorFilter2() {
  bandwidthLow_ = 1.0f;
  bandwidthHigh_ = 22050.0f;
}

void TResonatorFilter2::Recalculate() {
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

// ---- TRBJFilter ----

TRBJFilter::TRBJFilter() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.999f;
  bandwidthLow_ = 0.001f;
  bandwidthHigh_ = 0.999f;
}

void TRBJFilter::Recalculate() {
  const long double top = 0.245L * fs_;
  cutoffHigh_ = static_cast<float>(top);
  const long double fc = Clamp(cutoff_ / 22050.0L * top, 0.001L, top);
  mappedCutoff_ = static_cast<float>(fc);
  const long double r = MapResonance();
  const long double bw = MapBandwidth();
  const long double w = 2.0L * kFilterPi * fc / fs_;
  // w reaches 0.49 pi.
  const TRBJCoefficients raw = Design(w, oscmath::SinExtended(w), oscmath::CosExtended(w), r, bw);
  if (raw.a0 != 0.0L) {
    section_.b0 = static_cast<float>(raw.b0 / raw.a0);
    section_.b1 = static_cast<float>(raw.b1 / raw.a0);
    section_.b2 = static_cast<float>(raw.b2 / raw.a0);
    section_.a1 = static_cast<float>(raw.a1 / raw.a0);
    section_.a2 = static_cast<float>(raw.a2 / raw.a0);
  } else {
    section_.b0 = section_.b1 = section_.b2 = section_.a1 = section_.a2 = 0.0f;
  }
}

TRBJCoefficients TRBJFilterLP::Design(long double, long double sn, long double cs,
                                      long double r, long double) const {
  const long double alpha = Alpha(sn, r);
  return {(1.0L - cs) / 2.0L, 1.0L - cs,          (1.0L - cs) / 2.0L,
          1.0L + alpha,       -2.0L * cs,         1.0L - alpha};
}

TRBJCoefficients TRBJFilterHP::Design(long double, long double sn, long double cs,
                                      long double r, long double) const {
  const long double alpha = Alpha(sn, r);
  return {(1.0L + cs) / 2.0L, -(1.0L + cs),       (1.0L + cs) / 2.0L,
          1.0L + alpha,       -2.0L * cs,         1.0L - alpha};
}

long double TRBJFilterBTP::Alpha(long double w, long double sn, long double bw) const {
  return sn * std::sinh(kLn2 / 2.0L * (bw * octaves_) * w / sn);
}

TRBJCoefficients TRBJFilterBPFS::Design(long double w, long double sn, long double cs,
                                        long double r, long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {r * alpha, 0.0L, -r * alpha, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterBPFP::Design(long double w, long double sn, long double cs,
                                        long double, long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {alpha, 0.0L, -alpha, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterNotch::Design(long double w, long double sn, long double cs,
                                         long double, long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {1.0L, -2.0L * cs, 1.0L, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterAPF::Design(long double w, long double sn, long double cs,
                                       long double, long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {1.0L - alpha, -2.0L * cs, 1.0L + alpha, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterPeakIngEQ::Design(long double w, long double sn, long double cs,
                                             long double r, long double bw) const {
  const long double g = 1.9675L * r;                      // the mapped resonance, scaled
  const long double a = std::exp(g * std::log(10.0L));    // 10^G; the peak gain is A^2
  const long double alpha = sn != 0.0L ? sn * std::sinh(kLn2 / 2.0L * bw * w / sn) : 0.0L;
  return {1.0L + alpha * a, -2.0L * cs, 1.0L - alpha * a,
          1.0L + alpha / a, -2.0L * cs, 1.0L - alpha / a};
}

TRBJFilterShelf::TShelf TRBJFilterShelf::Shelf(long double sn, long double r) const {
  long double g = 78.7L * r;  // gain in dB
  if (g < 0.001L) g = 0.001L;
  const long double a = std::exp(g * 0.057564627L);  // 10^(G / 40)
  const long double s = bandwidth_;                   // slope: the raw setting
  const long double beta = std::sqrt((a * a + 1.0L) / s - (a - 1.0L) * (a - 1.0L));
  return {a, beta * sn};
}

TRBJCoefficients TRBJFilterLowShelf::Design(long double, long double sn, long double cs,
                                            long double r, long double) const {
  const TShelf sh = Shelf(sn, r);
  const long double a = sh.a, bs = sh.betaSn;
  return {a * ((a + 1.0L) - (a - 1.0L) * cs + bs),
          2.0L * a * ((a - 1.0L) - (a + 1.0L) * cs),
          a * ((a + 1.0L) - (a - 1.0L) * cs - bs),
          (a + 1.0L) + (a - 1.0L) * cs + bs,
          -2.0L * ((a - 1.0L) + (a + 1.0L) * cs),
          (a + 1.0L) + (a - 1.0L) * cs - bs};
}

TRBJCoefficients TRBJFilterHighShelf::Design(long double, long double sn, long double cs,
                                             long double r, long double) const {
  const TShelf sh = Shelf(sn, r);
  const long double a = sh.a, bs = sh.betaSn;
  return {a * ((a + 1.0L) + (a - 1.0L) * cs + bs),
          -2.0L * a * ((a - 1.0L) + (a + 1.0L) * cs),
          a * ((a + 1.0L) + (a - 1.0L) * cs - bs),
          (a + 1.0L) - (a - 1.0L) * cs + bs,
          2.0L * ((a - 1.0L) - (a + 1.0L) * cs),
          (a + 1.0L) - (a - 1.0L) * cs - bs};
}

// ---- TCFilterX ----

TCFilterX::TCFilterX(TPolePairKernel<float>::Mode mode) {
  k_.mode = mode;
  resonanceLow_ = 1.0;
  resonanceHigh_ = 255.0f;
}

TCFilterX::TPole TCFilterX::DesignPole() {
  const long double r = MapResonance() / 256.0L;
  const long double fc = RescaledCutoff();
  mappedCutoff_ = static_cast<float>(fc);
  const long double c = oscmath::CosExtended(2.0L * kFilterPi * fc / fs_);
  k_.rc2 = static_cast<float>(2.0L * r * c);
  k_.r2 = static_cast<float>(r * r);
  return {r, c};
}

void TCFilterX::Reset() {
  TDSPFilter::Reset();
  k_.x1 = k_.x2 = k_.y1 = k_.y2 = 0.0f;
}

void TCFilterXBP::Recalculate() {
  const TPole p = DesignPole();
  k_.g = static_cast<float>(std::sqrt(p.r * (p.r - 4.0L * p.c * p.c + 2.0L) + 1.0L) *
                          (1.0L - p.r));
}

// ---- TPinkNoiseFilter ----

void TPinkNoiseFilter::Recalculate() {
  const long double k = cutoff_ / 22050.0L * 4.0L;
  mappedCutoff_ = cutoff_;
  k_.k0 = static_cast<float>(0.099046L * k);
  k_.k2 = static_cast<float>(1.0526913L * k);
}
