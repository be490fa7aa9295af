#include "dsp/DSP3BandEQ.h"

#include <cmath>

namespace tesmora6 {

namespace {
constexpr float kGainLimit = 15.0f;  // dB
constexpr float kLowestCentre = 1.0f, kHighestCentre = 32767.0f;
constexpr float kLowestQ = 0.01f, kHighestQ = 0.99f;
constexpr float kTwoPi = 6.28318530717958647692f;
// ln(2) / 6: the band gains double every 6 dB, amplitude = 2^(dB / 6). This stays within
// 0.6 % of 10^(dB / 20) over the +-15 dB range (+15 dB gives 5.657 instead of 5.623).
constexpr float kDbToExponent = 0.115524530093324f;

// Linear amplitude of a band gain in decibels.
float DbToAmplitude(float dB) { return std::exp(dB * kDbToExponent); }
}  // namespace

void TDSP3BandEQ::SetCentreFrequency(float hz) {
  ClampInPlace(hz, kLowestCentre, kHighestCentre);
  centre_ = hz;
  UpdateCoefficients();
}

void TDSP3BandEQ::SetHighGain(float dB) {
  ClampInPlace(dB, -kGainLimit, kGainLimit);
  highGain_ = dB;
  UpdateCoefficients();
}

void TDSP3BandEQ::SetLowGain(float dB) {
  ClampInPlace(dB, -kGainLimit, kGainLimit);
  lowGain_ = dB;
  UpdateCoefficients();
}

void TDSP3BandEQ::SetMidGain(float dB) {
  ClampInPlace(dB, -kGainLimit, kGainLimit);
  midGain_ = dB;
  UpdateCoefficients();
}

void TDSP3BandEQ::SetQ(float q) {
  ClampInPlace(q, kLowestQ, kHighestQ);
  q_ = q;
  UpdateCoefficients();
}

// The bilinear transform, prewarped at the centre frequency f, of
//   H(s) = (u s^2 + (h / Q) s + t) / (s^2 + s / Q + 1)
// with t, h, u the low, mid and high amplitudes: t at DC, u at Nyquist and, when t = u,
// h at f.
void TDSP3BandEQ::UpdateCoefficients() {
  const float rate = static_cast<float>(context_->sampleRate);
  float f = centre_;
  if (f > rate / 2.01f) f = rate / 2.01f;
  const float t = DbToAmplitude(lowGain_);
  const float u = DbToAmplitude(highGain_);
  const float h = DbToAmplitude(midGain_);
  // K = cot(w / 2) for the centre's angular frequency w = 2 pi f / R.
  const float k = 1.0f / std::tan(kTwoPi * f * context_->inverseSampleRate / 2.0f);
  const float o = k * k;
  const float m = k / q_;
  const float r = 1.0f / (o + m + 1.0f);
  a1_ = (2.0f - 2.0f * o) * r;
  a2_ = (o + 1.0f - m) * r;
  b0_ = (m * h + t + o * u) * r;
  b1_ = (2.0f * t - 2.0f * o * u) * r;
  b2_ = (o * u + t - m * h) * r;
}

void TDSP3BandEQ::Tick() {
  const float x = In;
  const float y = Section(Coefficients(), x, x1_, x2_, y1_, y2_);
  x0_ = x;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  Out = y;
}

void TDSP3BandEQ::FillPeriod(float* a) {
  const int32_t n = context_->samplesPerMs;
  if (n <= 0) return;
  // The history is kept in locals for the period, so that the recursion does not pass
  // through memory that the array might share.
  const TCoefficients c = Coefficients();
  float x1 = x1_, x2 = x2_, y1 = y1_, y2 = y2_;
  for (int32_t i = 0; i < n; ++i) {
    const float x = a[i];
    const float y = Section(c, x, x1, x2, y1, y2);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    a[i] = y;
  }
  x0_ = In = x1;
  x1_ = x1;
  x2_ = x2;
  y1_ = Out = y1;
  y2_ = y2;
}

}  // namespace tesmora6
