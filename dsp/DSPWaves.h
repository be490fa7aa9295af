// Wave-table builders: the shapes of the single-cycle tables, evaluated at x = i / N in
// extended precision and stored as floats, the circular smoothing pass, and the build
// sequence shape -> smoothing -> scale that every table waveform runs once.
#pragma once

#include <cstdint>

#include "dsp/DSPWaveformTable.h"

namespace tesmora6 {

// Curve types of the shared curve shapes that the wave tables are made of (evaluated
// directly through CurveShape, not through the lookup tables).
enum TWaveCurve : int32_t {
  kCurvePlus3 = 3,         // "+Curve3"
  kCurveMinus3 = 8,        // "-Curve3"
  kCurveMinus5 = 10,       // "-Curve5"
  kCurveMinus6 = 11,       // "-Curve6"
  kCurvePlusGrad = 13,     // "+Grad"
  kCurveMinusGrad = 14,    // "-Grad"
  kCurve3Phase1 = 22,      // "3Phase1"
  kCurve3Phase2 = 23,      // "3Phase2"
  kCurve3Phase3 = 24,      // "3Phase3"
  kCurveRipple2 = 26,      // "Ripple2"
  kCurveRipple3 = 27,      // "Ripple3"
  kCurveRipple4 = 28,      // "Ripple4"
  kCurveRipple5 = 29,      // "Ripple5"
  kCurveRipple6 = 30,      // "Ripple6"
  kCurveMinusRipple = 31,  // "-Ripple"
  kCurvePlusRipple = 32,   // "+Ripple"
};

namespace waves {

// ---- shape helpers ----
// frac(y) = y - ⌊y⌋.
long double Frac(long double y);
// Shifted(o)(x): a := x + o, minus 1 if a > 1.
long double Shifted(long double x, long double o);
// Mirror(c1, c2, o)(x): a := 2x + o, minus 2 if a > 2;
// (a >= 1 ? 1 - c2(a - 1) : c1(a)) x 2 - 1.
long double Mirror(int32_t c1, int32_t c2, long double o, long double x);
// The four-octave saw sum of entry i of an N-entry table, times 0.235.
long double SawSum(int32_t i, int32_t n);
// B(x) of "Bass1" and "Bass4", with the shift o.
long double BassShape(long double x, long double o);

// ---- shapes (TWaveShape) ----
void Impulse20Shape(float* table, int32_t n, const TTableParams& p);
void Impulse10Shape(float* table, int32_t n, const TTableParams& p);
void HalfSineShape(float* table, int32_t n, const TTableParams& p);
void SineShape(float* table, int32_t n, const TTableParams& p);
void HalfWaveShape(float* table, int32_t n, const TTableParams& p);
void MixShape(float* table, int32_t n, const TTableParams& p);
void SawSumShape(float* table, int32_t n, const TTableParams& p);
void ThreeSineShape(float* table, int32_t n, const TTableParams& p);
void NoiseSliceShape(float* table, int32_t n, const TTableParams& p);
void ShiftedPairShape(float* table, int32_t n, const TTableParams& p);
void ShiftedNoiseBurstShape(float* table, int32_t n, const TTableParams& p);
void ShiftedSquaredShape(float* table, int32_t n, const TTableParams& p);
void ShiftedCurveShape(float* table, int32_t n, const TTableParams& p);
void MirrorShape(float* table, int32_t n, const TTableParams& p);
void BassShape(float* table, int32_t n, const TTableParams& p);
void SquareShape(float* table, int32_t n, const TTableParams& p);

// S(k): k circular passes; in each, for j = 0 .. N - 1 with n = j + 1 (0 after N - 1),
// table[j] := 0.9a + 0.1b and table[n] := 0.1a + 0.9b from a = table[j], b = table[n].
void Smooth(float* table, int32_t n, int32_t passes);

// The whole build: the shape, then the smoothing passes, then the scale.
void BuildWaveTable(const TTableParams& params, float* table, int32_t n);

// The finished table of table waveform `index`: N entries built from its member-table row
// and ten zero entries past the cycle. A table depends only on its waveform, so it is
// built once per process, on first request (any thread), and then shared read-only by
// every oscillator of that waveform in every instance; it lives until the library is
// unloaded. Null for a waveform without a table.
const float* SharedWaveTable(int index);
// Builds the table of `index` now if it does not exist yet, so that a later request
// (under the audio lock) only looks it up.
inline void PrepareWaveTable(int index) { (void)SharedWaveTable(index); }

// The number of floats of the finished table of `index` (N + 10), 0 for a waveform
// without a table.
int32_t SharedWaveTableLength(int index);
// Computes the finished table of table waveform `index` into `table`
// (SharedWaveTableLength floats). The library carries every table, made by this at build
// time (tools/gen-tables), and reads them in place; it computes one only when built without
// them (the build's own tools).
void ComputeSharedWaveTable(int index, float* table);
// The resource that holds the finished tables of the table waveforms in waveform order.
constexpr const char* kWaveTablesResource = "WAVE_TABLES";
// Tables computed in this process so far, and of those the ones computed while a plug-in
// instance was current on the computing thread (under its lock, or while it was built).
int WaveTablesComputed();
int WaveTablesComputedInsideInstances();

}  // namespace waves

}  // namespace tesmora6
