#include "dsp/DSPWaves.h"

#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <algorithm>

#include "dsp/DSPMaths.h"
#include "dsp/DSPSharedTables.h"
#include "dsp/DSPWaveformTable.h"
#include "dsp/DSPLock.h"
#include "resources/Resources.h"

namespace tesmora6 {

namespace waves {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kTwoPi = 2.0L * kPi;
// 16-bit full scale over half of it: a peak of 32767 / 16383 ≈ 2.00006.
constexpr long double kFullScale = 32767.0L;
constexpr long double kHalfScale = 16383.0L;

long double X(int32_t i, int32_t n) { return static_cast<long double>(i) / n; }

long double Curve(int32_t type, long double x) { return CurveShape(type, x); }

// Σ_{j=1..count} cos(2π i j / N) x factor / 16383: a band-limited pulse.
void ImpulseSum(float* table, int32_t n, int32_t count, long double factor) {
  for (int32_t i = 0; i < n; ++i) {
    long double sum = 0.0L;
    for (int32_t j = 1; j <= count; ++j) sum += std::cos(kTwoPi * i * j / n);
    table[i] = static_cast<float>(sum * factor / kHalfScale);
  }
}

// 2 frac(y) - 1: one saw cycle per unit of y.
long double Saw(long double y) { return 2.0L * Frac(y) - 1.0L; }

}  // namespace

long double Frac(long double y) { return y - std::floor(y); }

long double Shifted(long double x, long double o) {
  long double a = x + o;
  if (a > 1.0L) a -= 1.0L;
  return a;
}

long double Mirror(int32_t c1, int32_t c2, long double o, long double x) {
  long double a = 2.0L * x + o;
  if (a > 2.0L) a -= 2.0L;
  // Rising through c1 over the first unit, falling back through c2 over the second.
  const long double v = a >= 1.0L ? 1.0L - Curve(c2, a - 1.0L) : Curve(c1, a);
  return v * 2.0L - 1.0L;
}

long double SawSum(int32_t i, int32_t n) {
  const long double y = i;
  return (Saw(y / n) + 1.1L * Saw(y / (n / 2)) + 1.2L * Saw(y / (n / 4)) + 1.4L * Saw(y / (n / 8))) * 0.235L;
}

long double BassShape(long double x, long double o) {
  const long double a = Shifted(x, o);
  // A cross-fade over the cycle from the ("-Ripple" + Ripple3) mix to the
  // (Ripple5 + Ripple2) mix.
  return (a * ((Curve(kCurveRipple5, a) + Curve(kCurveRipple2, a)) * 0.5L) +
          (Curve(kCurveMinusRipple, a) + Curve(kCurveRipple3, a)) * 0.5L * (1.0L - a)) *
             2.0L -
         1.0L;
}

// "Impulse2": twenty cosines x 1638.35 / 16383.
void Impulse20Shape(float* table, int32_t n, const TTableParams&) { ImpulseSum(table, n, 20, 1638.35L); }

// "Impulse": ten cosines x 3276.7 / 16383.
void Impulse10Shape(float* table, int32_t n, const TTableParams&) { ImpulseSum(table, n, 10, 3276.7L); }

// "HalfSin": the positive half of a sine, then silence.
void HalfSineShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n; ++i) {
    table[i] = i < n / 2 ? static_cast<float>(std::sin(kTwoPi * i / n) * kFullScale / kHalfScale) : 0.0f;
  }
}

// "Sine2": one sine cycle x 32767 / 16383.
void SineShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n; ++i) {
    table[i] = static_cast<float>(std::sin(kTwoPi * i / n) * kFullScale / kHalfScale);
  }
}

// "1/2 Wave": a whole sine cycle squeezed into the first half, its negative lobe then
// replaced by a copy of the positive one; the second half silent; all / 16383.
void HalfWaveShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n / 2; ++i) {
    table[i] = static_cast<float>(std::sin(kTwoPi * 2 * i / n) * kFullScale);
  }
  for (int32_t i = n / 4; i < n / 2; ++i) table[i] = table[i - n / 4];
  for (int32_t i = n / 2; i < n; ++i) table[i] = 0.0f;
  for (int32_t i = 0; i < n; ++i) table[i] = static_cast<float>(table[i] / kHalfScale);
}

