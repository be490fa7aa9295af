#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "dsp/DSPBaseOscillator.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPOscillators.h"
#include "dsp/DSPWaveformTable.h"
#include "dsp/DSPWaves.h"

using namespace tesmora6;

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr double kRate = 44100.0;

std::unique_ptr<TDSPBaseOscillator> Make(int index) {
  auto osc = CreateWaveform(index);
  osc->ResetPhase();
  return osc;
}

// Renders n samples through FillPeriod (whole control periods).
std::vector<float> Render(TDSPBaseOscillator& osc, int n) {
  const int m = osc.Context()->samplesPerMs;
  std::vector<float> out(static_cast<size_t>((n + m - 1) / m * m));
  for (size_t i = 0; i < out.size(); i += static_cast<size_t>(m)) osc.FillPeriod(&out[i]);
  out.resize(static_cast<size_t>(n));
  return out;
}

double Correlation(const std::vector<float>& x, int start, int lag, int window) {
  double xy = 0, xx = 0, yy = 0;
  for (int n = start; n < start + window; ++n) {
    const double a = x[static_cast<size_t>(n)], b = x[static_cast<size_t>(n + lag)];
    xy += a * b;
    xx += a * a;
    yy += b * b;
  }
  return (xx > 0 && yy > 0) ? xy / std::sqrt(xx * yy) : 0.0;
}

// The period of a signal that should repeat every `expected` samples, measured as the lag
// of the autocorrelation peak near many periods later (parabolically interpolated), over
// the number of periods. `repeats` and `halfRepeats` are the correlations at one and at
// half the expected period, which tell a wrong octave.
struct TPeriodMeasure {
  double period = 0, repeats = 0, halfRepeats = 0;
};

TPeriodMeasure MeasurePeriod(std::vector<float> x, double expected) {
  double mean = 0;
  for (float v : x) mean += v;
  mean /= static_cast<double>(x.size());
  for (float& v : x) v = static_cast<float>(v - mean);
  const int start = 2000, window = 4000;
  auto r = [&](int lag) { return Correlation(x, start, lag, window); };
  TPeriodMeasure m;
  const int lo = static_cast<int>(std::floor(expected));
  m.repeats = std::max(r(lo), r(lo + 1));
  m.halfRepeats = std::max(r(static_cast<int>(std::floor(expected / 2))), r(static_cast<int>(std::ceil(expected / 2))));
  const int periods = static_cast<int>(16000 / expected);
  const int centre = static_cast<int>(std::lround(periods * expected));
  const int half = static_cast<int>(expected / 2);
  int best = centre;
  double bestValue = -2.0;
  for (int lag = centre - half; lag <= centre + half; ++lag) {
    const double v = r(lag);
    if (v > bestValue) {
      bestValue = v;
      best = lag;
    }
  }
  const double a = r(best - 1), c = r(best + 1);
  const double denominator = a - 2 * bestValue + c;
  const double shift = denominator != 0 ? 0.5 * (a - c) / denominator : 0.0;
  m.period = (best + shift) / periods;
  return m;
}

// 440 x 2^((e - 69) / 12).
double NoteHz(double e) { return 440.0 * std::pow(2.0, (e - 69.0) / 12.0); }

bool IsTable(int index) { return WaveformMember(index).kind == TWaveKind::kTable; }

}  // namespace

// ---------------------------------------------------------------------------------
// Member table and factory
// ---------------------------------------------------------------------------------

TEST(WaveformTable, NamesAndClassesOfEveryNumber) {
  // The waveform value list, in number order.
  const char* const kNames[kWaveformCount] = {
      "Saw",        "SoftSaw",    "XSaw",       "Triangle",   "Triangle2",  "Square",     "Sine",       "Smooth",
      "Glass",      "Glass2",     "Glass3",     "Glass4",     "SquareGls",  "Mixed",      "Mixed2",     "X-Mix",
      "SinExp",     "SinCos",     "SinCosTan",  "SinCosTan2", "SinCosSqrt", "CosExp",     "CosSqrtTan", "SqrtExp",
      "SqrtTan",    "Exp",        "TanExp",     "CotanExp",   "Noise",      "Gaussian",   "Cosine",     "PNoise1",
      "SawSin",     "Impulse2",   "Impulse",    "HalfSin",    "Sine2",      "1/2 Wave",   "Saw AA",     "Mix",
      "Mix2",       "Mix3",       "PNoise2",    "Noise4",     "Noise5",     "ParaSine",   "Sine3",      "Cosine2",
      "X-Curve",    "HarmSaw1",   "HarmSaw2",   "HarmSaw3",   "HarmSaw4",   "HarmTri1",   "HarmTri2",   "HarmTri3",
      "HarmTri4",   "HarmTri5",   "HarmTri6",   "Curved1",    "Curved2",    "Curved3",    "Curved4",    "Curved5",
      "GlisHarm",   "Bass1",      "Bass2",      "Bass3",      "Bass4",      "Bass5",      "Bass6",      "Bass7",
      "Bass8",      "SmoothSqr1", "SmoothSqr2", "SmoothSqr3", "SmoothSqr4", "SmoothSqr5", "SmoothSqr6", "SmoothSqr7",
      "SmoothSqr8", "SawOrgan1",  "SawOrgan2",  "SawOrgan3",  "SawOrgan4",  "SmRND1",     "SmRND2",     "SmRND3",
      "SmRND4",     "SmRND5",     "SmRND6",     "SmRND7",     "SmRND8"};
  for (int i = 0; i < kWaveformCount; ++i) {
    EXPECT_STREQ(WaveformName(i), kNames[i]) << i;
    auto osc = CreateWaveform(i);
    ASSERT_NE(osc, nullptr) << i;
    const bool table = dynamic_cast<TDSPTableOscillator*>(osc.get()) != nullptr;
    EXPECT_EQ(table, IsTable(i)) << i;
    if (table) {
      EXPECT_EQ(osc->TableLength(), i == 42 ? 512 : 256) << i;
      EXPECT_EQ(osc->WrapThreshold(), osc->TableLength()) << i;
      EXPECT_EQ(osc->WrapPeriod(), osc->TableLength()) << i;
      EXPECT_FLOAT_EQ(osc->PitchOffset(), 0.03f) << i;
    } else {
      EXPECT_EQ(osc->TableLength(), 0) << i;
    }
  }
  EXPECT_STREQ(WaveformName(kWaveformCount), "");
  EXPECT_NE(dynamic_cast<TBlitSawOsc*>(CreateWaveform(38).get()), nullptr);
  EXPECT_NE(dynamic_cast<TParabolaOsc*>(CreateWaveform(45).get()), nullptr);
  EXPECT_NE(dynamic_cast<TSmoothNoise8Osc*>(CreateWaveform(92).get()), nullptr);
  for (int unused : {kWaveformCount, 100, 127, -1}) {
    EXPECT_NE(dynamic_cast<TSineOsc1*>(CreateWaveform(unused).get()), nullptr) << unused;
  }
}

TEST(WaveformTable, PhaseRangesAndOffsetsOfTheOddWaveforms) {
  struct Case {
    int index;
    float threshold, period, offset;
  };
  const float twoPi = static_cast<float>(2 * kPi);
  for (Case c : {Case{0, 96, 48, 0}, Case{15, 4, 4, 24}, Case{16, 1.5f, 1.5f, 7}, Case{18, 4, 4, 30.96f},
                 Case{19, twoPi, twoPi, 31.73f}, Case{21, twoPi, twoPi, 31.82f}, Case{24, 1, 1, 0}, Case{26, 1, 1, 0},
                 Case{38, 96, 48, 0}, Case{45, 2, 4, 24}, Case{48, twoPi, twoPi, 0}}) {
    auto osc = CreateWaveform(c.index);
    EXPECT_FLOAT_EQ(osc->WrapThreshold(), c.threshold) << c.index;
    EXPECT_FLOAT_EQ(osc->WrapPeriod(), c.period) << c.index;
    EXPECT_FLOAT_EQ(osc->PitchOffset(), c.offset) << c.index;
  }
}

// ---------------------------------------------------------------------------------
// Pitch, frequency and their limits
// ---------------------------------------------------------------------------------

