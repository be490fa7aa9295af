#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/DSP3BandEQ.h"
#include "dsp/DSPTune.h"
#include "dsp/DSPTuneTables.h"

using namespace tesmora6;

namespace {

// ---------------------------------------------------------------------------------
// Three-band EQ
// ---------------------------------------------------------------------------------

void SetAll(TDSP3BandEQ& eq, float low, float mid, float high, float centre, float q) {
  eq.SetLowGain(low);
  eq.SetMidGain(mid);
  eq.SetHighGain(high);
  eq.SetCentreFrequency(centre);
  eq.SetQ(q);
}

// The band gains double every 6 dB: +15 dB is 2^2.5 = 5.657 (10^(15/20) would be 5.623).
double Amplitude(double dB) { return std::pow(2.0, dB / 6.0); }

// Magnitude of the section's response at f Hz (44.1 kHz), from its coefficients.
double Magnitude(const TDSP3BandEQ& eq, double f) {
  const auto c = eq.Coefficients();
  const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * f / 44100.0);
  const std::complex<double> z2 = z1 * z1;
  const double b0 = c.b0, b1 = c.b1, b2 = c.b2, a1 = c.a1, a2 = c.a2;
  return std::abs((b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2));
}

// Steady-state gain for a constant (DC) or alternating (Nyquist) input, run through Tick.
double RunGain(TDSP3BandEQ& eq, bool alternating) {
  float y = 0.0f;
  for (int i = 0; i < 20000; ++i) {
    eq.In = alternating && (i & 1) ? -1.0f : 1.0f;
    eq.Tick();
    y = eq.Out;
  }
  return std::fabs(y);
}

TEST(ThreeBandEq, OutputsNothingUntilASetterRuns) {
  TDSP3BandEQ eq;
  eq.In = 1.0f;
  eq.Tick();
  EXPECT_EQ(eq.Out, 0.0f);
  // The first setter brings in the other defaults: low 3 dB, mid 2 dB, high 1 dB.
  eq.SetQ(0.5f);
  EXPECT_NEAR(Magnitude(eq, 0.0), Amplitude(3.0), 1e-4);
  EXPECT_NEAR(Magnitude(eq, 22050.0), Amplitude(1.0), 1e-4);
}

TEST(ThreeBandEq, UnityAtZeroDecibels) {
  TDSP3BandEQ eq;
  SetAll(eq, 0.0f, 0.0f, 0.0f, 1000.0f, 0.5f);
  const auto c = eq.Coefficients();
  EXPECT_NEAR(c.b0, 1.0f, 1e-6f);
  EXPECT_EQ(c.b1, c.a1);
  EXPECT_EQ(c.b2, c.a2);
  // A signal passes unchanged, through Tick and through FillPeriod alike.
  std::vector<float> in(440);
  for (size_t i = 0; i < in.size(); ++i)
    in[i] = std::sin(0.37f * static_cast<float>(i)) + 0.3f * std::cos(2.9f * static_cast<float>(i));
  TDSP3BandEQ blockEq;
  SetAll(blockEq, 0.0f, 0.0f, 0.0f, 1000.0f, 0.5f);
  std::vector<float> block = in;
  for (size_t p = 0; p < block.size(); p += 44) blockEq.FillPeriod(block.data() + p);
  for (size_t i = 0; i < in.size(); ++i) {
    eq.In = in[i];
    eq.Tick();
    ASSERT_NEAR(eq.Out, in[i], 1e-5f) << i;
    ASSERT_EQ(block[i], eq.Out) << i;
  }
}

TEST(ThreeBandEq, BandGains) {
  const double plus15 = Amplitude(15.0);  // about 5.66
  struct Case {
    float low, mid, high;
    double dc, nyquist;
  };
  for (Case c : {Case{15, 0, 0, plus15, 1.0}, Case{0, 0, 15, 1.0, plus15}, Case{-15, 0, 0, 1.0 / plus15, 1.0},
                 Case{6, -6, -3, 2.0, Amplitude(-3.0)}}) {
    TDSP3BandEQ eq;
    SetAll(eq, c.low, c.mid, c.high, 1000.0f, 0.5f);
    EXPECT_NEAR(RunGain(eq, false), c.dc, 2e-3 * c.dc) << c.low << " " << c.high;
    TDSP3BandEQ eq2;
    SetAll(eq2, c.low, c.mid, c.high, 1000.0f, 0.5f);
    EXPECT_NEAR(RunGain(eq2, true), c.nyquist, 2e-3 * c.nyquist) << c.low << " " << c.high;
  }
  // Low +15 dB falls to about unity well above the centre.
  TDSP3BandEQ eq;
  SetAll(eq, 15.0f, 0.0f, 0.0f, 200.0f, 0.7f);
  EXPECT_NEAR(Magnitude(eq, 10000.0), 1.0, 0.02);
  // The mid gain holds at the centre when low and high are equal.
  SetAll(eq, 0.0f, 12.0f, 0.0f, 2000.0f, 0.3f);
  EXPECT_NEAR(Magnitude(eq, 2000.0), Amplitude(12.0), 1e-4);
}

