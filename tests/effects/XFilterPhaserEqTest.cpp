#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dsp/DSPFilter.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPMultiFilter.h"
#include "effects/DSPXEq.h"
#include "effects/DSPXXFilter.h"

namespace {

constexpr int kM = 44;  // one period at 44.1 kHz

// Runs the two signals through an effect period by period, in place.
void RunPeriods(TDSPStereoEffect& e, std::vector<float>& l, std::vector<float>& r) {
  const int m = e.Context()->samplesPerMs;
  for (size_t p = 0; p + m <= l.size(); p += m) e.ProcessStereo(&l[p], &r[p]);
}

std::vector<float> Noise(size_t n, float amplitude, int offset = 0) {
  std::vector<float> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = amplitude * DSPNoiseTable()[(i + offset) % 20000];
  return v;
}

// Wet signal alone at unit gain: pan 0.5, mix 1, wet gain 1.
void WetOnly(TDSPStereoEffect& e) {
  e.SetPan(0.5f);
  e.SetMix(1.0f);
  e.SetWetGain(1.0f);
}

bool AllFinite(const std::vector<float>& v) {
  for (float x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------
// X-filter
// ---------------------------------------------------------------------------------

TEST(XFilter, TwoTapsOfNinetyMillisecondsShareTheCycle) {
  TDSPXXFilter x;
  x.SetTapCount(2);
  EXPECT_EQ(x.Cycle(TDSPXXFilter::kLeft), 7920);
  EXPECT_FLOAT_EQ(x.PhaseStep(TDSPXXFilter::kRight), 1.0f / 7920.0f);
  for (int side : {TDSPXXFilter::kLeft, TDSPXXFilter::kRight}) {
    const float starts[] = {0.0f, 0.5f}, centres[] = {0.25f, 0.75f}, phases[] = {0.25f, 0.75f};
    for (int j = 0; j < 2; ++j) {
      const TDSPXXFilter::TTap& t = x.Tap(side, j);
      EXPECT_EQ(t.tapSamples, 3960);
      EXPECT_FLOAT_EQ(t.tapMs, 90.0f);
      EXPECT_FLOAT_EQ(t.share, 0.5f);
      EXPECT_FLOAT_EQ(t.start, starts[j]);
      EXPECT_FLOAT_EQ(t.centre, centres[j]);
      EXPECT_FLOAT_EQ(t.phase, phases[j]);
    }
  }
  // The default four taps: a quarter each, the sequence starting between taps 2 and 3.
  TDSPXXFilter d;
  EXPECT_EQ(d.TapCount(), 4);
  EXPECT_EQ(d.Cycle(TDSPXXFilter::kLeft), 15840);
  const float phases[] = {0.375f, 0.125f, 0.875f, 0.625f};
  for (int j = 0; j < 4; ++j) EXPECT_FLOAT_EQ(d.Tap(TDSPXXFilter::kLeft, j).phase, phases[j]);
}

TEST(XFilter, LengthsCountTicksOrMillisecondsAndFollowTheRate) {
  TDSPXXFilter x;
  x.SetTapCount(8);  // stored as 4
  EXPECT_EQ(x.TapCount(), 4);
  x.SetTapLength(TDSPXXFilter::kRight, 3, 10);
  EXPECT_EQ(x.Cycle(TDSPXXFilter::kRight), 44 * 280);
  EXPECT_EQ(x.Tap(TDSPXXFilter::kRight, 3).tapSamples, 440);
  EXPECT_EQ(x.Cycle(TDSPXXFilter::kLeft), 44 * 360);
  // In tick mode at 120 bpm a tick is 60000 / 120 / 120 ms: 90 ticks are 375 ms.
  x.SetLengthUnit(true);
  EXPECT_EQ(x.Tap(TDSPXXFilter::kLeft, 0).tapSamples, 16500);
  x.SetTempo(60.0f);
  EXPECT_EQ(x.Tap(TDSPXXFilter::kLeft, 0).tapSamples, 33000);
  x.SetLengthUnit(false);
  // At 48 kHz: 90 ms are 4320 samples, the shift ring 255 ms.
  TDSPProcessInfo info(48000, 48);
  x.ContextChanged(&info);
  EXPECT_EQ(x.Tap(TDSPXXFilter::kLeft, 1).tapSamples, 4320);
  EXPECT_EQ(x.ShiftCapacity(), 255 * 48);
  EXPECT_EQ(x.TapFilter(TDSPXXFilter::kRight, 2).Context(), &info);
}

TEST(XFilter, ShiftLengths) {
  struct Case {
    float shift;
    int left, right;
  };
  const Case cases[] = {
      {10.0f, 1, 440}, {-10.0f, 440, 1}, {-0.04f, 1, 1}, {0.04f, 1, 1},
      {0.05f, 1, 2},   {300.0f, 1, 255 * 44 - 1},         {-1e30f, 255 * 44 - 1, 1},
  };
  for (const Case& c : cases) {
    TDSPXXFilter x;
    x.SetShift(c.shift);
    EXPECT_EQ(x.ShiftCursor(TDSPXXFilter::kLeft).length, c.left) << c.shift;
    EXPECT_EQ(x.ShiftCursor(TDSPXXFilter::kRight).length, c.right) << c.shift;
  }
}

TEST(XFilter, ShiftDelaysTheRightChannel) {
  // Dry only: an impulse on both channels arrives on the left after the one-sample ring
  // and on the right 439 samples later.
  TDSPXXFilter x;
  x.SetMix(0.0f);
  x.SetShift(10.0f);
  std::vector<float> l(kM * 12, 0.0f), r(kM * 12, 0.0f);
  l[0] = r[0] = 1.0f;
  RunPeriods(x, l, r);
  for (size_t i = 0; i < l.size(); ++i) {
    ASSERT_NEAR(l[i], i == 1 ? 1.0f : 0.0f, 1e-6f) << i;
    ASSERT_NEAR(r[i], i == 440 ? 1.0f : 0.0f, 1e-6f) << i;
  }
}

TEST(XFilter, WindowWeights) {
  struct Case {
    float phase, share;
    int mode;
    float weight;
  };
  const Case cases[] = {
      {0.25f, 0.0f, 1, 0.96875f},   // h = 0.5 shaped: W(0.5) = 1 - 0.5^5
      {0.25f, 0.0f, 2, 0.5f},       // triangular
      {0.25f, 0.0f, 16, 0.5f},
      {0.5f, 0.5f, 2, 1.0f},        // the peak
      {0.25f, 0.5f, 2, 0.25f},      // half the cycle or more: h^2
      {0.25f, 0.8f, 2, 0.25f},
      {0.25f, 0.125f, 2, 0.4375f},  // h (1 - (1 - h) 2 share)
      {0.0f, 0.3f, 1, 0.0f},
      {0.75f, 0.0f, 2, 0.5f},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(TDSPXXFilter::Weight(c.phase, c.share, c.mode), c.weight, 1e-6f)
        << c.phase << " " << c.share << " " << c.mode;
  EXPECT_EQ(TDSPXXFilter::ShapedWindow()[0], 0.0f);
  EXPECT_EQ(TDSPXXFilter::ShapedWindow()[4000], 1.0f);
  // Phases beyond the cycle stay inside the table.
  EXPECT_TRUE(std::isfinite(TDSPXXFilter::Weight(-3.0f, 0.1f, 1)));
  EXPECT_TRUE(std::isfinite(TDSPXXFilter::Weight(7.0f, 0.1f, 1)));
}

// The tap filters of both modes, measured against one stand-alone low-pass of the same
// settings: parallel mode sums the two taps, sequenced mode weights each by its window.
TEST(XFilter, ParallelSumsAndSequencedWeighsTheTaps) {
  for (int mode : {0, 2, 1}) {
    TDSPXXFilter x;
    WetOnly(x);
    x.SetWindowMode(mode);
    x.SetTapCount(2);
    x.SetTapLength(TDSPXXFilter::kLeft, 0, 1);  // 44 + 44 samples: an 88-sample cycle
    x.SetTapLength(TDSPXXFilter::kLeft, 1, 1);
    for (int j = 0; j < 2; ++j) x.TapFilter(TDSPXXFilter::kLeft, j).Filter()->SetCutoff(3000.0f);
    TDSPMultiFilter reference;
    reference.Filter()->SetCutoff(3000.0f);

    const std::vector<float> in = Noise(kM * 10, 0.5f);
    std::vector<float> l = in, r(in.size(), 0.0f);
    RunPeriods(x, l, r);
    float phase[2] = {0.25f, 0.75f};
    for (size_t i = 0; i + 1 < in.size(); ++i) {
      reference.In = in[i];
      reference.Tick();
      float gain = 2.0f;
      if (mode != 0) {
        gain = 0.0f;
        for (float& p : phase) {
          gain += TDSPXXFilter::Weight(p, 0.5f, mode);
          p += 1.0f / 88.0f;
          if (p > 1.0f) p -= 1.0f;
        }
      }
      // The one-sample ring delays the output by one sample.
      ASSERT_NEAR(l[i + 1], gain * reference.Out, 1e-5f) << "mode " << mode << " sample " << i;
    }
  }
}

TEST(XFilter, WithoutTapsOnlyTheDryPartRemains) {
  TDSPXXFilter x;
  x.SetTapCount(0);
  x.SetMix(0.5f);
  const std::vector<float> in = Noise(kM * 3, 0.5f);
  std::vector<float> l = in, r = in;
  RunPeriods(x, l, r);
  for (size_t i = 0; i + 1 < in.size(); ++i) {
    ASSERT_NEAR(l[i + 1], in[i] * x.DryLeft(), 1e-6f);
    ASSERT_NEAR(r[i + 1], in[i] * x.DryRight(), 1e-6f);
  }
}

TEST(XFilter, GuardKeepsTheOutputFiniteAtTheWorstSettings) {
  // Resonant ladders at full resonance, parallel sum, full wet gain and an input at the
  // edge of the float range: the sums overflow.
  TDSPXXFilter x;
  x.SetWindowMode(0);
  x.SetWetGain(32.0f);
  x.SetDryGain(32.0f);
  x.SetMix(0.5f);
  x.SetShift(-3.0f);
  for (int side : {TDSPXXFilter::kLeft, TDSPXXFilter::kRight})
    for (int j = 0; j < 4; ++j) {
      TDSPMultiFilter& f = x.TapFilter(side, j);
      f.SetType(static_cast<float>(7 + j));
      f.Filter()->SetResonance(0.999f);
      f.Filter()->SetCutoff(15000.0f);
    }
  std::vector<float> l = Noise(kM * 50, 3e38f), r = Noise(kM * 50, -3e38f, 7);
  l[100] = std::numeric_limits<float>::quiet_NaN();
  RunPeriods(x, l, r);
  EXPECT_TRUE(AllFinite(l));
  EXPECT_TRUE(AllFinite(r));
  // Afterwards ordinary input gives ordinary output again.
  std::vector<float> l2 = Noise(kM * 200, 0.1f), r2 = l2;
  RunPeriods(x, l2, r2);
  EXPECT_TRUE(AllFinite(l2));
  EXPECT_GT(std::fabs(l2.back()) + std::fabs(l2[l2.size() - 2]), 0.0f);
}

// ---------------------------------------------------------------------------------
// EQ effect
// ---------------------------------------------------------------------------------

namespace {

void SetBands(TDSP3BandEQ& eq, float low, float mid, float high) {
  eq.SetLowGain(low);
  eq.SetMidGain(mid);
  eq.SetHighGain(high);
  eq.SetCentreFrequency(1000.0f);
  eq.SetQ(0.5f);
}

}  // namespace

TEST(EqEffect, TransparentAtZeroDecibels) {
  TDSPXEq e;
  WetOnly(e);
  SetBands(e.EqualiserLeft(), 0.0f, 0.0f, 0.0f);
  SetBands(e.EqualiserRight(), 0.0f, 0.0f, 0.0f);
  const std::vector<float> in = Noise(kM * 20, 0.5f);
  std::vector<float> l = in, r = Noise(kM * 20, 0.5f, 999);
  const std::vector<float> inR = r;
  RunPeriods(e, l, r);
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_NEAR(l[i], in[i], 1e-5f) << i;
    ASSERT_NEAR(r[i], inR[i], 1e-5f) << i;
  }
}

TEST(EqEffect, EachChannelHasItsOwnEqualiserAndTheOutputLaw) {
  // Left: +12 dB low shelf; right: flat. A DC input settles at 2^2 on the left.
  TDSPXEq e;
  e.SetPan(0.5f);
  e.SetMix(0.5f);
  e.SetWetGain(1.0f);
  e.SetDryGain(1.0f);
  SetBands(e.EqualiserLeft(), 12.0f, 0.0f, 0.0f);
  SetBands(e.EqualiserRight(), 0.0f, 0.0f, 0.0f);
  std::vector<float> l(kM * 400, 0.25f), r(kM * 400, 0.25f);
  RunPeriods(e, l, r);
  // wet 0.5 x EQ + dry 0.5 x input
  EXPECT_NEAR(l.back(), 0.5f * 4.0f * 0.25f + 0.5f * 0.25f, 1e-4f);
  EXPECT_NEAR(r.back(), 0.25f, 1e-5f);
}

TEST(EqEffect, ContextReachesTheEqualisers) {
  TDSPProcessInfo info(48000, 48);
  TDSPXEq e;
  e.ContextChanged(&info);
  EXPECT_EQ(e.EqualiserLeft().Context(), &info);
  EXPECT_EQ(e.EqualiserRight().Context(), &info);
}

TEST(EqEffect, GuardClearsTheHistoryAfterANonFinitePeriod) {
  auto make = [](TDSPXEq& e) {
    WetOnly(e);
    e.SetWetGain(32.0f);
    SetBands(e.EqualiserLeft(), 15.0f, 15.0f, 15.0f);
    SetBands(e.EqualiserRight(), 15.0f, 15.0f, 15.0f);
  };
  TDSPXEq e, fresh;
  make(e);
  make(fresh);
  std::vector<float> l = Noise(kM * 4, 3e38f), r(kM * 4, std::numeric_limits<float>::infinity());
  RunPeriods(e, l, r);
  EXPECT_TRUE(AllFinite(l));
  EXPECT_TRUE(AllFinite(r));
  // The histories start again from rest: the next periods match a new effect's.
  const std::vector<float> in = Noise(kM * 4, 0.1f);
  std::vector<float> l1 = in, r1 = in, l2 = in, r2 = in;
  RunPeriods(e, l1, r1);
  RunPeriods(fresh, l2, r2);
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_NEAR(l1[i], l2[i], 1e-5f) << i;
    ASSERT_NEAR(r1[i], r2[i], 1e-5f) << i;
  }
}
