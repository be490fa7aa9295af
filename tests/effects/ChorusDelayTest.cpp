#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "EffectTestTools.h"
#include "effects/DSPReverbX.h"
#include "effects/DSPXChorus.h"
#include "effects/DSPXDelay.h"

using namespace tesmora6;

using namespace effect_test;

// ============================== delay ==============================

namespace {

// A wet-only delay at 44.1 kHz in the given unit, with the given lengths.
void SetUpDelay(TDSPXDelay& d, bool ticks, int32_t left, int32_t right) {
  d.ContextChanged(&DefaultProcessInfo());
  WetOnly(d);
  d.SetLengthUnit(ticks);
  d.SetLengthLeft(left);
  d.SetLengthRight(right);
}

}  // namespace

TEST(Delay, LineLengths) {
  struct Case {
    int rate;
    bool ticks;
    float tempo;
    int32_t length;
    int32_t samples;
  };
  const Case cases[] = {
      {44100, false, 120.0f, 100, 4400},    {44100, false, 120.0f, 2048, 90112},  // within the capacity of 180,400
      {44100, true, 120.0f, 100, 18333},                                          // round(100 x 4.1667 x 44)
      {44100, true, 20.0f, 2048, 180399},                                         // capacity - 1
      {44100, true, 0.0f, 100, 1},         // tick 0.0001 ms: 0.44 samples, kept at 1
      {44100, true, 1e-6f, 2048, 180399},  // a tick of 5e8 ms is held at the capacity
      {44100, false, 120.0f, 0, 1},         {44100, false, 120.0f, -5, 1},
      {44100, true, -1e-6f, 2048, 1},                                       // a negative tick of -5e8 ms
      {48000, false, 120.0f, 100, 4800},    {48000, true, 90.0f, 7, 1867},  // round(7 x 5.5556 x 48) = round(1866.67)
      {96000, false, 120.0f, 4100, 393599},                                 // capacity 4100 x 96 less one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << (c.ticks ? "ticks" : "ms") << " tempo " << c.tempo
                                    << " length " << c.length);
    TDSPProcessInfo context(c.rate, c.rate / 1000);
    TDSPXDelay d;
    d.ContextChanged(&context);
    d.SetTempo(c.tempo);
    d.SetLengthUnit(c.ticks);
    d.SetLengthLeft(c.length);
    d.SetLengthRight(c.length);
    EXPECT_EQ(d.Capacity(), 4100 * (c.rate / 1000));
    EXPECT_EQ(d.LineLengthLeft(), c.samples);
    EXPECT_EQ(d.LineLengthRight(), c.samples);
  }
}

TEST(Delay, CountsTicksUntilTheUnitIsApplied) {
  TDSPXDelay d;
  EXPECT_TRUE(d.LengthInTicks());
  EXPECT_EQ(d.LineLengthLeft(), 18333);  // 100 ticks at the initial 120 beats per minute
  d.SetLengthUnit(false);
  EXPECT_EQ(d.LineLengthLeft(), 4400);
}

TEST(Delay, EchoesComeOneLineLengthLateAtFeedbackToTheN) {
  for (bool ticks : {false, true}) {
    TDSPXDelay d;
    SetUpDelay(d, ticks, 100, 100);
    d.SetFeedbackLeft(0.5f);
    d.SetFeedbackRight(-0.8f);
    const int32_t n = d.LineLengthLeft();
    EXPECT_EQ(n, ticks ? 18333 : 4400);
    std::vector<float> left(4 * n + 88, 0.0f), right(4 * n + 88, 0.0f);
    left[0] = 1.0f;
    right[0] = 1.0f;
    RunPeriods(d, left, right);
    for (int i = 0; i < 4 * n; ++i) {
      const int echo = i / n;
      const bool on = i % n == 0 && echo > 0;
      SCOPED_TRACE(testing::Message() << (ticks ? "ticks " : "ms ") << "sample " << i);
      const double tolerance = on ? 1e-6 : 1e-12;  // the echoes as floats, silence between
      ASSERT_NEAR(left[i], on ? std::pow(0.5, echo) : 0.0, tolerance);
      ASSERT_NEAR(right[i], on ? std::pow(-0.8, echo) : 0.0, tolerance);
    }
  }
}

