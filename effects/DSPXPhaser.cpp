#include "effects/DSPXPhaser.h"

#include <algorithm>
#include <cmath>

#include "effects/DSPEffectGuard.h"
#include "dsp/DSPLock.h"

namespace tesmora6 {

namespace {

constexpr float kShiftMs = 255.0f;
constexpr int32_t kRingSpare = 20;
constexpr float kESquaredLessOne = 6.38905609893065f;  // e^2 - 1

// One stage of the all-pass chain with state s and coefficient k: y = s - k (x + k s),
// the transfer function (z^-1 - k) / (1 - k z^-1). At k = 1 a stage gives -x.
inline float AllPassStage(float& s, float k, float x) {
  const float w = k * s + x;
  const float y = s - k * w;
  s = w;
  return y;
}

// Both chains over one sample. The stages both chains have run side by side, so that the
// two independent recursions overlap; the longer chain then runs on alone.
inline void AllPassChains(float* sl, int32_t nl, float kl, float& xl, float* sr, int32_t nr, float kr, float& xr) {
  const int32_t common = std::min(nl, nr);
  float l = xl, r = xr;
  for (int32_t j = 0; j < common; ++j) {
    l = AllPassStage(sl[j], kl, l);
    r = AllPassStage(sr[j], kr, r);
  }
  for (int32_t j = common; j < nl; ++j) l = AllPassStage(sl[j], kl, l);
  for (int32_t j = common; j < nr; ++j) r = AllPassStage(sr[j], kr, r);
  xl = l;
  xr = r;
}

}  // namespace

TDSPXPhaser::TDSPXPhaser() {
  AllocateBuffers();
  Clear();
}

TDSPXPhaser::~TDSPXPhaser() = default;

void TDSPXPhaser::AllocateBuffers() {
  TDSPStereoEffect::AllocateBuffers();
  shiftCapacity_ = static_cast<int32_t>(std::nearbyint(kShiftMs * static_cast<float>(context_->samplesPerMs)));
  shiftRingRight_.assign(static_cast<size_t>(shiftCapacity_ + kRingSpare), 0.0f);
  shiftRingLeft_.assign(static_cast<size_t>(shiftCapacity_ + kRingSpare), 0.0f);
  shiftRight_.position = 0;
  shiftLeft_.position = 0;
}

void TDSPXPhaser::SetPhaseLeft(float p) {
  if (p != phaseLeft_) phaseLeft_ = ClampSetting(p, 0.0f, 1.0f);
}

void TDSPXPhaser::SetPhaseRight(float p) {
  if (p != phaseRight_) phaseRight_ = ClampSetting(p, 0.0f, 1.0f);
}

void TDSPXPhaser::SetDepthLeft(float d) {
  if (d != depthLeft_) depthLeft_ = ClampSetting(d, 0.0f, 1.0f);
}

void TDSPXPhaser::SetDepthRight(float d) {
  if (d != depthRight_) depthRight_ = ClampSetting(d, 0.0f, 1.0f);
}

void TDSPXPhaser::SetFeedbackLeft(float f) {
  if (f != feedbackLeft_) feedbackLeft_ = ClampSetting(f, -1.0f, 1.0f);
}

void TDSPXPhaser::SetFeedbackRight(float f) {
  if (f != feedbackRight_) feedbackRight_ = ClampSetting(f, -1.0f, 1.0f);
}

void TDSPXPhaser::SetCrossLeftToRight(float c) {
  if (c != crossLR_) crossLR_ = ClampSetting(c, -1.0f, 1.0f);
}

void TDSPXPhaser::SetCrossRightToLeft(float c) {
  if (c != crossRL_) crossRL_ = ClampSetting(c, -1.0f, 1.0f);
}

void TDSPXPhaser::SetStagesLeft(uint8_t n) { SetStages(stagesLeft_, n); }

void TDSPXPhaser::SetStagesRight(uint8_t n) { SetStages(stagesRight_, n); }

void TDSPXPhaser::SetStages(int32_t& stages, uint8_t n) {
  if (n == stages) return;
  // The parameter handler may run on any thread; the clear must not meet a period.
  TDSPLockGuard lock;
  int32_t count = n;
  if (count > stageLimit_) count = stageLimit_;
  while (count % 2 != 0) --count;
  if (count < 2) count = 2;
  stages = count;
  Clear();
}

void TDSPXPhaser::SetShift(float ms) {
  if (ms == shift_) return;
  shift_ = ClampSetting(ms, -kShiftLimit, kShiftLimit);
  Recalculate();
}

void TDSPXPhaser::Clear() {
  previousLeft_ = previousRight_ = 0.0f;
  feedbackStateLeft_ = feedbackStateRight_ = 0.0f;
  statesLeft_.fill(0.0f);
  statesRight_.fill(0.0f);
  std::fill(shiftRingRight_.begin(), shiftRingRight_.end(), 0.0f);
  std::fill(shiftRingLeft_.begin(), shiftRingLeft_.end(), 0.0f);
}

void TDSPXPhaser::Recalculate() {
  TDSPStereoEffect::Recalculate();
  SetShiftLengths(shift_, context_->samplesPerMs, shiftCapacity_, shiftLeft_, shiftRight_);
}

void TDSPXPhaser::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  Clear();
  modulatorLeft_.ContextChanged(context_);
  modulatorRight_.ContextChanged(context_);
  Recalculate();
}

