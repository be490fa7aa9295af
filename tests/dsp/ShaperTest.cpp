#include "dsp/DSPMultiShaper.h"
#include "dsp/DSPShaper.h"
#include "dsp/DSPShaperTable.h"
#include "dsp/DSPLock.h"

#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <atomic>
#include <bit>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

using namespace tesmora6;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TDSPProcessInfo& Context44() {
  static TDSPProcessInfo info(44100, 44);
  return info;
}

// A shaper of a table index with its context and amount set, as the multi-shaper makes it.
std::unique_ptr<TDSPShaper> Make(int index, float amount, TDSPProcessInfo* context = &Context44()) {
  auto shaper = CreateShaper(index);
  if (!shaper) return nullptr;
  shaper->ContextChanged(context);
  shaper->SetAmount(amount);
  return shaper;
}

std::vector<int> ClassIndexes() {
  std::vector<int> indexes;
  for (int i = 0; i < kShaperMemberCount; ++i)
    if (ShaperMember(i).create) indexes.push_back(i);
  return indexes;
}

float TickOne(TDSPShaper& shaper, float x) {
  shaper.In = x;
  shaper.Tick();
  return shaper.Out;
}

// A saw from -1 to 1 with a few exact zeros and samples beyond +-1, M samples long.
std::vector<float> TestPeriod(int m, int offset) {
  std::vector<float> a(m);
  for (int i = 0; i < m; ++i) a[i] = -1.0f + 2.0f * static_cast<float>((i + offset) % 17) / 16.0f;
  a[3] = 0.0f;
  a[m / 2] = 2.5f;
  a[m / 2 + 1] = -3.0f;
  return a;
}

}  // namespace

// ---- the member table and the set-up values ----

TEST(ShaperTable, NamesClassesAndEmptyIndexes) {
  EXPECT_EQ(kShaperTypeCount, 35);
  EXPECT_STREQ(ShaperMember(0).name, "Shape Off");
  EXPECT_STREQ(ShaperMember(14).name, "PeakInv");
  EXPECT_STREQ(ShaperMember(26).name, "PeakInv");
  EXPECT_STREQ(ShaperMember(34).name, "Fuzz5");
  for (int i : {13, 29, kShaperTypeCount, 42, 49}) EXPECT_EQ(CreateShaper(i), nullptr) << i;
  EXPECT_EQ(CreateShaper(-1), nullptr);
  EXPECT_EQ(CreateShaper(51), nullptr);
  EXPECT_EQ(ClassIndexes().size(), 34u);  // 33 named types and the test shaper
  EXPECT_NE(dynamic_cast<TDSPTestShaper*>(CreateShaper(50).get()), nullptr);
  EXPECT_NE(dynamic_cast<TDSPEdgeCrushShaper*>(CreateShaper(1).get()), nullptr);
  EXPECT_NE(dynamic_cast<TDSPEdgeCrushShaper*>(CreateShaper(10).get()), nullptr);
  EXPECT_NE(dynamic_cast<TDSPSquareShaper*>(CreateShaper(6).get()), nullptr);
}

TEST(ShaperSetup, AmountIsClampedAndDerivesDKAndE) {
  struct Case {
    float amount, a, d;
  };
  const Case cases[] = {
      {0.0f, 0.001f, 0.998f}, {1.0f, 0.999f, 0.998f}, {-5.0f, 0.001f, 0.998f}, {kNaN, 0.001f, 0.998f},
      {kInf, 0.999f, 0.998f}, {0.5f, 0.5f, 0.001f},   {0.75f, 0.75f, 0.5f},    {0.25f, 0.25f, 0.5f},
  };
  for (const Case& c : cases) {
    TDSPFuzzShaper1 s;
    s.SetAmount(c.amount);
    EXPECT_EQ(s.Amount(), c.a) << c.amount;
    EXPECT_FLOAT_EQ(s.D(), c.d) << c.amount;
    EXPECT_FLOAT_EQ(s.K(), 100.0f / c.d) << c.amount;
    EXPECT_FLOAT_EQ(s.InverseD(), 1.0f / c.d) << c.amount;
    EXPECT_FLOAT_EQ(s.E(), 0.0025f * c.d) << c.amount;
  }
  TDSPFuzzShaper1 middle;
  middle.SetAmount(0.5f);
  EXPECT_NEAR(middle.K(), 100000.0f, 0.01f);
}