TEST(Delay, CrossFeedbackCarriesEachFeedbackSignalToTheOtherLine) {
  TDSPXDelay d;
  SetUpDelay(d, false, 10, 20);  // 440 and 880 samples
  d.SetFeedbackLeft(0.5f);
  d.SetFeedbackRight(0.0f);
  d.SetCrossLeftToRight(0.25f);
  std::vector<float> left(1320, 0.0f), right(1320, 0.0f);
  left[0] = 1.0f;
  RunPeriods(d, left, right);
  EXPECT_NEAR(left[440], 0.5, 1e-12);
  // fL = 0.5 goes to the right line scaled by the cross amount.
  EXPECT_NEAR(right[880], 0.125, 1e-12);
  // The left echo at 440 feeds back 0.25 into the left line and 0.0625 into the right.
  EXPECT_NEAR(left[880], 0.25, 1e-12);
  for (int i = 1; i < 880; ++i) ASSERT_NEAR(right[i], 0.0, 1e-12) << i;

  // Feedback 0 on both sides: the lines only receive zeros, whatever the cross amounts.
  TDSPXDelay z;
  SetUpDelay(z, false, 10, 20);
  z.SetFeedbackLeft(0.0f);
  z.SetFeedbackRight(0.0f);
  z.SetCrossLeftToRight(1.0f);
  z.SetCrossRightToLeft(1.0f);
  std::vector<float> l = Noise(4400), r = Noise(4400, 17);
  RunPeriods(z, l, r);
  for (size_t i = 0; i < l.size(); ++i) {
    ASSERT_EQ(l[i], 0.0f);
    ASSERT_EQ(r[i], 0.0f);
  }
}

TEST(Delay, LengthChangesKeepTheLineContents) {
  TDSPXDelay d;
  SetUpDelay(d, false, 2, 2);  // 88 samples
  d.SetFeedbackLeft(1.0f);
  std::vector<float> left(132, 0.0f), right(132, 0.0f);
  left[10] = 1.0f;
  RunPeriods(d, left, right);  // position 132 mod 88 = 44
  EXPECT_NEAR(left[98], 1.0, 1e-12);
  EXPECT_EQ(d.PositionLeft(), 44);
  // Longer: the position stays and the stored echo (at line position 10) is kept.
  d.SetLengthLeft(3);  // 132 samples
  EXPECT_EQ(d.PositionLeft(), 44);
  std::vector<float> l(176, 0.0f), r(176, 0.0f);
  RunPeriods(d, l, r);
  // Positions 44 .. 131, then 0 .. 87: the echo at position 10 comes out at index 98.
  EXPECT_NEAR(l[98], 1.0, 1e-12);
  // Shorter than the position: it restarts at 0, the contents stay.
  EXPECT_EQ(d.PositionLeft(), 88);
  d.SetLengthLeft(1);  // 44 samples
  EXPECT_EQ(d.PositionLeft(), 0);
  // A tempo change in tick mode recomputes the lengths without clearing.
  d.SetLengthUnit(true);
  d.SetTempo(60.0f);
  EXPECT_EQ(d.LineLengthLeft(), 367);  // round(1 x 8.3333 x 44)
}

TEST(Delay, FilterSitsInTheFeedbackPath) {
  double echo[2];
  for (int on = 0; on < 2; ++on) {
    TDSPXDelay d;
    SetUpDelay(d, false, 10, 10);
    d.SetFeedbackLeft(1.0f);
    d.FilterLeft().SetType(0.0f);  // "BW LP"
    d.FilterLeft().Filter()->SetCutoff(100.0f);
    d.SetFilterLeftOn(on != 0);
    // A 11 kHz tone: the low pass in the loop takes it out of the echo.
    std::vector<float> left(880, 0.0f), right(880, 0.0f);
    for (int i = 0; i < 440; ++i) left[i] = (i % 4 < 2) ? 0.5f : -0.5f;
    RunPeriods(d, left, right);
    echo[on] = 0;
    for (int i = 440; i < 880; ++i) echo[on] += double(left[i]) * left[i];
  }
  EXPECT_NEAR(echo[0], 110.0, 1e-3);
  EXPECT_LT(echo[1], echo[0] * 0.01);
}

