#include "dsp/DSPBaseControl.h"
#include "dsp/DSPControl.h"

#include <gtest/gtest.h>

using namespace tesmora6;

TEST(ProcessInfo, DerivedSizes) {
  struct Case {
    int rate;
    int b, m, nyquist;
  };
  for (Case c : {Case{44100, 44, 44, 22050}, Case{48000, 48, 48, 24000}, Case{96000, 96, 96, 48000},
                 Case{22050, 22, 22, 11025}}) {
    TDSPProcessInfo info(c.rate, c.rate / 1000);
    EXPECT_EQ(info.blockLength, c.b);
    EXPECT_EQ(info.samplesPerMs, c.m);
    EXPECT_EQ(info.nyquist, c.nyquist);
    EXPECT_EQ(info.paddedBlock, c.b + 16);
    EXPECT_EQ(info.stereoPaddedBytes, (c.b + 16) * 8);
    EXPECT_EQ(info.msEighthsLessOne, c.m / 8 - 1);
    EXPECT_EQ(info.msRemainderOfEight, c.m % 8);
    EXPECT_FLOAT_EQ(info.sampleRateRatio, static_cast<float>(c.rate) / 44100.0f);
    EXPECT_FLOAT_EQ(info.inverseSampleRate, 1.0f / static_cast<float>(c.rate));
  }
  TDSPProcessInfo zero(44100, 0);
  EXPECT_EQ(zero.blockLength, 1);
  EXPECT_EQ(LfoProcessInfo().sampleRate, 10000);
  EXPECT_EQ(LfoProcessInfo().blockLength, 44);
}

TEST(NumericHelpers, RoundingFamily) {
  using C = TDSPBaseControl;
  EXPECT_EQ(C::Round(2.5), 2);
  EXPECT_EQ(C::Round(3.5), 4);
  EXPECT_EQ(C::Round(-2.5), -2);
  EXPECT_EQ(C::RoundAway(2.5), 3);  // Round(3.0)
  EXPECT_EQ(C::RoundAway(-2.5), -3);
  EXPECT_EQ(C::Truncate(2.7), 2);
  EXPECT_EQ(C::Truncate(-2.7), -2);
  EXPECT_EQ(C::Floor(-0.2), -1);
  EXPECT_DOUBLE_EQ(C::SignedFraction(-2.25), -0.25);
  int32_t whole = 7;
  EXPECT_EQ(C::Split(0.0, whole), 0.0);
  EXPECT_EQ(whole, 0);
  EXPECT_DOUBLE_EQ(C::Split(-3.75, whole), -0.75);
  EXPECT_EQ(whole, -3);
}

TEST(NumericHelpers, ArithmeticHelpers) {
  using C = TDSPBaseControl;
  EXPECT_EQ(C::Reciprocal(0.0f), 0.0f);
  EXPECT_EQ(C::Reciprocal(4.0f), 0.25f);
  EXPECT_EQ(C::FlushTiny(9.9e-6f), 0.0f);
  EXPECT_EQ(C::FlushTiny(-1e-5f), -1e-5f);
  EXPECT_EQ(C::FlushDenormal(1e-40f), 0.0f);
  EXPECT_EQ(C::FlushDenormal(1e-37f), 1e-37f);
  EXPECT_DOUBLE_EQ(C::Hypot(3, 4), 5);
  EXPECT_DOUBLE_EQ(C::Hypot(0, -2), 2);
  EXPECT_DOUBLE_EQ(C::LinearMap(10, 0, 5, 5, 3), 0);
  EXPECT_DOUBLE_EQ(C::LinearMap(10, 0, 4, 0, 1), 2.5);
  EXPECT_EQ(C::Power(0.0, 2.0), 0.0);
  EXPECT_EQ(C::Power(5.0, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(C::Power(2.0, 10.0), 1024.0);
  EXPECT_NEAR(C::Power(2.0, 0.5), 1.41421356, 1e-8);
  EXPECT_NEAR(C::NoteToFrequency(69), 440.0, 1e-9);
  EXPECT_NEAR(C::FrequencyToNote(440.0), 69.0, 1e-9);
  EXPECT_NEAR(C::Sinh(1.0), std::sinh(1.0), 1e-12);
  EXPECT_EQ(C::Sign(0.0), -1.0);
}

namespace {
struct TDoubler : TDSPControl {
  void Tick() override { Out = 2.0f * In; }
};
}  // namespace

TEST(Control, FillPeriodRunsTickOverOneMillisecond) {
  TDoubler d;
  float a[64];
  for (int i = 0; i < 64; ++i) a[i] = static_cast<float>(i);
  d.FillPeriod(a);
  EXPECT_EQ(a[43], 86.0f);  // 44 samples at 44.1 kHz
  EXPECT_EQ(a[44], 44.0f);
}

TEST(Control, ContextChangeFollowsSharedContextAndReallocatesWorkBuffers) {
  TDSPProcessInfo shared(44100, 44);
  TDoubler d;
  d.SetUsesWorkBuffers(true);
  d.ContextChanged(&shared);
  ASSERT_NE(d.InputBlock(), nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(d.InputBlock()) % 16, 0u);
  shared.Derive(96000, 96);
  d.ContextChanged(&shared);
  EXPECT_EQ(d.Context(), &shared);
  for (int i = 0; i < 96 + 16; ++i) d.InputBlock()[i] = 1.0f;  // fits the new padded size
  d.ProcessInputBlock();
  EXPECT_EQ(d.OutputBlock()[95], 2.0f);
}

TEST(NumericHelpers, RoundSaturatesOutsideTheIntegerRange) {
  using C = TDSPBaseControl;
  EXPECT_EQ(C::Round(-2.93203e15), INT32_MIN);
  EXPECT_EQ(C::Round(1e300), INT32_MAX);
  EXPECT_EQ(C::Round(std::nan("")), 0);
  EXPECT_EQ(C::Round(-2147483648.0), INT32_MIN);
  EXPECT_EQ(C::Round(2147483646.6), 2147483647);
}
