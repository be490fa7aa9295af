#include "effects/DSPXXFilter.h"

#include <algorithm>
#include <cmath>

#include "effects/DSPEffectGuard.h"

namespace tesmora6 {

namespace {

constexpr int32_t kShiftMs = 255;
constexpr int32_t kRingSpare = 25;

// Round half to even, held inside int32 (NaN gives 0), for lengths in samples.
int32_t RoundSamples(float x) {
  if (!(x == x)) return 0;
  const float r = std::nearbyint(x);
  if (r >= 2147483520.0f) return 2147483520;
  if (r <= -2147483520.0f) return -2147483520;
  return static_cast<int32_t>(r);
}

}  // namespace

const float* TDSPXXFilter::ShapedWindow() {
  // W(q) = 1 - (1 - q)^5: rises fast from 0 and flattens towards 1 (0.96875 at q = 0.5).
  static const std::array<float, kWindowSteps + 1> table = [] {
    std::array<float, kWindowSteps + 1> t{};
    for (int32_t k = 0; k <= kWindowSteps; ++k) {
      const long double r = 1.0L - static_cast<long double>(k) / kWindowSteps;
      t[k] = static_cast<float>(1.0L - r * r * r * r * r);
    }
    return t;
  }();
  return table.data();
}

TDSPXXFilter::TDSPXXFilter() {
  AllocateBuffers();
  UpdateGeometry();
}

TDSPXXFilter::~TDSPXXFilter() = default;

void TDSPXXFilter::AllocateBuffers() {
  TDSPStereoEffect::AllocateBuffers();
  shiftCapacity_ = kShiftMs * context_->samplesPerMs;
  shiftRingBytes_ = 4 * shiftCapacity_;
  shiftRingLeft_.assign(static_cast<size_t>(shiftCapacity_ + kRingSpare), 0.0f);
  shiftRingRight_.assign(static_cast<size_t>(shiftCapacity_ + kRingSpare), 0.0f);
  shiftLeft_.position = 0;
  shiftRight_.position = 0;
  const int32_t period = std::max(context_->paddedBlock, context_->samplesPerMs + 16);
  tapBuffer_.assign(static_cast<size_t>(period), 0.0f);
}

void TDSPXXFilter::SetTapLength(int32_t side, int32_t tap, int32_t length) {
  if ((side != kLeft && side != kRight) || tap < 0 || tap >= kSlots) return;
  TTap& t = Taps(side)[tap];
  if (t.length == length) return;
  t.length = length;
  UpdateGeometry();
}

void TDSPXXFilter::SetTapCount(int32_t count) {
  if (count == tapCount_) return;
  tapCount_ = std::min(count, kSlots);
  UpdateGeometry();
}

void TDSPXXFilter::SetShift(float ms) {
  if (ms == shift_) return;
  shift_ = ms;
  Recalculate();
}

void TDSPXXFilter::Recalculate() {
  TDSPStereoEffect::Recalculate();
  SetShiftLengths(shift_, context_->samplesPerMs, shiftCapacity_, shiftLeft_, shiftRight_);
}

void TDSPXXFilter::TempoChanged() {
  TDSPStereoEffect::TempoChanged();
  UpdateGeometry();
}

void TDSPXXFilter::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  for (TTap& t : leftTaps_) t.filter.ContextChanged(context_);
  for (TTap& t : rightTaps_) t.filter.ContextChanged(context_);
  UpdateGeometry();
}

void TDSPXXFilter::UpdateGeometry() {
  Recalculate();
  UpdateSide(leftTaps_, cycleSumLeft_, cycleLeft_, phaseStepLeft_);
  UpdateSide(rightTaps_, cycleSumRight_, cycleRight_, phaseStepRight_);
}

void TDSPXXFilter::UpdateSide(std::array<TTap, kSlots>& taps, float& cycleSum, int32_t& cycle, float& phaseStep) {
  const float m = static_cast<float>(context_->samplesPerMs);
  const int32_t count = TapsInUse();
  cycleSum = 0.0f;
  for (int32_t j = 0; j < count; ++j) {
    TTap& t = taps[j];
    t.tapMs = lengthUnit_ ? static_cast<float>(t.length) * tick_ : static_cast<float>(t.length);
    t.tapSamples = RoundSamples(m * t.tapMs);
    cycleSum += t.tapMs;
  }
  cycle = std::max(RoundSamples(m * cycleSum), 1);
  phaseStep = 1.0f / static_cast<float>(cycle);
  // Each tap's window peaks (phase 0.5) when the cycle reaches the tap's centre.
  float start = 0.0f;
  for (int32_t j = 0; j < count; ++j) {
    TTap& t = taps[j];
    t.share = static_cast<float>(t.tapSamples) / static_cast<float>(cycle);
    t.start = start;
    t.centre = start + t.share / 2.0f;
    t.phase = 0.5f - t.centre;
    if (t.phase < 0.0f) t.phase += 1.0f;
    start += t.share;
  }
}

