// Running stereo effects period by period in tests.
#pragma once

#include <cmath>
#include <vector>

#include "dsp/DSPMaths.h"
#include "effects/DSPStereoEffect.h"

namespace tesmora6 {

namespace effect_test {

constexpr int kPeriod = 44;  // samples per period at 44.1 kHz

// Wet only, unity gain on both sides: pan 0.5, mix 1, W 1 (the dry gain is not heard).
inline void WetOnly(TDSPStereoEffect& e) {
  e.SetPan(0.5f);
  e.SetMix(1.0f);
  e.SetWetGain(1.0f);
  e.Recalculate();
}

// Runs the whole periods of left and right through the effect in place.
inline void RunPeriods(TDSPStereoEffect& e, std::vector<float>& left, std::vector<float>& right, int m = kPeriod) {
  for (size_t p = 0; p + m <= left.size(); p += m) e.ProcessStereo(&left[p], &right[p]);
}

// Half-scale white noise from the shared noise table.
inline std::vector<float> Noise(int count, int offset = 0) {
  std::vector<float> v(count);
  for (int i = 0; i < count; ++i) v[i] = 0.5f * DSPNoiseTable()[(i + offset) % kNoiseTableLength];
  return v;
}

inline bool AllFinite(const std::vector<float>& v) {
  for (float x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

}  // namespace effect_test

}  // namespace tesmora6
