#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FilterTestTools.h"
#include "dsp/DSPBiquadFilters.h"
#include "dsp/DSPButterworthFilters.h"
#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPLadderFilters.h"
#include "dsp/DSPOnePoleFilters.h"
#include "dsp/DSPRBJFilters.h"
#include "dsp/DSPResonatorFilters.h"
#include "dsp/DSPStateVariableFilter.h"

using namespace tesmora6;

using namespace filter_test;

namespace {

// A filter that counts its recalculations on top of the base mapping.
class TCountingFilter : public TDSPFilter {
 public:
  int recalculations = 0;
  void Recalculate() override {
    ++recalculations;
    TDSPFilter::Recalculate();
  }
};

std::unique_ptr<TDSPFilter> MakeType(int type, float cutoff, float resonance, float bandwidth,
                                     TDSPProcessInfo* context = nullptr) {
  auto f = FilterTypeEntry(type).create();
  if (context) f->ContextChanged(context);
  f->Recalculate();
  f->SetCutoff(cutoff);
  f->SetResonance(resonance);
  f->SetBandwidth(bandwidth);
  return f;
}

}  // namespace

TEST(FilterSettings, SettersClampAndRecalculateOnlyOnChange) {
  TCountingFilter f;
  f.SetCutoff(30000.0f);
  EXPECT_EQ(f.Cutoff(), 22050.0f);
  f.SetCutoff(-5.0f);
  EXPECT_EQ(f.Cutoff(), 0.001f);
  f.SetResonance(2.0f);
  EXPECT_EQ(f.Resonance(), 0.999f);
  f.SetResonance(-1.0f);
  EXPECT_EQ(f.Resonance(), 0.001f);
  f.SetBandwidth(7.0f);
  EXPECT_EQ(f.Bandwidth(), 0.999f);
  f.SetBandwidth(std::nanf(""));  // a NaN setting must not reach the coefficients
  EXPECT_EQ(f.Bandwidth(), 0.001f);
  EXPECT_EQ(f.recalculations, 6);

  f.SetCutoff(440.0f);
  f.SetCutoff(440.0f);
  f.SetResonance(0.001f);
  EXPECT_EQ(f.recalculations, 7);
}

TEST(FilterSettings, UpdateBracketHoldsOnlyTheBaseRecalculation) {
  TCountingFilter f;
  f.Recalculate();
  f.recalculations = 0;
  const float before = f.MappedCutoff();
  f.BeginUpdate();
  f.BeginUpdate();
  f.SetCutoff(1000.0f);
  f.SetResonance(0.5f);
  EXPECT_EQ(f.recalculations, 2);       // the setters still call Recalculate
  EXPECT_EQ(f.MappedCutoff(), before);  // but the base mapping waits
  f.EndUpdate();
  EXPECT_EQ(f.recalculations, 2);
  f.EndUpdate();
  EXPECT_EQ(f.recalculations, 3);
  EXPECT_EQ(f.MappedCutoff(), 1000.0f);
  EXPECT_NEAR(f.MappedResonance(), 0.5f, 1e-6f);
  // An unmatched end neither recalculates nor leaves the filter frozen.
  f.EndUpdate();
  EXPECT_EQ(f.recalculations, 3);
  EXPECT_EQ(f.UpdateDepth(), 0);
  f.SetCutoff(2000.0f);
  EXPECT_EQ(f.MappedCutoff(), 2000.0f);
}

// The voices close a bracket every control period; on unchanged settings the design is
// not worked out again, but a new context or a held-back base mapping still counts as a
// change.
TEST(FilterSettings, ClosingABracketRecalculatesOnlyWhatChanged) {
  TCountingFilter f;
  f.SetCutoff(1000.0f);
  f.recalculations = 0;
  f.BeginUpdate();
  f.SetCutoff(1000.0f);
  f.SetResonance(f.Resonance());
  f.EndUpdate();
  EXPECT_EQ(f.recalculations, 0);

  TRBJFilterLP rbj;
  rbj.SetCutoff(22050.0f);
  TDSPProcessInfo fast(96000, 96);
  rbj.ContextChanged(&fast);
  rbj.BeginUpdate();
  rbj.SetCutoff(22050.0f);
  rbj.EndUpdate();
  EXPECT_FLOAT_EQ(rbj.MappedCutoff(), 23520.0f);  // 0.245 fs of the new rate
}