TEST(Delay, GrowingEchoesAreClearedBeforeTheyTurnNonFinite) {
  TDSPXDelay d;
  SetUpDelay(d, false, 1, 2);
  d.SetDryGain(32.0f);
  d.SetWetGain(32.0f);
  d.Recalculate();
  d.SetFeedbackLeft(1e10f);
  d.SetFeedbackRight(-1e10f);
  d.SetCrossLeftToRight(1e10f);
  d.SetCrossRightToLeft(1e10f);
  d.SetFilterRightOn(true);
  std::vector<float> left = Noise(44100), right = Noise(44100, 7);
  RunPeriods(d, left, right);
  EXPECT_TRUE(AllFinite(left));
  EXPECT_TRUE(AllFinite(right));

  // A non-finite input is not kept either.
  TDSPXDelay q;
  SetUpDelay(q, false, 5, 5);
  q.SetFeedbackLeft(0.5f);
  std::vector<float> l(880, 0.0f), r(880, 0.0f);
  l[3] = std::numeric_limits<float>::infinity();
  RunPeriods(q, l, r);
  EXPECT_TRUE(AllFinite(l));
  EXPECT_TRUE(AllFinite(r));
}

// ============================== chorus ==============================

namespace {

// A wet-only chorus at 44.1 kHz in milliseconds, with the given line lengths and base
// delays, no feedback or cross-feed, and every modulator at gain g (0: still taps).
void SetUpChorus(TDSPXChorus& c, float length, float size, float g = 0.0f) {
  c.ContextChanged(&DefaultProcessInfo());
  WetOnly(c);
  c.SetLengthUnit(false);
  c.SetLengthLeft(length);
  c.SetLengthRight(length);
  c.SetSizeLeft(size);
  c.SetSizeRight(size);
  c.SetFeedbackLeft(0.0f);
  c.SetFeedbackRight(0.0f);
  c.SetCrossLeftToRight(0.0f);
  c.SetCrossRightToLeft(0.0f);
  for (int k = 0; k < TDSPXChorus::kModulatorCount; ++k) {
    c.Modulator(k).SetFrequency(1e-9f);  // practically still
    c.Modulator(k).SetGain(g);
  }
}

}  // namespace

TEST(Chorus, LineLengthsAndOffsets) {
  struct Case {
    bool ticks;
    float tempo, length, size;
    int32_t samples;
    float offset;
  };
  const Case cases[] = {
      {false, 120.0f, 5.0f, 0.0f, 220, 0.0f},
      {false, 120.0f, 5.0f, 2.0f, 220, 88.0f},
      {false, 120.0f, 5.0f, 10.0f, 220, 219.0f},  // limited to the line
      {false, 120.0f, 5.0f, 4.99f, 220, 219.0f},  // 219.56 rounds to 220, still too long
      {false, 120.0f, 1024.0f, 512.0f, 45056, 22528.0f},
      {false, 120.0f, 1100.0f, 0.0f, 46199, 0.0f},  // capacity - 1
      {true, 120.0f, 5.0f, 2.0f, 917, 367.0f},      // round(916.67), round(366.67)
      {true, 20.0f, 1024.0f, 0.0f, 46199, 0.0f},    // capacity - 1 at a slow tempo
      {true, 0.0f, 5.0f, 2.0f, 1, 0.0f},            // tick 0.0001 ms: kept 1 long
      {false, 120.0f, 0.0f, 0.0f, 1, 0.0f},
      {false, 120.0f, -1e30f, 0.0f, 1, 0.0f},                // a nonsense length stays usable
      {false, 120.0f, 0.5f, 0.25f, 22, 11.0f},               // 22 and 11 exactly
      {false, 120.0f, 0.25f / 11.0f * 2.5f, 0.0f, 2, 0.0f},  // 2.5 samples: half to even
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << (k.ticks ? "ticks" : "ms") << " tempo " << k.tempo << " length " << k.length
                                    << " size " << k.size);
    TDSPXChorus c;
    c.ContextChanged(&DefaultProcessInfo());
    c.SetTempo(k.tempo);
    c.SetLengthUnit(k.ticks);
    c.SetLengthLeft(k.length);
    c.SetSizeLeft(k.size);
    c.SetLengthRight(k.length);
    c.SetSizeRight(k.size);
    EXPECT_EQ(c.Capacity(), 46200);
    EXPECT_EQ(c.LineLengthLeft(), k.samples);
    EXPECT_EQ(c.LineLengthRight(), k.samples);
    EXPECT_EQ(c.OffsetLeft(), k.offset);
    EXPECT_EQ(c.OffsetRight(), k.offset);
  }
}

TEST(Chorus, WritePositionsBeyondANewLengthRestart) {
  TDSPXChorus c;
  SetUpChorus(c, 5.0f, 0.0f);
  std::vector<float> left(132, 0.0f), right(132, 0.0f);
  RunPeriods(c, left, right);
  EXPECT_EQ(c.WritePositionLeft(), 132);
  c.SetLengthLeft(4.0f);  // 176: the position stays
  EXPECT_EQ(c.WritePositionLeft(), 132);
  c.SetLengthLeft(2.0f);  // 88: it restarts
  EXPECT_EQ(c.WritePositionLeft(), 0);
  EXPECT_EQ(c.WritePositionRight(), 132);
}

