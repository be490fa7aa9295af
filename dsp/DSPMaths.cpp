#include "dsp/DSPMaths.h"

#include <array>
#include <atomic>
#include <cmath>
#include <mutex>
#include <utility>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <sys/time.h>

#include "dsp/DSPSharedTables.h"
#include "dsp/DSPLock.h"
#include "resources/Resources.h"

namespace tesmora6 {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kTwoPi = 2.0L * kPi;

// w(x) = 2 min(x, 1 - x), computed as (1 - x) * 2 when x >= 0.5, else 2x.
long double Tri(long double x) { return x >= 0.5L ? (1.0L - x) * 2.0L : 2.0L * x; }

// "-Ripple": x^2 (x + 0.2 w(x) (sin 40x - 0.25 cos 10x + 0.9 w(x)^2 e^x)).
long double MinusRipple(long double x) {
  const long double w = Tri(x);
  return x * x * (x + 0.2L * w * (std::sin(40.0L * x) - 0.25L * std::cos(10.0L * x) + 0.9L * w * w * std::exp(x)));
}

long double ThreePhase(long double x, long double depth) {
  const long double a = 0.955L * x;
  return a + 0.06L * std::sin(kTwoPi * (1.0L - a)) + depth * std::sin(20.0L * a);
}

// The 31 tables cost about 110 ms to compute and 2 MB of memory, so the library carries
// them as data made at build time and reads them in place: loading and creating an
// instance builds none, and no table is ever computed under an instance's lock. Without
// that data (the build's own tools) each table is computed when its type is first selected
// (or first read), once per process, and published whole; it lives until the library is
// unloaded.
struct TCurveTables {
  dsp_tables::TSharedTables<kCurveCount> tables;

  TCurveTables() {
    const auto carried = FindResource(kCurveTablesResource);
    if (carried.size() != sizeof(float) * kCurveTableLength * kCurveTableCount) return;
    // The embedded bytes are 16-byte aligned.
    const auto* first = reinterpret_cast<const float*>(carried.data());
    for (int type = 1; type < kCurveCount; ++type) {
      tables.Publish(static_cast<size_t>(type), first + static_cast<size_t>(type - 1) * kCurveTableLength);
    }
  }

  const float* Table(int type) {
    return tables.Get(static_cast<size_t>(type), kCurveTableLength,
                      [type](float* table) { ComputeCurveTable(type, table); });
  }
};

TCurveTables& Curves() {
  static TCurveTables tables;
  return tables;
}

template <int T>
void TableCurve(float& x) {
  // index = round(x * 16384), ties to even, counted from the first data entry. Inputs the
  // guards do not cover (a runaway envelope, a stored value that is not a number) read the
  // first or the last entry instead of memory beyond the table.
  x = Curves().Table(T)[kCurveGuard + CurveIndex(x)];
}

void LinearCurve(float&) {}

template <int... T>
constexpr auto MakeCurveFunctions(std::integer_sequence<int, T...>) {
  return std::array<TCurveFunction, sizeof...(T)>{{(T == 0 ? &LinearCurve : &TableCurve<T>)...}};
}

constexpr auto kCurveFunctions = MakeCurveFunctions(std::make_integer_sequence<int, kCurveCount>());

struct TNoiseTables {
  float noise[kNoiseTableLength];
  float denormal[kNoiseTableLength];

  TNoiseTables() {
    const auto resource = FindResource("XWAVE_NOISE");
    std::memset(noise, 0, sizeof noise);
    // Tools built without resources have no table (and memcpy takes no null source).
    if (!resource.empty()) std::memcpy(noise, resource.data(), std::min(resource.size(), sizeof noise));
    for (int i = 0; i < kNoiseTableLength; ++i) {
      const float n = noise[i];
      const float sign = n < 0 ? -1.0f : 1.0f;
      denormal[i] = sign * (std::fabs(n) * 0.5f + 0.5f) * 1e-20f;
    }
  }
};

TNoiseTables& Noise() {
  static TNoiseTables tables;
  return tables;
}

}  // namespace

