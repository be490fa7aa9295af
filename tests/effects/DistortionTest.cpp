#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "dsp/DSPFilter.h"
#include "effects/DSPDistortionCurves.h"
#include "effects/DSPXDistortion.h"

using namespace tesmora6;

namespace {

constexpr int kM = 44;  // one period at 44.1 kHz

// One period of constant left and right inputs; returns the period's output.
struct TStereo {
  std::vector<float> l, r;
};
TStereo RunConstant(TDSPXDistortion& d, float left, float right) {
  TStereo s{std::vector<float>(kM, left), std::vector<float>(kM, right)};
  d.ProcessStereo(s.l.data(), s.r.data());
  return s;
}

// Wet signal alone at unit gain: pan 0.5, mix 1 and wet gain 1 give wet 1 and dry 0; no
// surround.
void WetOnly(TDSPXDistortion& d) {
  d.SetPan(0.5f);
  d.SetMix(1.0f);
  d.SetWetGain(1.0f);
  d.SetSurround(0.0f);
}

float Curve(int type, float drive, float x) {
  const TDistortionCurve& c = DistortionCurve(type);
  return c.shape(x, c.prepare(drive));
}

float InputGain(float drive) { return std::pow(5.0f, (127.0f * drive - 32.0f) / 127.0f); }

}  // namespace

TEST(DistortionCurves, TableFollowsTheTypeList) {
  const char* names[] = {"OldValves", "TubeScream1", "SynthValve", "Grunge", "FbkValve", "TubeScream2",
                         "FbkScream", "Bass1",       "Rain",       "Bass2",  "Bass3",    "Rock",
                         "SynDist",   "SynDist2",    "SynDist3",   "",       ""};
  for (int t = 1; t <= kDistortionCurveCount; ++t) {
    EXPECT_EQ(DistortionCurve(t).type, t);
    EXPECT_STREQ(DistortionCurve(t).name, names[t - 1]) << t;
  }
  // 0 is read as 1; every type from 17 on is the logistic curve.
  EXPECT_EQ(DistortionCurve(0).type, 1);
  EXPECT_EQ(DistortionCurve(18).type, 17);
  EXPECT_EQ(DistortionCurve(255).type, 17);
}