TEST(OscillatorPitch, ConversionOffsetsAndClamps) {
  auto sine = Make(6);
  sine->SetPitch(69.0f);
  EXPECT_NEAR(sine->Frequency(), 440.0f, 1e-3f);
  EXPECT_FLOAT_EQ(sine->Increment(), sine->Frequency() * (1.0f / 44100.0f));
  EXPECT_FLOAT_EQ(sine->LastPitch(), 69.0f);
  EXPECT_FLOAT_EQ(sine->EffectivePitch(), 69.0f);

  auto table = Make(36);
  table->SetPitch(69.0f);
  EXPECT_NEAR(table->Frequency(), NoteHz(69.03), 1e-3);
  EXPECT_NEAR(table->Increment(), NoteHz(69.03) * 256.0 / 44100.0, 1e-5);
  EXPECT_FLOAT_EQ(table->EffectivePitch(), 69.03f);

  // The conversion uses the clamped pitch; the effective pitch keeps the request.
  sine->SetPitch(-500.0f);
  EXPECT_NEAR(sine->Frequency(), NoteHz(-128.0), 1e-6);
  EXPECT_FLOAT_EQ(sine->EffectivePitch(), -500.0f);
  sine->SetPitch(400.0f);
  EXPECT_NEAR(sine->Frequency() / NoteHz(256.0), 1.0, 1e-6);  // about 21 MHz, unclamped
  table->SetPitch(400.0f);
  EXPECT_FLOAT_EQ(table->Frequency(), 600000.0f);  // table oscillators clamp the frequency
  // NaN is taken as the lowest pitch.
  sine->SetPitch(NAN);
  EXPECT_NEAR(sine->Frequency(), NoteHz(-128.0), 1e-6);
}

TEST(OscillatorPitch, SetFrequency) {
  auto sine = Make(6);
  sine->SetPitch(60.0f);
  const float pitch = sine->EffectivePitch(), increment = sine->Increment();
  // The stored frequency again: nothing changes, not even the effective pitch.
  sine->SetFrequency(sine->Frequency());
  EXPECT_EQ(sine->EffectivePitch(), pitch);
  EXPECT_EQ(sine->Increment(), increment);

  sine->SetFrequency(880.0f);
  EXPECT_FLOAT_EQ(sine->Increment(), 880.0f / 44100.0f);
  EXPECT_NEAR(sine->EffectivePitch(), 81.0f, 1e-4f);
  EXPECT_FLOAT_EQ(sine->LastPitch(), 60.0f);

  struct Case {
    int index;
    float request, stored;
  };
  for (Case c : {Case{6, -5.0f, 1e-9f}, Case{6, 0.0f, 1e-9f}, Case{6, 1e9f, 600000.0f}, Case{6, NAN, 1e-9f},
                 Case{36, 0.0f, 1e-7f}, Case{36, 1e9f, 600000.0f}}) {
    auto osc = Make(c.index);
    osc->SetFrequency(c.request);
    EXPECT_EQ(osc->Frequency(), c.stored) << c.index << " " << c.request;
    EXPECT_GT(osc->Increment(), 0.0f);
  }
}

// The voices convert a pitch every millisecond; the conversion mostly takes a double
// exponential and must give exactly the float of the extended formula.
TEST(OscillatorPitch, FastConversionMatchesTheExtendedFormula) {
  uint32_t seed = 777;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed) / 4294967296.0f;
  };
  auto check = [](float e) {
    ASSERT_EQ(TDSPBaseOscillator::PitchToFrequency(e), TDSPBaseOscillator::PitchToFrequencyExtended(e)) << "e = " << e;
  };
  // Random pitches over the whole range, every thousandth of a semitone, pitches near 0
  // and the limits.
  for (int i = 0; i < 1000000; ++i) check(-128.0f + 384.0f * next());
  for (int i = -128000; i <= 256000; ++i) check(static_cast<float>(i) * 0.001f);
  for (int i = 0; i < 100000; ++i) check((next() - 0.5f) * 1e-3f);
  for (float e : {-128.0f, 256.0f, 0.0f, -0.0f, 69.0f, -3.0f, std::nextafter(256.0f, 0.0f)}) {
    check(e);
  }
}

TEST(OscillatorPitch, SampleRateChangeRescalesTheTableIncrement) {
  auto table = Make(36);
  TDSPProcessInfo info(48000, 48);
  table->ContextChanged(&info);
  EXPECT_FLOAT_EQ(static_cast<TDSPTableOscillator&>(*table).IncrementScale(), 256.0f / 48000.0f);
  table->SetFrequency(480.0f);
  EXPECT_FLOAT_EQ(table->Increment(), 480.0f * (256.0f / 48000.0f));
  // A period fill is one millisecond of the new rate.
  std::vector<float> out(64, 7.0f);
  table->FillPeriod(out.data());
  EXPECT_NE(out[47], 7.0f);
  EXPECT_EQ(out[48], 7.0f);
}

// The heard frequency of every periodic waveform, measured from its output at pitch 57.
// offset: the class's pitch offset; period: the length of the heard cycle in phase units.
// Left out: the noises, "SawSin" (its cycle of 2π in phase is cut by the wrap at 48),
// "SinCosTan" (heard at 1.49 x the pitch, a cycle of 4 in phase with an irregular split)
// and "CosExp" (exp(φ) sweeps up to 535 radians a cycle and aliases into noise).
TEST(OscillatorPitch, MeasuredFrequencyOfEveryPeriodicWaveform) {
  struct Case {
    int index;
    double offset, period;
  };
  const double twoPi = static_cast<double>(2 * kPi);
  std::vector<Case> cases = {
      {0, 0, 1},
      {1, 0, 1},
      {2, 0, 1},
      {3, 0, 1},
      {4, 0, 1},
      {5, 0, 1},
      {6, 0, 1},
      {7, 0, 1},
      {8, 0, 1},
      {9, 0, 1},
      {10, 0, 1},
      {11, 0, 1},
      {12, 0, 1},
      {13, 0, 1},
      {14, 0, 1},
      {15, 24, 4},
      {16, 7, 1.5},  // "SinExp" sounds 0.02 semitone
                     // flat
      {17, 12, 2},   // sin(πφ): a cycle of 2 in phase
      {19, 31.73, twoPi},
      {20, 24, 4},
      {22, 24, 4},
      {23, 24, 4},
      {24, 0, 1},
      {25, 31.82, twoPi},
      {26, 0, 1},
      {27, 0, 1},
      {30, 0, 1},
      {38, 0, 1},   // "Saw AA"
      {45, 24, 4},  // "ParaSine": 4x the pitch in phase, heard at it
      {46, 0, 1},
      {47, 0, 1},
      {48, 0, twoPi / 10},  // "X-Curve": even in sin 5φ, so ten per wrap
  };
  for (int i = 0; i < kWaveformCount; ++i) {
    if (IsTable(i)) cases.push_back({i, 0.03, 1});  // every table sounds 0.03 semitone sharp
  }
  for (const Case& c : cases) {
    // "PNoise2" reads 512 noise entries a cycle: three octaves down it is sampled
    // finely enough to repeat sample for sample.
    const float pitch = c.index == 42 ? 21.0f : 57.0f;
    auto osc = Make(c.index);
    osc->SetPitch(pitch);
    const double expected = NoteHz(pitch + c.offset) / c.period;
    const TPeriodMeasure m = MeasurePeriod(Render(*osc, 24000), kRate / expected);
    EXPECT_NEAR(kRate / m.period / expected, 1.0, 3e-4)
        << c.index << " " << WaveformName(c.index) << ": " << kRate / m.period << " Hz, expected " << expected;
    EXPECT_GT(m.repeats, 0.8) << c.index << " " << WaveformName(c.index);
    EXPECT_LT(m.halfRepeats, m.repeats - 0.02) << c.index << " " << WaveformName(c.index);
  }
}

// ---------------------------------------------------------------------------------
// Tick values of the formulas
// ---------------------------------------------------------------------------------