long double CurveShape(int type, long double x) {
  switch (type) {
    case 1:
      return std::pow(10.0L, (1.0L - x) * -60.0L / 20.0L);  // "DB Log"
    case 2:
      return 1.0L - std::pow(1.0L - x, 2);  // "+Curve2"
    case 3:
      return 1.0L - std::pow(1.0L - x, 3);
    case 4:
      return 1.0L - std::pow(1.0L - x, 4);
    case 5:
      return 1.0L - std::pow(1.0L - x, 5);
    case 6:
      return 1.0L - std::pow(1.0L - x, 6);
    case 7:
      return std::pow(x, 2);  // "-Curve2"
    case 8:
      return std::pow(x, 3);
    case 9:
      return std::pow(x, 4);
    case 10:
      return std::pow(x, 5);
    case 11:
      return std::pow(x, 6);
    case 12:
      return 2.0L * std::cos(x) * std::sin(x);  // "+CurveX"
    case 13:
      return 1.0L - (1.0L - std::sin(kTwoPi * (x / 4.0L)));  // "+Grad"
    case 14: {                                               // "-Grad"
      const long double a = x / 4.0L;
      return a * std::exp(kTwoPi * a) * 0.83L;
    }
    case 15:
      return x + 0.075L * std::sin(kTwoPi * (1.0L - x));  // "LoHi1"
    case 16:
      return x + 0.1L * std::sin(kTwoPi * (1.0L - x));
    case 17:
      return x + 0.15L * std::sin(kTwoPi * (1.0L - x));
    case 18:
      return x + 0.2L * std::sin(kTwoPi * x);  // "HiLo1"
    case 19:
      return x + 0.4L * std::sin(kTwoPi * x);
    case 20:
      return x + 0.6L * std::sin(kTwoPi * x);
    case 21:
      return 2.0L * std::cos(x) * std::sin(x) * (1.0995L * x * x);  // "LoHiFine"
    case 22:
      return ThreePhase(x, 0.045L);  // "3Phase1"
    case 23:
      return ThreePhase(x, 0.075L);
    case 24:
      return ThreePhase(x, 0.102L);
    case 25:
      return x + 0.05L * std::sin(50.0L * x);  // "Ripple1"
    case 26:
      return x + 0.07L * std::sin(50.0L * x);
    case 27:
      return x + 0.17L * std::sin(50.0L * x) * Tri(x);
    case 28:
      return x + 0.4L * std::sin(50.0L * x) * Tri(x);
    case 29:
      return x + 0.2L * Tri(x) * (std::sin(30.0L * x) + 0.35L * std::cos(60.0L * x));
    case 30: {  // "Ripple6"
      const long double w = Tri(x);
      return x + w * 0.2L * (std::sin(70.0L * x) + 0.25L * std::cos(50.0L * x) - std::exp(x * x) * w);
    }
    case 31:
      return MinusRipple(x);  // "-Ripple"
    case 32:
      return 1.0L - MinusRipple(1.0L - x);  // "+Ripple"
    default:
      return x;  // "Linear"
  }
}

TCurveFunction SelectCurve(int type) {
  if (type < 1 || type >= kCurveCount) return &LinearCurve;
  Curves().Table(type);  // the table exists before the first value goes through it
  return kCurveFunctions[static_cast<size_t>(type)];
}

const float* CurveTable(int type) {
  if (type < 1 || type >= kCurveCount) return nullptr;
  return Curves().Table(type);
}

void ComputeCurveTable(int type, float* table) {
  std::fill(table, table + kCurveTableLength, 0.0f);
  for (int i = 0; i < kCurveData; ++i) {
    const float x = static_cast<float>(i) / 16384.0f;
    table[kCurveGuard + i] = static_cast<float>(CurveShape(type, x));
  }
  // The trailing guards repeat the last data entry; the very last entry stays 0.
  for (int i = kCurveGuard + kCurveData; i < kCurveTableLength - 1; ++i) {
    table[i] = table[kCurveGuard + kCurveData - 1];
  }
}

int CurveTablesComputed() { return Curves().tables.Computed(); }
int CurveTablesComputedInsideInstances() { return Curves().tables.ComputedInsideInstances(); }

// The buffers are filled when the library is compiled: they sit in the library's read-only
// data, and a page of them costs something only when a component first reads it (most
// components read the first block's worth of the zero buffer, nothing else). Filling 640 KB
// of fresh memory when the library loaded took a few milliseconds of page faults.
constexpr TDSPConstSignals::TDSPConstSignals() : buffers_{} {
  constexpr float kValues[kCount] = {0.0f, 1.0f, 0.5f, 2.0f, 3.0f, 48.0f, 64.0f, 100.0f};
  for (int b = 0; b < kCount; ++b) {
    for (float& v : buffers_[b]) v = kValues[b];
  }
}

const TDSPConstSignals& DSPConstSignals() {
  static constexpr TDSPConstSignals kSignals;
  return kSignals;
}

const float* DSPNoiseTable() { return Noise().noise; }
const float* DSPDenormalNoise() { return Noise().denormal; }

void TDSPRandom::ReseedFromTimeOfDay() {
  if (!followsClock_) return;
  timeval tv{};
  gettimeofday(&tv, nullptr);
  const long secondsOfDay = tv.tv_sec % 86400;
  seed_ = static_cast<uint32_t>(secondsOfDay * 1000 + tv.tv_usec / 1000);
}

TDSPRandom& DSPRandom() {
  if (TDSPInstanceState* instance = CurrentDSPInstance()) return instance->random;
  static TDSPRandom random;
  return random;
}

namespace {
// Everything above is built when the library loads, before any component exists.
struct TSharedTablesLoader {
  TSharedTablesLoader() {
    Curves();
    DSPConstSignals();
    Noise();
    DSPRandom().ReseedFromTimeOfDay();
  }
} sharedTablesLoader;
}  // namespace

}  // namespace tesmora6
