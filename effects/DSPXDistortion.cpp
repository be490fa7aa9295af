#include "effects/DSPXDistortion.h"

#include <cmath>

#include "effects/DSPDistortionCurves.h"
#include "effects/DSPEffectGuard.h"

namespace tesmora6 {

TDSPXDistortion::TDSPXDistortion() = default;

TDSPXDistortion::~TDSPXDistortion() = default;

void TDSPXDistortion::SetSurround(float s) {
  if (s != surround_) surround_ = ClampSetting(s, 0.0f, 1.0f);
}

void TDSPXDistortion::SetDriveLeft(float d) {
  if (d != driveLeft_) driveLeft_ = ClampSetting(d, 0.0f, 1.0f);
}

void TDSPXDistortion::SetDriveRight(float d) {
  if (d != driveRight_) driveRight_ = ClampSetting(d, 0.0f, 1.0f);
}

void TDSPXDistortion::SetTypeLeft(uint8_t type) { typeLeft_ = type == 0 ? 1 : type; }

void TDSPXDistortion::SetTypeRight(uint8_t type) { typeRight_ = type == 0 ? 1 : type; }

void TDSPXDistortion::SetInputAdjust(bool on) { inputAdjust_ = on; }

void TDSPXDistortion::SetPreFilter(bool on) { preFilter_ = on; }

void TDSPXDistortion::SetClipMode(uint8_t mode) { clipMode_ = mode; }

void TDSPXDistortion::SetClipType(uint8_t type) { clipType_ = type; }

void TDSPXDistortion::SetClipThreshold(float threshold) {
  if (threshold != clipThreshold_) clipThreshold_ = threshold;
}

void TDSPXDistortion::SetClipLevel(float level) {
  if (level != clipLevel_) clipLevel_ = level;
}

void TDSPXDistortion::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  leftFilter1_.ContextChanged(context_);
  leftFilter2_.ContextChanged(context_);
  rightFilter1_.ContextChanged(context_);
  rightFilter2_.ContextChanged(context_);
}

float TDSPXDistortion::InputGain(float drive) { return std::pow(5.0f, (127.0f * drive - 32.0f) / 127.0f); }

// Every sample beyond the threshold in magnitude becomes the clip level, whatever its sign.
void TDSPXDistortion::Clip(float* a, int32_t n) const {
  const float threshold = clipThreshold_, level = clipLevel_;
  for (int32_t i = 0; i < n; ++i)
    if (std::fabs(a[i]) > threshold) a[i] = level;
}

void TDSPXDistortion::RunFilters(float* wetL, float* wetR) {
  if (leftFilter1On_) leftFilter1_.FillPeriod(wetL);
  if (leftFilter2On_) leftFilter2_.FillPeriod(wetL);
  if (rightFilter1On_) rightFilter1_.FillPeriod(wetR);
  if (rightFilter2On_) rightFilter2_.FillPeriod(wetR);
}

void TDSPXDistortion::ClearFilters() {
  leftFilter1_.Filter()->Reset();
  leftFilter2_.Filter()->Reset();
  rightFilter1_.Filter()->Reset();
  rightFilter2_.Filter()->Reset();
}

void TDSPXDistortion::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  const float* noise = TakeDenormalValues(m);
  float* wetL = wetBufferLeft_.data();
  float* wetR = wetBufferRight_.data();

  float gainL = InputGain(driveLeft_);
  float gainR = InputGain(driveRight_);
  if (inputAdjust_) {
    gainL = -gainL;
    gainR = -gainR;
  }
  for (int32_t i = 0; i < m; ++i) {
    wetL[i] = (left[i] + noise[i]) * gainL;
    wetR[i] = (right[i] + noise[i]) * gainR;
  }

  if (preFilter_) RunFilters(wetL, wetR);
  if (clipMode_ == 1) {
    Clip(wetL, m);
    Clip(wetR, m);
  }
  DistortionCurve(typeLeft_).apply(wetL, m, driveLeft_);
  DistortionCurve(typeRight_).apply(wetR, m, driveRight_);
  if (clipMode_ == 2) {
    Clip(wetL, m);
    Clip(wetR, m);
  }
  if (!preFilter_) RunFilters(wetL, wetR);

  // Surround s mixes s of the other channel into each: 1 swaps them, 0.5 averages them.
  const float s = surround_, keep = 1.0f - surround_;
  for (int32_t i = 0; i < m; ++i) {
    const float outL = (keep * wetL[i] + s * wetR[i]) * wetLeft_ + dryLeft_ * left[i];
    const float outR = (keep * wetR[i] + s * wetL[i]) * wetRight_ + dryRight_ * right[i];
    left[i] = outL;
    right[i] = outR;
  }

  if (!AllFinite(left, m) || !AllFinite(right, m)) {
    ClearFilters();
    ZeroNonFinite(left, m);
    ZeroNonFinite(right, m);
  }
}

}  // namespace tesmora6