// Whatever settings a filter went through, and however they were bracketed, it sounds
// exactly like a fresh filter given only the final ones (nothing a design keeps from an
// earlier recalculation may go stale).
TEST(FilterSettings, CoefficientsDependOnlyOnTheFinalSettings) {
  const auto input = Noise(44 * 4, 0.5f, 77);
  for (int type = 0; type < kFilterTypeCount; ++type) {
    auto moved = MakeType(type, 300.0f, 0.9f, 0.2f);
    moved->SetCutoff(5000.0f);
    moved->BeginUpdate();
    moved->SetResonance(0.1f);
    moved->SetBandwidth(0.7f);
    moved->EndUpdate();
    moved->SetCutoff(1200.0f);
    moved->SetResonance(0.4f);
    auto fresh = FilterTypeEntry(type).create();  // its first recalculation on the final settings
    fresh->SetResonance(0.4f);
    fresh->SetCutoff(1200.0f);
    fresh->SetBandwidth(0.7f);
    std::vector<float> a(input), b(input);
    for (size_t p = 0; p < a.size(); p += 44) {
      moved->FillPeriod(&a[p]);
      fresh->FillPeriod(&b[p]);
    }
    EXPECT_EQ(a, b) << FilterTypeEntry(type).name;
  }
}

TEST(FilterSettings, DesignMappings) {
  // "BW LP" works on the mirrored frequency ny - Fh, kept within [40, ny - 5 s].
  TResonantButterworthFilterLP bw;
  bw.SetCutoff(21900.0f);
  EXPECT_FLOAT_EQ(bw.MappedCutoff(), 150.0f);
  bw.SetCutoff(22030.0f);
  EXPECT_FLOAT_EQ(bw.MappedCutoff(), 40.0f);
  bw.SetCutoff(100.0f);
  EXPECT_FLOAT_EQ(bw.MappedCutoff(), 22050.0f - 5 * 44);
  bw.SetResonance(0.999f);
  EXPECT_FLOAT_EQ(bw.MappedResonance(), 0.001f + 1.299f * 0.999f);

  // "RBJ LP": a setting of 22050 reaches 0.245 fs.
  TRBJFilterLP rbj;
  rbj.SetCutoff(22050.0f);
  EXPECT_FLOAT_EQ(rbj.MappedCutoff(), 10804.5f);
  TDSPProcessInfo fast(96000, 96);
  rbj.ContextChanged(&fast);
  EXPECT_FLOAT_EQ(rbj.MappedCutoff(), 10804.5f);  // kept until the next recalculation
  rbj.Recalculate();
  EXPECT_FLOAT_EQ(rbj.MappedCutoff(), 23520.0f);

  // "Vocal1": v = C / 22050 x 0.2 fs; v = 60 gives 335 Hz, v = 240 gives 800 Hz.
  TBiquadVocal1Filter vocal;
  vocal.SetCutoff(150.0f);
  EXPECT_FLOAT_EQ(vocal.MappedCutoff(), 335.0f);
  vocal.SetCutoff(600.0f);
  EXPECT_FLOAT_EQ(vocal.MappedCutoff(), 800.0f);
  TBiquadVocal2Filter vocal2;
  vocal2.SetCutoff(600.0f);
  EXPECT_FLOAT_EQ(vocal2.MappedCutoff(), 650.0f);
}

TEST(FilterSettings, StateVariableFrequencyCoefficientStaysInItsNarrowBand) {
  // The coefficient is 2 sin(pi fs / (2 h)) with an argument near 8450 radians: it only
  // lands in 0.80 ... 1.22 if it is computed in extended precision.
  for (int rate : {44100, 96000}) {
    TDSPProcessInfo context(rate, rate / 1000);
    TStateVariableFilterLP f;
    f.ContextChanged(&context);
    float low = 10, high = -10;
    for (float c = 10.0f; c <= 16384.0f; c += 37.0f) {
      f.SetCutoff(c);
      low = std::min(low, f.FrequencyCoefficient());
      high = std::max(high, f.FrequencyCoefficient());
    }
    EXPECT_NEAR(low, 0.8029f, 2e-3f) << rate;
    EXPECT_NEAR(high, 1.2208f, 2e-3f) << rate;
  }
}