TEST(ShaperSetup, TypeIndexRoundsHalfToEvenAndClamps) {
  const std::pair<float, int> cases[] = {{2.5f, 2}, {3.5f, 4},   {0.5f, 0},   {-1.0f, 0},  {60.0f, 50}, {50.4f, 50},
                                         {kNaN, 0}, {1e30f, 50}, {-1e30f, 0}, {34.0f, 34}, {12.6f, 13}};
  for (auto [type, index] : cases) {
    TDSPNullShaper s;
    s.SetType(type);
    EXPECT_EQ(s.TypeIndex(), index) << type;
  }
  TDSPNullShaper s;
  const float stored = 7.0f;
  s.SetTypeFrom(&stored);
  EXPECT_EQ(s.TypeIndex(), 7);
  EXPECT_EQ(s.RequestedType(), 7.0f);
}

// ---- processing contract ----

// The period fill and a loop of Tick give the same samples, the same state (visible in
// the next periods) and the same record of the last nonzero sample.
TEST(ShaperProcessing, FillPeriodEqualsLoopOfTick) {
  for (int index : ClassIndexes()) {
    for (float amount : {0.2f, 0.5f, 0.8f}) {
      auto byPeriod = Make(index, amount);
      auto byTick = Make(index, amount);
      for (int period = 0; period < 4; ++period) {
        std::vector<float> a = TestPeriod(44, period * 5);
        if (period == 2) a[43] = 0.0f;  // the record comes from an earlier sample
        std::vector<float> b = a;
        DSPRandom().SetSeed(1234u + period);
        byPeriod->FillPeriod(a.data());
        DSPRandom().SetSeed(1234u + period);
        for (float& x : b) x = index == 50 ? 0.0f : TickOne(*byTick, x);
        for (int i = 0; i < 44; ++i)
          ASSERT_EQ(a[i], b[i]) << index << " A=" << amount << " period " << period << " i " << i;
        ASSERT_EQ(byPeriod->LastSign(), byTick->LastSign()) << index;
        ASSERT_EQ(byPeriod->LastMagnitude(), byTick->LastMagnitude()) << index;
      }
    }
  }
}

// "Fuzz" fills its period through a double evaluation and falls back to the extended
// step only where the double one cannot decide the float; every sample must still be the
// step's: random levels from tiny to huge, the cancelling region beyond |x| = 2, zeros,
// subnormals, infinities and NaN, at the amount's limits and at odd period lengths, in
// SSE2 and in AVX lanes. Run with flush-to-zero and denormals-are-zero on as well, as
// inside the entry points.
TEST(ShaperProcessing, FuzzPeriodMatchesTheStepForEveryInput) {
  uint32_t seed = 31337;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed) / 4294967296.0f;
  };
  std::vector<float> x = {0.0f,  -0.0f, 1e-45f, -1e-40f, FLT_MIN, -FLT_MIN, FLT_MAX, -FLT_MAX, kInf,
                          -kInf, kNaN,  1.0f,   -1.0f,   2.0f,    -2.0f,    1e19f,   -3e19f};
  for (int i = 0; i < 20000; ++i) {
    const float v = (2.0f * next() - 1.0f) * std::exp2(std::floor(40.0f * next()) - 30.0f);
    x.push_back(v);
  }
  // Near the zero of the curve beyond 2, where the two terms cancel: |x| = (1 + A) / A.
  for (float amount : {0.25f, 0.5f, 0.75f}) {
    const float root = (1.0f + amount) / amount;
    float v = root;
    for (int i = 0; i < 300; ++i) v = std::nextafter(v, 0.0f);
    for (int i = 0; i < 600; ++i, v = std::nextafter(v, 10.0f)) x.push_back(i % 2 ? -v : v);
  }
  const unsigned int mxcsr = _mm_getcsr();
  for (bool flush : {false, true}) {
    _mm_setcsr(flush ? (mxcsr | 0x8040u) : (mxcsr & ~0x8040u));
    for (int m : {44, 1, 3, 5, 13}) {
      TDSPProcessInfo context(m == 44 ? 44100 : m * 1000, m);  // M = rate / 1000
      for (float amount : {0.001f, 0.25f, 0.5f, 0.75f, 0.999f}) {
        for (bool wide : {false, true}) {
          auto byPeriod = Make(30, amount, &context);
          auto byStep = Make(30, amount, &context);
          static_cast<TDSPFuzzShaper1&>(*byPeriod).UseWideLanes(wide);
          for (size_t start = 0; start + static_cast<size_t>(m) <= x.size(); start += static_cast<size_t>(m)) {
            std::vector<float> a(x.begin() + static_cast<std::ptrdiff_t>(start),
                                 x.begin() + static_cast<std::ptrdiff_t>(start) + m);
            byPeriod->FillPeriod(a.data());
            for (int i = 0; i < m; ++i) {
              const float in = x[start + static_cast<size_t>(i)];
              const float expected = TickOne(*byStep, in);
              ASSERT_EQ(std::bit_cast<uint32_t>(a[static_cast<size_t>(i)]), std::bit_cast<uint32_t>(expected))
                  << "x " << in << " A " << amount << " flush " << flush << " wide " << wide << " -> "
                  << a[static_cast<size_t>(i)] << " vs " << expected;
            }
            ASSERT_EQ(byPeriod->LastSign(), byStep->LastSign());
            ASSERT_EQ(std::bit_cast<uint32_t>(byPeriod->LastMagnitude()),
                      std::bit_cast<uint32_t>(byStep->LastMagnitude()));
          }
        }
      }
    }
  }
  _mm_setcsr(mxcsr);
}

