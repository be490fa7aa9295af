// The engine computes its formulas in long double, which on x86-64 is the x87 unit's
// 80-bit format. Where the x87 unit carries only double precision (a caller that set its
// precision control so, or valgrind, which computes x87 arithmetic in doubles), everything
// must stay bounded and sound the same to within a float's resolution: nothing may lean on
// the extra bits to stay stable. These tests switch the precision control to double (53
// bits) around a component and compare it with the same component at full precision.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FilterTestTools.h"
#include "dsp/DSPBaseOscillator.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPMultiFilter.h"
#include "dsp/DSPOscillators.h"
#include "dsp/DSPWaveformTable.h"
#include "framework/FloatingPointMode.h"

using namespace tesmora6;

namespace {

// The x87 precision control (bits 8 and 9 of the control word) at double precision while
// the object lives; the caller's control word comes back afterwards.
class TX87DoublePrecision {
 public:
  TX87DoublePrecision() : saved_(TFPUModeGuard::ReadX87()) {
    TFPUModeGuard::WriteX87(static_cast<uint16_t>((saved_ & ~0x0300u) | 0x0200u));
  }
  ~TX87DoublePrecision() { TFPUModeGuard::WriteX87(saved_); }
  TX87DoublePrecision(const TX87DoublePrecision&) = delete;
  TX87DoublePrecision& operator=(const TX87DoublePrecision&) = delete;

 private:
  uint16_t saved_;
};

// Runs a render once at full precision and once at double precision.
struct TBothPrecisions {
  std::vector<float> full, reduced;
};
TBothPrecisions RenderBoth(const std::function<std::vector<float>()>& render) {
  TBothPrecisions r;
  DSPRandom().SetSeed(1);
  r.full = render();
  DSPRandom().SetSeed(1);
  {
    TX87DoublePrecision reduced;
    r.reduced = render();
  }
  return r;
}

struct TDifference {
  double peak = 0, largest = 0, rms = 0;
  bool finite = true;
};
TDifference Compare(const TBothPrecisions& r) {
  TDifference d;
  double sum = 0;
  for (size_t i = 0; i < r.full.size(); ++i) {
    d.finite = d.finite && std::isfinite(r.reduced[i]);
    d.peak = std::max(d.peak, static_cast<double>(std::fabs(r.full[i])));
    const double e = std::fabs(static_cast<double>(r.full[i]) - r.reduced[i]);
    d.largest = std::max(d.largest, e);
    sum += e * e;
  }
  d.rms = std::sqrt(sum / static_cast<double>(r.full.size()));
  return d;
}

}  // namespace

// The extended sine and cosine reduce their argument by whole quarter turns. At double
// precision the reduction must still find the nearest quarter turn: a remainder beyond the
// kernels' range sends their series off to infinity (the band-limited saw, the formula
// waveforms and the state-variable filter's coefficient all went that way). Compared with
// the library's double sine and cosine: the reduced argument then carries about one double
// ulp of rounding, so the results agree to a few 1e-16.
TEST(DoublePrecisionX87, SineAndCosineReduceEveryArgument) {
  uint32_t seed = 2024;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed) / 4294967296.0;
  };
  for (double range : {1.0, 7.0, 100.0, 8450.0, 1000000.0}) {
    for (int i = 0; i < 5000; ++i) {
      const double x = (2.0 * next() - 1.0) * range;
      long double sine, cosine;
      {
        TX87DoublePrecision reduced;
        sine = oscmath::SinExtended(x);
        cosine = oscmath::CosExtended(x);
      }
      ASSERT_NEAR(static_cast<double>(sine), std::sin(x), 1e-14) << "sin x = " << x;
      ASSERT_NEAR(static_cast<double>(cosine), std::cos(x), 1e-14) << "cos x = " << x;
    }
  }
}

// Every waveform at a low, a middle and a high pitch, and every filter type on noise with
// its cutoff swept through the range (each period recalculates the coefficients), give the
// same samples at double precision as at full precision, to within 1e-6 of the larger of 1
// and the signal's peak: about 16 float steps at full scale, room for a last-bit difference
// that a filter's feedback carries along. The reduction that went wrong at double
// precision missed by up to 1e37 and by infinity.
TEST(DoublePrecisionX87, EveryWaveformAndFilterTypeMatchesFullPrecision) {
  auto check = [](const TBothPrecisions& r, const std::string& what) {
    const TDifference d = Compare(r);
    EXPECT_TRUE(d.finite) << what;
    EXPECT_LE(d.largest, 1e-6 * std::max(1.0, d.peak)) << what << ", peak " << d.peak;
  };
  for (int w = 0; w < kWaveformCount; ++w) {
    for (float pitch : {24.0f, 69.0f, 120.0f}) {
      check(
          RenderBoth([&] {
            auto osc = CreateWaveform(w);
            osc->ResetPhase();
            osc->SetPitch(pitch);
            std::vector<float> out(44 * 100);
            for (size_t i = 0; i < out.size(); i += 44) osc->FillPeriod(&out[i]);
            return out;
          }),
          std::string("waveform ") + std::to_string(w) + " " + WaveformName(w) + " at pitch " + std::to_string(pitch));
    }
  }
  for (int type = 0; type <= 50; ++type) {
    check(RenderBoth([&] {
            TDSPMultiFilter m;
            m.SetType(static_cast<float>(type));
            m.Filter()->SetResonance(0.8f);
            auto v = filter_test::Noise(44 * 200, 0.5f);
            for (size_t p = 0; p + 44 <= v.size(); p += 44) {
              m.Filter()->SetCutoff(100.0f + 80.0f * static_cast<float>(p / 44));
              m.FillPeriod(&v[p]);
            }
            return v;
          }),
          "filter type " + std::to_string(type));
  }
}