TEST(Chorus, StillTapsDelayByTheOffsetOrTheWholeLine) {
  struct Case {
    float size;
    int delay;  // samples
  };
  // Modulator gains 0: every tap reads the offset behind the write position; with size
  // 0 it reads the sample written one line length earlier.
  for (const Case& k : {Case{2.0f, 88}, Case{0.0f, 220}, Case{4.0f, 176}, Case{10.0f, 219}}) {
    TDSPXChorus c;
    SetUpChorus(c, 5.0f, k.size);
    c.SetFeedbackLeft(0.5f);
    c.SetFeedbackRight(-1.0f);
    std::vector<float> left(1100, 0.0f), right(1100, 0.0f);
    left[0] = 1.0f;
    right[0] = 1.0f;
    RunPeriods(c, left, right);
    for (int i = 0; i < 1100; ++i) {
      const int echo = i / k.delay;
      const bool on = i % k.delay == 0 && echo > 0;
      SCOPED_TRACE(testing::Message() << "size " << k.size << " sample " << i);
      ASSERT_NEAR(left[i], on ? std::pow(0.5, echo - 1) : 0.0, on ? 1e-6 : 1e-12);
      ASSERT_NEAR(right[i], on ? std::pow(-1.0, echo - 1) : 0.0, on ? 1e-6 : 1e-12);
    }
  }
}

TEST(Chorus, ModulatedTapsReadOffsetPlusMTimesTheValueInterpolated) {
  // Still modulators at gain 0.5 on the first period already: v = g + 0.25 output is the
  // same in both steps, so an impulse at sample 0 comes out split between the samples
  // around offset + 44 v (no ramp up from 0 in the first period).
  TDSPXChorus c;
  SetUpChorus(c, 5.0f, 1.0f, 0.5f);
  for (int k = 0; k < TDSPXChorus::kModulatorCount; ++k) c.Modulator(k).SetWaveform(6.0f);
  for (int k = 0; k < TDSPXChorus::kModulatorCount; ++k) c.Modulator(k).SetFrequency(1e-9f);
  std::vector<float> left(220, 0.0f), right(220, 0.0f);
  left[0] = 1.0f;
  RunPeriods(c, left, right);
  const float v = c.ModulatorValue(TDSPXChorus::kMod1Left);
  EXPECT_NEAR(v, 0.5f * (1.0f + 0.25f * c.Modulator(0).Out / 0.5f), 1e-6);
  EXPECT_EQ(c.ModulatorValue(TDSPXChorus::kMod2Left), v);
  const double d = 44.0 + 44.0 * v;
  const int whole = static_cast<int>(std::floor(d));
  const double frac = d - whole;
  ASSERT_GT(frac, 0.001);
  for (int i = 0; i < 220; ++i) {
    const double expected = i == whole ? 1.0 - frac : (i == whole + 1 ? frac : 0.0);
    ASSERT_NEAR(left[i], expected, 1e-4) << i;
    ASSERT_NEAR(right[i], 0.0, 1e-12) << i;
  }
}

TEST(Chorus, CrossFeedAndUndecayedFeedback) {
  TDSPXChorus c;
  SetUpChorus(c, 5.0f, 0.0f);
  c.SetFeedbackLeft(1.0f);
  c.SetCrossLeftToRight(0.5f);
  std::vector<float> left(44 * 5 * 100 + 44, 0.0f), right(left.size(), 0.0f);
  left[0] = 1.0f;
  RunPeriods(c, left, right);
  // The left line keeps its content circulating without decay; the right line, with no
  // feedback of its own, takes half of what the left one receives on every pass.
  for (int pass = 1; pass <= 100; ++pass) {
    ASSERT_NEAR(left[220 * pass], 1.0, 1e-6) << pass;
    ASSERT_NEAR(right[220 * pass], 0.5, 1e-6) << pass;
    ASSERT_NEAR(right[220 * pass + 1], 0.0, 1e-12) << pass;
  }
  // Clamps: feedback and cross amounts stay within [-1, 1].
  c.SetFeedbackLeft(3.0f);
  c.SetCrossLeftToRight(-7.0f);
  EXPECT_EQ(c.FeedbackLeft(), 1.0f);
  EXPECT_EQ(c.CrossLeftToRight(), -1.0f);
}