TEST(ShaperProcessing, PeriodLengthFollowsTheContext) {
  TDSPProcessInfo fast(96000, 96), none(44100, 44);
  none.samplesPerMs = 0;  // M - 1 negative: nothing to do
  for (auto [context, touched] : {std::pair{&fast, 96}, std::pair{&none, 0}}) {
    auto s = Make(9, 0.5f, context);  // "Maximum": lifts every small sample to 0.5
    std::vector<float> a(100, 0.1f);
    s->FillPeriod(a.data());
    for (int i = 0; i < 100; ++i) ASSERT_EQ(a[i], i < touched ? 0.5f : 0.1f) << i;
  }
}

// Shapers with the zero rule pass a zero untouched and keep their record and state; the
// others apply their formula to zero with sign(0) = -1.
TEST(ShaperProcessing, ZeroRule) {
  for (int index : ClassIndexes()) {
    if (!ShaperMember(index).zeroStaysZero) continue;
    for (float amount : {0.3f, 0.8f}) {
      auto withZeros = Make(index, amount);
      auto without = Make(index, amount);
      TickOne(*withZeros, -0.4f);
      TickOne(*without, -0.4f);
      EXPECT_EQ(TickOne(*withZeros, 0.0f), 0.0f) << index;
      float period[44] = {};
      period[0] = 0.3f;  // the record must come from here, not from the zeros after it
      withZeros->FillPeriod(period);
      TickOne(*without, 0.3f);
      for (int i = 1; i < 44; ++i) ASSERT_EQ(period[i], 0.0f) << index;
      EXPECT_EQ(withZeros->LastSign(), 1) << index;
      EXPECT_EQ(withZeros->LastMagnitude(), 0.3f) << index;
      // The state did not move on the zeros.
      EXPECT_EQ(TickOne(*withZeros, 0.7f), TickOne(*without, 0.7f)) << index;
    }
  }
  struct Case {
    int index;
    float amount;
    float expected;
  };
  const Case atZero[] = {
      {9, 0.4f, -0.4f},                              // "Maximum": -A
      {6, 0.4f, -static_cast<float>(0.75L * 0.4f)},  // "Square4": -0.75 A
      {17, 0.3f, 0.3f},                              // "Exp1": A
      {5, 0.4f, 0.0f},                               // "Square3": below A, unchanged
      {7, 0.25f, 0.0f},                              // "Quantize"
  };
  for (const Case& c : atZero) {
    auto s = Make(c.index, c.amount);
    EXPECT_EQ(TickOne(*s, 0.0f), c.expected) << c.index;
    float period[44] = {};
    s->FillPeriod(period);
    EXPECT_EQ(period[0], c.expected) << c.index;
  }
}

// ---- formulas at chosen points ----

