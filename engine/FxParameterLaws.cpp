#include "engine/FxParameterLaws.h"

#include <cmath>

#include "engine/ParameterLaws.h"

namespace tesmora6 {

using L = TFxLaw;

// The law, the setter and the channel partners of every FX id, and the effect ranges, are
// declared with the effects' parameter tables (engine/EffectsSection.cpp).

TFxEffect FxEffectOf(int32_t fxId) {
  for (uint8_t e = 0; e < kFxEffectCount; ++e) {
    const TFxEffectRange& r = kFxEffectRanges[e];
    if (fxId >= r.first && fxId <= r.last) return static_cast<TFxEffect>(e);
  }
  return kFxEffectCount;
}

float ApplyFxLaw(TFxLaw law, float v) {
  switch (law) {
    case L::kSwitch:
      return std::nearbyint(v) == 1.0f ? 1.0f : 0.0f;
    case L::kInteger:
      return std::nearbyint(v);
    case L::kReal:
      return v;
    case L::kTenth:
      return v * 0.1f;
    case L::kIntegerTenth:
      return std::nearbyint(v) * 0.1f;
    case L::kMilli:
      return v * 0.001f;
    case L::kHalfPercent:
      return v * 0.005f;
    case L::kAmount:
      return AmountCurve(v * 0.001f);
    case L::kEqGain:
      return v / 68.0f;
    // The factor 10 belongs to the law; how fast an LFO turns then depends on how often
    // it is ticked.
    case L::kNoteHz:
      return 10.0f * 440.0f * std::exp2((v - 69.0f) / 12.0f);
    case L::kNone:
    case L::kAction:
      break;
  }
  return v;
}

}  // namespace tesmora6