TEST(DistortionCurves, ValuesAtChosenPoints) {
  struct Case {
    int type;
    float drive, x, y, tolerance;
  };
  const float t02 = std::exp2(-0.32f);  // "OldValves" threshold at drive 0.2: 0.8011
  const Case cases[] = {
      // "OldValves": below the threshold scaled by 1 / t = 1.2483, beyond it +-1.
      {1, 0.2f, 0.5f, 0.5f / t02, 1e-6f},
      {1, 0.2f, 0.8f, 0.99866f, 1e-5f},
      {1, 0.2f, 0.81f, 1.0f, 0.0f},
      {1, 0.2f, -0.9f, -1.0f, 0.0f},
      // "TubeScream1" beyond a quarter turn (G = 4.0001): plain sin(G x).
      {2, 0.5f, 0.25f, std::sin(4.0001f * 0.25f), 1e-6f},
      // "SynthValve" at drive 0.5: D = 8.0001, sin(x (0.1 + D - D x)) / 1.1.
      {3, 0.5f, 0.1f, std::sin(0.1f * (0.1f + 8.0001f - 0.80001f)) / 1.1f, 1e-6f},
      // "Grunge": step 0.000001 at drive 0, step 1.000001 at drive 1.
      {4, 0.0f, 0.3f, 0.3f, 1e-6f},
      {4, 1.0f, 0.49f, 0.0f, 0.0f},
      {4, 1.0f, 0.51f, 1.000001f, 1e-7f},
      {4, 1.0f, 1.4f, 1.000001f, 1e-7f},
      {4, 1.0f, -1.2f, -1.000001f, 1e-7f},
      {4, 1.0f, -0.4f, 0.0f, 0.0f},
      // "FbkValve" at drive 0 is nearly linear (k = 0.001); at drive 1 k = 999.001.
      {5, 0.0f, 0.5f, 0.5f, 1e-4f},
      {5, 1.0f, 0.01f, std::atan(9.99001f) / std::atan(999.001f), 1e-5f},
      // "TubeScream2" folds G x = 4.0001 x back at pi / 2.
      {6, 0.5f, 0.5f, std::asin(std::sin(2.00005f)), 1e-5f},
      // "FbkScream" at drive 0: q = 0.5 x 0.9999 keeps its sawtooth remainder times 1.6.
      {7, 0.0f, 1.0f, 0.79992f, 1e-5f},
      {7, 0.0f, 1.2f, -0.640096f, 1e-5f},
      // "Bass1" / "Rain" at drive 0: v = w = 1.
      {8, 0.0f, -2.0f, -1.0f, 0.0f},
      {8, 0.0f, 0.3f, 0.6f, 0.0f},
      {9, 0.0f, 2.0f, 2.0f, 0.0f},
      {9, 0.0f, 0.3f, 0.6f, 0.0f},
      // "Bass2" at drive 1: I = 30.001, J = 1; silent beyond N = 1.
      {10, 1.0f, 0.01f, 0.30001f * 0.69999f * 2.30001f, 1e-5f},
      {10, 1.0f, 0.05f, 0.0f, 0.0f},
      // "Bass3" at drive 1: G = 32.0001, H = 1; steps -1 above and -2 below the parabola.
      {11, 1.0f, 0.01f, 0.320001f * 0.679999f, 1e-5f},
      {11, 1.0f, 0.1f, -1.0f, 0.0f},
      {11, 1.0f, -0.1f, -2.0f, 0.0f},
      // "Rock": drive 0 passes the signal; drive 0.5 has a dead zone of 0.109375.
      {12, 0.0f, 0.3f, 0.3f, 0.0f},
      {12, 0.0f, -0.7f, -0.7f, 0.0f},
      {12, 0.0f, 1e-6f, 1e-6f, 0.0f},
      {12, 0.0f, 0.0f, 0.0f, 0.0f},
      {12, 0.5f, 0.1f, 0.0f, 0.0f},
      {12, 0.5f, 0.5f, 0.390625f, 1e-7f},
      {12, 0.5f, -0.5f, -0.390625f, 1e-7f},
      // "SynDist" at drive 0.5: x d^2 inside 0.5, 4 x^2 d outside.
      {13, 0.5f, 0.4f, 0.1f, 1e-7f},
      {13, 0.5f, -0.8f, 1.28f, 1e-6f},
      // "SynDist2" at drive 0.5: 2 d N from N = d, -d N below.
      {14, 0.5f, 1.0f, 1.2f, 1e-6f},
      {14, 0.5f, -1.0f, 0.6f, 1e-6f},
      {14, 0.5f, 0.2f, -0.12f, 1e-6f},
      // "SynDist3": x^3 inside 1 - d, |x| d x outside; beyond 3 d a tenth.
      {15, 0.5f, 0.4f, 0.064f, 1e-6f},
      {15, 0.5f, 0.8f, 0.32f, 1e-6f},
      {15, 0.1f, 0.8f, 0.0512f, 1e-6f},
      // Curve 16: 3 (N - N^3) / E, held at most at 10 (not below), silent beyond |N| = 1.
      {16, 0.0f, 0.5f, 1.5f, 1e-3f},
      {16, 1.0f, 0.02f, 3.0f * (0.400002f - 0.064001f), 1e-5f},
      {16, 1.0f, 0.06f, 0.0f, 0.0f},
      {16, 0.1f, 28.7f, 10.0f, 0.0f},
      {16, 0.1f, -28.7f, -57.45f, 0.05f},
      // Logistic: at drive 1 O = 0.5 and q is held at 10; at drive 0 nearly linear.
      {17, 1.0f, 1.0f, 2.0f * (0.5f - 1.0f / (std::exp(10.0f) + 1.0f)), 1e-6f},
      {17, 1.0f, 0.01f, 2.0f * (0.5f - 1.0f / (std::exp(0.800001f) + 1.0f)), 1e-5f},
      {17, 0.0f, 0.5f, 0.5f, 5e-3f},
  };
  for (const Case& c : cases) {
    const float y = Curve(c.type, c.drive, c.x);
    EXPECT_NEAR(y, c.y, c.tolerance) << "type " << c.type << " drive " << c.drive << " x " << c.x;
  }
  EXPECT_NEAR(DistortionCurve(1).prepare(0.2f).a, 0.8011f, 1e-4f);
}

TEST(DistortionCurves, NoCurveLeavesTheFiniteRangeForFiniteInput) {
  const float xs[] = {0.0f, 1e-30f, -0.3f, 0.999f, -1.0f, 1.7f, -5.0f, 100.0f};
  const float drives[] = {0.0f, 0.001f, 0.2f, 0.5f, 0.9f, 1.0f};
  for (int t = 1; t <= kDistortionCurveCount; ++t)
    for (float d : drives)
      for (float x : xs) EXPECT_TRUE(std::isfinite(Curve(t, d, x))) << t << " " << d << " " << x;
}