TEST(ShaperFormulas, ValuesAtChosenPoints) {
  struct Case {
    int index;
    float amount, x;
    double expected;
  };
  const double ln05 = std::log(0.5);
  const Case cases[] = {
      // "Pulsewidth", d = 0.5, K = 200, E = 0.00125, F = 0.375
      {1, 0.75f, 0.25f, 0.01 * 0.25 * std::sqrt(50.0)},
      {1, 0.75f, -0.6f, -0.6},
      {1, 0.25f, -0.25f, -(0.25 * 200 * 0.00125 + 0.375)},
      // "EdgeCrush"
      {2, 0.75f, 0.25f, 0.25 * (2 * 0.25 * 200) * 0.01},
      {2, 0.25f, 0.25f, 2 * 0.25 * 200 * 0.00125 + 0.375},
      {2, 0.25f, 0.5f, 0.5},
      // "Square3" / "Square4", F = 0.3
      {5, 0.4f, -0.5f, -0.3},
      {5, 0.4f, 0.4f, 0.4},
      {6, 0.4f, 0.1f, 0.3},
      {6, 0.4f, -0.4f, -0.4},
      // "Quantize" at A = 0.25: 1.5 rounds to 2, 0.5 to 0
      {7, 0.25f, 0.3f, 0.25},
      {7, 0.25f, 0.375f, 0.5},
      {7, 0.25f, -0.375f, -0.5},
      {7, 0.25f, 0.125f, 0.0},
      // "Minimum" / "Maximum"
      {8, 0.4f, -0.7f, -0.4},
      {8, 0.4f, 0.2f, 0.2},
      {9, 0.4f, 0.1f, 0.4},
      {9, 0.4f, -0.1f, -0.4},
      {9, 0.4f, 0.7f, 0.7},
      // "EdgeCrush2": G1 = 0.2, G2 = 0.3 / 76, G3 = 0.00375
      {10, 0.75f, 0.25f, 0.25 * 200 * 0.00375 + 0.375},
      {10, 0.25f, -0.25f, -(50 * 4.3 * 0.3 / 76 + 0.2) * 0.2},
      // "PeakInv": F = -0.1, G = 0.2, H = 0.002
      {14, 0.75f, 0.25f, (-0.1 - 30 * 0.25 * 200 * 0.002) * 0.1},
      {14, 0.25f, -0.75f, -(-0.1 - 30 * 0.75 * 200 * 0.2) * 0.001},
      {14, 0.25f, 0.25f, 0.25},
      // "Sqrt1", R = 0.5
      {15, 0.25f, 1.0f, 1.0},
      {15, 0.25f, -0.8f, -0.9},
      {15, 0.25f, 0.2f, 0.2},
      // "Exp1"
      {17, 0.3f, 1.0f, std::exp(1.0) * 0.3 + 0.4},
      // "Ln1" .. "Ln4"
      {18, 0.5f, 0.5f, 0.5 * ln05},
      {18, 0.5f, -0.5f, -0.5 * ln05},
      {19, 0.5f, 0.5f, 0.3 * ln05 * 0.5 + 0.5},
      {20, 0.5f, -0.5f, -0.5 + 0.5 * ln05 * 0.5},
      {21, 0.5f, 0.5f, 0.5 * ln05 * 0.5 + 0.5 + 0.5 / 44},
      // "Tan1", "Cotan1" (limited to +-3), "Power1", "Sin1"
      {22, 0.5f, 0.5f, 0.5 - 0.5 * std::tan(0.5)},
      {23, 1.0f, 1e-6f, -3.0},
      {23, 1.0f, -1e-6f, 3.0},
      {23, 0.5f, 1.0f, 1.0 - 0.05 / std::tan(1.0)},
      {24, 0.5f, 1.0f, (0.5 - 1.05) * 1.5},
      {24, 0.5f, -1.0f, (2.0 - 1.05) * 1.5},
      {25, 0.5f, 1.0f, (1.0 - 0.5 * std::sin(1.0)) * 1.5},
      // "PeakInv" (26): U = 1.5, D = 0.5
      {26, 0.25f, 0.5f, 0.25},
      {26, 0.25f, -0.1f, -0.15},
      // "Exp2", k = 1; "Sqrt2"
      {27, 0.8f, 1.0f, -(1 - std::exp(-1.0))},
      {27, 0.8f, -1.0f, 1 - std::exp(-1.0)},
      {28, 0.5f, 0.25f, 0.25},
      {28, 0.5f, -0.25f, -0.25},
      // "Fuzz": s (2|x| - x^2) A + x (1 - A)
      {30, 0.5f, 0.5f, 0.625},
      {30, 0.5f, -0.5f, -0.625},
      // "Fuzz2" at A = 0.75: c = -0.02975, k = 2c / (1 - c), V = 24
      {31, 0.75f, 0.5f, (2 * -0.02975 / 1.02975 + 1) * 0.5 / (0.5 * 2 * -0.02975 / 1.02975 + 1) * 24 + 0.125},
      // "Fuzz3" at A = 0.5: a = 50, k = 2, k1 = 3
      {32, 0.5f, 0.5f, 0.75},
      {32, 0.5f, -2.0f, -1.2},
      // "Fuzz4" at A = 0.5: T = 2; only positive inputs are pinned
      {33, 0.5f, 3.0f, 1.0},
      {33, 0.5f, -3.0f, 1.0},
      {33, 0.5f, 0.5f, std::sqrt(0.5)},
      // "Fuzz5": a = 5
      {34, 0.5f, 0.5f, 0.5 * 5.5 / (0.25 + 4 * 0.5 + 1)},
  };
  for (const Case& c : cases) {
    auto s = Make(c.index, c.amount);
    const float y = TickOne(*s, c.x);
    EXPECT_NEAR(y, c.expected, 2e-6 * std::max(1.0, std::fabs(c.expected)))
        << ShaperMember(c.index).name << " (" << c.index << ") A=" << c.amount << " x=" << c.x;
  }
}

