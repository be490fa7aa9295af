// The two value laws the formatter shares with the engine and instrument layers, kept in
// one place so that a shown value and the sound it makes cannot drift apart.
#pragma once

#include <cmath>

namespace tesmora6 {

// A permille amount x = value * 0.001 to a signed gain: 0 below |x| = 0.000999, otherwise
// sign(x) * 10^((60|x| - 60) / 20): 1000 -> 1.0, 500 -> 0.0316, 1502 -> 32.06, -1000 -> -1.
inline float AmountCurve(float x) {
  const float a = std::fabs(x);
  if (a < 0.000999f) return 0.0f;
  const float g = std::pow(10.0f, (60.0f * a - 60.0f) / 20.0f);
  return x < 0.0f ? -g : g;
}

// 6.875 * 2^((x + 3) / 12): note numbers to hertz.
inline float NoteToHz(float x) { return 6.875f * std::exp2((x + 3.0f) / 12.0f); }

}  // namespace tesmora6
