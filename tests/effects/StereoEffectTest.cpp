#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dsp/DSPMaths.h"
#include "effects/DSPStereoEffect.h"

using namespace tesmora6;

namespace {

// An effect whose wet signals are fixed: left 1, right 1, so the output of a period of
// zeros shows the wet coefficients and a period of ones their sums with the dry ones.
class TFixedWetEffect : public TDSPStereoEffect {
 public:
  void ProcessStereo(float* left, float* right) override {
    for (int32_t i = 0; i < PeriodLength(); ++i) MixOutput(left[i], right[i], 1.0f, 1.0f);
  }
  int clears = 0;
  void Clear() override { ++clears; }
  using TDSPStereoEffect::AllFinite;
  using TDSPStereoEffect::LineFinite;
  using TDSPStereoEffect::RecoverFromNonFinite;
};

}  // namespace

TEST(StereoEffect, OutputLawTable) {
  struct Case {
    float pan, mix, wet, dry;
    bool invertLeft, invertRight;
    float wetLeft, dryLeft, wetRight, dryRight;
  };
  const Case cases[] = {
      // the defaults: gL = 0.4 0.6 2, gR = 0.6 0.6 2
      {0.4f, 0.4f, 0.6f, 1.0f, false, false, 0.192f, 0.6f, 0.288f, 0.6f},
      // centre pan, fully wet: both wet signals get W, the dry gain is not heard
      {0.5f, 1.0f, 0.8f, 5.0f, false, false, 0.8f, 0.0f, 0.8f, 0.0f},
      // pan 1: the left wet signal gets 2W, the right none
      {1.0f, 1.0f, 0.8f, 1.0f, false, false, 1.6f, 0.0f, 0.0f, 0.0f},
      {0.0f, 1.0f, 0.8f, 1.0f, false, false, 0.0f, 0.0f, 1.6f, 0.0f},
      // mix 0: the input scaled by D alone
      {0.5f, 0.0f, 0.8f, 1.5f, false, false, 0.0f, 1.5f, 0.0f, 1.5f},
      // inverts flip the wet signals only
      {0.5f, 0.5f, 1.0f, 1.0f, true, false, -0.5f, 0.5f, 0.5f, 0.5f},
      {0.5f, 0.5f, 1.0f, 1.0f, false, true, 0.5f, 0.5f, -0.5f, 0.5f},
      {0.25f, 0.5f, 1.0f, 2.0f, true, true, -0.25f, 1.0f, -0.75f, 1.0f},
      // negative gains: an inverted wet and dry signal
      {0.5f, 0.5f, -1.0f, -1.0f, false, false, -0.5f, -0.5f, -0.5f, -0.5f},
      // clamps: W and D to [-32, 32], pan and mix to [0, 1]
      {2.0f, 3.0f, 40.0f, -50.0f, false, false, 64.0f, 0.0f, 0.0f, 0.0f},
      {-1.0f, -1.0f, -40.0f, 50.0f, false, false, 0.0f, 32.0f, 0.0f, 32.0f},
      {0.5f, 0.5f, 40.0f, 50.0f, false, false, 16.0f, 16.0f, 16.0f, 16.0f},
  };
  for (const Case& c : cases) {
    TFixedWetEffect e;
    e.SetPan(c.pan);
    e.SetMix(c.mix);
    e.SetWetGain(c.wet);
    e.SetDryGain(c.dry);
    e.SetInvertLeft(c.invertLeft);
    e.SetInvertRight(c.invertRight);
    e.Recalculate();
    SCOPED_TRACE(testing::Message() << "pan " << c.pan << " mix " << c.mix << " W " << c.wet << " D " << c.dry
                                    << " inv " << c.invertLeft << c.invertRight);
    EXPECT_FLOAT_EQ(e.WetLeft(), c.wetLeft);
    EXPECT_FLOAT_EQ(e.DryLeft(), c.dryLeft);
    EXPECT_FLOAT_EQ(e.WetRight(), c.wetRight);
    EXPECT_FLOAT_EQ(e.DryRight(), c.dryRight);

    // The combination: left := in left x dry left + wetL x wet left.
    std::vector<float> left(44, 0.25f), right(44, -0.5f);
    e.ProcessStereo(left.data(), right.data());
    EXPECT_NEAR(left[7], 0.25f * c.dryLeft + c.wetLeft, 1e-5);
    EXPECT_NEAR(right[43], -0.5f * c.dryRight + c.wetRight, 1e-5);
  }
}