// Gains measured with sines against the analytic response of each design's prototype.
TEST(FilterResponse, MatchesAnalyticSecondOrderResponses) {
  struct Case {
    std::string what;
    int type;
    float cutoff, resonance, bandwidth;
    TPrototype proto;
    std::vector<double> probes;
  };
  const double fs = 44100;
  // "BW LP": damping r = 1.3 - R', R' = 0.001 + 1.299 R; at Fh the gain is 1 / r.
  const double rBw = 1.3 - (0.001 + 1.299 * 0.5);
  // "RBJ LP": Q = R' = 0.5, the corner at 0.245 fs.
  // "PEAK-EQ" at R' = 0.5, W' = 0.5 octaves: A = 10^(1.9675 R'), 1/Q = 2 alpha / sin w0.
  const double a = std::pow(10.0, 1.9675 * 0.5);
  const double w0 = 2 * kPi * 980.0 / fs;
  const double alpha = std::sin(w0) * std::sinh(std::log(2.0) / 2 * 0.5 * w0 / std::sin(w0));
  const double invQ = 2 * alpha / std::sin(w0);
  // "Vocal1" at R = 0.001: R' = 0.01 + 5999.99 x 0.001, G = 0.3, B = R'/24 + 6,
  // Q = R'/48 + 2.
  const double rv = 0.01 + 5999.99 * 0.001;
  const double g = 0.3, b = rv / 24 + 6, q = rv / 48 + 2;
  const std::vector<Case> cases = {
      {"BW LP", 0, 1000.0f, 0.5f, 0.5f, {0, 0, 1, 1, rBw, 1}, {100, 1000, 3000, 12000}},
      {"BW LP2", 2, 2000.0f, 0.5f, 0.5f, {0, 0, 1, 1, 1.4142135, 1}, {200, 2000, 9000}},
      {"RBJ LP", 20, 22050.0f, 0.5f, 0.5f, {0, 0, 1, 1, 2.0, 1}, {100, 5000, 10804.5, 15000}},
      {"PEAK-EQ", 26, 2000.0f, 0.5f, 0.5f, {1, a * invQ, 1, 1, invQ / a, 1}, {100, 490, 980, 5000}},
      {"Vocal1", 34, 150.0f, 0.001f, 0.5f, {g, g * b / q, g, 1, 1 / q, 1}, {100, 335, 1000}},
      {"Vocal1", 34, 600.0f, 0.001f, 0.5f, {g, g * b / q, g, 1, 1 / q, 1}, {300, 800, 3000}},
  };
  for (const Case& c : cases) {
    auto f = MakeType(c.type, c.cutoff, c.resonance, c.bandwidth);
    // The corner or centre: Fh for the Butterworth designs, the design's own otherwise.
    const double f0 = c.type <= 5 ? c.cutoff : f->MappedCutoff();
    for (double hz : c.probes) {
      const double expected = BilinearGain(c.proto, f0, hz, fs);
      EXPECT_NEAR(MeasureGain(*f, hz, fs), expected, 2e-3 * expected + 1e-5) << c.what << " at " << hz << " Hz";
    }
  }
  // The landmarks in plain numbers.
  EXPECT_NEAR(MeasureGain(*MakeType(0, 1000.0f, 0.5f, 0.5f), 1000, fs), 1 / rBw, 3e-3);
  EXPECT_NEAR(MeasureGain(*MakeType(20, 22050.0f, 0.5f, 0.5f), 10804.5, fs), 0.5, 1e-3);
  EXPECT_NEAR(MeasureGain(*MakeType(26, 2000.0f, 0.5f, 0.5f), 980, fs), a * a, 0.2);
  EXPECT_NEAR(MeasureGain(*MakeType(34, 150.0f, 0.001f, 0.5f), 335, fs), g * b, 3e-3);
}

