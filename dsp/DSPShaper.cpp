#include "dsp/DSPShaper.h"

#include <numbers>

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

constexpr float kMinAmount = 0.001f;
constexpr float kMaxAmount = 0.999f;

float ClampToAmountRange(float v) {
  if (!(v >= kMinAmount)) return kMinAmount;  // below, and NaN
  if (v > kMaxAmount) return kMaxAmount;
  return v;
}

// 1 / x worked out in extended precision and stored as a float; 0 for x = 0.
float ExtendedReciprocal(float x) {
  return x == 0.0f ? 0.0f : static_cast<float>(1.0L / x);
}

}  // namespace

// ---- the base ----

void TDSPShaper::SetAmount(float amount) {
  using L = Extended;
  amount_ = ClampToAmountRange(amount);
  // d: how far A lies from the middle of its range, 0 at the middle, 1 at either end.
  const L d = amount_ >= 0.5f ? 2.0L * (L{amount_} - 0.5L) : 1.0L - 2.0L * amount_;
  d_ = ClampToAmountRange(static_cast<float>(d));
  inverseD_ = ExtendedReciprocal(d_);
  k_ = static_cast<float>(100.0L / d_);
  e_ = static_cast<float>(L{d_} * 0.25L * 0.01L);
  Recalculate();
}

void TDSPShaper::SetType(float type) {
  requestedType_ = type;
  // Clamped before rounding so that NaN and huge values never reach the integer
  // conversion; for every other value the result is the same as clamping afterwards.
  float t = type;
  if (!(t >= 0.0f)) t = 0.0f;
  if (t > static_cast<float>(kMaxTypeIndex)) t = static_cast<float>(kMaxTypeIndex);
  typeIndex_ = Round(t);
  Recalculate();
}

// ---- period fills written out by hand ----

void TDSPNullShaper::FillPeriod(float* a) {
  const int32_t n = context_->samplesPerMs;
  for (int32_t i = 0; i < n; ++i) a[i] = Finite(a[i]);
}

void TDSPTestShaper1::FillPeriod(float* a) {
  const int32_t n = context_->samplesPerMs;
  for (int32_t i = 0; i < n; ++i) a[i] = 0.0f;
}

// ---- class constants ----

void TDSPEdgeCrushShaper::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(0.75L * d_);
}

void TDSPEdgeCrushShaper2::Recalculate() {
  TDSPEdgeCrushShaper::Recalculate();
  g1_ = static_cast<float>(0.4L * d_);
  g2_ = static_cast<float>(0.6L * d_ / 76.0L);
  g3_ = static_cast<float>(0.75L * d_ / 100.0L);
}

void TDSPSquareShaper5::Recalculate() {
  TDSPShaper::Recalculate();
  const int32_t m = context_->samplesPerMs;
  p_ = static_cast<float>(kPi / m + 0.01L);
  l_ = static_cast<float>(2.0L * std::log2(static_cast<Extended>(m) * amount_));
  g_ = ExtendedReciprocal(l_);
  c1_ = static_cast<float>(0.25L * p_);
  c2_ = static_cast<float>(0.1L * l_);
}

void TDSPSquareShaper::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(0.75L * amount_);
}

void TDSPQuantizeShaper1::Recalculate() {
  TDSPShaper::Recalculate();
  q_ = ExtendedReciprocal(amount_);
}

void TDSPPeakInvertShaper1::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(-0.2L * d_);
  g_ = static_cast<float>(0.4L * d_);
  h_ = static_cast<float>(0.004L * d_);
}

void TDSPSqrtShaper1::Recalculate() {
  TDSPShaper::Recalculate();
  r_ = static_cast<float>(std::sqrt(static_cast<Extended>(amount_)));
}

void TDSPPeakInvertShaper2::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(2.0L * amount_);
  up_ = static_cast<float>(1.0L + f_);
  down_ = static_cast<float>(1.0L - f_);
}

void TDSPPowerShaper1::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(3.0L * amount_);
  lnA_ = std::log(static_cast<Extended>(amount_));
}

void TDSPFuzzShaper2::Recalculate() {
  TDSPShaper::Recalculate();
  c_ = static_cast<float>(0.064L - 0.125L * amount_);
  k_ = static_cast<float>(2.0L * c_ / (1.0L - c_));
  k1_ = static_cast<float>(k_ + 1.0L);
  gain_ = static_cast<float>(32.0L * amount_);
}

void TDSPFuzzShaper3::Recalculate() {
  TDSPShaper::Recalculate();
  a_ = 100.0f * amount_;
  k_ = static_cast<float>(2.0L * a_ / (100.0L - a_));
  k1_ = static_cast<float>(1.0L + k_);
}

void TDSPFuzzShaper4::Recalculate() {
  TDSPShaper::Recalculate();
  phi_ = static_cast<float>(kPi * amount_);
  g_ = static_cast<float>(1.0L / std::sin(static_cast<Extended>(phi_)));
  t_ = ExtendedReciprocal(amount_);
}

void TDSPFuzzShaper5::Recalculate() {
  TDSPShaper::Recalculate();
  a_ = static_cast<float>(10.0L * amount_);
  a1_ = static_cast<float>(Extended{a_} - 1.0L);
}