TEST(Distortion, SettersClampAndStore) {
  TDSPXDistortion d;
  EXPECT_FLOAT_EQ(d.Surround(), 0.4f);
  EXPECT_FLOAT_EQ(d.DriveLeft(), 0.0001223f);
  EXPECT_FLOAT_EQ(d.DriveRight(), 0.0600121f);
  EXPECT_EQ(d.TypeLeft(), 1);
  EXPECT_FLOAT_EQ(d.ClipThreshold(), 10.0f);
  EXPECT_FLOAT_EQ(d.ClipLevel(), 0.5f);
  d.SetSurround(1.5f);
  d.SetDriveLeft(-0.2f);
  d.SetDriveRight(std::nanf(""));
  EXPECT_EQ(d.Surround(), 1.0f);
  EXPECT_EQ(d.DriveLeft(), 0.0f);
  EXPECT_EQ(d.DriveRight(), 0.0f);
  d.SetTypeLeft(0);
  d.SetTypeRight(200);
  EXPECT_EQ(d.TypeLeft(), 1);
  EXPECT_EQ(d.TypeRight(), 200);
  // Clip threshold and level are not clamped.
  d.SetClipThreshold(-3.0f);
  d.SetClipLevel(100.0f);
  EXPECT_EQ(d.ClipThreshold(), -3.0f);
  EXPECT_EQ(d.ClipLevel(), 100.0f);
}

TEST(Distortion, InputGainThenTheChannelsCurve) {
  struct Case {
    int type;
    float drive, in, out;
  };
  const float t02 = std::exp2(-0.32f);
  const Case cases[] = {
      {12, 0.0f, 0.3f, 0.3f * InputGain(0.0f)},          // "Rock" passes: gain 0.667
      {1, 0.2f, 0.5f, 0.5f * InputGain(0.2f) / t02},     // gain 0.920, then 1 / 0.8011
      {8, 1.0f, 0.01f, 2.0f * 0.01f * InputGain(1.0f)},  // gain 3.333, "Bass1" doubles
      {200, 1.0f, 0.001f, Curve(17, 1.0f, 0.001f * InputGain(1.0f))},
  };
  EXPECT_NEAR(InputGain(0.0f), 0.667f, 1e-3f);
  EXPECT_NEAR(InputGain(0.2f), 0.920f, 1e-3f);
  EXPECT_NEAR(InputGain(1.0f), 3.333f, 1e-3f);
  for (const Case& c : cases) {
    TDSPXDistortion d;
    WetOnly(d);
    d.SetTypeLeft(static_cast<uint8_t>(c.type));
    d.SetDriveLeft(c.drive);
    const TStereo s = RunConstant(d, c.in, 0.0f);
    for (int i = 0; i < kM; ++i) ASSERT_NEAR(s.l[i], c.out, 1e-5f) << c.type;
  }
  // Input adjust negates the gains: an odd curve inverts the wet signal.
  TDSPXDistortion d;
  WetOnly(d);
  d.SetTypeLeft(12);
  d.SetDriveLeft(0.0f);
  d.SetInputAdjust(true);
  EXPECT_NEAR(RunConstant(d, 0.3f, 0.0f).l[0], -0.3f * InputGain(0.0f), 1e-6f);
}

TEST(Distortion, ClipModesBeforeOrAfterTheCurve) {
  // Drive 32/127 gives unit input gain; "Rock" then moves samples towards 0 by N.
  const float drive = 32.0f / 127.0f;
  const float n = (std::exp2(6.0f * drive) - 1.0f) / 64.0f;
  struct Case {
    uint8_t mode;
    float out;
  };
  // -0.8: unclipped it stays negative; mode 1 turns it into +0.5 before the curve, mode 2
  // after it; other modes do not clip.
  const Case cases[] = {{0, -0.8f + n}, {1, 0.5f - n}, {2, 0.5f}, {3, -0.8f + n}};
  for (const Case& c : cases) {
    TDSPXDistortion d;
    WetOnly(d);
    d.SetTypeLeft(12);
    d.SetDriveLeft(drive);
    d.SetClipMode(c.mode);
    d.SetClipThreshold(0.5f);
    d.SetClipLevel(0.5f);
    EXPECT_NEAR(RunConstant(d, -0.8f, 0.0f).l[5], c.out, 1e-5f) << int(c.mode);
  }
}

