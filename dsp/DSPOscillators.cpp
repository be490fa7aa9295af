#include "dsp/DSPOscillators.h"

#include <cmath>

// ---- recursive sine pair ----

void TSineCososc1::UpdateCoefficient() {
  // k = 2 sin(π x increment) turns the pair by one increment of phase per sample.
  k_ = static_cast<float>(2.0L * std::sin(oscmath::kPi * increment_));
}

void TSineCososc1::SetPitch(float semitones) {
  TDSPBaseOscillator::SetPitch(semitones);
  UpdateCoefficient();
}

void TSineCososc1::SetFrequency(float hz) {
  if (hz == frequency_) return;
  TDSPBaseOscillator::SetFrequency(hz);
  // The pair turns at the rate of k alone, so a new frequency needs a new k too.
  UpdateCoefficient();
}

void TSineCososc1::ResetPhase() {
  u_ = 0.5f;
  v_ = 0.0f;
}

void TSineOsc3::Tick() {
  Step();
  Out = u_;
}

void TSineOsc3::FillPeriod(float* out) {
  const int32_t m = context_->samplesPerMs;
  // The fill scales with the square of the gain.
  const long double g2 = static_cast<long double>(gain_) * gain_;
  for (int32_t i = 0; i < m; ++i) {
    Step();
    const float u = u_;
    out[i] = static_cast<float>(g2 * u);
    phase_ = Wrapped(phase_ + increment_);
  }
}

void TCosineOsc2::Tick() {
  Step();
  Out = v_;
}

void TCosineOsc2::FillPeriod(float* out) {
  const int32_t m = context_->samplesPerMs;
  for (int32_t i = 0; i < m; ++i) {
    Step();
    const float v = v_;
    out[i] = static_cast<float>(static_cast<long double>(gain_) * v);
    phase_ = Wrapped(phase_ + increment_);
  }
}

// ---- band-limited saw ----

TDSPBlitOscillator::TDSPBlitOscillator() {
  ports_[1] = DSPConstSignals().Buffer(TDSPConstSignals::kThree);
  // The integrator's corner at 0.0001 of the sample rate: t = tan(π x 0.0001).
  const long double t = std::tan(oscmath::kPi * 0.0001L);
  c1_ = static_cast<float>(-(1.0L - t) / (1.0L + t));
  c0_ = 0.5f;
}

void TDSPBlitOscillator::SetGain(float gain) {
  gain_ = static_cast<float>(3.0L * gain);
}

void TBlitSawOsc1::StartCycle() {
  if (dsfPhase_ >= 1.0f) dsfPhase_ -= 1.0f;
  storedIncrement_ = increment_;
  period_ = static_cast<float>(1.0L / storedIncrement_);
  // M = ⌊P / 2⌋ + 1 harmonics (written as round(P x 0.5 - 0.5) + 1). Rounded in floating
  // point, so that the very long periods of near-zero frequencies do not overflow an
  // integer.
  harmonics_ = static_cast<float>(std::nearbyint(period_ * 0.5L - 0.5L) + 1.0L);
  // b = a^(1 / (P x 0.5)): the roll-off per harmonic that reaches a at the last one.
  b_ = rolloff_ == 0.0f ? 0.0f
                        : static_cast<float>(std::pow(static_cast<long double>(rolloff_),
                                                      1.0L / (period_ * 0.5L)));
  bPowM_ = b_ == 0.0f ? 0.0f
                      : static_cast<float>(std::pow(static_cast<long double>(b_),
                                                    static_cast<long double>(harmonics_)));
}

float TBlitSawOsc1::Step() {
  if (dsfPhase_ >= 1.0f || storedIncrement_ == 0.0f) StartCycle();
  const long double theta = oscmath::kTwoPi * dsfPhase_;
  const long double b = b_, bm = bPowM_, p = period_, inc = storedIncrement_;
  const long double c1 = oscmath::CosExtended(theta);
  const long double cm = oscmath::CosExtended(harmonics_ * theta);
  const long double cm1 = oscmath::CosExtended(harmonics_ * theta - theta);
  dsfPhase_ = dsfPhase_ + storedIncrement_;
  // Σ_{k=0}^{M-1} b^k cos(kθ) in closed form, over P, less its mean.
  const long double numerator = 1.0L - bm * cm - (c1 - cm1 * bm) * b;
  const long double denominator = (b * (b - 2.0L * c1) + 1.0L) * p;
  long double s;
  if (denominator != 0.0L) {
    s = numerator / denominator - inc;
  } else {
    // b has rounded to 1 (a period of tens of millions of samples) and θ = 0: the sum is
    // then M terms of 1.
    s = harmonics_ / p - inc;
  }
  return Integrate(s);
}

void TBlitSawOsc1::FillPeriod(float* out) {
  const int32_t m = context_->samplesPerMs;
  for (int32_t i = 0; i < m; ++i) {
    const float y = Step();
    out[i] = y * gain_;
    // The ordinary phase runs on as well, although the saw does not read it.
    phase_ = Wrapped(phase_ + increment_);
  }
}