TEST(Chorus, NonFiniteStateIsClearedAndNeverEmitted) {
  // The worst loop: full feedback and full cross-feed both ways grow the lines about a
  // billion-fold every 100 ms, so they overflow within a second.
  TDSPXChorus c;
  SetUpChorus(c, 3.0f, 1.0f);
  c.SetDryGain(32.0f);
  c.SetWetGain(32.0f);
  c.Recalculate();
  c.SetFeedbackLeft(1.0f);
  c.SetFeedbackRight(1.0f);
  c.SetCrossLeftToRight(1.0f);
  c.SetCrossRightToLeft(1.0f);
  std::vector<float> left = Noise(88200), right = Noise(88200, 5);
  RunPeriods(c, left, right);
  EXPECT_TRUE(AllFinite(left));
  EXPECT_TRUE(AllFinite(right));

  // Broken modulators (a NaN and a huge gain) still read inside the lines.
  TDSPXChorus b;
  SetUpChorus(b, 3.0f, 1.0f, 1e30f);
  b.Modulator(TDSPXChorus::kMod2Right).SetGain(std::numeric_limits<float>::quiet_NaN());
  std::vector<float> l = Noise(4400), r = Noise(4400, 5);
  RunPeriods(b, l, r);
  EXPECT_TRUE(AllFinite(l));
  EXPECT_TRUE(AllFinite(r));
}

TEST(Chorus, WrapIntoLineMatchesRepeatedSteps) {
  auto stepwise = [](float s, int32_t length) {
    const float len = static_cast<float>(length);
    while (s < 0.0f) s += len;
    while (s >= len) s -= len;
    return s;
  };
  std::mt19937 random(7);
  std::uniform_real_distribution<float> spread(-6.0f, 6.0f);
  for (int32_t length : {1, 2, 3, 220, 4399, 46199}) {
    for (int n = 0; n < 20000; ++n) {
      const float s = spread(random) * static_cast<float>(length);
      ASSERT_EQ(TDSPXChorus::WrapIntoLine(s, length), stepwise(s, length)) << s << " " << length;
    }
    for (float s : {0.0f, -0.0f, -1e-7f, -1e-30f, static_cast<float>(length), -static_cast<float>(length)}) {
      ASSERT_EQ(TDSPXChorus::WrapIntoLine(s, length), stepwise(s, length)) << s << " " << length;
    }
  }
  // Far away or broken read points still land inside the line.
  for (float s : {1e30f, -1e30f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::quiet_NaN()}) {
    const float w = TDSPXChorus::WrapIntoLine(s, 220);
    EXPECT_GE(w, 0.0f) << s;
    EXPECT_LT(w, 220.0f) << s;
  }
}

namespace {

// The chorus step by step as plainly as it can be written: modulator values interpolated
// per sample, read points wrapped by repeated steps, taps, feedback and cross-feed.
struct TReferenceChorus {
  TDSPOscillator modulators[4];
  std::vector<float> lineL, lineR;
  int32_t lenL = 0, lenR = 0, wpL = 0, wpR = 0;
  float offL = 0, offR = 0, fbL = 0, fbR = 0, crossLR = 0, crossRL = 0;
  float wetL = 0, dryL = 0, wetR = 0, dryR = 0;
  float cur[4] = {}, prev[4] = {};
  bool first = true;

  void Step() {
    for (int k = 0; k < 4; ++k) {
      modulators[k].Tick();
      cur[k] = modulators[k].Gain() + 0.25f * modulators[k].Out;
    }
  }
  static float Tap(const std::vector<float>& line, int32_t len, float s) {
    while (s < 0.0f) s += static_cast<float>(len);
    while (s >= static_cast<float>(len)) s -= static_cast<float>(len);
    const int32_t j = static_cast<int32_t>(std::floor(s));
    const float f = s - static_cast<float>(j);
    const int32_t next = j + 1 == len ? 0 : j + 1;
    return (1.0f - f) * line[j] + f * line[next];
  }
  void Process(float* L, float* R, const float* n, int32_t m) {
    if (first) {
      Step();
      first = false;
    }
    for (int k = 0; k < 4; ++k) prev[k] = cur[k];
    Step();
    const float M = static_cast<float>(m);
    for (int32_t i = 0; i < m; ++i) {
      const float inL = L[i] + n[i], inR = R[i] + n[i];
      float v[4];
      for (int k = 0; k < 4; ++k) v[k] = prev[k] + (cur[k] - prev[k]) * static_cast<float>(i) / M;
      const float pL = static_cast<float>(wpL), pR = static_cast<float>(wpR);
      const float yL = (Tap(lineL, lenL, pL - (M * v[0] + offL)) + Tap(lineL, lenL, pL - (M * v[1] + offL))) * 0.5f;
      lineL[wpL] = yL * fbL + inL;
      L[i] = yL * wetL + L[i] * dryL;
      const float yR = (Tap(lineR, lenR, pR - (M * v[2] + offR)) + Tap(lineR, lenR, pR - (M * v[3] + offR))) * 0.5f;
      lineR[wpR] = yR * fbR + inR;
      R[i] = yR * wetR + R[i] * dryR;
      const float t = lineL[wpL];
      lineL[wpL] += lineR[wpR] * crossRL;
      lineR[wpR] += t * crossLR;
      if (++wpL == lenL) wpL = 0;
      if (++wpR == lenR) wpR = 0;
    }
  }
};

}  // namespace

