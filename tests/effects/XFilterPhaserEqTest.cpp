#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <limits>
#include <vector>

#include "dsp/DSPFilter.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPMultiFilter.h"
#include "effects/DSPXEq.h"
#include "effects/DSPXPhaser.h"
#include "dsp/DSPLock.h"
#include "effects/DSPXXFilter.h"

using namespace tesmora6;

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
      {10.0f, 1, 440},           {-10.0f, 440, 1},          {-0.04f, 1, 1}, {0.04f, 1, 1}, {0.05f, 1, 2},
      {300.0f, 1, 255 * 44 - 1}, {-1e30f, 255 * 44 - 1, 1},
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
      {0.25f, 0.0f, 1, 0.96875f},                               // h = 0.5 shaped: W(0.5) = 1 - 0.5^5
      {0.1f, 0.0f, 1, 0.67232f},                                // W(0.2) = 1 - 0.8^5
      {0.25f, 0.0f, 2, 0.5f},                                   // triangular
      {0.25f, 0.0f, 16, 0.5f},    {0.5f, 0.5f, 2, 1.0f},        // the peak
      {0.25f, 0.5f, 2, 0.25f},                                  // half the cycle or more: h^2
      {0.25f, 0.8f, 2, 0.25f},    {0.25f, 0.125f, 2, 0.4375f},  // h (1 - (1 - h) 2 share)
      {0.0f, 0.3f, 1, 0.0f},      {0.75f, 0.0f, 2, 0.5f},
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
// Phaser
// ---------------------------------------------------------------------------------

namespace {

// Phased signal alone, without feedback or cross-feed; the modulators give m = 0.
void PlainPhaser(TDSPXPhaser& p) {
  WetOnly(p);
  p.SetFeedbackLeft(0.0f);
  p.SetFeedbackRight(0.0f);
  p.SetCrossLeftToRight(0.0f);
  p.SetCrossRightToLeft(0.0f);
  p.ModulatorLeft().SetGain(0.0f);
  p.ModulatorRight().SetGain(0.0f);
}

}  // namespace

TEST(Phaser, StageCountsAreEvenBetweenTwoAndSixtyFour) {
  struct Case {
    int in, stages;
  };
  const Case cases[] = {{5, 4}, {1, 2}, {100, 64}, {0, 2}, {64, 64}, {3, 2}, {65, 64}, {10, 10}};
  for (const Case& c : cases) {
    TDSPXPhaser p;
    p.SetStagesLeft(static_cast<uint8_t>(c.in));
    p.SetStagesRight(static_cast<uint8_t>(c.in));
    EXPECT_EQ(p.StagesLeft(), c.stages) << c.in;
    EXPECT_EQ(p.StagesRight(), c.stages) << c.in;
  }
}

TEST(Phaser, SettersClamp) {
  TDSPXPhaser p;
  EXPECT_FLOAT_EQ(p.FeedbackLeft(), 0.1f);
  EXPECT_FLOAT_EQ(p.CrossLeftToRight(), 0.1f);
  EXPECT_EQ(p.StagesLeft(), 4);
  p.SetPhaseLeft(1.5f);
  p.SetDepthLeft(-1.0f);
  p.SetFeedbackLeft(-3.0f);
  p.SetCrossRightToLeft(2.0f);
  p.SetShift(300.0f);
  EXPECT_EQ(p.PhaseLeft(), 1.0f);
  EXPECT_EQ(p.DepthLeft(), 0.0f);
  EXPECT_EQ(p.FeedbackLeft(), -1.0f);
  EXPECT_EQ(p.CrossRightToLeft(), 1.0f);
  EXPECT_EQ(p.Shift(), 254.5f);
  EXPECT_EQ(p.ShiftCursorRight().length, 11198);  // round(254.5 x 44)
  EXPECT_EQ(p.ShiftCursorLeft().length, 1);
  EXPECT_EQ(p.ShiftCapacity(), 255 * 44);
}