TEST(OscillatorFormulas, TickValuesAtChosenPhases) {
  struct Case {
    int index;
    float phase, shape;
    double expected;
  };
  const double pi = static_cast<double>(kPi);
  for (Case c : {
           Case{0, 0.25f, 0.5f, -0.5},  // "Saw": 2f - 1
           Case{0, 48.75f, 0.5f, 0.5},
           Case{1, 0.05f, 0.5f, 0.9},  // "SoftSaw": 1 - 2f near the edge
           Case{1, 0.25f, 0.5f, std::cos(2 * pi * 0.25)},
           Case{2, 0.1f, 0.2f, 0.2},  // "XSaw": 2f before the shape
           Case{2, 0.3f, 0.2f, 0.4},  //   1 - 2f after it
           Case{3, 0.25f, 0.5f, 0.0},
           Case{3, 0.75f, 0.5f, 0.0},
           Case{3, 0.5f, 0.5f, 1.0},    // "Triangle" peak at the shape
           Case{4, 0.0f, 0.5f, 0.625},  // "Triangle2"
           Case{5, 0.49f, 0.5f, 1.0},
           Case{5, 0.5f, 0.5f, -1.0},
           Case{6, 0.25f, 0.5f, 1.0},
           Case{7, 0.0625f, 0.5f, 0.5},
           Case{7, 0.25f, 0.5f, 1.0},
           Case{7, 0.5f, 0.5f, 0.0},
           Case{7, 0.75f, 0.5f, -1.0},
           Case{7, 0.9375f, 0.5f, -0.5},
           Case{8, 0.125f, 0.5f, 0.5},
           Case{8, 0.75f, 0.5f, -1.0},  // "Glass"
           Case{9, 0.0625f, 0.5f, 0.5},
           Case{10, 0.25f, 0.5f, 0.25 * (std::cos(pi * 1.5) + 3)},   // "Glass3", a = 1.5
           Case{10, 0.75f, 0.5f, 0.25 * (std::cos(pi * 4.5) - 3)},   //   4 <= a < 5
           Case{11, 0.75f, 0.5f, 0.25 * (-std::cos(pi * 4.5) - 3)},  // "Glass4"
           Case{11, 0.9f, 0.5f, 0.25 * (std::cos(pi * 5.4) - 1)},
           Case{12, 0.25f, 0.5f, 1.0},
           Case{12, 0.75f, 0.5f, -1.0},                   // "SquareGls"
           Case{13, 0.6875f, 0.5f, 0.1 * 3 * 5.5},        // "Mixed": 3t between 5 and 6
           Case{14, 0.6875f, 0.5f, -0.5},                 // "Mixed2": t - 6
           Case{15, 1.05f, 0.5f, 0.25 * std::tan(1.05)},  // "X-Mix" f <= 0.1
           Case{15, 2.15f, 0.5f, 0.25 * std::sin(2.15)},
           Case{15, 2.25f, 0.5f, 0.25 * std::tan(2.25)},
           Case{15, 0.95f, 0.5f, 0.25 * std::cos(0.95)},
           Case{16, 1.0f, 0.5f, 1.2 * std::sin(std::exp(1.0) + 0.1)},
           Case{17, 0.75f, 0.5f, std::sin(pi * 0.75) - std::cos(pi * 0.75)},
           Case{20, 0.2f, 0.5f, 0.25 * std::sqrt(0.2)},
           Case{23, 2.0f, 0.5f, 0.2 * (std::exp(1.0) - 4)},
           Case{25, 3.0f, 0.5f, 0.004 * (std::exp(3.0) - 9)},
           Case{26, 0.65f, 0.5f, -0.5},  // "TanExp" clamped to -2 first
           Case{27, 0.5f, 0.5f, 1.2 / std::tan(std::exp(0.5) + 0.26)},
           Case{30, 0.5f, 0.5f, -1.0},
           Case{32, 1.0f, 0.5f, 2 * (1.0 * 0.15915494) - 1},  // "SawSin": c <= pw
           Case{32, 4.0f, 0.5f, -std::sin(4.0)},              //   c > pw
           Case{45, -1.5f, 0.5f, -1.5 * (1 + (1 - 1.5))},     // "ParaSine"
           Case{45, 0.5f, 0.5f, 0.75},
       }) {
    auto osc = Make(c.index);
    osc->SetShape(c.shape);
    osc->SetPhase(c.phase);
    osc->Tick();
    EXPECT_NEAR(osc->Out, c.expected, 2e-6) << c.index << " at " << c.phase;
    EXPECT_EQ(osc->Phase(), c.phase) << "the tick does not advance " << c.index;
  }
}

TEST(OscillatorFormulas, TheTangentSplitRules) {
  const double pi = static_cast<double>(kPi);
  // d = φ - round(r), +1 when φ is below the rounded value.
  auto split = [](double phase, double r) {
    const double rounded = std::nearbyint(r);
    return phase < rounded ? phase - rounded + 1 : phase - rounded;
  };
  for (float phase : {0.3f, 1.2f, 1.7f, 2.5f, 3.1f, 3.9f}) {
    const double r = std::tan(std::sin(static_cast<double>(phase)));
    const double tickD = split(phase, r);
    const double fillD = r - std::floor(r);
    auto branch = [&](double d) { return d > 0.5 ? 0.5 * std::sin(0.05488615 * phase) : 0.5 * std::cos(pi * phase); };
    auto osc = Make(18);  // "SinCosTan": the fill splits on frac(tan(sin φ))
    osc->SetPhase(phase);
    osc->Tick();
    EXPECT_NEAR(osc->Out, branch(tickD), 2e-6) << phase;
    osc->SetGain(2.0f);
    float out[64];
    osc->FillPeriod(out);
    EXPECT_NEAR(out[0], 2 * branch(fillD), 4e-6) << phase;

    auto osc2 = Make(19);  // "SinCosTan2": d from R in both, no factor 0.5
    osc2->SetPhase(phase);
    osc2->Tick();
    EXPECT_NEAR(osc2->Out, 2 * branch(tickD), 4e-6) << phase;
  }
  // "SqrtTan": d from round(tan φ); the fill is 0.0625 g x bracket, clamped to [-3, 3].
  for (float phase : {0.2f, 0.45f, 0.7f, 0.99f}) {
    const double d = split(phase, std::tan(static_cast<double>(phase)));
    const double bracket = d > 0.5 ? std::sqrt(pi * phase) : std::tan(pi * phase);
    auto osc = Make(24);
    osc->SetPhase(phase);
    osc->Tick();
    EXPECT_NEAR(osc->Out, 0.25 * bracket, 1e-5 * std::max(1.0, std::fabs(bracket))) << phase;
    osc->SetGain(8.0f);
    float out[64];
    osc->FillPeriod(out);
    EXPECT_NEAR(out[0], std::clamp(0.0625 * 8 * bracket, -3.0, 3.0), 1e-5) << phase;
  }
}

TEST(OscillatorFormulas, FillValuesThatDifferFromGainTimesTick) {
  struct Case {
    int index;
    float phase, gain;
    double expected;
  };
  const double pi = static_cast<double>(kPi);
  for (Case c : {
           Case{0, 0.25f, 3.0f, -1.5},                                   // g x tick
           Case{14, 0.0625f, 3.0f, 0.5},                                 // "Mixed2": no gain
           Case{21, 1.0f, 2.0f, 0.6 * 2 * std::cos(std::exp(1.0) - 9)},  // "CosExp" 0.6 g
           Case{26, 0.2f, 2.0f,                                          // "TanExp"
                std::clamp(0.5 * 2 * std::tan(std::exp(0.2) - 0.26), -2.0, 2.0) * 0.25},
           // the gain goes inside the clamp: 0.1 x (-0.5) would be -0.05
           Case{26, 0.65f, 0.1f, 0.5 * 0.1 * std::tan(std::exp(0.65) - 0.26) * 0.25},
           Case{27, 0.5f, 2.0f, 0.6 * 2 / std::tan(std::exp(0.5) + 0.26)},  // "CotanExp"
       }) {
    auto osc = Make(c.index);
    osc->SetPhase(c.phase);
    osc->SetGain(c.gain);
    float out[64];
    osc->FillPeriod(out);
    EXPECT_NEAR(out[0], c.expected, 1e-5) << c.index;
  }
  // "SqrtTan" at its pole: the fill is held at the clamp.
  auto sqrtTan = Make(24);
  sqrtTan->SetPhase(0.5f);
  float out[64];
  sqrtTan->FillPeriod(out);
  EXPECT_EQ(std::fabs(out[0]), 3.0f);
  (void)pi;
}

TEST(OscillatorFormulas, DefaultWrapKeepsTheFractionalPart) {
  auto saw = Make(0);
  saw->SetFrequency(441.0f);  // 0.01 cycle per sample
  saw->SetPhase(95.995f);
  float out[64];
  saw->FillPeriod(out);
  // 95.995 + 0.01 = 96.005 exceeds 96 and falls back by 48.
  EXPECT_NEAR(saw->Phase(), 48.005f + 43 * 0.01f, 1e-3f);
  EXPECT_NEAR(out[0], 2 * 0.995 - 1, 1e-4);
  EXPECT_NEAR(out[1], 2 * 0.005 - 1, 1e-3);
  // A phase that runs exactly to the threshold stays there.
  auto para = Make(45);
  para->SetFrequency(44.1f * 4);  // 0.004 per sample
  para->SetPhase(1.999f);
  para->FillPeriod(out);
  // 1.999 runs past 2 and wraps by 4 to -1.997: both ends of the parabola are near 0.
  EXPECT_NEAR(out[0], 1.999 * 0.001, 1e-5);
  EXPECT_NEAR(out[1], -1.997 * 0.003, 1e-5);
}

// ---------------------------------------------------------------------------------
// Wave tables
// ---------------------------------------------------------------------------------

