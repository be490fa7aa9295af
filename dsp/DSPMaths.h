// Process-wide numeric resources of the DSP library: the modulation curve shapes and
// their lookup tables, constant signal buffers, the noise table, the anti-denormal noise
// and the one uniform random generator. Built once when the library loads, read-only
// afterwards (the random seed excepted).
#pragma once

#include <emmintrin.h>

#include <cmath>
#include <cstdint>

namespace tesmora6 {

// ---- curves ----
constexpr int kCurveCount = 33;    // types 0 ("Linear") .. 32
constexpr int kCurveGuard = 400;   // guard entries on each side
constexpr int kCurveData = 16384;  // data entries, x = i / 16384
constexpr int kCurveTableLength = kCurveGuard + kCurveData + kCurveGuard;

// A curve function replaces x with curve(x).
using TCurveFunction = void (*)(float& x);

// The curve function of a type; 0 and anything outside 1..32 give the identity.
TCurveFunction SelectCurve(int type);
// The shape of a curve type evaluated directly in extended precision (no table);
// the oscillator wave tables are built from these.
long double CurveShape(int type, long double x);
// The table of a curve type 1..32: kCurveTableLength floats, guards included; null for
// "Linear" and types outside 1..32.
const float* CurveTable(int type);
// Computes the table of a curve type 1..32 (kCurveTableLength floats) from its shape. The
// library carries all 31 tables, made by this at build time (tools/gen-tables), and reads
// them from there; it computes one only when built without them (the build's own tools).
void ComputeCurveTable(int type, float* table);
// The resource that holds the 31 tables one after the other, types 1..32.
constexpr const char* kCurveTablesResource = "CURVE_TABLES";
constexpr int kCurveTableCount = kCurveCount - 1;
// Tables computed in this process so far, and of those the ones computed while a plug-in
// instance was current on the computing thread (under its lock, or while it was built).
int CurveTablesComputed();
int CurveTablesComputedInsideInstances();
// A whole run of values through a curve table, in place: the lookup of the curve
// function without a call per value. A null table ("Linear") leaves them unchanged.
// Inputs the guards do not cover (a runaway envelope, a value that is not a number) read
// the first or the last entry instead of memory beyond the table.
constexpr float kCurveLowest = -static_cast<float>(kCurveGuard) / 16384.0f;
constexpr float kCurveHighest = static_cast<float>(kCurveTableLength - 1 - kCurveGuard) / 16384.0f;
// The entry of x counted from the first data entry: round(x * 16384), ties to even, after
// x is limited to the guards (NaN: the lowest entry). Written out rather than with fmin,
// fmax and lrintf, which the compiler leaves as library calls; the comparisons and the
// SSE conversion (which rounds in the current mode, as lrintf does) give the same index
// for every input.
inline int32_t CurveIndex(float x) {
  const float low = x > kCurveLowest ? x : kCurveLowest;  // NaN: lowest
  const float inside = low < kCurveHighest ? low : kCurveHighest;
  return _mm_cvtss_si32(_mm_set_ss(inside * 16384.0f));
}
inline void ApplyCurveTable(const float* table, float* x, int32_t n) {
  if (!table) return;
  const float* data = table + kCurveGuard;
  int32_t k = 0;
  // Four indexes at a time: maxps answers its second operand when the first is NaN, so NaN
  // reads the lowest entry as in CurveIndex; cvtps2dq rounds as cvtss2si does.
  const __m128 lowest = _mm_set1_ps(kCurveLowest), highest = _mm_set1_ps(kCurveHighest);
  const __m128 scale = _mm_set1_ps(16384.0f);
  for (; k + 4 <= n; k += 4) {
    const __m128 inside = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(x + k), lowest), highest);
    alignas(16) int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_cvtps_epi32(_mm_mul_ps(inside, scale)));
    x[k] = data[index[0]];
    x[k + 1] = data[index[1]];
    x[k + 2] = data[index[2]];
    x[k + 3] = data[index[3]];
  }
  for (; k < n; ++k) x[k] = data[CurveIndex(x[k])];
}

// ---- constant signals ----
class TDSPConstSignals {
 public:
  static constexpr int kLength = 20000;
  enum Index { kZero, kOne, kHalf, kTwo, kThree, kFortyEight, kSixtyFour, kHundred, kCount };
  const float* Buffer(Index i) const { return buffers_[i]; }
  const float* Zero() const { return buffers_[kZero]; }

 private:
  friend const TDSPConstSignals& DSPConstSignals();
  constexpr TDSPConstSignals();
  float buffers_[kCount][kLength];
};
const TDSPConstSignals& DSPConstSignals();

// ---- noise ----
constexpr int kNoiseTableLength = 20000;
// White noise in (-1, 1), read from the "XWAVE_NOISE" resource.
const float* DSPNoiseTable();
// sign(n) * (|n| * 0.5 + 0.5) * 1e-20 for every noise entry n: tiny values that filters
// add to their recursive state so that it never decays into the denormal range.
const float* DSPDenormalNoise();

// ---- random ----
// seed := seed * 134775813 + 1 (mod 2^32); a draw returns seed / 2^32 in [0, 1).
class TDSPRandom {
 public:
  // A generator that follows the clock takes the time of day when asked to reseed; one that
  // does not (every instance's own) keeps its sequence, so what it draws is reproducible.
  explicit TDSPRandom(uint32_t seed = 0, bool followsClock = true) : seed_(seed), followsClock_(followsClock) {}
  double Next() {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<double>(seed_) / 4294967296.0;
  }
  uint32_t Seed() const { return seed_; }
  void SetSeed(uint32_t seed) { seed_ = seed; }
  // seed := ((hour * 60 + minute) * 60 + second) * 1000 + millisecond, UTC time of day;
  // nothing for a generator that does not follow the clock.
  void ReseedFromTimeOfDay();

 private:
  uint32_t seed_;
  bool followsClock_;
};
// The generator every noise source draws from: the one of the plug-in instance this thread
// is serving (dsp/DSPLock.h), or the process-wide one outside every instance.
TDSPRandom& DSPRandom();

}  // namespace tesmora6