TEST(FilterResponse, EdgeCasesOfSingleDesigns) {
  // "12DB LP" with cutoff 0.001 passes the input.
  TDSPOnePoleFilterLP onePole;
  onePole.Recalculate();
  onePole.SetCutoff(0.001f);
  for (float x : Noise(500, 0.25f)) {
    onePole.In = x;
    onePole.Tick();
    ASSERT_NEAR(onePole.Out, x, 5e-8f);
  }
  // "24DB LP3" is linear for a full-scale sine: doubling the input doubles the output.
  auto lp3 = MakeType(9, 1000.0f, 0.5f, 0.5f);
  EXPECT_NEAR(MeasureGain(*lp3, 300, 44100, 1.0f), MeasureGain(*lp3, 300, 44100, 0.5f), 1e-4);
  // "IIR NOTCH" clamps what it emits, not what it keeps.
  TIIRNotchFilter notch;
  notch.Recalculate();
  notch.SetCutoff(5000.0f);
  float peak = 0;
  for (float x : Noise(2000, 1e6f)) {
    notch.In = x;
    notch.Tick();
    peak = std::max(peak, std::fabs(notch.Out));
  }
  EXPECT_LE(peak, 32768.0f);
  EXPECT_GE(peak, 32767.0f);
  // "Phaser" at its smallest radius is nearly a two-sample delay.
  auto phaser = MakeType(30, 3000.0f, 0.001f, 0.5f);
  const auto in = Noise(300);
  for (int i = 0; i < 300; ++i) {
    phaser->In = in[i];
    phaser->Tick();
    if (i >= 2) {
      ASSERT_NEAR(phaser->Out, in[i - 2], 0.025f) << i;
    }
  }
  // "4PoleEQ2" ignores resonance.
  auto eq2a = MakeType(32, 3000.0f, 0.1f, 0.5f);
  auto eq2b = MakeType(32, 3000.0f, 0.9f, 0.5f);
  const auto& x = static_cast<TClampedBiquadFilter&>(*eq2a);
  const auto& y = static_cast<TClampedBiquadFilter&>(*eq2b);
  EXPECT_EQ(x.B0(), y.B0());
  EXPECT_EQ(x.B1(), y.B1());
  EXPECT_EQ(x.B2(), y.B2());
  EXPECT_EQ(x.A1(), y.A1());
  EXPECT_EQ(x.A2(), y.A2());
}

TEST(FilterResponse, BiquadFlushesTinyAndClampsHugeOutputs) {
  struct Case {
    float in, out;
  };
  // The peak design with boost 1 is the identity; a fresh section passes b0 x = x.
  for (const Case& c :
       {Case{2e-6f, 0.0f}, Case{-1e-5f, 0.0f}, Case{1e6f, 900000.0f}, Case{-1e6f, -900000.0f}, Case{0.25f, 0.25f}}) {
    TClampedBiquadFilter f;
    f.PeakDesign(1, 44100, 1, 1, 1000);
    ASSERT_EQ(f.B0(), 1.0f);
    f.In = c.in;
    f.Tick();
    EXPECT_EQ(f.Out, c.out) << c.in;
  }
}

// Low-pass types pass lows and cut highs; high-pass types the reverse.
TEST(FilterResponse, LowPassCutsHighsAndHighPassCutsLows) {
  // "12DB LP" smooths more at higher cutoff settings. The state-variable types are left
  // out: their frequency coefficient stays within 0.80 ... 1.22 whatever the cutoff, so
  // "SVF LP" keeps much of its highs (its character, not a cut).
  for (int type : {0, 2, 6, 7, 8, 9, 12, 20, 33}) {
    auto f = MakeType(type, type == 6 ? 16000.0f : 1000.0f, 0.3f, 0.5f);
    EXPECT_LT(MeasureGain(*f, 16000, 44100), 0.7 * MeasureGain(*f, 100, 44100)) << FilterTypeEntry(type).name;
  }
  for (int type : {1, 3, 10, 21}) {
    auto f = MakeType(type, 1000.0f, 0.3f, 0.5f);
    EXPECT_LT(MeasureGain(*f, 100, 44100), 0.7 * MeasureGain(*f, 16000, 44100)) << FilterTypeEntry(type).name;
  }
}

