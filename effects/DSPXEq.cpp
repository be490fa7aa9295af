#include "effects/DSPXEq.h"

#include "effects/DSPEffectGuard.h"

namespace tesmora6 {

TDSPXEq::TDSPXEq() = default;

TDSPXEq::~TDSPXEq() = default;

void TDSPXEq::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  equaliserLeft_.ContextChanged(context_);
  equaliserRight_.ContextChanged(context_);
}

void TDSPXEq::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  const float* noise = TakeDenormalValues(m);
  float* wetL = wetBufferLeft_.data();
  float* wetR = wetBufferRight_.data();

  // The input with the anti-denormal value goes both through the equaliser and, as the
  // dry part, to the output.
  for (int32_t i = 0; i < m; ++i) {
    left[i] += noise[i];
    right[i] = noise[i] + right[i];
    wetL[i] = left[i];
    wetR[i] = right[i];
  }
  equaliserLeft_.FillPeriod(wetL);
  equaliserRight_.FillPeriod(wetR);
  for (int32_t i = 0; i < m; ++i) {
    left[i] = wetL[i] * wetLeft_ + left[i] * dryLeft_;
    right[i] = wetR[i] * wetRight_ + right[i] * dryRight_;
  }

  if (!AllFinite(left, m) || !AllFinite(right, m)) {
    equaliserLeft_.Reset();
    equaliserRight_.Reset();
    ZeroNonFinite(left, m);
    ZeroNonFinite(right, m);
  }
}

}  // namespace tesmora6