TEST(Distortion, SurroundCrossMixesAndDryTakesTheInput) {
  struct Case {
    float surround, left, right;
  };
  // "Rock" at drive 0 on both sides passes the inputs 0.3 and -0.6 at the input gain.
  const float g = InputGain(0.0f);
  const Case cases[] = {{0.0f, 0.3f * g, -0.6f * g}, {1.0f, -0.6f * g, 0.3f * g}, {0.5f, -0.15f * g, -0.15f * g}};
  for (const Case& c : cases) {
    TDSPXDistortion d;
    WetOnly(d);
    d.SetTypeLeft(12);
    d.SetTypeRight(12);
    d.SetDriveLeft(0.0f);
    d.SetDriveRight(0.0f);
    d.SetSurround(c.surround);
    const TStereo s = RunConstant(d, 0.3f, -0.6f);
    EXPECT_NEAR(s.l[3], c.left, 1e-6f) << c.surround;
    EXPECT_NEAR(s.r[3], c.right, 1e-6f) << c.surround;
  }
  // Mix 0 with dry gain 1: the input itself, without the anti-denormal values.
  TDSPXDistortion d;
  d.SetMix(0.0f);
  d.SetDryGain(1.0f);
  const TStereo s = RunConstant(d, 0.3f, -0.6f);
  for (int i = 0; i < kM; ++i) {
    ASSERT_EQ(s.l[i], 0.3f);
    ASSERT_EQ(s.r[i], -0.6f);
  }
}

TEST(Distortion, FiltersRunBeforeOrAfterTheCurve) {
  // "Grunge" at drive 1 leaves only 0 and +-1.000001; a low-pass after it smooths the
  // steps, a low-pass before it does not.
  for (bool pre : {true, false}) {
    TDSPXDistortion d;
    WetOnly(d);
    d.SetTypeLeft(4);
    d.SetDriveLeft(1.0f);
    d.SetLeftFilter1On(true);
    d.LeftFilter1().Filter()->SetCutoff(1000.0f);
    d.SetPreFilter(pre);
    bool offGrid = false;
    for (int p = 0; p < 20; ++p) {
      TStereo s{std::vector<float>(kM), std::vector<float>(kM, 0.0f)};
      for (int i = 0; i < kM; ++i) s.l[i] = 0.4f * std::sin(0.05f * static_cast<float>(p * kM + i));
      d.ProcessStereo(s.l.data(), s.r.data());
      for (float y : s.l) offGrid |= !(y == 0.0f || std::fabs(std::fabs(y) - 1.000001f) < 1e-6f);
    }
    EXPECT_EQ(offGrid, !pre) << pre;
  }
}

TEST(Distortion, GuardKeepsTheOutputFiniteAtTheWorstSettings) {
  // "SynDist" at drive 1 squares the input: 1e20 overflows; NaN input as well.
  TDSPXDistortion d;
  d.SetWetGain(32.0f);
  d.SetDryGain(32.0f);
  d.SetMix(0.5f);
  d.SetTypeLeft(13);
  d.SetTypeRight(16);
  d.SetDriveLeft(1.0f);
  d.SetDriveRight(0.0f);
  d.SetLeftFilter1On(true);
  d.SetRightFilter1On(true);
  const float bad[] = {1e20f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 3e38f};
  for (float x : bad) {
    TStereo s = RunConstant(d, x, -x);
    for (int i = 0; i < kM; ++i) {
      ASSERT_TRUE(std::isfinite(s.l[i])) << x;
      ASSERT_TRUE(std::isfinite(s.r[i])) << x;
    }
  }
  // Afterwards the filters start again from rest: the output matches a new distortion.
  TDSPXDistortion fresh;
  fresh.SetWetGain(32.0f);
  fresh.SetDryGain(32.0f);
  fresh.SetMix(0.5f);
  fresh.SetTypeLeft(13);
  fresh.SetTypeRight(16);
  fresh.SetDriveLeft(1.0f);
  fresh.SetDriveRight(0.0f);
  fresh.SetLeftFilter1On(true);
  fresh.SetRightFilter1On(true);
  const TStereo a = RunConstant(d, 0.1f, -0.1f);
  const TStereo b = RunConstant(fresh, 0.1f, -0.1f);
  for (int i = 0; i < kM; ++i) {
    ASSERT_NEAR(a.l[i], b.l[i], 1e-6f);
    ASSERT_NEAR(a.r[i], b.r[i], 1e-6f);
  }
}

TEST(Distortion, ContextChangeReachesTheFilters) {
  TDSPProcessInfo info(48000, 48);
  TDSPXDistortion d;
  d.ContextChanged(&info);
  EXPECT_EQ(d.Context(), &info);
  EXPECT_EQ(d.LeftFilter1().Context(), &info);
  EXPECT_EQ(d.RightFilter2().Context(), &info);
  std::vector<float> l(48, 0.1f), r(48, 0.1f);
  d.ProcessStereo(l.data(), r.data());
  EXPECT_TRUE(std::isfinite(l[47]));
}
