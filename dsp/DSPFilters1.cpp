#include "dsp/DSPFilters1.h"

#include <cmath>

#include "dsp/DSPOscillators.h"  // oscmath: extended sine and cosine without the slow reduction

// Coefficients are computed in extended precision and stored as floats. Their sines and
// cosines come from the waveforms' extended sine and cosine (oscmath): a three-part pi/2
// reduction and a series kernel, the library's values to about an extended ulp at a
// fraction of its cost.

// ---- TButterworthFilter1 ----

TButterworthFilter1::TButterworthFilter1(int16_t mode) {
  mode_ = mode;
  resonanceLow_ = 0.001;
  resonanceHigh_ = 1.3f;
}

void TButterworthFilter1::Recalculate() {
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

// ---- TButterworthFilter2 ----

TButterworthFilter2::TButterworthFilter2(Mode mode) { mode_ = mode; }

void TButterworthFilter2::Recalculate() {
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

// ---- TDSPOnePoleFilterLP ----

void TDSPOnePoleFilterLP::Recalculate() {
  const long double k = cutoff_ / 22050.0L;
  mappedCutoff_ = cutoff_;
  k_.k = static_cast<float>(k);
  k_.pass = static_cast<float>(1.0L - k);
}

// ---- T24DBResonantLPFilter1 ----

T24DBResonantLPFilter1::T24DBResonantLPFilter1() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 3.999f;
}

void T24DBResonantLPFilter1::Recalculate() {
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

void T24DBResonantLPFilter1::Reset() {
  TDSPFilter::Reset();
  k_.s1 = k_.s2 = k_.s3 = k_.s4 = 0.0f;
  k_.p1 = k_.p2 = k_.p3 = k_.p4 = 0.0f;
}

// ---- T24DBResonantFilter3 ----

T24DBResonantFilter3::T24DBResonantFilter3() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 1.0f;
}

void T24DBResonantFilter3::Recalculate() {
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

void T24DBResonantFilter3::Reset() {
  TDSPFilter::Reset();
  k_.y1 = k_.y2 = k_.y3 = k_.y4 = 0.0f;
  k_.uOld = k_.y1Old = k_.y2Old = k_.y3Old = 0.0f;
}

// ---- T24DBResonantFilter2 ----

T24DBResonantFilter2::T24DBResonantFilter2(Mode mode) {
  mode_ = mode;
  k_.mode = mode;
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.88f;
}

void T24DBResonantFilter2::Recalculate() {
  const long double r = MapResonance();
  const long double f = cutoff_ / 22050.0L;  // not rescaled to the running rate
  const long double q = 1.0L - f;
  const long double p = f + 0.8L * f * q;
  mappedCutoff_ = cutoff_;
  k_.p = static_cast<float>(p);
  k_.k = static_cast<float>(2.0L * p - 1.0L);
  k_.fb = static_cast<float>(r * (1.0L + 0.5L * q * (1.0L - q + 5.6L * q * q)));
}

void T24DBResonantFilter2::Reset() {
  TDSPFilter::Reset();
  k_.b0 = k_.b1 = k_.b2 = k_.b3 = k_.b4 = 0.0f;
}

// ---- TXResonantFilter1 ----

TXResonantFilter1::TXResonantFilter1() {
  resonanceLow_ = 0.001;
  resonanceHigh_ = 0.999f;
}

void TXResonantFilter1::Recalculate() {
  const long double r = MapResonance();
  const long double f = Map(cutoff_, 0.001L, 0.999L, 0.001L, 0.24L * fs_);  // not clamped
  mappedCutoff_ = cutoff_;
  k_.f = static_cast<float>(f);
  // R' / (1 - f), with the reciprocal of 0 taken as 0 as everywhere in the library: at
  // exactly f = 1 the quotient would make the feedback infinite.
  const long double gap = 1.0L - f;
  k_.fb = static_cast<float>(r + (gap == 0.0L ? 0.0L : r / gap));
}

// ---- TStateVariableFilter1 ----

namespace {

// Resonance range per mode: low, high.
constexpr long double kSvfRanges[5][2] = {
    {0.03L, 0.4L}, {0.33L, 0.55L}, {0.395L, 0.55L}, {0.3L, 0.65L}, {0.7L, 0.999L}};
// Frequency factor per mode, times the sample rate.
constexpr long double kSvfFactors[5] = {2.2e-5L, 4e-6L, 6e-6L, 3.6e-6L, 4e-6L};

}  // namespace

TStateVariableFilter1::TStateVariableFilter1(Mode mode) {
  mode_ = mode;
  k_.mode = mode;
  resonanceLow_ = static_cast<double>(kSvfRanges[mode][0]);
  resonanceHigh_ = static_cast<float>(kSvfRanges[mode][1]);
}

void TStateVariableFilter1::Recalculate() {
  const long double c = cutoff_;
  const long double factor = kSvfFactors[mode_] * fs_;
  // Frequency value v.
  const long double v = mode_ == kPeaking
                            ? Map(c, 3000.0L, 5000.0L, 0.0L, 0.48L * fs_) / (3.0L * fs_) * factor
                            : c / (2.8L * fs_) * factor;
  // Damping: a higher resonance setting gives a lower damping.
  const long double q = resonanceHigh_ + resonanceLow_ - MapResonance();
  // Frequency coefficient.
  long double h = (fs_ / 100.0L) *
                  std::exp((v * 0.0038758637L - 69.0L) * 0.0577622652L);
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

void TStateVariableFilter1::Reset() {
  TDSPFilter::Reset();
  k_.low = k_.high = k_.band = k_.notch = k_.peak = 0.0f;
}
