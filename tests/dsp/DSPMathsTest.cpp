#include "dsp/DSPMaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "dsp/DSPWaveformTable.h"
#include "dsp/DSPWaves.h"
#include "resources/Resources.h"

using namespace tesmora6;

TEST(Curves, LinearAndOutOfRangeTypesLeaveTheValueUnchanged) {
  for (int type : {0, 33, -1, 1000}) {
    float x = 0.37f;
    SelectCurve(type)(x);
    EXPECT_EQ(x, 0.37f) << type;
  }
}

TEST(Curves, ReadsDataAndGuardEntries) {
  for (int type = 1; type <= 32; ++type) {
    float x0 = 0.0f;
    SelectCurve(type)(x0);
    EXPECT_EQ(x0, static_cast<float>(CurveShape(type, 0.0L))) << type;
    // x = 1 reads the first trailing guard: curve(16383/16384), not curve(1).
    float x1 = 1.0f;
    SelectCurve(type)(x1);
    EXPECT_EQ(x1, static_cast<float>(CurveShape(type, 16383.0L / 16384.0L))) << type;
    // Slightly below 0 reads a leading guard, which is 0 even for "DB Log".
    float xn = -0.01f;
    SelectCurve(type)(xn);
    EXPECT_EQ(xn, 0.0f) << type;
    // The last trailing entry stays 0.
    EXPECT_EQ(CurveTable(type)[kCurveTableLength - 1], 0.0f);
    EXPECT_EQ(CurveTable(type)[kCurveTableLength - 2], CurveTable(type)[kCurveGuard + 16383]);
  }
  float db = 0.0f;
  SelectCurve(1)(db);
  EXPECT_NEAR(db, 0.001f, 1e-9f);
}

// Inputs beyond the guards (a runaway envelope, a value that is not a number) read the
// table's first or last entry, never memory outside it.
TEST(Curves, InputsBeyondTheGuardsReadTheTableEnds) {
  for (int type : {1, 16, 32}) {
    const float* table = CurveTable(type);
    for (float x : {-1.0e30f, -2.0f, -std::numeric_limits<float>::infinity(), NAN}) {
      float y = x;
      SelectCurve(type)(y);
      EXPECT_EQ(y, table[0]) << type << " " << x;
    }
    for (float x : {1.5f, 3.0e9f, std::numeric_limits<float>::infinity()}) {
      float y = x;
      SelectCurve(type)(y);
      EXPECT_EQ(y, table[kCurveTableLength - 1]) << type << " " << x;
    }
  }
}

TEST(Curves, PlusRippleMirrorsMinusRipple) {
  const float* minus = CurveTable(31);
  const float* plus = CurveTable(32);
  for (int i = 1; i < kCurveData; i += 97) {
    const long double x = i / 16384.0L;
    EXPECT_NEAR(plus[kCurveGuard + i], static_cast<double>(1.0L - CurveShape(31, 1.0L - x)), 1e-6) << i;
    EXPECT_NEAR(minus[kCurveGuard + i], static_cast<double>(CurveShape(31, x)), 1e-6) << i;
  }
}

TEST(SharedTables, ConstantSignalsNoiseAndDenormalNoise) {
  const auto& c = DSPConstSignals();
  EXPECT_EQ(c.Buffer(TDSPConstSignals::kZero)[19999], 0.0f);
  EXPECT_EQ(c.Buffer(TDSPConstSignals::kFortyEight)[123], 48.0f);
  EXPECT_EQ(c.Buffer(TDSPConstSignals::kHundred)[0], 100.0f);
  const float* noise = DSPNoiseTable();
  const float* tiny = DSPDenormalNoise();
  double sum = 0;
  for (int i = 0; i < kNoiseTableLength; ++i) {
    ASSERT_GT(noise[i], -1.0f);
    ASSERT_LT(noise[i], 1.0f);
    sum += noise[i];
    ASSERT_GE(std::fabs(tiny[i]), 0.5e-20f);
    ASSERT_LE(std::fabs(tiny[i]), 1e-20f);
    ASSERT_EQ(tiny[i] < 0, noise[i] < 0);
  }
  EXPECT_NEAR(sum / kNoiseTableLength, 0.0, 0.02);
}

TEST(Random, SequenceFromSeedZero) {
  TDSPRandom a(0), b(0);
  EXPECT_EQ(a.Next(), 1.0 / 4294967296.0);
  EXPECT_EQ(a.Seed(), 1u);
  b.Next();
  for (int i = 0; i < 100; ++i) {
    const double x = a.Next();
    EXPECT_EQ(x, b.Next());
    EXPECT_GE(x, 0.0);
    EXPECT_LT(x, 1.0);
  }
  // Second draw: 134775813 + 1.
  TDSPRandom c(0);
  c.Next();
  EXPECT_EQ(c.Next(), 134775814.0 / 4294967296.0);
}