TEST(FilterDesigns, FillPeriodEqualsTickLoopForEveryType) {
  const auto input = Noise(44 * 40, 0.7f, 123);
  for (int type = 0; type < kFilterTypeCount; ++type) {
    for (float cutoff : {300.0f, 3000.0f, 9000.0f}) {
      for (float resonance : {0.2f, 0.9f}) {
        auto a = MakeType(type, cutoff, resonance, 0.3f);
        auto b = MakeType(type, cutoff, resonance, 0.3f);
        std::vector<float> period(input);
        for (size_t p = 0; p < input.size(); p += 44) a->FillPeriod(&period[p]);
        for (size_t i = 0; i < input.size(); ++i) {
          b->In = input[i];
          b->Tick();
          ASSERT_EQ(period[i], b->Out) << FilterTypeEntry(type).name << " " << cutoff << " " << resonance << " sample "
                                       << i;
        }
      }
    }
  }
}

TEST(FilterDesigns, ResetClearsStateAndKeepsCoefficients) {
  const auto input = Noise(440, 0.5f);
  for (int type = 0; type < kFilterTypeCount; ++type) {
    auto used = MakeType(type, 2500.0f, 0.6f, 0.4f);
    auto fresh = MakeType(type, 2500.0f, 0.6f, 0.4f);
    std::vector<float> a(input), b(input);
    used->FillPeriod(a.data());
    used->Reset();
    EXPECT_EQ(used->Out, 0.0f);
    a = input;
    for (size_t p = 0; p < a.size(); p += 44) {
      used->FillPeriod(&a[p]);
      fresh->FillPeriod(&b[p]);
    }
    EXPECT_EQ(a, b) << FilterTypeEntry(type).name;
  }
}

TEST(FilterDesigns, BlockModesReadTheirControlInputs) {
  TDSPProcessInfo context(44100, 44);
  TRBJFilterLP f;
  f.SetUsesWorkBuffers(true);
  f.ContextChanged(&context);
  TRBJFilterLP reference;
  reference.ContextChanged(&context);
  std::vector<float> audio = Noise(60, 0.5f), cutoff(60, 700.0f), resonance(60, 0.8f);
  f.SetPort(0, audio.data());
  f.SetPort(1, cutoff.data());
  f.SetPort(2, resonance.data());
  f.ProcessBlock(TFilterInputs::kCutoffResonance);
  EXPECT_EQ(f.Cutoff(), 700.0f);
  EXPECT_EQ(f.Resonance(), 0.8f);
  reference.SetCutoff(700.0f);
  reference.SetResonance(0.8f);
  for (int i = 0; i < 44; ++i) {
    reference.In = audio[i];
    reference.Tick();
    EXPECT_EQ(f.OutputBlock()[i], reference.Out) << i;
  }
  // A zero or denormal output is written as 0.0.
  std::fill(audio.begin(), audio.end(), 0.0f);
  f.Reset();
  audio[0] = 1e-39f;
  f.ProcessBlock(TFilterInputs::kAudio);
  EXPECT_EQ(f.OutputBlock()[0], 0.0f);
  EXPECT_FALSE(std::signbit(f.OutputBlock()[0]));
}

// The guard: designs may run away to very large values, but nothing non-finite ever
// leaves a filter and no filter stays stuck.
TEST(FilterGuard, WorstSettingsNeverEmitNonFiniteSamples) {
  for (int rate : {44100, 96000}) {
    TDSPProcessInfo context(rate, rate / 1000);
    const int m = context.samplesPerMs;
    for (int type = 0; type < kFilterTypeCount; ++type) {
      for (float cutoff : {0.001f, 10.0f, 11000.0f, 16384.0f, 22050.0f}) {
        for (float bandwidth : {0.001f, 0.999f}) {
          for (float gain : {1.0f, 1000.0f}) {
            auto f = MakeType(type, cutoff, 0.999f, bandwidth, &context);
            const auto input = Noise(m * 200, gain, type * 7);
            std::vector<float> a(input);
            for (size_t p = 0; p < a.size(); p += m) f->FillPeriod(&a[p]);
            for (float y : a)
              ASSERT_TRUE(std::isfinite(y)) << FilterTypeEntry(type).name << " " << rate << " " << cutoff;
            for (float x : input) {
              f->In = x;
              f->Tick();
              ASSERT_TRUE(std::isfinite(f->Out)) << FilterTypeEntry(type).name << " tick " << rate << " " << cutoff;
            }
          }
        }
      }
    }
  }
}