TEST(Phaser, SweepAndCoefficient) {
  EXPECT_EQ(TDSPXPhaser::SweepValue(0.0f), 0.0f);
  EXPECT_NEAR(TDSPXPhaser::SweepValue(1.0f), 1.0f, 1e-6f);
  struct Case {
    float phase, depth, c, a;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 0.7f, 1.0f},    // depth 0 and phase 0: coefficient 1
      {0.0f, 1.0f, 0.0f, 1.0f},    // depth 1, m = 0
      {0.0f, 1.0f, 1.0f, 0.0f},    // depth 1, m = 1
      {0.5f, 0.0f, 0.3f, 0.5f},    // the static part alone
      {0.5f, 0.5f, 0.5f, 0.625f},  // 1 - 0.25 - 0.125
      {0.0f, 1.0f, 5.0f, 0.0f},    // held to [0, 1]
      {0.0f, 1.0f, -5.0f, 1.0f},
      {1.0f, 1.0f, std::numeric_limits<float>::infinity(), 1.0f},  // no swing, no sweep
      {0.0f, 1.0f, std::numeric_limits<float>::infinity(), 0.0f},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(TDSPXPhaser::CoefficientTarget(c.phase, c.depth, c.c), c.a, 1e-6f)
        << c.phase << " " << c.depth << " " << c.c;
}

TEST(Phaser, EvenChainsPassUnchangedAtDepthAndPhaseZero) {
  for (int stages : {2, 4, 64}) {
    TDSPXPhaser p;
    PlainPhaser(p);
    p.SetStagesLeft(static_cast<uint8_t>(stages));
    p.SetStagesRight(static_cast<uint8_t>(stages));
    const std::vector<float> in = Noise(kM * 20, 0.5f), inR = Noise(kM * 20, 0.5f, 333);
    std::vector<float> l = in, r = inR;
    RunPeriods(p, l, r);
    EXPECT_EQ(p.PreviousCoefficientLeft(), 1.0f);
    // After the first period (the coefficient ramps up from 0) every stage gives -x: the
    // output is the input, one sample late through the one-sample ring.
    for (size_t i = kM; i + 1 < in.size(); ++i) {
      ASSERT_NEAR(l[i + 1], in[i], 1e-5f) << stages << " " << i;
      ASSERT_NEAR(r[i + 1], inR[i], 1e-5f) << stages << " " << i;
    }
  }
}

TEST(Phaser, AllPassChainsKeepTheAmplitude) {
  // Coefficient 0.5 from phase 0.5 and depth 0: the chains change only the phase.
  TDSPXPhaser p;
  PlainPhaser(p);
  p.SetPhaseLeft(0.5f);
  p.SetStagesLeft(16);
  for (double hz : {200.0, 3000.0}) {
    p.Clear();
    const int n = kM * 400;
    std::vector<float> l(n), r(n, 0.0f);
    for (int i = 0; i < n; ++i) l[i] = 0.5f * static_cast<float>(std::sin(2 * M_PI * hz * i / 44100));
    RunPeriods(p, l, r);
    float peak = 0.0f;
    for (int i = n / 2; i < n; ++i) peak = std::max(peak, std::fabs(l[i]));
    EXPECT_NEAR(peak, 0.5f, 2e-3f) << hz;
  }
  // Mixed with the dry signal the phase turns become notches.
  p.SetMix(0.5f);
  p.SetDryGain(1.0f);
  p.Clear();
  const std::vector<float> noise = Noise(kM * 400, 0.5f);
  std::vector<float> l = noise, r(noise.size(), 0.0f);
  RunPeriods(p, l, r);
  double in = 0, out = 0;
  for (size_t i = noise.size() / 2; i < noise.size(); ++i) {
    in += noise[i] * noise[i];
    out += l[i] * l[i];
  }
  EXPECT_LT(out, 0.9 * in);
}