TEST(ShaperFormulas, Fuzz5MapsPlusMinusOneToThemselvesForEveryAmount) {
  for (int i = 0; i <= 1000; ++i) {
    auto s = Make(34, static_cast<float>(i) / 1000.0f);
    EXPECT_EQ(TickOne(*s, 1.0f), 1.0f) << i;
    EXPECT_EQ(TickOne(*s, -1.0f), -1.0f) << i;
    EXPECT_EQ(TickOne(*s, 0.0f), 0.0f) << i;
  }
}

TEST(ShaperFormulas, RandomShapersDrawFromTheSharedGenerator) {
  auto r1 = Make(11, 0.3f);
  DSPRandom().SetSeed(0);
  const float y = TickOne(*r1, 0.2f);
  // First draw from seed 0 is 1 / 2^32: y = x + (2r - 1) A, just above x - A.
  EXPECT_NEAR(y, 0.2 - 0.3, 1e-7);
  EXPECT_EQ(DSPRandom().Seed(), 1u);
  for (int i = 0; i < 200; ++i) {
    const float v = TickOne(*r1, 0.2f);
    ASSERT_GE(v, -0.1f - 1e-7f);
    ASSERT_LT(v, 0.5f + 1e-7f);
  }
  // "Random2" draws only for clipped samples.
  auto r2 = Make(12, 0.3f);
  const uint32_t seed = DSPRandom().Seed();
  EXPECT_EQ(TickOne(*r2, 0.1f), 0.1f);
  EXPECT_EQ(DSPRandom().Seed(), seed);
  const float clipped = TickOne(*r2, -0.9f);
  EXPECT_NE(DSPRandom().Seed(), seed);
  EXPECT_GE(clipped, -0.4f);
  EXPECT_LT(clipped, -0.2f);
}

// ---- the stateful squares ----

TEST(ShaperSquares, Square1RippleRestartsOnEveryChangeOfSide) {
  auto made = Make(3, 0.5f);
  auto& s = dynamic_cast<TDSPSquareShaper1&>(*made);
  // Above A for four samples: the phase steps 0, 0.01, 0.02, 0.03.
  const float above[] = {0.9f, 0.5f, 0.7f, 0.6f};
  const float phases[] = {0.0f, 0.01f, 0.03f, 0.06f};
  for (int i = 0; i < 4; ++i) {
    const float y = TickOne(s, above[i]);
    EXPECT_FLOAT_EQ(s.Phase(), phases[i]) << i;
    EXPECT_FLOAT_EQ(y, static_cast<float>(1 - std::fabs(0.3 * std::sin(s.Phase())))) << i;
  }
  // The change of side takes the step of the count reached (0.04), then restarts it.
  float y = TickOne(s, 0.2f);
  EXPECT_FLOAT_EQ(s.Phase(), 0.10f);
  EXPECT_FLOAT_EQ(y, static_cast<float>(std::fabs(0.3 * std::sin(s.Phase())) - 1));
  EXPECT_EQ(s.Count(), 1);
  y = TickOne(s, -0.2f);
  EXPECT_FLOAT_EQ(s.Phase(), 0.11f);
  EXPECT_LT(y, -0.7f);
}

TEST(ShaperSquares, Square2HoldsItsPhaseOnTheFirstSample) {
  auto made = Make(4, 0.5f);
  auto& s = dynamic_cast<TDSPSquareShaper2&>(*made);
  EXPECT_EQ(TickOne(s, 0.9f), 1.0f);
  EXPECT_EQ(s.Phase(), 0.0f);
  // |x| = A is not above A.
  EXPECT_FLOAT_EQ(TickOne(s, 0.5f), static_cast<float>(std::fabs(0.3 * std::sin(0.03)) - 1));
  EXPECT_FLOAT_EQ(s.Phase(), 0.03f);
  EXPECT_FLOAT_EQ(TickOne(s, -0.8f), static_cast<float>(1 - std::fabs(0.3 * std::sin(0.06))));
}

// Sin1 works on the double sine and falls back to the extended one near a rounding
// boundary: its outputs must be those of the extended sine everywhere, in the render's
// floating-point mode (denormals as zero) as well as in the default one.
TEST(ShaperFormulas, Sin1GivesTheExtendedSinesOutputsBitForBit) {
  std::vector<float> inputs = {0x1p-20f,
                               0x1p-21f,
                               1e-30f,
                               1e-40f,
                               0x1p20f,
                               0x1p21f,
                               3e38f,
                               std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(),
                               static_cast<float>(M_PI),
                               static_cast<float>(2 * M_PI)};
  // A dense sweep over the range voices play at, and a random spread of magnitudes.
  for (int32_t i = 1; i <= 100000; ++i) inputs.push_back(static_cast<float>(i) * (8.0f / 100000));
  uint32_t seed = 12345;
  for (int32_t i = 0; i < 50000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const uint32_t exponent = 127 - 24 + (seed >> 26);  // 2^-24 ... 2^39
    seed = seed * 1664525u + 1013904223u;
    inputs.push_back(std::bit_cast<float>((exponent << 23) | (seed >> 9)));
  }
  const uint32_t defaultMode = _mm_getcsr();
  for (const uint32_t mode : {defaultMode, defaultMode | 0x8040u}) {
    _mm_setcsr(mode);
    for (const float amount : {0.001f, 0.5f, 0.7f, 0.999f}) {
      auto made = Make(25, amount);
      auto& s = dynamic_cast<TDSPSinShaper&>(*made);
      int64_t mismatches = 0;
      for (const float v : inputs) {
        for (const float x : {v, -v}) {
          if (std::bit_cast<uint32_t>(s.Step(x)) != std::bit_cast<uint32_t>(s.ExtendedStep(x))) ++mismatches;
        }
      }
      EXPECT_EQ(mismatches, 0) << "amount " << amount << ", mode " << std::hex << mode;
    }
  }
  _mm_setcsr(defaultMode);
}