TEST(FilterGuard, RunawayLowPassStaysLargeButFinite) {
  // "LP1" above 0.24 fs leaves the stable range: very large values are its sound.
  TTwoPoleResonantFilter f;
  f.Recalculate();
  f.SetCutoff(22050.0f);
  f.SetResonance(0.999f);
  auto a = Noise(44 * 200);
  float peak = 0;
  for (size_t p = 0; p < a.size(); p += 44) f.FillPeriod(&a[p]);
  for (float y : a) {
    ASSERT_TRUE(std::isfinite(y));
    peak = std::max(peak, std::fabs(y));
  }
  EXPECT_GT(peak, 1e30f);
}

TEST(FilterGuard, NonFiniteInputResetsTheFilterInsteadOfPoisoningIt) {
  for (int type = 0; type < kFilterTypeCount; ++type) {
    auto hit = MakeType(type, 2000.0f, 0.5f, 0.5f);
    auto fresh = MakeType(type, 2000.0f, 0.5f, 0.5f);
    std::vector<float> bad = Noise(44);
    bad[10] = std::nanf("");
    bad[20] = INFINITY;
    hit->FillPeriod(bad.data());
    for (float y : bad) ASSERT_TRUE(std::isfinite(y)) << FilterTypeEntry(type).name;
    // The next period sounds exactly as from a fresh filter.
    std::vector<float> a = Noise(44, 0.5f, 99), b = a;
    hit->FillPeriod(a.data());
    fresh->FillPeriod(b.data());
    EXPECT_EQ(a, b) << FilterTypeEntry(type).name;
    // The same through Tick.
    hit->In = std::nanf("");
    hit->Tick();
    EXPECT_EQ(hit->Out, 0.0f) << FilterTypeEntry(type).name;
  }
}

// A stage's left and right units of one type run side by side in vector lanes, and two
// stages can run in one loop. Each side must come out bit for bit as the scalar step of
// each filter alone would give it, at period lengths of 11, 44, 45 and 97 samples, with
// different random input on each side, new random settings on each side every period
// (the left side sometimes at its extremes), and a side that blows up and resets while
// the other plays on.
namespace {

struct TLaneDrive {
  uint32_t seed = 2024;
  float Uniform() {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 16777216.0f;  // [0, 1)
  }
  static std::unique_ptr<TDSPFilter> Make(int type, TDSPProcessInfo& info) {
    auto f = FilterTypeEntry(type).create();
    f->ContextChanged(&info);
    f->Reset();
    f->Recalculate();
    return f;
  }
  // New settings for one side, the same on every filter given.
  void Settle(int side, int period, std::initializer_list<TDSPFilter*> filters) {
    const bool extreme = side == 0 && period % 7 == 3;
    const float cutoff = extreme ? 22050.0f : 20.0f * std::pow(1000.0f, Uniform());
    const float q = extreme ? 0.999f : Uniform();
    const float bw = Uniform();
    for (TDSPFilter* f : filters) {
      f->BeginUpdate();
      f->SetCutoff(cutoff);
      f->SetResonance(q);
      f->SetBandwidth(bw);
      f->EndUpdate();
    }
  }
  // One period of input per side; the right side is huge in two periods of eleven, once
  // enough to overflow most designs at once.
  void Input(int period, int32_t m, std::vector<float>& l, std::vector<float>& r) {
    l.resize(static_cast<size_t>(m));
    r.resize(static_cast<size_t>(m));
    for (size_t i = 0; i < l.size(); ++i) {
      l[i] = 2.0f * Uniform() - 1.0f;
      r[i] = period % 11 == 5 ? 1e30f : (period % 11 == 8 ? 3e38f : 0.3f * (2.0f * Uniform() - 1.0f));
    }
  }
  static std::vector<uint32_t> Bits(const std::vector<float>& v) {
    std::vector<uint32_t> out(v.size());
    std::memcpy(out.data(), v.data(), v.size() * sizeof(float));
    return out;
  }
};

}  // namespace