// "Mix": three sines, three square waves and three saws, all x 0.1.
void MixShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n; ++i) {
    const long double y = i;
    const long double sines = std::sin(kTwoPi * i / n) * kFullScale / kHalfScale + 9.0L * std::sin(kTwoPi * 2 * i / n) +
                              6.0L * std::sin(kTwoPi * 4 * i / (n + 0.01L));
    const int32_t quarter = i / (n / 4);
    const int32_t eighth = i / (n / 8);
    const long double squares =
        (i < n / 2 ? 1.0L : -1.0L) + (quarter == 0 || quarter == 2 ? 1.0L : -1.0L) + (eighth % 2 == 1 ? -2.0L : 2.0L);
    const long double saws = 2.0L * Saw(y / (n - 0.5L)) + Saw(y / (n / 2.0L)) + 0.75L * Saw(y / (n / 4.0L));
    table[i] = static_cast<float>((sines + squares + saws) * 0.1L);
  }
}

// "Mix2" and "SawOrgan1..4": the four-octave saw sum.
void SawSumShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n; ++i) table[i] = static_cast<float>(SawSum(i, n));
}

// "Mix3": the first, second and fourth harmonic, x 0.333.
void ThreeSineShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n; ++i) {
    table[i] =
        static_cast<float>((std::sin(kTwoPi * i / n) * kFullScale / kHalfScale + 1.35L * std::sin(kTwoPi * 2 * i / n) +
                            2.0L * std::sin(kTwoPi * 4 * i / (n + 0.01L))) *
                           0.333L);
  }
}

// "PNoise2" and "SmRND1..8": N consecutive entries of the shared noise table.
void NoiseSliceShape(float* table, int32_t n, const TTableParams& p) {
  const float* noise = DSPNoiseTable();
  for (int32_t i = 0; i < n; ++i) table[i] = noise[p.noiseStart + i];
}

// "HarmSaw1", "HarmSaw2": a = Shifted(o)(x); (c1(a) + c2(a)) x 0.5 x 2 - 1.
void ShiftedPairShape(float* table, int32_t n, const TTableParams& p) {
  for (int32_t i = 0; i < n; ++i) {
    const long double a = Shifted(X(i, n), p.offset);
    table[i] = static_cast<float>((Curve(p.curve1, a) + Curve(p.curve2, a)) * 0.5L * 2.0L - 1.0L);
  }
}

// "HarmSaw3": four ripples averaged, with a short triangular burst of the shared noise
// where the shifted phase a lies between 0.2 and 0.4.
void ShiftedNoiseBurstShape(float* table, int32_t n, const TTableParams& p) {
  const float* noise = DSPNoiseTable();
  for (int32_t i = 0; i < n; ++i) {
    const long double x = X(i, n);
    // The noise index is taken first: round(2056 x), half to even.
    const auto k = static_cast<int32_t>(std::nearbyint(2056.0L * x));
    const long double a = Shifted(x, p.offset);
    long double v =
        (Curve(kCurveMinusRipple, a) + Curve(kCurveRipple2, a) + Curve(kCurveRipple5, a) + Curve(kCurveRipple6, a)) *
            0.25L * 2.0L -
        1.0L;
    if (a > 0.2L && a < 0.4L) {
      const long double m = a - 0.2L;
      v += 0.5L * (m < 0.1L ? m : 0.2L - m) * noise[k];
    }
    table[i] = static_cast<float>(v);
  }
}

// "HarmSaw4": a = Shifted(o)(x); c1(a)² x 2 - 1.
void ShiftedSquaredShape(float* table, int32_t n, const TTableParams& p) {
  for (int32_t i = 0; i < n; ++i) {
    const long double c = Curve(p.curve1, Shifted(X(i, n), p.offset));
    table[i] = static_cast<float>(c * c * 2.0L - 1.0L);
  }
}

