#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "EffectTestTools.h"
#include "effects/DSPXDelay.h"

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
      {44100, false, 120.0f, 100, 4400},
      {44100, false, 120.0f, 2048, 90112},    // within the capacity of 180,400
      {44100, true, 120.0f, 100, 18333},      // round(100 x 4.1667 x 44)
      {44100, true, 20.0f, 2048, 180399},     // capacity - 1
      {44100, true, 0.0f, 100, 1},            // tick 0.0001 ms: 0.44 samples, kept at 1
      {44100, true, 1e-6f, 2048, 180399},     // a tick of 5e8 ms is held at the capacity
      {44100, false, 120.0f, 0, 1},
      {44100, false, 120.0f, -5, 1},
      {48000, false, 120.0f, 100, 4800},
      {48000, true, 90.0f, 7, 1867},          // round(7 x 5.5556 x 48) = round(1866.67)
      {96000, false, 120.0f, 4100, 393599},   // capacity 4100 x 96 less one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << (c.ticks ? "ticks" : "ms") << " tempo "
                                    << c.tempo << " length " << c.length);
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