// Square 2 takes its ripple's sine in double precision. Its phase can only ever walk one
// sequence, so the whole sequence is checked against the extended-precision sine: both
// outputs must be the same floats at every phase the shaper can reach.
TEST(ShaperSquares, Square2RippleMatchesTheExtendedSineOverItsWholePhaseSequence) {
  using Extended = TDSPShaper::Extended;
  float phase = 0.0f;
  int64_t phases = 0, mismatches = 0;
  for (;;) {
    const Extended exact = std::fabs(0.3L * std::sin(Extended{phase}));
    const Extended ripple = TDSPSquareShaper2::Ripple(phase);
    if (std::bit_cast<uint32_t>(static_cast<float>(1.0L - exact)) !=
            std::bit_cast<uint32_t>(static_cast<float>(1.0L - ripple)) ||
        std::bit_cast<uint32_t>(static_cast<float>(exact - 1.0L)) !=
            std::bit_cast<uint32_t>(static_cast<float>(ripple - 1.0L)))
      ++mismatches;
    ++phases;
    const float next = static_cast<float>(Extended{phase} + 0.03L);
    if (next == phase) break;
    phase = next;
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(phase, 524288.0f);  // where a step of 0.03 no longer moves it
  EXPECT_GT(phases, 16000000);
}

TEST(ShaperSquares, Square5SmoothsTowardsMinusC2AndFollowsTheSampleRate) {
  TDSPProcessInfo context(44100, 44);
  auto made = Make(16, 0.5f, &context);
  auto& s = dynamic_cast<TDSPSquareShaper5&>(*made);
  EXPECT_FLOAT_EQ(s.P(), static_cast<float>(M_PI / 44 + 0.01));
  EXPECT_FLOAT_EQ(s.L(), static_cast<float>(2 * std::log2(22.0)));
  EXPECT_FLOAT_EQ(s.G(), 1.0f / s.L());
  // One step by hand, each bracket in single precision.
  const float x = 0.5f;
  const float expected = ((((x * s.C1()) * s.G()) - s.C2()) + 0.0f) * 0.5f;
  EXPECT_EQ(TickOne(s, x), expected);
  for (int i = 0; i < 60; ++i) TickOne(s, x);
  // Settles at x c1 g - c2: negative for positive input since M A > 1.
  EXPECT_NEAR(s.State(), x * s.C1() * s.G() - s.C2(), 1e-5);
  EXPECT_LT(s.State(), -0.8f);

  // A new rate reaches the constants at the next amount, not before.
  context.Derive(64000, 64);
  const float c2Before = s.C2();
  TickOne(s, x);
  EXPECT_EQ(s.C2(), c2Before);
  s.SetAmount(1.0f / 64.0f);  // M A = 1: L = 0 and g = 0, the state decays
  EXPECT_EQ(s.L(), 0.0f);
  EXPECT_EQ(s.G(), 0.0f);
  const float z = s.State();
  EXPECT_EQ(TickOne(s, x), z * 0.5f);
  EXPECT_EQ(TickOne(s, -x), z * 0.25f);
}

// ---- stability ----

TEST(ShaperStability, GuardChangesOnlyNonFiniteValues) {
  const std::pair<float, float> cases[] = {
      {kInf, FLT_MAX}, {-kInf, -FLT_MAX}, {kNaN, 0.0f},   {FLT_MAX, FLT_MAX},
      {-1.5f, -1.5f},  {1e-45f, 1e-45f},  {-0.0f, -0.0f},
  };
  for (auto [in, out] : cases) EXPECT_EQ(TDSPShaper::Finite(in), out) << in;
}

// Every shaper, at the worst amounts and contexts, on hostile input: nothing non-finite
// comes out, and a plain signal afterwards is processed as finite as ever.
TEST(ShaperStability, NoShaperEmitsOrKeepsNonFiniteValues) {
  TDSPProcessInfo contexts[] = {TDSPProcessInfo(44100, 44), TDSPProcessInfo(1000, 1), TDSPProcessInfo(64000, 64),
                                TDSPProcessInfo(192000, 192)};
  std::vector<float> hostile = {kInf,        -kInf,  kNaN,    FLT_MAX, -FLT_MAX, 1e30f,  -1e30f,
                                1e20f,       -1e20f, 100.0f,  -100.0f, 89.0f,    -89.0f, 1.5707964f,
                                -1.5707964f, 1e-45f, -1e-45f, FLT_MIN, 0.0f,     8.7f,   -8.7f};
  // The pole of "Fuzz2" at the top amount, approached from both sides.
  float pole = 0.0f;
  {
    TDSPFuzzShaper2 probe;
    probe.SetAmount(1.0f);
    const long double c = 0.064L - 0.125L * probe.Amount();
    const float k = static_cast<float>(2.0L * static_cast<float>(c) / (1.0L - static_cast<float>(c)));
    pole = -1.0f / k;
    float v = pole;
    for (int i = 0; i < 8; ++i) v = std::nextafter(v, 0.0f);
    for (int i = 0; i < 16; ++i, v = std::nextafter(v, 100.0f)) {
      hostile.push_back(v);
      hostile.push_back(-v);
    }
  }
  const float amounts[] = {0.0f, 0.001f, 0.25f, 0.5f, 0.512f, 0.75f, 0.999f, 1.0f, kNaN, 1.0f / 64.0f, 1.0f / 44.0f};
  for (TDSPProcessInfo& context : contexts) {
    const int m = context.samplesPerMs;
    for (int index : ClassIndexes()) {
      for (float amount : amounts) {
        auto s = Make(index, amount, &context);
        for (float x : hostile)
          ASSERT_TRUE(std::isfinite(TickOne(*s, x))) << index << " A=" << amount << " x=" << x << " M=" << m;
        for (size_t start = 0; start < hostile.size(); start += m) {
          std::vector<float> a(m, 0.25f);
          for (int i = 0; i < m && start + i < hostile.size(); ++i) a[i] = hostile[start + i];
          s->FillPeriod(a.data());
          for (int i = 0; i < m; ++i) ASSERT_TRUE(std::isfinite(a[i])) << index << " A=" << amount << " M=" << m;
        }
        for (int period = 0; period < 3; ++period) {
          std::vector<float> a = TestPeriod(m < 4 ? 4 : m, period);
          a.resize(m);
          s->FillPeriod(a.data());
          for (float y : a) ASSERT_TRUE(std::isfinite(y)) << index << " A=" << amount;
        }
        if (auto* sq5 = dynamic_cast<TDSPSquareShaper5*>(s.get())) {
          ASSERT_TRUE(std::isfinite(sq5->State()));
        }
      }
    }
  }
}

TEST(ShaperStability, LargeFiniteValuesStayTheirSound) {
  // Near its pole "Fuzz2" reaches huge values, and keeps them.
  auto fuzz2 = Make(31, 1.0f);
  float largest = 0.0f;
  for (float x = 8.0f; x < 9.5f; x += 1e-4f) largest = std::max(largest, std::fabs(TickOne(*fuzz2, x)));
  EXPECT_GT(largest, 1e4f);
  // "Exp1" at 88 is within the float range and passes unchanged.
  auto exp1 = Make(17, 0.999f);
  EXPECT_EQ(TickOne(*exp1, 88.0f), static_cast<float>(std::exp(88.0L) * 0.999f + 0.4L * 88.0f));
  EXPECT_EQ(TickOne(*exp1, 200.0f), FLT_MAX);
}

// ---- the multi-shaper ----

TEST(MultiShaper, StartsAsPassThroughAndSwapsByTypeIndex) {
  TDSPMultiShaper multi;
  EXPECT_NE(dynamic_cast<const TDSPNullShaper*>(&multi.Shaper()), nullptr);
  float period[44];
  for (int i = 0; i < 44; ++i) period[i] = std::sin(static_cast<float>(i) * 0.3f);
  float copy[44];
  std::copy(period, period + 44, copy);
  multi.FillPeriod(period);
  for (int i = 0; i < 44; ++i) EXPECT_EQ(period[i], copy[i]);

  const std::pair<float, const char*> types[] = {
      {2.5f, "EdgeCrush"}, {3.5f, "Square2"}, {-1.0f, "Shape Off"}, {31.0f, "Fuzz2"}};
  for (auto [type, name] : types) {
    multi.SetType(type);
    auto expected = CreateShaper(multi.TypeIndex());
    EXPECT_EQ(typeid(multi.Shaper()), typeid(*expected)) << type;
    EXPECT_STREQ(ShaperMember(multi.TypeIndex()).name, name);
  }
  // The multi's amount reaches the current shaper, and its Tick is the shaper's.
  multi.SetAmount(0.75f);
  EXPECT_EQ(multi.Shaper().Amount(), 0.75f);
  auto alone = Make(31, 0.75f);
  multi.In = 0.4f;
  multi.Tick();
  EXPECT_EQ(multi.Out, TickOne(*alone, 0.4f));
}

TEST(MultiShaper, IndexesWithoutAClassKeepTheCurrentShaperAndApplyTheAmount) {
  TDSPMultiShaper multi;
  multi.SetAmount(0.6f);
  multi.SetType(32);  // "Fuzz3"
  const TDSPShaper* fuzz3 = &multi.Shaper();
  for (float type : {13.0f, 29.0f, 40.0f}) {
    multi.SetAmount(type / 100.0f);
    multi.SetType(type);
    EXPECT_EQ(&multi.Shaper(), fuzz3) << type;
    EXPECT_EQ(multi.Shaper().Amount(), multi.Amount()) << type;
    EXPECT_EQ(multi.TypeIndex(), static_cast<int>(type));
  }
  // Type 60 selects the test shaper: the period is silenced, Tick leaves Out alone.
  multi.SetType(60.0f);
  EXPECT_EQ(multi.TypeIndex(), 50);
  float period[44];
  std::fill(period, period + 44, 0.7f);
  multi.FillPeriod(period);
  for (float y : period) EXPECT_EQ(y, 0.0f);
  multi.In = 0.9f;
  multi.Tick();
  EXPECT_EQ(multi.Out, 0.0f);
}

TEST(MultiShaper, SettingTheSameTypeRestartsTheState) {
  TDSPMultiShaper multi;
  multi.SetAmount(0.5f);
  multi.SetType(4);  // "Square2"
  multi.In = 0.9f;
  for (int i = 0; i < 10; ++i) multi.Tick();
  EXPECT_GT(dynamic_cast<const TDSPSquareShaper2&>(multi.Shaper()).Phase(), 0.2f);
  multi.SetType(4);
  EXPECT_EQ(dynamic_cast<const TDSPSquareShaper2&>(multi.Shaper()).Phase(), 0.0f);
}

TEST(MultiShaper, SharesItsContextWithTheCurrentShaper) {
  TDSPProcessInfo fast(96000, 96);
  TDSPMultiShaper multi;
  multi.ContextChanged(&fast);
  EXPECT_EQ(multi.Shaper().Context(), &fast);
  multi.SetAmount(0.5f);
  multi.SetType(16);  // "Square5" reads M = 96 when its amount is set
  EXPECT_EQ(multi.Shaper().Context(), &fast);
  EXPECT_FLOAT_EQ(dynamic_cast<const TDSPSquareShaper5&>(multi.Shaper()).P(), static_cast<float>(M_PI / 96 + 0.01));
  TDSPProcessInfo slow(22050, 22);
  multi.ContextChanged(&slow);
  EXPECT_EQ(multi.Shaper().Context(), &slow);
}

TEST(MultiShaper, RebuildWaitsForTheDSPLock) {
  TDSPMultiShaper multi;
  multi.SetAmount(0.5f);
  std::atomic<bool> done{false};
  std::thread setter;
  {
    TDSPLockGuard block;  // a processing call in progress
    setter = std::thread([&] {
      multi.TDSPShaper::SetType(30);  // the index alone, then the rebuild by itself
      multi.Rebuild();
      done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done.load());
    EXPECT_NE(dynamic_cast<const TDSPNullShaper*>(&multi.Shaper()), nullptr);
  }
  setter.join();
  EXPECT_TRUE(done.load());
  EXPECT_NE(dynamic_cast<const TDSPFuzzShaper1*>(&multi.Shaper()), nullptr);
}

// Every one of the 35 types, set through the multi-shaper, on a saw: finite output.
TEST(MultiShaper, EveryTypeOnASawGivesFiniteOutput) {
  TDSPMultiShaper multi;
  for (int type = 0; type < kShaperTypeCount; ++type) {
    for (int step = 0; step <= 10; ++step) {
      multi.SetType(static_cast<float>(type));
      multi.SetAmount(static_cast<float>(step) / 10.0f);
      for (int period = 0; period < 20; ++period) {
        float a[44];
        for (int i = 0; i < 44; ++i) a[i] = -1.0f + 2.0f * static_cast<float>((period * 44 + i) % 100) / 100.0f;
        multi.FillPeriod(a);
        for (float y : a) ASSERT_TRUE(std::isfinite(y)) << type << " A=" << step / 10.0;
      }
    }
  }
}