TEST(Curves, PeriodPassMatchesTheCurveFunction) {
  // The render's pass over a whole period reads exactly what the curve function reads,
  // guards included; "Linear" (no table) leaves the values alone.
  std::vector<float> x;
  for (int i = -300; i <= 16700; i += 7) x.push_back(static_cast<float>(i) / 16384.0f);
  x.push_back(0.5f + 0.5f / 16384.0f);  // a tie: rounds to even
  for (int type = 0; type <= 32; ++type) {
    std::vector<float> pass = x;
    ApplyCurveTable(CurveTable(type), pass.data(), static_cast<int32_t>(pass.size()));
    for (size_t i = 0; i < x.size(); ++i) {
      float one = x[i];
      SelectCurve(type)(one);
      ASSERT_EQ(pass[i], one) << "type " << type << " x " << x[i];
    }
  }
  EXPECT_EQ(CurveTable(0), nullptr);
  EXPECT_EQ(CurveTable(33), nullptr);
}

// The index is computed without library calls and, in the period pass, four at a time;
// it must be the index fmin, fmax and lrintf give for every input, at every run length.
TEST(Curves, InlineIndexMatchesTheLibraryFormula) {
  auto reference = [](float x) { return std::lrintf(std::fmin(std::fmax(x, kCurveLowest), kCurveHighest) * 16384.0f); };
  uint32_t seed = 99;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed) / 4294967296.0f;
  };
  std::vector<float> x = {NAN,
                          -NAN,
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          1e30f,
                          -1e30f,
                          0.0f,
                          -0.0f,
                          kCurveLowest,
                          kCurveHighest,
                          std::nextafter(kCurveLowest, -1.0f),
                          std::nextafter(kCurveHighest, 2.0f),
                          1e-40f,
                          -1e-40f};
  for (int i = -420; i <= 16800; ++i) x.push_back((static_cast<float>(i) + 0.5f) / 16384.0f);  // ties
  for (int i = 0; i < 20000; ++i) x.push_back(2.2f * next() - 0.6f);
  for (float v : x) ASSERT_EQ(CurveIndex(v), reference(v)) << v;
  const float* table = CurveTable(7);
  const float* data = table + kCurveGuard;
  for (int32_t n = 0; n <= 13; ++n) {
    for (size_t start = 0; start + static_cast<size_t>(n) <= x.size(); start += 997) {
      std::vector<float> pass(x.begin() + static_cast<std::ptrdiff_t>(start),
                              x.begin() + static_cast<std::ptrdiff_t>(start) + n);
      ApplyCurveTable(table, pass.data(), n);
      for (int32_t k = 0; k < n; ++k) {
        ASSERT_EQ(pass[static_cast<size_t>(k)], data[reference(x[start + static_cast<size_t>(k)])])
            << "n " << n << " at " << start + static_cast<size_t>(k);
      }
    }
  }
}

// The library carries every curve table and every finished wave table as data made at build
// time; what it carries is bit for bit what its own code computes, and reading it computes
// nothing.
TEST(CarriedTables, AreExactlyWhatTheCodeComputesAndAreReadInPlace) {
  const auto curves = FindResource(kCurveTablesResource);
  ASSERT_EQ(curves.size(), sizeof(float) * kCurveTableLength * kCurveTableCount);
  std::vector<float> computed(kCurveTableLength);
  for (int type = 1; type < kCurveCount; ++type) {
    const float* carried = CurveTable(type);
    ASSERT_NE(carried, nullptr) << type;
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(carried),
              curves.data() + sizeof(float) * kCurveTableLength * static_cast<size_t>(type - 1))
        << type;
    ComputeCurveTable(type, computed.data());
    EXPECT_EQ(std::memcmp(carried, computed.data(), sizeof(float) * computed.size()), 0) << type;
  }
  const auto waveData = FindResource(waves::kWaveTablesResource);
  const auto* waveBegin = reinterpret_cast<const float*>(waveData.data());
  const auto* waveEnd = reinterpret_cast<const float*>(waveData.data() + waveData.size());
  int tables = 0;
  for (int index = 0; index < kWaveformCount; ++index) {
    const int32_t length = waves::SharedWaveTableLength(index);
    const float* carried = waves::SharedWaveTable(index);
    if (length == 0) {
      EXPECT_EQ(carried, nullptr) << index;
      continue;
    }
    ++tables;
    ASSERT_NE(carried, nullptr) << index;
    EXPECT_TRUE(carried >= waveBegin && carried + length <= waveEnd) << index;
    computed.assign(static_cast<size_t>(length), -1.0f);
    waves::ComputeSharedWaveTable(index, computed.data());
    EXPECT_EQ(std::memcmp(carried, computed.data(), sizeof(float) * computed.size()), 0) << index;
  }
  EXPECT_EQ(tables, 53);
  EXPECT_EQ(CurveTablesComputed(), 0);
  EXPECT_EQ(waves::WaveTablesComputed(), 0);
}
