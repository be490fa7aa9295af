// Laws shared by the engine and instrument layers that turn parameter values into
// settings: permille amounts into gains, time cents into milliseconds, notes into hertz.
#pragma once

#include <cmath>
#include <cstdint>

// A permille amount x = value * 0.001 to a signed gain: 0 below |x| = 0.000999, otherwise
// sign(x) * 10^((60|x| - 60) / 20): 1000 -> 1.0, 500 -> 0.0316, 1502 -> 32.06, -1000 -> -1.
inline float AmountCurve(float x) {
  const float a = std::fabs(x);
  if (a < 0.000999f) return 0.0f;
  const float g = std::pow(10.0f, (60.0f * a - 60.0f) / 20.0f);
  return x < 0.0f ? -g : g;
}

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
// 6.875 * 2^((x + 3) / 12): note numbers to hertz.
inline float NoteToHz(float x) { return 6.875f * std::exp2((x + 3.0f) / 12.0f); }