namespace {

long double Curve(int type, long double x) { return CurveShape(type, x); }
long double FracL(long double y) { return y - std::floor(y); }
long double ShiftL(long double x, long double o) { return x + o > 1 ? x + o - 1 : x + o; }
long double MirrorL(int c1, int c2, long double o, long double x) {
  long double a = 2 * x + o;
  if (a > 2) a -= 2;
  return 2 * (a < 1 ? Curve(c1, a) : 1 - Curve(c2, a - 1)) - 1;
}
long double SawSumL(int i) {
  auto saw = [&](int n) { return 2 * FracL(static_cast<long double>(i) / n) - 1; };
  return 0.235L * (saw(256) + 1.1L * saw(128) + 1.2L * saw(64) + 1.4L * saw(32));
}
long double BassL(long double x) {
  const long double a = ShiftL(x, 0.502L);
  return 2 * (a * (Curve(29, a) + Curve(26, a)) / 2 + (Curve(31, a) + Curve(27, a)) / 2 * (1 - a)) - 1;
}

// The expected value of entry i of waveform w's table before smoothing and scaling.
long double ExpectedShape(int w, int i) {
  const int n = w == 42 ? 512 : 256;
  const long double x = static_cast<long double>(i) / n, tw = 2 * kPi;
  const float* noise = DSPNoiseTable();
  switch (w) {
    case 33:
    case 34: {
      long double s = 0;
      for (int j = 1; j <= (w == 33 ? 20 : 10); ++j) s += std::cos(tw * i * j / n);
      return s * (w == 33 ? 1638.35L : 3276.7L) / 16383;
    }
    case 35:
      return i < 128 ? std::sin(tw * x) * 32767 / 16383 : 0;
    case 36:
      return std::sin(tw * x) * 32767 / 16383;
    case 37: {
      // positive lobe, positive lobe again, then silence
      const int k = i < 128 ? i % 64 : -1;
      return k < 0 ? 0 : static_cast<float>(std::sin(tw * 2 * k / n) * 32767) / 16383.0L;
    }
    case 39: {
      long double v =
          std::sin(tw * x) * 32767 / 16383 + 9 * std::sin(tw * 2 * x) + 6 * std::sin(tw * 4 * i / (n + 0.01L));
      v += i < 128 ? 1 : -1;
      v += (i / 64 == 0 || i / 64 == 2) ? 1 : -1;
      v += (i / 32) % 2 ? -2 : 2;
      v += 2 * (2 * FracL(i / 255.5L) - 1) + (2 * FracL(i / 128.0L) - 1) + 0.75L * (2 * FracL(i / 64.0L) - 1);
      return 0.1L * v;
    }
    case 40:
    case 81:
    case 82:
    case 83:
    case 84:
      return SawSumL(i);
    case 41:
      return 0.333L *
             (std::sin(tw * x) * 32767 / 16383 + 1.35L * std::sin(tw * 2 * x) + 2 * std::sin(tw * 4 * i / (n + 0.01L)));
    case 42:
      return noise[52 + i];
    case 49: {
      const long double a = ShiftL(x, 0.502L);
      return (Curve(26, a) + Curve(28, a)) - 1;
    }
    case 50: {
      const long double a = ShiftL(x, 0.64L);
      return (Curve(26, a) + Curve(31, a)) - 1;
    }
    case 51: {
      const long double a = ShiftL(x, 0.6265L);
      long double v = (Curve(31, a) + Curve(26, a) + Curve(29, a) + Curve(30, a)) / 2 - 1;
      if (a > 0.2L && a < 0.4L) {
        const long double m = a - 0.2L;
        v += 0.5L * (m < 0.1L ? m : 0.2L - m) * noise[static_cast<int>(std::nearbyint(2056 * x))];
      }
      return v;
    }
    case 52: {
      const long double r = Curve(30, ShiftL(x, 0.803L));
      return 2 * r * r - 1;
    }
    case 53:
      return MirrorL(26, 22, 0.502L, x);
    case 54:
      return MirrorL(32, 32, 0.216L, x);
    case 55:
      return MirrorL(30, 31, 0.628L, x);
    case 56:
      return MirrorL(24, 22, 0.596L, x);
    case 57:
      return MirrorL(27, 29, 0.502L, x);
    case 58:
      return MirrorL(23, 27, 0.5802L, x);
    case 59:
      return MirrorL(13, 13, 0.335L, x);
    case 60:
      return MirrorL(14, 14, 0.745L, x);
    case 61:
      return MirrorL(3, 3, 0.205L, x);
    case 62:
      return MirrorL(8, 8, 0.79305L, x);
    case 63:
      return MirrorL(11, 10, 0.891L, x);
    case 64:
      return MirrorL(29, 29, 0.605L, x);
    case 65:
    case 68:
      return BassL(x);
    case 66:
    case 67:
    case 69:
    case 70:
    case 71:
    case 72:
      return 2 * Curve(31, ShiftL(x, 0.785L)) - 1;
    case 73:
    case 74:
    case 75:
    case 76:
    case 77:
    case 78:
    case 79:
    case 80:
      return i < 128 ? 1 : -1;
    default: {
      const int starts[8] = {0, 2048, 1024, 512, 4096, 3098, 1600, 5012};
      return noise[starts[w - 85] + i];
    }
  }
}

}  // namespace

TEST(WaveTables, ShapeEntriesFollowTheirFormulas) {
  for (int w = 0; w < kWaveformCount; ++w) {
    if (!IsTable(w)) continue;
    const TTableParams& row = WaveformMember(w).table;
    std::vector<float> shape(static_cast<size_t>(row.length));
    row.shape(shape.data(), row.length, row);
    for (int i : {0, 1, 37, 64, 100, 127, 128, 150, 200, 230, 255}) {
      EXPECT_NEAR(shape[static_cast<size_t>(i)], static_cast<double>(ExpectedShape(w, i)), 2e-6)
          << w << " " << WaveformName(w) << " entry " << i;
    }
  }
  // The 32767 / 16383 scale peaks just above 2.
  std::vector<float> sine(256);
  waves::SineShape(sine.data(), 256, WaveformMember(36).table);
  EXPECT_NEAR(sine[64], 32767.0 / 16383.0, 1e-6);
  EXPECT_GT(sine[64], 2.0f);
}

TEST(WaveTables, SmoothingPassIsInPlaceAndCircular) {
  float t[4] = {1, 0, 0, 0};
  waves::Smooth(t, 4, 1);
  // j = 0: (0.9, 0.1); j = 1: (0.09 + 0, 0.01); j = 2: (0.009, 0.001);
  // j = 3 with entry 0 already smoothed: (0.9 x 0.001 + 0.1 x 0.9, 0.1 x 0.001 + 0.81).
  EXPECT_FLOAT_EQ(t[0], 0.1f * 0.001f + 0.9f * 0.9f);
  EXPECT_FLOAT_EQ(t[1], 0.09f);
  EXPECT_FLOAT_EQ(t[2], 0.009f);
  EXPECT_FLOAT_EQ(t[3], 0.9f * 0.001f + 0.1f * 0.9f);
  float sum = t[0] + t[1] + t[2] + t[3];
  EXPECT_NEAR(sum, 1.0f, 1e-6f);  // each step keeps the sum of the pair
}

TEST(WaveTables, FinishedTablesAreShapeThenSmoothingThenScale) {
  for (int w = 0; w < kWaveformCount; ++w) {
    if (!IsTable(w)) continue;
    const TTableParams& row = WaveformMember(w).table;
    std::vector<float> expected(static_cast<size_t>(row.length));
    row.shape(expected.data(), row.length, row);
    waves::Smooth(expected.data(), row.length, row.smoothPasses);
    for (float& v : expected) v = static_cast<float>(v * row.scale);
    auto osc = CreateWaveform(w);
    const float* table = static_cast<TDSPTableOscillator&>(*osc).Table();
    for (int i = 0; i < row.length; ++i) {
      ASSERT_EQ(table[i], expected[static_cast<size_t>(i)]) << w << " entry " << i;
    }
    for (int i = row.length; i < row.length + 10; ++i) EXPECT_EQ(table[i], 0.0f);
  }
  // The rows the two kinds of check above rely on.
  EXPECT_EQ(WaveformMember(72).table.smoothPasses, 3000);
  EXPECT_EQ(WaveformMember(72).table.scale, 4.0L);
  EXPECT_EQ(WaveformMember(92).table.smoothPasses, 512);
  EXPECT_EQ(WaveformMember(92).table.scale, 3.0L);
  // "SmoothSqr3" and "SmoothSqr4" are the same table.
  auto s3 = CreateWaveform(75), s4 = CreateWaveform(76);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(static_cast<TDSPTableOscillator&>(*s3).Table()[i], static_cast<TDSPTableOscillator&>(*s4).Table()[i]);
  }
}

TEST(WaveTables, ReadInterpolatesAndWrapsThePhase) {
  auto osc = CreateWaveform(49);
  auto& t = static_cast<TDSPTableOscillator&>(*osc);
  const float* table = t.Table();
  osc->SetFrequency(441.0f);
  const float increment = osc->Increment();
  struct Case {
    float phase;
    double expected;
    float next;
  };
  for (Case c : {Case{255.5f, 0.5 * table[255] + 0.5 * table[0], 255.5f + increment},
                 Case{-0.25f, 0.25 * table[255] + 0.75 * table[0], 255.75f + increment},
                 Case{300.0f, table[44], 44.0f + increment}, Case{10.0f, table[10], 10.0f + increment},
                 Case{3.25f, 0.75 * table[3] + 0.25 * table[4], 3.25f + increment}}) {
    osc->SetPhase(c.phase);
    osc->Tick();
    EXPECT_NEAR(osc->Out, c.expected, 1e-6) << c.phase;
    EXPECT_FLOAT_EQ(osc->Phase(), c.next) << "tick advances table phase " << c.phase;
  }
  // The fill writes gain x value.
  osc->SetPhase(3.25f);
  osc->SetGain(2.0f);
  float out[64];
  osc->FillPeriod(out);
  EXPECT_NEAR(out[0], 2 * (0.75 * table[3] + 0.25 * table[4]), 2e-6);
  // A NaN phase reads entry 0 instead of memory outside the table.
  osc->SetPhase(NAN);
  osc->Tick();
  EXPECT_TRUE(std::isfinite(osc->Out));
}

