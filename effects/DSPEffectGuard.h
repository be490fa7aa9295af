// The finite-output guard of the effects. Feedback of 1 or more lets an effect's state grow
// until it overflows; a state that has become infinite or NaN would otherwise stay so for
// good. The effects check once per period: while everything is finite the guard changes
// nothing; otherwise the effect forgets its history and the non-finite samples become 0.
#pragma once

#include <cstdint>
#include <cstring>

namespace tesmora6 {

// The exponent bits of a float are all set for infinities and NaN only.
inline bool IsNonFinite(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits & 0x7F800000u) == 0x7F800000u;
}

// True when every one of the n samples is finite (a plain loop the compiler vectorises).
inline bool AllFinite(const float* a, int32_t n) {
  uint32_t bad = 0;
  for (int32_t i = 0; i < n; ++i) bad |= IsNonFinite(a[i]) ? 1u : 0u;
  return bad == 0;
}

inline void ZeroNonFinite(float* a, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (IsNonFinite(a[i])) a[i] = 0.0f;
}

// A running probe over values that are not kept in one array: x * 0 is 0 for every
// finite x and NaN otherwise, so the probe stays 0 exactly while everything is finite.
struct TFiniteProbe {
  float sum = 0.0f;
  void Add(float x) { sum += x * 0.0f; }
  bool Finite() const { return sum == 0.0f; }
};

// A setting clamped to [low, high]; NaN, which no comparison would catch, becomes low.
inline float ClampSetting(float v, float low, float high) {
  if (!(v >= low)) return low;
  return v > high ? high : v;
}

}  // namespace tesmora6
