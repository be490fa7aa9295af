#include "dsp/DSPRBJFilters.h"

#include <cmath>

#include "dsp/DSPOscillators.h"  // oscmath: extended sine and cosine without the slow reduction

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats. Their sines and
// cosines come from the waveforms' extended sine and cosine (oscmath): a three-part pi/2
// reduction and a series kernel, the library's values to about an extended ulp at a
// fraction of its cost (the library's kernels, and its multi-precision reduction above
// pi/4, dominated a modulated filter's recalculation).

namespace {
constexpr long double kLn2 = 0.693147180559945309417232121458176568L;
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

TRBJCoefficients TRBJFilterLP::Design(long double, long double sn, long double cs, long double r, long double) const {
  const long double alpha = Alpha(sn, r);
  return {(1.0L - cs) / 2.0L, 1.0L - cs, (1.0L - cs) / 2.0L, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterHP::Design(long double, long double sn, long double cs, long double r, long double) const {
  const long double alpha = Alpha(sn, r);
  return {(1.0L + cs) / 2.0L, -(1.0L + cs), (1.0L + cs) / 2.0L, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

long double TRBJFilterBand::Alpha(long double w, long double sn, long double bw) const {
  return sn * std::sinh(kLn2 / 2.0L * (bw * octaves_) * w / sn);
}

TRBJCoefficients TRBJFilterBPFS::Design(long double w, long double sn, long double cs, long double r,
                                        long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {r * alpha, 0.0L, -r * alpha, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterBPFP::Design(long double w, long double sn, long double cs, long double,
                                        long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {alpha, 0.0L, -alpha, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterNotch::Design(long double w, long double sn, long double cs, long double,
                                         long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {1.0L, -2.0L * cs, 1.0L, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterAPF::Design(long double w, long double sn, long double cs, long double,
                                       long double bw) const {
  const long double alpha = Alpha(w, sn, bw);
  return {1.0L - alpha, -2.0L * cs, 1.0L + alpha, 1.0L + alpha, -2.0L * cs, 1.0L - alpha};
}

TRBJCoefficients TRBJFilterPeakingEQ::Design(long double w, long double sn, long double cs, long double r,
                                             long double bw) const {
  const long double g = 1.9675L * r;                    // the mapped resonance, scaled
  const long double a = std::exp(g * std::log(10.0L));  // 10^G; the peak gain is A^2
  const long double alpha = sn != 0.0L ? sn * std::sinh(kLn2 / 2.0L * bw * w / sn) : 0.0L;
  return {1.0L + alpha * a, -2.0L * cs, 1.0L - alpha * a, 1.0L + alpha / a, -2.0L * cs, 1.0L - alpha / a};
}

TRBJFilterShelf::TShelf TRBJFilterShelf::Shelf(long double sn, long double r) const {
  long double g = 78.7L * r;  // gain in dB
  if (g < 0.001L) g = 0.001L;
  const long double a = std::exp(g * 0.057564627L);  // 10^(G / 40)
  const long double s = bandwidth_;                  // slope: the raw setting
  const long double beta = std::sqrt((a * a + 1.0L) / s - (a - 1.0L) * (a - 1.0L));
  return {a, beta * sn};
}

TRBJCoefficients TRBJFilterLowShelf::Design(long double, long double sn, long double cs, long double r,
                                            long double) const {
  const TShelf sh = Shelf(sn, r);
  const long double a = sh.a, bs = sh.betaSn;
  return {a * ((a + 1.0L) - (a - 1.0L) * cs + bs), 2.0L * a * ((a - 1.0L) - (a + 1.0L) * cs),
          a * ((a + 1.0L) - (a - 1.0L) * cs - bs), (a + 1.0L) + (a - 1.0L) * cs + bs,
          -2.0L * ((a - 1.0L) + (a + 1.0L) * cs),  (a + 1.0L) + (a - 1.0L) * cs - bs};
}

TRBJCoefficients TRBJFilterHighShelf::Design(long double, long double sn, long double cs, long double r,
                                             long double) const {
  const TShelf sh = Shelf(sn, r);
  const long double a = sh.a, bs = sh.betaSn;
  return {a * ((a + 1.0L) + (a - 1.0L) * cs + bs), -2.0L * a * ((a - 1.0L) + (a + 1.0L) * cs),
          a * ((a + 1.0L) + (a - 1.0L) * cs - bs), (a + 1.0L) - (a - 1.0L) * cs + bs,
          2.0L * ((a - 1.0L) - (a + 1.0L) * cs),   (a + 1.0L) - (a - 1.0L) * cs - bs};
}

}  // namespace tesmora6