// "Bass2", "Bass3", "Bass5" .. "Bass8": a = Shifted(o)(x); c1(a) x 2 - 1.
void ShiftedCurveShape(float* table, int32_t n, const TTableParams& p) {
  for (int32_t i = 0; i < n; ++i) {
    table[i] = static_cast<float>(Curve(p.curve1, Shifted(X(i, n), p.offset)) * 2.0L - 1.0L);
  }
}

// "HarmTri1..6", "Curved1..5", "GlisHarm": Mirror(c1, c2, o).
void MirrorShape(float* table, int32_t n, const TTableParams& p) {
  for (int32_t i = 0; i < n; ++i) {
    table[i] = static_cast<float>(Mirror(p.curve1, p.curve2, p.offset, X(i, n)));
  }
}

// "Bass1", "Bass4": B(x).
void BassShape(float* table, int32_t n, const TTableParams& p) {
  for (int32_t i = 0; i < n; ++i) table[i] = static_cast<float>(BassShape(X(i, n), p.offset));
}

// "SmoothSqr1..8": +1 over the first half of the cycle, -1 over the second.
void SquareShape(float* table, int32_t n, const TTableParams&) {
  for (int32_t i = 0; i < n; ++i) table[i] = X(i, n) < 0.5L ? 1.0f : -1.0f;
}

void Smooth(float* table, int32_t n, int32_t passes) {
  for (int32_t pass = 0; pass < passes; ++pass) {
    for (int32_t j = 0; j < n; ++j) {
      const int32_t next = (j + 1 == n) ? 0 : j + 1;
      const long double a = table[j];
      const long double b = table[next];
      // A two-tap low-pass that also pushes each value a little forward round the cycle.
      table[j] = static_cast<float>(0.9L * a + 0.1L * b);
      table[next] = static_cast<float>(0.1L * a + 0.9L * b);
    }
  }
}

void BuildWaveTable(const TTableParams& params, float* table, int32_t n) {
  params.shape(table, n, params);
  Smooth(table, n, params.smoothPasses);
  if (params.scale != 1.0L) {
    for (int32_t i = 0; i < n; ++i) table[i] = static_cast<float>(table[i] * params.scale);
  }
}

int32_t SharedWaveTableLength(int index) {
  if (index < 0 || index >= kWaveformCount) return 0;
  const TWaveformMember& row = WaveformMember(index);
  if (row.kind != TWaveKind::kTable) return 0;
  return row.table.length + 10;
}

void ComputeSharedWaveTable(int index, float* table) {
  const int32_t length = SharedWaveTableLength(index);
  if (length == 0) return;
  std::fill(table, table + length, 0.0f);
  BuildWaveTable(WaveformMember(index).table, table, length - 10);
}

namespace {

// The library carries every table as data made at build time and reads them in place, so
// none is built while a program loads; without that data (the build's own tools) each is
// built on first request.
struct TSharedWaveTables {
  dsp_tables::TSharedTables<kWaveformCount> tables;

  TSharedWaveTables() {
    const auto carried = FindResource(kWaveTablesResource);
    size_t total = 0;
    for (int index = 0; index < kWaveformCount; ++index) total += SharedWaveTableLength(index);
    if (carried.size() != total * sizeof(float)) return;
    const auto* next = reinterpret_cast<const float*>(carried.data());  // 16-byte aligned
    for (int index = 0; index < kWaveformCount; ++index) {
      const int32_t length = SharedWaveTableLength(index);
      if (length == 0) continue;
      tables.Publish(static_cast<size_t>(index), next);
      next += length;
    }
  }
};

TSharedWaveTables& SharedTables() {
  static TSharedWaveTables tables;
  return tables;
}

}  // namespace

const float* SharedWaveTable(int index) {
  const int32_t length = SharedWaveTableLength(index);
  if (length == 0) return nullptr;
  return SharedTables().tables.Get(static_cast<size_t>(index), static_cast<size_t>(length),
                                   [index](float* table) { ComputeSharedWaveTable(index, table); });
}

int WaveTablesComputed() { return SharedTables().tables.Computed(); }
int WaveTablesComputedInsideInstances() { return SharedTables().tables.ComputedInsideInstances(); }

}  // namespace waves

}  // namespace tesmora6