// The period fill takes four phases at once where they stay in one binade; the samples
// and the phase after the run must be those of one addition after the other: random
// phases and increments, increments exactly halfway between two multiples of a binade's
// ulp, increments too small to move the phase, as wide as a binade or the table, and
// phases at and beyond the table's ends.
TEST(WaveTables, RunPhasesMatchOneAdditionAfterTheOther) {
  uint32_t seed = 2024;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed) / 4294967296.0f;
  };
  for (int waveform : {49, 42}) {
    auto osc = CreateWaveform(waveform);
    const auto& t = static_cast<const TDSPTableOscillator&>(*osc);
    const int32_t n = t.TableLength();
    const float size = static_cast<float>(n);
    std::vector<float> increments = {0.0f, 1e-8f, 0x1p-24f, 0x1p-17f, 0x1p-16f, 3.0f * 0x1p-17f,
                                     1.0f, 2.0f,  64.0f,    128.0f,   size,     size + 3.0f};
    for (int e = 0; e < 9; ++e) {  // halfway for the binade [2^e, 2^(e+1)): (j + 1/2) u
      const float half = std::ldexp(1.0f, e - 24);
      for (float j : {0.0f, 1.0f, 12345.0f, 1048575.0f}) increments.push_back((2.0f * j + 1.0f) * half);
    }
    for (int i = 0; i < 200; ++i) increments.push_back(std::ldexp(next(), static_cast<int>(12.0f * next()) - 8));
    std::vector<float> starts = {0.0f, 1.0f, 1.5f, 127.99999f, 128.0f, size - 0.25f, size, -3.0f, size + 7.5f};
    for (int i = 0; i < 20; ++i) starts.push_back(size * next());
    for (float increment : increments) {
      for (float start : starts) {
        for (int32_t count : {0, 1, 3, 4, 7, 44, 45, 96}) {
          for (bool wide : {false, true}) {
            std::vector<float> out(static_cast<size_t>(count) + 1, -9.0f);
            const float end =
                TDSPTableOscillator::FillRun(t.Table(), n, start, increment, 0.7f, out.data(), count, wide);
            float phase = start;
            for (int32_t k = 0; k < count; ++k) {
              phase = TDSPTableOscillator::IntoTable(phase, size);
              ASSERT_EQ(out[static_cast<size_t>(k)], TDSPTableOscillator::ReadTableSample(t.Table(), n, phase, 0.7f))
                  << "increment " << increment << " start " << start << " sample " << k;
              phase += increment;
            }
            ASSERT_EQ(end, phase) << "increment " << increment << " start " << start << " count " << count;
            ASSERT_EQ(out[static_cast<size_t>(count)], -9.0f);
          }
        }
      }
    }
  }
}

// The period fill reads its samples four at a time (in SSE2 lanes, or in AVX lanes where
// the processor has them); every sample must be the float the one-sample reading gives, whatever the run's length and
// alignment, at the table's end (entry N - 1 interpolates towards entry 0; φ = N itself reads the padding), on ties of
// the index rounding, and for tiny, huge and negative gains.
TEST(WaveTables, RunReadingMatchesTheSampleReading) {
  uint32_t seed = 4242;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed) / 4294967296.0f;
  };
  for (int waveform : {49, 42, 85}) {  // 256 entries; 512 (PNoise2); a noise table
    auto osc = CreateWaveform(waveform);
    const auto& t = static_cast<const TDSPTableOscillator&>(*osc);
    const int32_t n = t.TableLength();
    std::vector<float> phases = {0.0f,
                                 static_cast<float>(n),
                                 std::nextafter(static_cast<float>(n), 0.0f),
                                 static_cast<float>(n) - 0.5f,
                                 0.5f,
                                 1.5f,
                                 2.5f,
                                 1e-30f};
    for (int i = 0; i < 4000; ++i) phases.push_back(static_cast<float>(n) * next());
    for (int i = 0; i < 400; ++i) phases.push_back(std::floor(static_cast<float>(n) * next()) + 0.5f);
    for (float gain : {1.0f, 0.37f, -2.5f, 1e-20f, 3e4f, 0.0f}) {
      for (int32_t count = 0; count <= 13; ++count) {
        for (size_t start = 0; start + static_cast<size_t>(count) <= phases.size(); start += 211) {
          for (bool wide : {false, true}) {
            float out[16];
            TDSPTableOscillator::ReadTableRun(t.Table(), n, phases.data() + start, gain, out, count, wide);
            for (int32_t k = 0; k < count; ++k) {
              const float phase = phases[start + static_cast<size_t>(k)];
              ASSERT_EQ(out[k], TDSPTableOscillator::ReadTableSample(t.Table(), n, phase, gain))
                  << "waveform " << waveform << " phase " << phase << " gain " << gain << " wide " << wide;
            }
          }
        }
      }
    }
  }
}

TEST(WaveTables, ShiftPhaseAndIncrementOffsetMoveOnlyTables) {
  auto table = CreateWaveform(36);
  table->SetFrequency(441.0f);
  table->SetPhase(10.0f);
  table->ShiftPhase(0.25f);
  EXPECT_FLOAT_EQ(table->Phase(), 74.0f);
  table->ShiftPhase(-1.5f);
  EXPECT_FLOAT_EQ(table->Phase(), 202.0f);  // 74 - 384, wrapped up by 2 x 256
  table->ShiftPhase(1e30f);                 // far away still ends inside the table
  EXPECT_GE(table->Phase(), 0.0f);
  EXPECT_LT(table->Phase(), 256.0f);
  table->SetIncrementOffset(0.5f);
  EXPECT_FLOAT_EQ(table->IncrementOffset(), 128.0f);
  table->SetPhase(1.0f);
  table->Tick();
  EXPECT_FLOAT_EQ(table->Phase(), 1.0f + table->Increment() + 128.0f);

  for (int analytic : {0, 6, 45}) {
    auto osc = Make(analytic);
    osc->SetPhase(0.3f);
    osc->ShiftPhase(0.25f);
    osc->SetIncrementOffset(0.5f);
    EXPECT_EQ(osc->Phase(), 0.3f);
    EXPECT_EQ(osc->IncrementOffset(), 0.0f);
  }
}

// ---------------------------------------------------------------------------------
// Noise, recursive sine, band-limited saw
// ---------------------------------------------------------------------------------

TEST(NoiseSources, RangesAndDrawOrder) {
  DSPRandom().SetSeed(12345);
  TDSPRandom check(12345);
  auto noise = Make(28);
  noise->Tick();
  EXPECT_FLOAT_EQ(noise->Out, static_cast<float>(2 * check.Next() - 1));
  auto gauss = Make(29);
  gauss->Tick();
  double s = 0;
  for (int k = 0; k < 8; ++k) s += check.Next();
  EXPECT_FLOAT_EQ(gauss->Out, static_cast<float>(s / 8 * 2 - 1));
  auto n5 = Make(44);
  n5->Tick();
  const double r = check.Next();
  EXPECT_FLOAT_EQ(n5->Out, static_cast<float>(r * (1 + (1 - r))));
  // "Noise4": two draws, the first for the sign and the second for the size of the jitter.
  auto n4 = Make(43);
  n4->SetPhase(0.25f);
  n4->Tick();
  const double r1 = check.Next(), r2 = check.Next();
  const float jittered = static_cast<float>(0.25 + (2 * r1 - 1) * ((r2 - 0.5) * 0.2));
  EXPECT_FLOAT_EQ(n4->Phase(), jittered);
  EXPECT_NEAR(n4->Out, std::sin(2 * static_cast<double>(kPi) * jittered), 1e-6);

  for (int w : {28, 29, 31, 43, 44}) {
    auto osc = Make(w);
    osc->SetPitch(60.0f);
    const auto out = Render(*osc, 4410);
    float lo = 1e9f, hi = -1e9f;
    for (float v : out) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    EXPECT_GE(lo, w == 44 ? 0.0f : -1.0f) << w;
    EXPECT_LE(hi, 1.0f) << w;
    EXPECT_GT(hi - lo, 0.2f) << w;
  }
}