TEST(Chorus, EqualsThePlainStepByStepChorus) {
  // Fast, deep modulation so that the read points sweep across the line ends.
  const float waves[4] = {6.0f, 0.0f, 6.0f, 11.0f};
  const float gains[4] = {1.5f, 4.0f, 0.7f, 3.0f};
  const float hz[4] = {300.0f, 45.0f, 1200.0f, 7.0f};
  TDSPXChorus c;
  c.ContextChanged(&DefaultProcessInfo());
  c.SetPan(0.3f);
  c.SetMix(0.7f);
  c.SetWetGain(1.2f);
  c.SetDryGain(0.8f);
  c.SetInvertRight(true);
  c.SetLengthLeft(2.0f);
  c.SetLengthRight(3.3f);
  c.SetSizeLeft(0.5f);
  c.SetSizeRight(0.0f);
  c.SetFeedbackLeft(0.6f);
  c.SetFeedbackRight(-0.5f);
  c.SetCrossLeftToRight(0.3f);
  c.SetCrossRightToLeft(-0.2f);
  TReferenceChorus ref;
  for (int k = 0; k < 4; ++k) {
    for (TDSPOscillator* o : {&c.Modulator(k), &ref.modulators[k]}) {
      o->SetWaveform(waves[k]);
      o->SetFrequency(hz[k]);
      o->SetGain(gains[k]);
    }
  }
  ref.lenL = c.LineLengthLeft();
  ref.lenR = c.LineLengthRight();
  ref.lineL.assign(ref.lenL, 0.0f);
  ref.lineR.assign(ref.lenR, 0.0f);
  ref.offL = c.OffsetLeft();
  ref.offR = c.OffsetRight();
  ref.fbL = 0.6f;
  ref.fbR = -0.5f;
  ref.crossLR = 0.3f;
  ref.crossRL = -0.2f;
  ref.wetL = c.WetLeft();
  ref.dryL = c.DryLeft();
  ref.wetR = c.WetRight();
  ref.dryR = c.DryRight();
  ASSERT_EQ(ref.lenL, 88);
  ASSERT_EQ(ref.lenR, 145);

  std::vector<float> left = Noise(44 * 300), right = Noise(44 * 300, 1234);
  std::vector<float> refLeft = left, refRight = right;
  for (size_t p = 0; p < left.size(); p += 44) {
    const int32_t at = DSPDenormalPos;
    c.ProcessStereo(&left[p], &right[p]);
    ref.Process(&refLeft[p], &refRight[p], DSPDenormalNoise() + at, 44);
  }
  EXPECT_EQ(left, refLeft);
  EXPECT_EQ(right, refRight);
}

// ============================== all three ==============================

TEST(StereoEffects, RunWithBlocksShorterThanAPeriod) {
  // 96 samples per period but 8-sample blocks: the period buffers must still hold a
  // whole period.
  TDSPProcessInfo context(96000, 8);
  TDSPReverbX reverb;
  TDSPXChorus chorus;
  TDSPXDelay delay;
  for (TDSPStereoEffect* e : {static_cast<TDSPStereoEffect*>(&reverb), static_cast<TDSPStereoEffect*>(&chorus),
                              static_cast<TDSPStereoEffect*>(&delay)}) {
    e->ContextChanged(&context);
    WetOnly(*e);
    std::vector<float> left = Noise(96 * 20), right = Noise(96 * 20, 3);
    RunPeriods(*e, left, right, 96);
    EXPECT_TRUE(AllFinite(left));
    EXPECT_TRUE(AllFinite(right));
  }
}
