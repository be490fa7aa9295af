#include "dsp/DSPStateVariableFilter.h"

#include <cmath>

#include "dsp/DSPOscillators.h"  // oscmath: extended sine and cosine without the slow reduction

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats. Their sines and
// cosines come from the waveforms' extended sine and cosine (oscmath): a three-part pi/2
// reduction and a series kernel, the library's values to about an extended ulp at a
// fraction of its cost (the library's kernels, and its multi-precision reduction above
// pi/4, dominated a modulated filter's recalculation).

// ---- TStateVariableFilter ----

namespace {

// Resonance range per mode: low, high.
constexpr long double kSvfRanges[5][2] = {
    {0.03L, 0.4L}, {0.33L, 0.55L}, {0.395L, 0.55L}, {0.3L, 0.65L}, {0.7L, 0.999L}};
// Frequency factor per mode, times the sample rate.
constexpr long double kSvfFactors[5] = {2.2e-5L, 4e-6L, 6e-6L, 3.6e-6L, 4e-6L};

}  // namespace

TStateVariableFilter::TStateVariableFilter(Mode mode) {
  mode_ = mode;
  k_.mode = mode;
  resonanceLow_ = static_cast<double>(kSvfRanges[mode][0]);
  resonanceHigh_ = static_cast<float>(kSvfRanges[mode][1]);
}

void TStateVariableFilter::Recalculate() {
  const long double c = cutoff_;
  const long double factor = kSvfFactors[mode_] * fs_;
  // Frequency value v.
  const long double v = mode_ == kPeaking ? Map(c, 3000.0L, 5000.0L, 0.0L, 0.48L * fs_) / (3.0L * fs_) * factor
                                          : c / (2.8L * fs_) * factor;
  // Damping: a higher resonance setting gives a lower damping.
  const long double q = resonanceHigh_ + resonanceLow_ - MapResonance();
  // Frequency coefficient.
  long double h = (fs_ / 100.0L) * std::exp((v * 0.0038758637L - 69.0L) * 0.0577622652L);
  if (!(h > 0.0L)) h = 0.001L;
  // The argument is in the thousands of radians.
  const long double fcoef = 2.0L * oscmath::SinExtended(kFilterPi * fs_ / (2.0L * h));
  // Input gain: a function of the damping alone, worked out again only when the damping
  // changed (a modulated cutoff leaves it, and its power and cosine, as they were).
  if (!(q == ginDamping_)) {
    const long double d = 2.0L * std::cos(std::pow(q, 0.1L) * kFilterPi / 2.0L);
    const long double gin = d != 0.0L ? std::sqrt(0.5L * d + 0.01L) : 0.0L;
    ginDamping_ = q;
    k_.gin = static_cast<float>(gin);
  }
  mappedCutoff_ = cutoff_;  // no working frequency: the coefficient hardly follows it
  k_.q = static_cast<float>(q);
  k_.fcoef = static_cast<float>(fcoef);
}

void TStateVariableFilter::Reset() {
  TDSPFilter::Reset();
  k_.low = k_.high = k_.band = k_.notch = k_.peak = 0.0f;
}

}  // namespace tesmora6