// A run of advances found a binade at a time ends on the same float as the additions one
// after the other: across binades, at the wrap threshold, for increments that lie exactly
// halfway between two steps of a binade, below 1 and from just above the threshold.
TEST(FastKernels, AdvancedPhaseIsTheAdditionsOneAfterTheOther) {
  struct Range {
    float threshold, period;
  };
  uint32_t seed = 4242;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed) / 4294967296.0f;
  };
  for (Range r : {Range{96.0f, 48.0f}, Range{1.5f, 1.5f}, Range{4.0f, 4.0f}}) {
    for (int i = 0; i < 4000; ++i) {
      float phase = next() * r.threshold * 1.02f;
      float increment = next() * next() * 0.3f;
      if (i % 4 == 1) increment = std::ldexp(1.0f, -20 - i % 7) * 1.5f;  // halfway in [2^(e), ...)
      if (i % 4 == 2) {                                                  // just below a binade's end or the threshold
        phase = std::min(std::ldexp(1.0f, i % 7), r.threshold) - increment * 3;
      }
      if (i == 3) phase = 0.0f;
      const int count = 1 + i % 97;
      float expected = phase;
      for (int k = 0; k < count; ++k) {
        expected += increment;
        if (expected > r.threshold) expected -= r.period;
      }
      const float got = TDSPBaseOscillator::AdvancedPhase(phase, increment, count, r.threshold, r.period);
      ASSERT_EQ(got, expected) << std::hexfloat << phase << " + " << count << " x " << increment << " in "
                               << r.threshold << " / " << r.period;
    }
  }
}

// "Gaussian" and "Noise4" fill their periods from a copy of the shared generator's seed:
// the same draws in the same order as their formulas one sample at a time, and the
// generator left where those leave it. "Gaussian" gives the same floats; "Noise4" moves
// its phase by the same jitter and sounds the sine of it within 1e-6.
TEST(NoiseSources, PeriodFillsDrawAsTheirFormulas) {
  for (int w : {29, 43}) {
    auto fast = Make(w), ref = Make(w);
    for (auto* osc : {fast.get(), ref.get()}) {
      osc->SetPitch(57.0f);
      osc->SetGain(0.8f);
    }
    DSPRandom().SetSeed(99);
    const std::vector<float> got = Render(*fast, 44 * 10);
    const uint32_t after = DSPRandom().Seed();
    DSPRandom().SetSeed(99);
    for (size_t i = 0; i < got.size(); ++i) {
      float phase = ref->Phase();
      const long double v = w == 29 ? static_cast<TGaussianNoiseOsc&>(*ref).FillValue(phase, ref->Shape(), ref->Gain())
                                    : static_cast<TNoiseOsc4&>(*ref).FillValue(phase, ref->Shape(), ref->Gain());
      ref->SetPhase(phase);
      ref->AdvancePhase();
      if (w == 29) {
        ASSERT_EQ(got[i], static_cast<float>(v)) << i;
      } else {
        ASSERT_NEAR(got[i], static_cast<double>(v), 1e-6) << i;
      }
    }
    EXPECT_EQ(fast->Phase(), ref->Phase()) << w;
    EXPECT_EQ(DSPRandom().Seed(), after) << w;
  }
}

// "Noise4" works its jittered phase out in double and falls back to extended precision
// only near the middle between two floats: the phase must be the float of the extended
// formula for every pair of draws, including sums built to land on such a middle, which
// the double sum cannot settle and hands to the extended evaluation.
TEST(NoiseSources, Noise4JitterIsTheExtendedFormulasFloat) {
  auto extended = [](float phase, double r1, double r2) {
    const long double l1 = r1, l2 = r2;
    return static_cast<float>(phase + (2.0L * l1 - 1.0L) * ((l2 - 0.5L) * 0.2L));
  };
  // (2 r1 - 1)(r2 - 0.5) 0.2 = k 2^-24 with r1 = 0.75 and r2 = 0.5 + 5 k 2^-23: for phase 1
  // (float step 2^-23) every odd k puts the sum on a middle.
  for (int k = -9; k <= 9; ++k) {
    for (float phase : {1.0f, 1.5f, -1.0f, 0.25f, 47.0f}) {
      const double r2 = 0.5 + 5.0 * k * 0x1p-23 * (phase == 0.25f ? 0.25 : 1.0);
      ASSERT_EQ(TNoiseOsc4::JitteredPhase(phase, 0.75, r2), extended(phase, 0.75, r2)) << phase << " " << k;
    }
  }
  TDSPRandom draws(12345, false);
  for (int i = 0; i < 1000000; ++i) {
    const auto phase = static_cast<float>(draws.Next() * 96.0 - 48.0);
    const double r1 = draws.Next(), r2 = draws.Next();
    ASSERT_EQ(TNoiseOsc4::JitteredPhase(phase, r1, r2), extended(phase, r1, r2)) << i;
  }
}

TEST(NoiseSources, PNoise1ChangesLevelTwicePerCycle) {
  auto osc = Make(31);
  osc->SetShape(0.3f);
  osc->SetFrequency(441.0f);  // 100 samples per cycle
  osc->SetPhase(0.005f);
  const auto out = Render(*osc, 1000);
  int changes = 0;
  for (size_t i = 1; i < out.size(); ++i) {
    if (out[i] != out[i - 1]) {
      ++changes;
      const double f = std::fmod(0.005 + 0.01 * static_cast<double>(i), 1.0);
      // Only where f crosses the shape point or the cycle starts.
      EXPECT_TRUE(std::fabs(f - 0.305) < 0.0101 || f < 0.0101 || f > 0.999) << i << " " << f;
    }
  }
  EXPECT_GE(changes, 19);  // ten cycles, two new levels each (a draw may repeat a level)
  EXPECT_LE(changes, 20);
}

TEST(RecursiveSine, StartsAtHalfAmplitudeAndScalesWithGainSquared) {
  auto sine3 = Make(46);
  auto cos2 = Make(47);
  auto& pair = static_cast<TSineCosineOsc&>(*sine3);
  EXPECT_EQ(pair.U(), 0.5f);
  EXPECT_EQ(pair.V(), 0.0f);
  sine3->SetPitch(69.0f);
  EXPECT_FLOAT_EQ(pair.K(), static_cast<float>(2 * std::sin(kPi * sine3->Increment())));
  sine3->Tick();
  const float k = pair.K();
  EXPECT_FLOAT_EQ(sine3->Out, 0.5f);    // u - k x 0
  EXPECT_FLOAT_EQ(pair.V(), k * 0.5f);  // v + k x (new u)
  sine3->ResetPhase();
  cos2->SetPitch(69.0f);
  sine3->SetGain(2.0f);
  cos2->SetGain(2.0f);
  const auto s = Render(*sine3, 4410);
  const auto c = Render(*cos2, 4410);
  float peakS = 0, peakC = 0;
  for (float v : s) peakS = std::max(peakS, std::fabs(v));
  for (float v : c) peakC = std::max(peakC, std::fabs(v));
  EXPECT_NEAR(peakS, 4 * 0.5f, 0.05f);  // g² x u
  EXPECT_NEAR(peakC, 2 * 0.5f, 0.05f);  // g x v
  // A new frequency turns the pair at the new rate.
  cos2->SetFrequency(880.0f);
  EXPECT_FLOAT_EQ(static_cast<TSineCosineOsc&>(*cos2).K(), static_cast<float>(2 * std::sin(kPi * (880.0 / 44100.0))));
}

TEST(BandLimitedSaw, GainIsStoredThreefold) {
  auto saw = Make(38);
  saw->SetGain(0.8f);
  EXPECT_FLOAT_EQ(saw->Gain(), 2.4f);
  EXPECT_EQ(saw->Port(1)[0], 3.0f);
}

TEST(BandLimitedSaw, FrequencyChangesOnlyAtACycleEnd) {
  auto osc = Make(38);
  auto& saw = static_cast<TBlitSawOsc&>(*osc);
  osc->SetFrequency(441.0f);  // 100 samples per cycle
  float out[64];
  osc->FillPeriod(out);
  EXPECT_FLOAT_EQ(saw.PeriodSamples(), 1.0f / (441.0f / 44100.0f));
  // M = round(P x 0.5 - 0.5) + 1: round(49.5) = 50 (ties to even), so 51.
  EXPECT_FLOAT_EQ(saw.Harmonics(), 51.0f);
  // 44 samples into the cycle: a new frequency waits for the cycle end.
  osc->SetFrequency(882.0f);
  const float before = saw.StoredIncrement();
  int samples = 44;
  while (saw.StoredIncrement() == before) {
    osc->Tick();
    ++samples;
    ASSERT_LT(samples, 200);
  }
  // Taken up by the sample that starts the next cycle, sample 100.
  EXPECT_NEAR(samples, 101, 1);
  EXPECT_FLOAT_EQ(saw.StoredIncrement(), 882.0f / 44100.0f);
  EXPECT_FLOAT_EQ(saw.PeriodSamples(), 50.0f);
  EXPECT_FLOAT_EQ(saw.Harmonics(), 25.0f);  // round(24.5) + 1
  EXPECT_LT(saw.DsfPhase(), 0.05f);
}

