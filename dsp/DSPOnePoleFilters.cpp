#include "dsp/DSPOnePoleFilters.h"

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats.

// ---- TDSPOnePoleFilterLP ----

void TDSPOnePoleFilterLP::Recalculate() {
  const long double k = cutoff_ / 22050.0L;
  mappedCutoff_ = cutoff_;
  k_.k = static_cast<float>(k);
  k_.pass = static_cast<float>(1.0L - k);
}

// ---- TPinkNoiseFilter ----

void TPinkNoiseFilter::Recalculate() {
  const long double k = cutoff_ / 22050.0L * 4.0L;
  mappedCutoff_ = cutoff_;
  k_.k0 = static_cast<float>(0.099046L * k);
  k_.k2 = static_cast<float>(1.0526913L * k);
}

}  // namespace tesmora6