TEST(Phaser, FeedbackAndCrossFeed) {
  // Coefficient 1 (depth 0, phase 0) makes the chains pass their input: with feedback 1
  // the left channel sums its input up; cross R->L 1 carries the right input over.
  TDSPXPhaser p;
  PlainPhaser(p);
  p.SetFeedbackLeft(1.0f);
  std::vector<float> l(kM * 6, 0.0f), r(kM * 6, 0.0f);
  l[2 * kM] = 0.25f;
  RunPeriods(p, l, r);
  for (size_t i = 2 * kM + 1; i < l.size(); ++i) ASSERT_NEAR(l[i], 0.25f, 1e-6f) << i;
  for (float y : r) ASSERT_NEAR(y, 0.0f, 1e-12f);

  TDSPXPhaser q;
  PlainPhaser(q);
  q.SetCrossRightToLeft(1.0f);
  std::vector<float> l2(kM * 4, 0.0f), r2(kM * 4, 0.0f);
  r2[2 * kM] = 0.5f;
  RunPeriods(q, l2, r2);
  EXPECT_NEAR(l2[2 * kM + 1], 0.5f, 1e-6f);
  EXPECT_NEAR(r2[2 * kM + 1], 0.5f, 1e-6f);
  EXPECT_NEAR(l2[2 * kM + 2], 0.0f, 1e-6f);
}

TEST(Phaser, StageChangeClearsEverySignalHistory) {
  TDSPXPhaser p;
  p.SetShift(20.0f);
  std::vector<float> l = Noise(kM * 10, 0.5f), r = Noise(kM * 10, 0.5f, 5);
  RunPeriods(p, l, r);
  p.SetStagesLeft(6);
  EXPECT_EQ(p.PreviousCoefficientLeft(), 0.0f);
  // Rings, stages and feedback are empty: silence in, (near) silence out.
  std::vector<float> l2(kM * 25, 0.0f), r2(kM * 25, 0.0f);
  RunPeriods(p, l2, r2);
  for (size_t i = 0; i < l2.size(); ++i) {
    ASSERT_LT(std::fabs(l2[i]), 1e-15f) << i;
    ASSERT_LT(std::fabs(r2[i]), 1e-15f) << i;
  }
}

TEST(Phaser, StageChangeWaitsForTheProcessingLock) {
  TDSPXPhaser p;
  std::atomic<bool> done{false};
  std::thread setter;
  {
    TDSPLockGuard lock;  // as while a host block is being processed
    setter = std::thread([&] {
      p.SetStagesLeft(8);
      done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done.load());
    EXPECT_EQ(p.StagesLeft(), 4);
  }
  setter.join();
  EXPECT_EQ(p.StagesLeft(), 8);
}

TEST(Phaser, GuardKeepsTheOutputFiniteAtTheWorstSettings) {
  // Full feedback and cross-feed on both sides grow without bound.
  TDSPXPhaser p;
  p.SetWetGain(32.0f);
  p.SetDryGain(32.0f);
  p.SetMix(0.5f);
  p.SetShift(2.0f);
  p.SetStagesLeft(64);
  p.SetStagesRight(64);
  p.SetFeedbackLeft(1.0f);
  p.SetFeedbackRight(1.0f);
  p.SetCrossLeftToRight(1.0f);
  p.SetCrossRightToLeft(1.0f);
  p.SetDepthLeft(1.0f);
  p.ModulatorLeft().SetGain(32.0f);
  std::vector<float> l = Noise(kM * 200, 1.0f), r = Noise(kM * 200, 1.0f, 11);
  RunPeriods(p, l, r);
  EXPECT_TRUE(AllFinite(l));
  EXPECT_TRUE(AllFinite(r));
  // Once the input stops, the grown state is cleared the next time it overflows.
  std::vector<float> l2(kM * 200, 0.0f), r2(kM * 200, 0.0f);
  RunPeriods(p, l2, r2);
  EXPECT_TRUE(AllFinite(l2));
  EXPECT_TRUE(AllFinite(r2));
}

TEST(Phaser, ContextChangeReachesTheModulatorsAndRings) {
  TDSPProcessInfo info(48000, 48);
  TDSPXPhaser p;
  p.SetShift(10.0f);
  p.ContextChanged(&info);
  EXPECT_EQ(p.ModulatorLeft().Context(), &info);
  EXPECT_EQ(p.ModulatorRight().Context(), &info);
  EXPECT_EQ(p.ShiftCapacity(), 255 * 48);
  EXPECT_EQ(p.ShiftCursorRight().length, 480);
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
