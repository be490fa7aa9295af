#include "effects/DSPXDelay.h"

#include <algorithm>
#include <cmath>

#include "dsp/DSPLock.h"

namespace tesmora6 {

TDSPXDelay::TDSPXDelay() {
  lengthUnit_ = 1;
  AllocateBuffers();
  ComputeLineLengths();
}

TDSPXDelay::~TDSPXDelay() = default;

void TDSPXDelay::AllocateBuffers() {
  // A context change may come from another thread than the one that renders.
  TDSPLockGuard lock;
  TDSPStereoEffect::AllocateBuffers();
  capacity_ = kCapacityMs * context_->samplesPerMs;
  lineLeft_.assign(static_cast<size_t>(capacity_), 0.0f);
  lineRight_.assign(static_cast<size_t>(capacity_), 0.0f);
  if (positionLeft_ >= capacity_) positionLeft_ = 0;
  if (positionRight_ >= capacity_) positionRight_ = 0;
}

void TDSPXDelay::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  filterLeft_.ContextChanged(context_);
  filterRight_.ContextChanged(context_);
  Recalculate();
}

void TDSPXDelay::Recalculate() {
  TDSPStereoEffect::Recalculate();
  ComputeLineLengths();
}

void TDSPXDelay::TempoChanged() {
  TDSPStereoEffect::TempoChanged();
  Recalculate();
}

void TDSPXDelay::SetLengthLeft(int32_t length) {
  if (length == lengthLeft_) return;
  lengthLeft_ = length;
  Recalculate();
}

void TDSPXDelay::SetLengthRight(int32_t length) {
  if (length == lengthRight_) return;
  lengthRight_ = length;
  Recalculate();
}

void TDSPXDelay::SetCrossLeftToRight(float cross) {
  if (cross == crossLeftToRight_) return;
  crossLeftToRight_ = cross;
  Recalculate();
}

void TDSPXDelay::SetCrossRightToLeft(float cross) {
  if (cross == crossRightToLeft_) return;
  crossRightToLeft_ = cross;
  Recalculate();
}

int32_t TDSPXDelay::LineLength(int32_t length) const {
  const int32_t m = context_->samplesPerMs;
  const float samples = LengthInTicks() ? static_cast<float>(length) * tick_ * static_cast<float>(m)
                                        : static_cast<float>(m) * static_cast<float>(length);
  // Compared as a float first: a very slow tempo must not overflow the conversion.
  if (!(samples < static_cast<float>(capacity_))) return capacity_ - 1;
  if (!(samples > 0.5f)) return 1;                                  // rounds to 0 or below
  const int32_t n = static_cast<int32_t>(std::nearbyint(samples));  // half to even
  return n >= capacity_ ? capacity_ - 1 : n;
}

void TDSPXDelay::ComputeLineLengths() {
  lineLengthLeft_ = LineLength(lengthLeft_);
  lineLengthRight_ = LineLength(lengthRight_);
  if (positionLeft_ >= lineLengthLeft_) positionLeft_ = 0;
  if (positionRight_ >= lineLengthRight_) positionRight_ = 0;
}

void TDSPXDelay::Clear() {
  std::fill(lineLeft_.begin(), lineLeft_.end(), 0.0f);
  std::fill(lineRight_.begin(), lineRight_.end(), 0.0f);
}

void TDSPXDelay::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  const float* noise = TakeDenormalValues(m);
  float* const lineL = lineLeft_.data();
  float* const lineR = lineRight_.data();
  const int32_t lenL = lineLengthLeft_, lenR = lineLengthRight_;
  // A length change from another thread may have left a position behind.
  int32_t posL = positionLeft_ < lenL ? positionLeft_ : 0;
  int32_t posR = positionRight_ < lenR ? positionRight_ : 0;
  const int32_t startL = posL, startR = posR;
  const float fbL = feedbackLeft_, fbR = feedbackRight_;
  const float crossLR = crossLeftToRight_, crossRL = crossRightToLeft_;
  const bool filterL = filterLeftOn_ != 0, filterR = filterRightOn_ != 0;

  for (int32_t i = 0; i < m; ++i) {
    // The wet signal is the line's output read before the write: an echo comes exactly
    // one line length late.
    const float gL = left[i] + noise[i];
    const float dL = lineL[posL];
    left[i] = gL * dryLeft_ + dL * wetLeft_;
    const float gR = noise[i] + right[i];
    const float dR = lineR[posR];
    right[i] = gR * dryRight_ + dR * wetRight_;

    // Input plus echo, scaled by the feedback and optionally filtered.
    float fR = (gR + dR) * fbR;
    float fL = (gL + dL) * fbL;
    if (filterL) {
      filterLeft_.In = fL;
      filterLeft_.Tick();
      fL = filterLeft_.Out;
    }
    if (filterR) {
      filterRight_.In = fR;
      filterRight_.Tick();
      fR = filterRight_.Out;
    }
    // Each line takes its own feedback signal and a share of the other one.
    lineL[posL] = BoundFeedback(fR * crossRL + fL);
    lineR[posR] = BoundFeedback(fR + fL * crossLR);
    if (++posL >= lenL) posL = 0;
    if (++posR >= lenR) posR = 0;
  }
  positionLeft_ = posL;
  positionRight_ = posR;

  if (!AllFinite(left, m) || !AllFinite(right, m) || !LineFinite(lineL, lenL, startL, m) ||
      !LineFinite(lineR, lenR, startR, m)) {
    RecoverFromNonFinite(left, right);
  }
}

}  // namespace tesmora6