TEST(BandLimitedSaw, SoundsAsASawWithoutDc) {
  auto osc = Make(38);
  osc->SetPitch(57.0f);
  osc->SetGain(1.0f);  // stored as 3
  const auto out = Render(*osc, 44100);
  double sum = 0, peak = 0;
  for (size_t i = 22050; i < out.size(); ++i) {
    sum += out[i];
    peak = std::max(peak, std::fabs(static_cast<double>(out[i])));
  }
  // The integrated train peaks near asin(b) / 2π ≈ 0.23 before the gain of 3.
  EXPECT_GT(peak, 0.6);
  EXPECT_LT(peak, 0.8);
  EXPECT_LT(std::fabs(sum / 22050), 0.1 * peak);
}

// The waveforms' own sine and cosine (reduction and series) agree with the library's
// extended sine and cosine to within three extended ulps (1.6e-19 of the value; a float's
// ulp is 6e-8 of it) in every quadrant, for both signs, up to the largest arguments the
// formulas produce, and hand larger and non-finite arguments to the library.
TEST(OscillatorFormulas, FastSineAndCosineMatchTheLibrary) {
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<long double>(seed) / 4294967296.0L;
  };
  const long double ulp = 0x1p-63L;
  for (long double range : {1.0L, 7.0L, 100.0L, 4000.0L, 1000000.0L}) {
    for (int i = 0; i < 20000; ++i) {
      const long double x = (2.0L * next() - 1.0L) * range;
      for (bool sine : {false, true}) {
        const long double expected = sine ? std::sin(x) : std::cos(x);
        const long double got = sine ? oscmath::SinExtended(x) : oscmath::CosExtended(x);
        // Relative to the value, but not below the reduced argument's own rounding near a zero.
        const long double tolerance = 3.0L * ulp * std::max(std::fabs(expected), 0x1p-20L);
        ASSERT_NEAR(static_cast<double>(got - expected), 0.0, static_cast<double>(tolerance))
            << (sine ? "sin" : "cos") << " x = " << static_cast<double>(x);
      }
    }
  }
  for (long double x : {0.0L, -0.0L, 0x1p20L, -0x1p30L, 1e300L}) {
    EXPECT_EQ(oscmath::CosExtended(x), std::cos(x));
    EXPECT_EQ(oscmath::SinExtended(x), std::sin(x));
    EXPECT_EQ(std::signbit(oscmath::SinExtended(x)), std::signbit(std::sin(x)));
  }
  EXPECT_TRUE(std::isnan(oscmath::CosExtended(std::numeric_limits<long double>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(oscmath::SinExtended(std::numeric_limits<long double>::infinity())));
}

// ---------------------------------------------------------------------------------
// Period fills in runs of double arithmetic against their formulas
// ---------------------------------------------------------------------------------

// The runs of turns give cos 2πx and sin 2πx to a few 1e-16 over the turns the fills hand
// them (phases up to 96 cycles, harmonic numbers times a phase up to 2^33, the eighths of a
// turn where the reduction changes quadrant), against the extended library functions of
// the exactly reduced turn; and the four-wide run gives the same doubles as the lane.
TEST(FastKernels, TurnsMatchTheExtendedSineAndCosine) {
  uint32_t seed = 777;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed) / 4294967296.0;
  };
  std::vector<double> x;
  for (int k = -40; k <= 40; ++k) x.push_back(0.125 * k);
  for (double range : {1.0, 96.0}) {
    for (int i = 0; i < 3000; ++i) x.push_back(static_cast<float>((2 * next() - 1) * range));
  }
  for (double harmonic : {51.0, 2751.0, 2.0e6}) {  // M x a float phase in [0, 1)
    for (int i = 0; i < 3000; ++i) x.push_back(harmonic * static_cast<float>(next()));
  }
  x.push_back(0.3);  // an odd count leaves a tail for the lane
  std::vector<double> c(x.size()), s(x.size());
  oscmath::CosTurns(x.data(), c.data(), static_cast<int32_t>(x.size()));
  oscmath::SinTurns(x.data(), s.data(), static_cast<int32_t>(x.size()));
  for (size_t i = 0; i < x.size(); ++i) {
    const long double turn = static_cast<long double>(x[i]) - std::nearbyint(static_cast<long double>(x[i]));
    const long double angle = 2 * kPi * turn;
    ASSERT_NEAR(c[i], static_cast<double>(std::cos(angle)), 4e-16) << "cos x = " << x[i];
    ASSERT_NEAR(s[i], static_cast<double>(std::sin(angle)), 4e-16) << "sin x = " << x[i];
    ASSERT_EQ(c[i], oscmath::CosTurn(x[i])) << x[i];
    ASSERT_EQ(s[i], oscmath::SinTurn(x[i])) << x[i];
  }
}

// The extended fill value of the single-sample formulas of waveform w at the oscillator's
// phase, shape and gain.
template <class W>
long double FillOf(TDSPBaseOscillator& osc) {
  float phase = osc.Phase();
  return static_cast<W&>(osc).FillValue(phase, osc.Shape(), osc.Gain());
}
long double ExtendedFill(int w, TDSPBaseOscillator& osc) {
  switch (w) {
    case 1:
      return FillOf<TSoftSawOsc>(osc);
    case 6:
      return FillOf<TSineOsc1>(osc);
    case 8:
      return FillOf<TBumpsOsc>(osc);
    case 9:
      return FillOf<TDoubleBumpsOsc>(osc);
    case 10:
      return FillOf<TAltBumpsOsc1>(osc);
    case 11:
      return FillOf<TAltBumpsOsc2>(osc);
    case 12:
      return FillOf<TSquareBumpsOsc>(osc);
    case 15:
      return FillOf<TMultiOsc3>(osc);
    case 16:
      return FillOf<TSinExpOsc>(osc);
    case 17:
      return FillOf<TSinCosOsc>(osc);
    case 18:
      return FillOf<TSinCosTanOsc1>(osc);
    case 19:
      return FillOf<TSinCosTanOsc2>(osc);
    case 20:
      return FillOf<TSinCosSqrtOsc>(osc);
    case 21:
      return FillOf<TCosExpOsc>(osc);
    case 22:
      return FillOf<TCosSqrtTanOsc>(osc);
    case 23:
      return FillOf<TSqrtExpOsc>(osc);
    case 24:
      return FillOf<TSqrtTanOsc>(osc);
    case 25:
      return FillOf<TExpOsc>(osc);
    case 26:
      return FillOf<TTanExpOsc>(osc);
    case 27:
      return FillOf<TCoTanExpOsc>(osc);
    case 30:
      return FillOf<TCosineOsc1>(osc);
    case 32:
      return FillOf<TSawSinOsc>(osc);
    case 48:
      return FillOf<TRoseCurveOsc>(osc);
    default:
      ADD_FAILURE() << "no formula for " << w;
      return 0;
  }
}

// "Saw AA" by its formula, one sample at a time in extended precision: the impulse
// train's closed form with three extended cosines, and the integrator with its output kept
// unrounded (its input x1 is stored as a float, as the oscillator stores it).
struct TSawFormula {
  float phase = 0, stored = 0, period = 0, harmonics = 0, b = 0, bm = 0, x1 = 0;
  long double y1 = 0;
  long double Next(float increment) {
    if (phase >= 1.0f || stored == 0.0f) {
      if (phase >= 1.0f) phase -= 1.0f;
      stored = increment;
      period = static_cast<float>(1.0L / stored);
      harmonics = static_cast<float>(std::nearbyint(period * 0.5L - 0.5L) + 1.0L);
      b = static_cast<float>(std::pow(0.5L, 1.0L / (period * 0.5L)));
      bm = static_cast<float>(std::pow(static_cast<long double>(b), static_cast<long double>(harmonics)));
    }
    const long double theta = 2 * kPi * phase;
    const long double c1 = std::cos(theta), cm = std::cos(harmonics * theta), cm1 = std::cos(harmonics * theta - theta);
    phase += stored;
    const long double numerator = 1.0L - bm * cm - (c1 - cm1 * bm) * b;
    const long double denominator = (b * (b - 2.0L * c1) + 1.0L) * period;
    const long double s = numerator / denominator - stored;
    const long double t = std::tan(kPi * 0.0001L);
    const float feedback = static_cast<float>(-(1.0L - t) / (1.0L + t));
    const long double y = (s + x1) * 0.5L - y1 * feedback;
    x1 = static_cast<float>(s);
    y1 = y;
    return y;
  }
};

