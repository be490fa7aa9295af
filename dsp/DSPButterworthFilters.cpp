#include "dsp/DSPButterworthFilters.h"

#include <cmath>

#include "dsp/DSPOscillators.h"  // oscmath: extended sine and cosine without the slow reduction

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats. Their sines and
// cosines come from the waveforms' extended sine and cosine (oscmath): a three-part pi/2
// reduction and a series kernel, the library's values to about an extended ulp at a
// fraction of its cost (the library's kernels, and its multi-precision reduction above
// pi/4, dominated a modulated filter's recalculation).

// ---- TResonantButterworthFilter ----

TResonantButterworthFilter::TResonantButterworthFilter(int16_t mode) {
  mode_ = mode;
  resonanceLow_ = 0.001;
  resonanceHigh_ = 1.3f;
}

void TResonantButterworthFilter::Recalculate() {
  const long double r = 1.3L - MapResonance();  // damping: more resonance, less damping
  const long double fh = RescaledCutoff();
  long double fc = mode_ == 0 ? ny_ - fh : fh;  // the low pass works mirrored
  fc = Clamp(fc, 40.0L, ny_ - 5.0L * ms_);
  mappedCutoff_ = static_cast<float>(fc);
  const long double t = std::tan(kFilterPi * fc / fs_);
  const long double t2 = t * t;
  const long double c0 = 1.0L / (t2 + 1.0L + r * t);
  // Here the a's of the design feed forward and the b's feed back.
  long double a1, b1;
  if (mode_ == 0) {
    a1 = 2.0L * c0;
    b1 = 2.0L * (1.0L - t2) * c0;
  } else {
    a1 = -2.0L * c0;
    b1 = 2.0L * (t2 - 1.0L) * c0;
  }
  section_.b0 = static_cast<float>(c0);
  section_.b1 = static_cast<float>(a1);
  section_.b2 = static_cast<float>(c0);
  section_.a1 = static_cast<float>(b1);
  section_.a2 = static_cast<float>((t2 + 1.0L - r * t) * c0);
}

// ---- TClassicButterworthFilter ----

TClassicButterworthFilter::TClassicButterworthFilter(Mode mode) { mode_ = mode; }

void TClassicButterworthFilter::Recalculate() {
  constexpr long double kSqrt2 = 1.4142135L;
  const long double fc = RescaledCutoff();
  mappedCutoff_ = static_cast<float>(fc);
  // a0 ... a2 feed forward, b1, b2 feed back.
  long double a0, a1, a2, b1, b2;
  switch (mode_) {
    case kLowPass: {
      const long double c = 1.0L / std::tan(kFilterPi * fc / fs_);
      a0 = 1.0L / (1.0L + kSqrt2 * c + c * c);
      a1 = 2.0L * a0;
      a2 = a0;
      b1 = 2.0L * (1.0L - c * c) * a0;
      b2 = (1.0L - kSqrt2 * c + c * c) * a0;
      break;
    }
    case kHighPass: {
      const long double c = std::tan(kFilterPi * fc / fs_);
      a0 = 1.0L / (1.0L + kSqrt2 * c + c * c);
      a1 = -2.0L * a0;
      a2 = a0;
      b1 = 2.0L * (c * c - 1.0L) * a0;
      b2 = (1.0L - kSqrt2 * c + c * c) * a0;
      break;
    }
    case kBandPass: {
      const long double bw = bandwidth_ * ny_;  // the raw setting, in hertz
      const long double c = 1.0L / std::tan(kFilterPi * bw / fs_);
      const long double d = 2.0L * oscmath::CosExtended(2.0L * kFilterPi * fc / fs_);
      a0 = 1.0L / (1.0L + c);
      a1 = 0.0L;
      a2 = -a0;
      b1 = -c * d * a0;
      b2 = (c - 1.0L) * a0;
      break;
    }
    default: {  // band reject
      const long double bw = bandwidth_ * ny_;
      const long double c = std::tan(kFilterPi * bw / fs_);
      const long double d = 2.0L * oscmath::CosExtended(2.0L * kFilterPi * fc / fs_);
      a0 = 1.0L / (1.0L + c);
      a1 = -d * a0;
      a2 = a0;
      b1 = -d * a0;
      b2 = (1.0L - c) * a0;
      break;
    }
  }
  section_.b0 = static_cast<float>(a0);
  section_.b1 = static_cast<float>(a1);
  section_.b2 = static_cast<float>(a2);
  section_.a1 = static_cast<float>(b1);
  section_.a2 = static_cast<float>(b2);
}

}  // namespace tesmora6