namespace {

// The triangular window h = 2 phi, then 2 (1 - phi), peaks at phi = 0.5; mode 1 shapes it
// through W. A short tap (spread = min(2 share, 1) near 0) is weighted about h, a tap of
// half the cycle or more h^2.
inline float WindowWeight(const float* shaped, float phi, float spread, int32_t windowMode) {
  float h = phi < 0.5f ? 2.0f * phi : 2.0f * (1.0f - phi);
  if (windowMode == 1) {
    // Held to [0, 1] (NaN to 0), so that no phase can reach past the table.
    const float q = h > 0.0f ? (h < 1.0f ? h : 1.0f) : 0.0f;
    // Adding and taking away 1.5 x 2^23 rounds to the nearest integer, half to even, as
    // the floating-point unit does; exact for 0 <= x < 2^22.
    constexpr float kRounder = 12582912.0f;
    const float k = (static_cast<float>(TDSPXXFilter::kWindowSteps) * q + kRounder) - kRounder;
    h = shaped[static_cast<int32_t>(k)];
  }
  return h * (1.0f - (1.0f - h) * spread);
}

}  // namespace

float TDSPXXFilter::Weight(float phi, float share, int32_t windowMode) {
  return WindowWeight(ShapedWindow(), phi, std::min(2.0f * share, 1.0f), windowMode);
}

// Every tap filter runs over the whole period in both modes, so its state stays continuous
// when its window opens. Summing tap by tap adds the same terms in the same order as
// summing sample by sample.
void TDSPXXFilter::RunTaps(std::array<TTap, kSlots>& taps, float phaseStep, const float* in, float* sum) {
  const int32_t m = PeriodLength();
  float* out = tapBuffer_.data();
  std::fill(sum, sum + m, 0.0f);
  const int32_t count = TapsInUse();
  const float* shaped = ShapedWindow();
  for (int32_t j = 0; j < count; ++j) {
    TTap& t = taps[j];
    std::copy(in, in + m, out);
    t.filter.FillPeriod(out);
    if (windowMode_ == 0) {
      for (int32_t i = 0; i < m; ++i) sum[i] += out[i];
      continue;
    }
    const float spread = std::min(2.0f * t.share, 1.0f);
    float phase = t.phase;
    for (int32_t i = 0; i < m; ++i) {
      const float g = WindowWeight(shaped, phase, spread, windowMode_);
      phase += phaseStep;
      if (phase > 1.0f) phase -= 1.0f;
      sum[i] += out[i] * g;
    }
    t.phase = phase;
  }
}

void TDSPXXFilter::ClearSignal() {
  std::fill(shiftRingLeft_.begin(), shiftRingLeft_.end(), 0.0f);
  std::fill(shiftRingRight_.begin(), shiftRingRight_.end(), 0.0f);
  for (TTap& t : leftTaps_) t.filter.Filter()->Reset();
  for (TTap& t : rightTaps_) t.filter.Filter()->Reset();
}

void TDSPXXFilter::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  const float* noise = TakeDenormalValues(m);
  // The input with the anti-denormal value, kept in place: it feeds the taps and the dry
  // part.
  for (int32_t i = 0; i < m; ++i) {
    left[i] += noise[i];
    right[i] = noise[i] + right[i];
  }
  float* sumL = wetBufferLeft_.data();
  float* sumR = wetBufferRight_.data();
  RunTaps(leftTaps_, phaseStepLeft_, left, sumL);
  RunTaps(rightTaps_, phaseStepRight_, right, sumR);

  // Output law, then the shift rings: each channel reads its ring before writing it.
  float* ringL = shiftRingLeft_.data();
  float* ringR = shiftRingRight_.data();
  int32_t posL = shiftLeft_.position, posR = shiftRight_.position;
  const int32_t lenL = shiftLeft_.length, lenR = shiftRight_.length;
  TFiniteProbe probe;
  for (int32_t i = 0; i < m; ++i) {
    const float inL = ringL[posL];
    const float inR = ringR[posR];
    ringL[posL] = sumL[i] * wetLeft_ + left[i] * dryLeft_ + noise[i];
    ringR[posR] = sumR[i] * wetRight_ + right[i] * dryRight_ + noise[i];
    probe.Add(ringL[posL]);
    probe.Add(ringR[posR]);
    left[i] = inL;
    right[i] = inR;
    if (++posL >= lenL) posL = 0;
    if (++posR >= lenR) posR = 0;
  }
  shiftLeft_.position = posL;
  shiftRight_.position = posR;

  if (!probe.Finite() || !AllFinite(left, m) || !AllFinite(right, m)) {
    ClearSignal();
    ZeroNonFinite(left, m);
    ZeroNonFinite(right, m);
  }
}

}  // namespace tesmora6