// Each waveform that fills its period in runs gives, sample for sample, what its formula
// gives one sample at a time, over pitches from 8 Hz to beyond the sample rate, starting
// phases, shapes,
// gains and a pitch change in the middle: within 1e-6 of full scale (-120 dBFS), or of the
// value where a tangent goes beyond it, everywhere. The closed formulas against their
// extended fill values, the recursive pair against its single-sample steps: the same float
// in nearly every sample (a value almost halfway between two floats may round the other
// way; the pair is compared at unit gain, where its output times the gain rounds nothing).
// "Saw AA" against TSawFormula: its single-sample path rounds the integrator's output to a
// float every sample, and the integrator gathers those roundings (up to about 1e-6 at
// 8 Hz) where the period fill rounds once per period.
TEST(FastKernels, PeriodFillsFollowTheirFormulas) {
  for (int w : {1, 6, 8, 9, 10, 11, 12, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 30, 32, 38, 46, 47, 48}) {
    // (160 and 230: increments of 0.1 and of many cycles per sample.)
    for (float pitch : {0.0f, 24.0f, 45.0f, 57.0f, 69.0f, 93.0f, 117.0f, 160.0f, 230.0f}) {
      for (float gain : {1.0f, 0.8f}) {
        auto fast = Make(w), ref = Make(w);
        // (Near the top of the waveform's phase range, or near its start.)
        const float start = pitch == 57.0f ? 0.99f * fast->WrapThreshold() : 0.37f;
        for (auto* osc : {fast.get(), ref.get()}) {
          osc->SetPhase(start);
          osc->SetShape(0.3f);
          osc->SetGain(gain);
          osc->SetPitch(pitch);
        }
        TSawFormula saw;
        const int m = fast->Context()->samplesPerMs, periods = 120;
        int same = 0;
        double worst = 0;
        float out[64];
        for (int period = 0; period < periods; ++period) {
          if (period == periods / 2) {
            fast->SetPitch(pitch + 7.3f);
            ref->SetPitch(pitch + 7.3f);
          }
          fast->FillPeriod(out);
          for (int i = 0; i < m; ++i) {
            double expected;
            if (w == 38) {
              expected = static_cast<double>(saw.Next(ref->Increment()) * ref->Gain());
            } else if (w == 46 || w == 47) {
              ref->Tick();
              // ("Sine3" fills with the square of the gain.)
              expected = ref->Out * static_cast<double>(ref->Gain()) * (w == 46 ? ref->Gain() : 1.0f);
              ref->AdvancePhase();
            } else {
              expected = static_cast<double>(static_cast<float>(ExtendedFill(w, *ref)));
              ref->AdvancePhase();
            }
            same += out[i] == static_cast<float>(expected);
            // (Relative to the value where a tangent grows beyond full scale.)
            worst = std::max(worst, std::fabs(out[i] - expected) / std::max(1.0, std::fabs(expected)));
          }
        }
        const std::string what =
            std::string(WaveformName(w)) + " at pitch " + std::to_string(pitch) + " gain " + std::to_string(gain);
        EXPECT_LE(worst, 1e-6) << what;
        if (w != 38 && (gain == 1.0f || (w != 46 && w != 47))) {
          EXPECT_GE(same, periods * m * 99 / 100) << what;
        }
        if (w == 38) {
          EXPECT_EQ(static_cast<TBlitSawOsc&>(*fast).DsfPhase(), saw.phase) << what;
        } else {
          EXPECT_EQ(fast->Phase(), ref->Phase()) << what;
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------------
// Every waveform stays finite
// ---------------------------------------------------------------------------------

TEST(AllWaveforms, FiniteAtEveryPitchFrequencyAndGain) {
  const float pitches[] = {-128, -500, 0, 36, 69, 100, 127, 160, 200, 256, 1000};
  const float frequencies[] = {0, 1e-9f, 0.01f, 20000, 22050, 44100, 600000, 1e9f};
  const float gains[] = {0, 1, -1, 0.001f, 32.06f, -972.7f, 1000};
  for (int w = 0; w < kWaveformCount; ++w) {
    auto check = [&](TDSPBaseOscillator& osc, const char* what, float value) {
      for (int period = 0; period < 20; ++period) {
        float out[64];
        osc.FillPeriod(out);
        for (int i = 0; i < 44; ++i) {
          ASSERT_TRUE(std::isfinite(out[i])) << w << " " << WaveformName(w) << " " << what << " " << value;
        }
        osc.Tick();
        ASSERT_TRUE(std::isfinite(osc.Out)) << w << " tick " << what << " " << value;
      }
    };
    for (float g : gains) {
      auto osc = Make(w);
      osc->SetGain(g);
      for (float p : pitches) {
        osc->SetPitch(p);
        check(*osc, "pitch", p);
      }
      for (float f : frequencies) {
        osc->SetFrequency(f);
        check(*osc, "frequency", f);
      }
    }
    // A fresh object straight at the lowest frequency (the saw's first cycle).
    auto slow = Make(w);
    slow->SetFrequency(0.0f);
    check(*slow, "fresh frequency", 0.0f);
  }
}

// ---------------------------------------------------------------------------------
// Block modes
// ---------------------------------------------------------------------------------

TEST(OscillatorBlocks, BuffersFollowTheFeatureMask) {
  struct Case {
    uint32_t mask;
    bool sync, phaseMod, syncPhase, shape;
  };
  for (Case c : {Case{0x20000, false, true, false, true}, Case{0x40000, true, false, true, true},
                 Case{0x10000, false, true, true, false}, Case{0, false, false, false, false}}) {
    auto osc = Make(0);
    osc->SetFeatureMask(c.mask);
    osc->SetUsesWorkBuffers(true);
    osc->ContextChanged(osc->Context());
    EXPECT_NE(osc->IncrementBuffer(), nullptr);
    EXPECT_NE(osc->AmplitudeBuffer(), nullptr);
    EXPECT_NE(osc->OutputBlock(), nullptr);
    EXPECT_EQ(osc->SyncInputBuffer() != nullptr, c.sync) << c.mask;
    EXPECT_EQ(osc->PhaseModBuffer() != nullptr, c.phaseMod) << c.mask;
    EXPECT_EQ(osc->SyncPhaseBuffer() != nullptr, c.syncPhase) << c.mask;
    EXPECT_EQ(osc->ShapeBuffer() != nullptr, c.shape) << c.mask;
  }
  auto plain = Make(0);
  plain->ContextChanged(plain->Context());
  EXPECT_EQ(plain->IncrementBuffer(), nullptr);
  plain->ProcessIncrementBlock();  // without buffers: nothing happens
}

TEST(OscillatorBlocks, IncrementPitchAndSyncModes) {
  auto osc = Make(0);
  osc->SetFeatureMask(0x70000);
  osc->SetUsesWorkBuffers(true);
  osc->ContextChanged(osc->Context());
  const int b = osc->Context()->blockLength;
  for (int i = 0; i < b; ++i) {
    osc->IncrementBuffer()[i] = 0.1f;
    osc->AmplitudeBuffer()[i] = 2.0f;
  }
  osc->SetPhase(0.0f);
  osc->ProcessIncrementBlock();
  EXPECT_FLOAT_EQ(osc->OutputBlock()[0], -2.0f);
  EXPECT_NEAR(osc->OutputBlock()[3], 2 * (2 * 0.3 - 1), 1e-5);

  // From the pitch input: the default 48.0 constant sets the pitch once.
  osc->ProcessPitchBlock();
  EXPECT_FLOAT_EQ(osc->LastPitch(), 48.0f);
  EXPECT_NEAR(osc->Frequency(), NoteHz(48), 1e-3);

  // Hard sync: a rising sync input jumps the phase to the sync phase once.
  for (int i = 0; i < b; ++i) {
    osc->SyncInputBuffer()[i] = (i == 5 || i == 6) ? 1.0f : 0.0f;
    osc->SyncPhaseBuffer()[i] = 0.5f;
    osc->PhaseModBuffer()[i] = 0.0f;
  }
  osc->SetPhase(0.0f);
  osc->ProcessPhaseModSync();
  EXPECT_FLOAT_EQ(osc->OutputBlock()[6], 0.0f);                 // 2 x (2 x 0.5 - 1) right after the jump
  EXPECT_NEAR(osc->OutputBlock()[7], 2 * (2 * 0.6 - 1), 1e-5);  // not re-synced at 6
  // Phase modulation moves only the value read, not the running phase.
  for (int i = 0; i < b; ++i) {
    osc->SyncInputBuffer()[i] = 0.0f;
    osc->PhaseModBuffer()[i] = 0.25f;
  }
  osc->SetPhase(0.0f);
  osc->ProcessPhaseModSync();
  EXPECT_NEAR(osc->OutputBlock()[0], 2 * (2 * 0.25 - 1), 1e-5);
  EXPECT_NEAR(osc->OutputBlock()[1], 2 * (2 * 0.35 - 1), 1e-5);

  // The band-limited saw scales block outputs by a further 3 and reads 3.0 by default.
  auto saw = Make(38);
  saw->SetUsesWorkBuffers(true);
  saw->ContextChanged(saw->Context());
  saw->SetPitch(48.0f);
  auto ref = Make(38);
  ref->SetPitch(48.0f);
  saw->ProcessPitchBlock();
  for (int i = 0; i < 5; ++i) {
    ref->Tick();
    EXPECT_FLOAT_EQ(saw->OutputBlock()[i], ref->Out * 3.0f * 3.0f) << i;
  }
}
