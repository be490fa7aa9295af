#include "dsp/DSPBiquadFilters.h"

#include <algorithm>
#include <cmath>

namespace tesmora6 {

// Coefficients are computed in extended precision and stored as floats.

TClampedBiquadFilter::TClampedBiquadFilter() {
  resonanceLow_ = 0.01;
  resonanceHigh_ = 265.0f;
  formantScale_ = static_cast<float>(0.2L * fs_);
}

void TClampedBiquadFilter::AllocateBuffers() {
  TDSPFilter::AllocateBuffers();
  formantScale_ = static_cast<float>(0.2L * fs_);
}

void TClampedBiquadFilter::Reset() {
  TDSPFilter::Reset();
  k_.x1 = k_.x2 = k_.y1 = k_.y2 = 0.0f;
}

void TClampedBiquadFilter::PeakDesign(long double gain, long double fs, long double boost, long double quality,
                                      long double f) {
  const long double t = std::tan((2.0L * kFilterPi * f / fs) * 0.5L);  // prewarped
  const long double t2 = t * t;
  const long double n = 1.0L / (1.0L + t / quality + t2);
  k_.b0 = static_cast<float>(gain * n * (1.0L + boost * t / quality + t2));
  k_.b1 = static_cast<float>(gain * n * 2.0L * (t2 - 1.0L));
  k_.b2 = static_cast<float>(gain * n * (1.0L - boost * t / quality + t2));
  k_.a1 = static_cast<float>(2.0L * (t2 - 1.0L) * n);
  k_.a2 = static_cast<float>((1.0L - t / quality + t2) * n);
}

void TBiquad4PoleLPFilter::Recalculate() {
  const long double r = MapResonance();
  const long double f = std::max(RescaledCutoff(), 33.0L);
  mappedCutoff_ = static_cast<float>(f);
  const long double t = std::tan(kFilterPi * f / fs_);
  const long double m0 = std::sqrt(r * 14.0L / 240.0L + 1.01L);
  const long double m = std::sqrt(m0 * m0 - 1.0L) / m0;
  const long double k = 1.0L / t;
  const long double l = 2.0L * m * (1.0L - m) * k;
  const long double q = m * k * k;
  const long double n = 1.0L / (1.0L + l + q);
  k_.b0 = static_cast<float>(n);
  k_.b1 = static_cast<float>(2.0L * n);
  k_.b2 = static_cast<float>(n);
  k_.a1 = static_cast<float>(n * (2.0L - 2.0L * q));
  k_.a2 = static_cast<float>(n * (q + 1.0L - l));
}

void TBiquad4PoleEQ1Filter::Recalculate() {
  const long double r = MapResonance();
  const long double f = std::max(std::min(RescaledCutoff(), ny_), 33.0L);
  mappedCutoff_ = static_cast<float>(f);
  PeakDesign(0.4L / ((240.0L - r) / 120.0L + 1.0L), fs_, r / 30.0L + 6.0L, 1.0L + r / 12.0L, f);
}

void TBiquad4PoleEQ2Filter::Recalculate() {
  MapResonance();
  const long double f = std::max(std::min(RescaledCutoff(), ny_), 33.0L);
  mappedCutoff_ = static_cast<float>(f);
  PeakDesign(0.5L, fs_, 9.0L, 8.0L, f);
}

namespace {

// The formant frequency for v = C / 22050 x 0.2 fs: 270 Hz at v = 0, 400 Hz at v = 120,
// `top` at v = 240, continuing in a straight line beyond.
long double FormantFrequency(long double v, long double top) {
  return v >= 120.0L ? 400.0L + (top - 400.0L) * (v - 120.0L) / 120.0L : 270.0L + v * (400.0L - 270.0L) / 120.0L;
}

}  // namespace

TBiquadVocal1Filter::TBiquadVocal1Filter() { resonanceHigh_ = 6000.0f; }

void TBiquadVocal1Filter::Recalculate() {
  const long double r = MapResonance();
  const long double f = FormantFrequency(cutoff_ / 22050.0L * formantScale_, 800.0L);
  mappedCutoff_ = static_cast<float>(f);
  PeakDesign(0.3L, fs_, r / 24.0L + 6.0L, r / 48.0L + 2.0L, f);
}

TBiquadVocal2Filter::TBiquadVocal2Filter() { resonanceHigh_ = 5000.0f; }

void TBiquadVocal2Filter::Recalculate() {
  const long double r = MapResonance();
  const long double f = FormantFrequency(cutoff_ / 22050.0L * formantScale_, 650.0L);
  mappedCutoff_ = static_cast<float>(f);
  PeakDesign(0.3L, fs_, r / 16.0L + 6.0L, r / 56.0L + 2.0L, f);
}

}  // namespace tesmora6