TEST(ThreeBandEq, SettingsAreClamped) {
  TDSP3BandEQ eq;
  SetAll(eq, 15.06f, -20.0f, 99.0f, 0.5f, 0.0f);
  EXPECT_EQ(eq.LowGain(), 15.0f);
  EXPECT_EQ(eq.MidGain(), -15.0f);
  EXPECT_EQ(eq.HighGain(), 15.0f);
  EXPECT_EQ(eq.CentreFrequency(), 1.0f);
  EXPECT_EQ(eq.Q(), 0.01f);
  eq.SetQ(2.0f);
  EXPECT_EQ(eq.Q(), 0.99f);
  // Centres above R / 2.01 are stored but filter as R / 2.01.
  eq.SetCentreFrequency(40000.0f);
  EXPECT_EQ(eq.CentreFrequency(), 32767.0f);
  const auto high = eq.Coefficients();
  eq.SetCentreFrequency(44100.0f / 2.01f);
  const auto limit = eq.Coefficients();
  EXPECT_EQ(high.b0, limit.b0);
  EXPECT_EQ(high.a1, limit.a1);
  EXPECT_TRUE(std::isfinite(high.b0) && std::isfinite(high.a2));
}

TEST(ThreeBandEq, TinyResultsAreFlushedToZero) {
  TDSP3BandEQ eq;
  SetAll(eq, 0.0f, 0.0f, 0.0f, 1000.0f, 0.5f);
  eq.In = 1e-39f;  // the output would be a denormal
  eq.Tick();
  EXPECT_EQ(eq.Out, 0.0f);
  // A decaying tail ends in exact zeros, never in denormals.
  SetAll(eq, 15.0f, 0.0f, 0.0f, 50.0f, 0.9f);
  eq.In = 1.0f;
  eq.Tick();
  eq.In = 0.0f;
  bool reachedZero = false;
  for (int i = 0; i < 2000000 && !reachedZero; ++i) {
    eq.Tick();
    ASSERT_NE(std::fpclassify(eq.Out), FP_SUBNORMAL) << i;
    reachedZero = eq.Out == 0.0f;
  }
  EXPECT_TRUE(reachedZero);
}

// ---------------------------------------------------------------------------------
// Diatonic tuning
// ---------------------------------------------------------------------------------

float Tune(TDSPDiatonicTune& t, float note) {
  t.In = note;
  t.Tick();
  return t.Out;
}

TEST(DiatonicTune, AddsTheOffsetsWhenDiatonicIsOff) {
  TDSPDiatonicTune t;
  t.SetSemitoneOffset(2.0f);
  t.SetFineOffset(0.25f);
  t.SetKey(3.0f);  // no effect while diatonic is off
  EXPECT_EQ(Tune(t, 61.0f), 63.25f);
  t.SetDiatonic(1.0f);
  t.SetDiatonic(0.0f);
  EXPECT_FALSE(t.Diatonic());
  EXPECT_EQ(Tune(t, 61.0f), 63.25f);
}

TEST(DiatonicTune, StepsInTheKey) {
  struct Case {
    float key, offset, note, expected;
  };
  const Case cases[] = {
      {0, 2, 60, 64},                                           // C major, two steps up from C: E
      {0, 1, 61, 62},                                           // C sharp is not in the scale: the next scale note is D
      {0, -1, 60, 59},                                          // one step down from C: B
      {0, -1, 61, 60},         {0, 7, 60, 72},                  // a whole octave of steps
      {0, 8, 60, 74},          {0, -8, 60, 47}, {0, 1, -1, 0},  // pitch classes of negative notes: B to C
      {0, 1, -2, -1},                                           // B flat (not in C major) to B
      {9.5f, 1, 61, 63},        // clamped to 7 sharps: C sharp major, C sharp to D sharp
      {-1, 3, 65, 70},          // F major: F G A B flat
      {0, 2.5f, 60.5f, 64.5f},  // offset 2.5 rounds to 2, note 60.5 rounds to 60
      {0, 0, 61.3f, 61.3f},
  };
  for (const Case& c : cases) {
    TDSPDiatonicTune t;
    t.SetDiatonic(1.0f);
    t.SetKey(c.key);
    t.SetSemitoneOffset(c.offset);
    EXPECT_FLOAT_EQ(Tune(t, c.note), c.expected) << c.key << " " << c.offset << " " << c.note;
  }
  TDSPDiatonicTune t;
  t.SetKey(9.5f);
  EXPECT_EQ(t.KeySetting(), 7.0f);
  EXPECT_EQ(t.Key(), 7);
  t.SetKey(-7.6f);
  EXPECT_EQ(t.Key(), -7);
  t.SetDiatonic(1.0f);
  t.SetSemitoneOffset(1.0f);
  t.SetFineOffset(0.5f);
  EXPECT_EQ(Tune(t, 60.0f), 61.5f);  // C flat major holds C flat (B), not C: next is D flat
}

TEST(DiatonicTune, StepsMatchCountingNoteByNote) {
  // The definition, counted one semitone at a time.
  auto reference = [](int key, int s, int p) {
    if (s == 0) return 0;
    const int dir = s > 0 ? 1 : -1;
    int count = 0, r = 0;
    while (count != s) {
      r += dir;
      const int root = kKeyRoots[static_cast<size_t>(key - kLowestKey)];
      const int pc = (((p + r - root) % 12) + 12) % 12;
      for (int8_t step : kMajorScaleSteps) {
        if (step == pc) count += dir;
      }
    }
    return r;
  };
  for (int key = kLowestKey; key <= kHighestKey; ++key) {
    for (int p = -13; p <= 13; ++p) {
      for (int s = -30; s <= 30; ++s) {
        ASSERT_EQ(TDSPDiatonicTune::Steps(key, s, p), reference(key, s, p)) << key << " " << s << " " << p;
      }
    }
  }
}

}  // namespace