TEST(StereoEffect, SettersSkipUnchangedValuesAndRecalculateChangedOnes) {
  TFixedWetEffect e;
  // Nothing is derived before the first recalculation.
  EXPECT_EQ(e.WetLeft(), 0.0f);
  EXPECT_EQ(e.DryLeft(), 0.0f);
  // Values equal to the stored defaults change nothing, so nothing is recalculated.
  e.SetPan(0.4f);
  e.SetMix(0.4f);
  e.SetWetGain(0.6f);
  e.SetDryGain(1.0f);
  e.SetInvertLeft(false);
  EXPECT_EQ(e.WetLeft(), 0.0f);
  // Each changed value recalculates on its own.
  e.SetInvertRight(true);
  EXPECT_FLOAT_EQ(e.WetRight(), -0.288f);
  e.SetMix(1.0f);
  EXPECT_FLOAT_EQ(e.WetLeft(), 0.48f);
  EXPECT_FLOAT_EQ(e.DryLeft(), 0.0f);
  // NaN, which no parameter law produces, is held at the low limit.
  e.SetPan(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(e.WetLeft(), 0.0f);
  EXPECT_FLOAT_EQ(e.WetRight(), -1.2f);
}

TEST(StereoEffect, TempoTick) {
  TFixedWetEffect e;
  // The initial tick belongs to the initial tempo of 120, so a host at 120 changes nothing.
  EXPECT_FLOAT_EQ(e.TickMs(), 60000.0f / 120.0f / 120.0f);
  e.SetTempo(120.0f);
  EXPECT_FLOAT_EQ(e.TickMs(), 4.1666665f);
  e.SetTempo(60.0f);
  EXPECT_FLOAT_EQ(e.TickMs(), 60000.0f / 60.0f / 120.0f);
  e.SetTempo(0.0f);
  EXPECT_FLOAT_EQ(e.TickMs(), 0.0001f);
  EXPECT_FALSE(e.LengthInTicks());
  e.SetLengthUnit(true);
  EXPECT_TRUE(e.LengthInTicks());
}

TEST(StereoEffect, DenormalValuesAdvanceAndWrapPast4096) {
  DSPDenormalPos = 4070;
  const float* values = TakeDenormalValues(44);
  EXPECT_EQ(values, DSPDenormalNoise() + 4070);
  EXPECT_EQ(DSPDenormalPos, 0);
  DSPDenormalPos = 4000;
  TakeDenormalValues(44);
  EXPECT_EQ(DSPDenormalPos, 4044);
  TakeDenormalValues(44);
  EXPECT_EQ(DSPDenormalPos, 4088);  // not past 4096 yet
  EXPECT_EQ(TakeDenormalValues(44), DSPDenormalNoise() + 4088);
  EXPECT_EQ(DSPDenormalPos, 0);
}

TEST(StereoEffect, FiniteGuardHelpers) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> v(10, 3.0e38f);
  v[0] = -0.0f;
  v[1] = 1e-45f;
  EXPECT_TRUE(TFixedWetEffect::AllFinite(v.data(), 10));
  v[9] = inf;
  EXPECT_FALSE(TFixedWetEffect::AllFinite(v.data(), 10));
  EXPECT_TRUE(TFixedWetEffect::AllFinite(v.data(), 9));
  v[9] = -nan;
  EXPECT_FALSE(TFixedWetEffect::AllFinite(v.data(), 10));
  // A circular stretch of 4 entries from position 8 covers 8, 9, 0, 1.
  std::vector<float> line(10, 0.0f);
  line[1] = nan;
  EXPECT_FALSE(TFixedWetEffect::LineFinite(line.data(), 10, 8, 4));
  EXPECT_TRUE(TFixedWetEffect::LineFinite(line.data(), 10, 8, 3));
  EXPECT_TRUE(TFixedWetEffect::LineFinite(line.data(), 10, 2, 8));

  TFixedWetEffect e;
  std::vector<float> left(44, 1.0f), right(44, inf);
  e.RecoverFromNonFinite(left.data(), right.data());
  EXPECT_EQ(e.clears, 1);
  EXPECT_EQ(left, std::vector<float>(44, 0.0f));
  EXPECT_EQ(right, std::vector<float>(44, 0.0f));
}