float TDSPXPhaser::SweepValue(float m) { return (std::exp(2.0f * m) - 1.0f) / kESquaredLessOne; }

float TDSPXPhaser::CoefficientTarget(float phase, float depth, float c) {
  // The swept part vanishes when depth (1 - phase) does, also for an infinite sweep.
  const float swing = depth * (1.0f - phase);
  const float swept = swing == 0.0f ? 0.0f : swing * c;
  const float a = 1.0f - (1.0f - depth) * phase - swept;
  // Held to [0, 1]; NaN becomes 0.
  return a > 0.0f ? (a < 1.0f ? a : 1.0f) : 0.0f;
}

void TDSPXPhaser::ModulatorStep(float& left, float& right) {
  modulatorLeft_.Tick();
  modulatorRight_.Tick();
  left = modulatorLeft_.Gain() + 0.25f * modulatorLeft_.Out;
  right = modulatorRight_.Gain() + 0.25f * modulatorRight_.Out;
}

bool TDSPXPhaser::StateFinite() const {
  TFiniteProbe probe;
  probe.Add(feedbackStateLeft_);
  probe.Add(feedbackStateRight_);
  return probe.Finite() && AllFinite(statesLeft_.data(), kStageLimit) && AllFinite(statesRight_.data(), kStageLimit);
}

void TDSPXPhaser::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  float modL, modR;
  if (firstPeriod_) {
    ModulatorStep(modL, modR);
    firstPeriod_ = false;
  }
  ModulatorStep(modL, modR);
  const float targetL = CoefficientTarget(phaseLeft_, depthLeft_, SweepValue(modL));
  const float targetR = CoefficientTarget(phaseRight_, depthRight_, SweepValue(modR));
  const float* noise = TakeDenormalValues(m);

  const float startL = previousLeft_, startR = previousRight_;
  const int32_t nl = stagesLeft_, nr = stagesRight_;
  float fbStateL = feedbackStateLeft_, fbStateR = feedbackStateRight_;
  float* ringL = shiftRingLeft_.data();
  float* ringR = shiftRingRight_.data();
  int32_t posL = shiftLeft_.position, posR = shiftRight_.position;
  const int32_t lenL = shiftLeft_.length, lenR = shiftRight_.length;
  const float mf = static_cast<float>(m);
  TFiniteProbe probe;
  for (int32_t i = 0; i < m; ++i) {
    // The coefficient moves linearly from last period's target to this one's.
    const float f = static_cast<float>(i) / mf;
    const float kL = f * targetL + (1.0f - f) * startL;
    const float kR = f * targetR + (1.0f - f) * startR;
    float xL = left[i] + fbStateL + noise[i];
    float xR = right[i] + fbStateR + noise[i];
    AllPassChains(statesLeft_.data(), nl, kL, xL, statesRight_.data(), nr, kR, xR);
    const float yL = xL + xR * crossRL_;
    const float yR = xR + xL * crossLR_;
    fbStateL = BoundFeedback(yL * feedbackLeft_);
    fbStateR = BoundFeedback(yR * feedbackRight_);
    const float outL = ringL[posL];
    ringL[posL] = left[i] * dryLeft_ + yL * wetLeft_;
    const float outR = ringR[posR];
    ringR[posR] = right[i] * dryRight_ + yR * wetRight_;
    probe.Add(ringL[posL]);
    probe.Add(ringR[posR]);
    left[i] = outL;
    right[i] = outR;
    if (++posL >= lenL) posL = 0;
    if (++posR >= lenR) posR = 0;
  }
  shiftLeft_.position = posL;
  shiftRight_.position = posR;
  feedbackStateLeft_ = fbStateL;
  feedbackStateRight_ = fbStateR;
  previousLeft_ = targetL;
  previousRight_ = targetR;

  if (!probe.Finite() || !StateFinite()) {
    Clear();
    ZeroNonFinite(left, m);
    ZeroNonFinite(right, m);
  }
}

}  // namespace tesmora6