TEST(FilterLanes, PairedPeriodsMatchTheScalarStepBitForBit) {
  TLaneDrive drive;
  for (const int32_t rate : {11025, 44100, 45000, 97000}) {
    TDSPProcessInfo info(rate, 512);
    const int32_t m = info.samplesPerMs;
    for (int type = 0; type < kFilterTypeCount; ++type) {
      std::unique_ptr<TDSPFilter> units[4];  // paired left, right; alone left, right
      for (auto& u : units) u = TLaneDrive::Make(type, info);
      for (int period = 0; period < 60; ++period) {
        drive.Settle(0, period, {units[0].get(), units[2].get()});
        drive.Settle(1, period, {units[1].get(), units[3].get()});
        std::vector<float> l, r;
        drive.Input(period, m, l, r);
        std::vector<float> aloneL = l, aloneR = r;
        units[0]->FillPeriodPair(*units[1], l.data(), r.data());
        units[2]->FillPeriod(aloneL.data());
        units[3]->FillPeriod(aloneR.data());
        ASSERT_EQ(TLaneDrive::Bits(l), TLaneDrive::Bits(aloneL))
            << FilterTypeEntry(type).name << " left, " << m << "-sample periods, period " << period;
        ASSERT_EQ(TLaneDrive::Bits(r), TLaneDrive::Bits(aloneR))
            << FilterTypeEntry(type).name << " right, " << m << "-sample periods, period " << period;
      }
    }
  }
}

// Two stages in one loop, for every pair of types (most pairs decline and run the stages
// one after the other): the same as each side's four filters run alone, in order.
TEST(FilterLanes, StagesInOneLoopMatchTheScalarStepsBitForBit) {
  TLaneDrive drive;
  for (const int32_t rate : {11025, 44100, 97000}) {
    TDSPProcessInfo info(rate, 512);
    const int32_t m = info.samplesPerMs;
    for (int first = 0; first < kFilterTypeCount; ++first) {
      for (int second = 0; second < kFilterTypeCount; ++second) {
        // Stage one left, right, stage two left, right; then the same four alone.
        std::unique_ptr<TDSPFilter> u[8];
        for (int k = 0; k < 8; ++k) u[k] = TLaneDrive::Make(k % 4 < 2 ? first : second, info);
        for (int period = 0; period < 24; ++period) {
          for (int k = 0; k < 4; ++k) drive.Settle(k % 2, period, {u[k].get(), u[k + 4].get()});
          std::vector<float> l, r;
          drive.Input(period, m, l, r);
          std::vector<float> aloneL = l, aloneR = r;
          if (!u[0]->FillStagesPair(*u[1], *u[2], *u[3], l.data(), r.data())) {
            u[0]->FillPeriodPair(*u[1], l.data(), r.data());
            u[2]->FillPeriodPair(*u[3], l.data(), r.data());
          }
          u[4]->FillPeriod(aloneL.data());
          u[6]->FillPeriod(aloneL.data());
          u[5]->FillPeriod(aloneR.data());
          u[7]->FillPeriod(aloneR.data());
          ASSERT_EQ(TLaneDrive::Bits(l), TLaneDrive::Bits(aloneL))
              << FilterTypeEntry(first).name << " then " << FilterTypeEntry(second).name << " left, " << m
              << "-sample periods, period " << period;
          ASSERT_EQ(TLaneDrive::Bits(r), TLaneDrive::Bits(aloneR))
              << FilterTypeEntry(first).name << " then " << FilterTypeEntry(second).name << " right, " << m
              << "-sample periods, period " << period;
        }
      }
    }
  }
}
