// The distortion curve table: for each distortion type, the constants it derives from the
// channel's drive once per period and the curve it then applies to every sample.
#pragma once

#include <cstdint>

namespace tesmora6 {

// The per-period constants of one curve; each curve documents which of them it uses.
struct TDistortionConstants {
  float a = 0.0f, b = 0.0f, c = 0.0f;
};

// One row of the curve table.
struct TDistortionCurve {
  int32_t type;                                            // 1 .. 17
  const char* name;                                        // display name; "" for 16, 17
  TDistortionConstants (*prepare)(float drive);            // once per channel and period
  float (*shape)(float x, const TDistortionConstants& k);  // one sample
  void (*apply)(float* a, int32_t n, float drive);         // prepare, then a plain loop
};

// Types 1 .. 16 have a curve of their own; every type from 17 on uses the logistic curve.
constexpr int32_t kDistortionCurveCount = 17;

// The row of a type: 0 and 1 give "OldValves", 17 and above the logistic curve.
const TDistortionCurve& DistortionCurve(int32_t type);

}  // namespace tesmora6
