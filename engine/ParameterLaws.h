// Laws shared by the engine and instrument layers that turn parameter values into
// settings: time cents into milliseconds here; permille amounts into gains and notes into
// hertz come from the framework, which shows values by the same laws.
#pragma once

#include <cmath>
#include <cstdint>

#include "framework/DSPAmountLaws.h"

namespace tesmora6 {

// Time parameters are stored in time cents: ms = 1000 * 2^(tc / 1200).
inline float TimecentsToMsExact(float tc) { return 1000.0f * std::exp2(tc / 1200.0f); }
// The same rounded to whole milliseconds (ties to even), saturating at the int32 range
// (times beyond the parameters' range, and NaN as 0, never reach an undefined conversion).
inline int32_t TimecentsToMs(float tc) {
  const float ms = std::nearbyint(TimecentsToMsExact(tc));
  if (!(ms >= 0.0f)) return 0;
  return ms < 2147483520.0f ? static_cast<int32_t>(ms) : INT32_MAX;
}
// round(1200 log2(ms / 1000)); 0 ms or less gives -13160.
inline int32_t MsToTimecents(float ms) {
  if (ms <= 0.0f) return -13160;
  return static_cast<int32_t>(std::nearbyint(1200.0f * std::log2(ms / 1000.0f)));
}

}  // namespace tesmora6
