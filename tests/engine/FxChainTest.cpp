// The effects section of the engine: the order logic, the channel shifts, the matrix, the
// tail rule and the parameter laws, driven through a whole instrument.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/FxParameterLaws.h"
#include "engine/ParameterLaws.h"
#include "engine/Tesmora6ParamIds.h"
#include "instrument/InstrumentHost.h"

using namespace tesmora6;

namespace {

class FxChain : public ::testing::Test {
 protected:
  TInstrumentHost host;
  TTesmora6& synth = *host.plugin;

  std::vector<TDSPStereoEffect*> Order() const {
    return {synth.Effects().FxOrder.begin(), synth.Effects().FxOrder.end()};
  }
  // One engine block of the given mix, as RenderBlock hands it over.
  void Block(float left = 0.0f, float right = 0.0f, bool voices = false) {
    std::fill(synth.Effects().MixL.begin(), synth.Effects().MixL.end(), 0.0f);
    std::fill(synth.Effects().MixR.begin(), synth.Effects().MixR.end(), 0.0f);
    synth.Effects().MixL[0] = left;
    synth.Effects().MixR[0] = right;
    synth.Effects().VoicesActive = voices ? 1 : 0;
    synth.blockAudible = synth.Effects().ProcessEffects(synth.outputs[0].stereo.data());
  }
  // Frame k of the output block.
  float OutL(int k) const { return synth.outputs[0].stereo[static_cast<size_t>(2 * k)]; }
  float OutR(int k) const { return synth.outputs[0].stereo[static_cast<size_t>(2 * k + 1)]; }
};

// ---------------------------------------------------------------- order

TEST_F(FxChain, DefaultOrderValuesPutEveryEffectWhereItsValueSays) {
  // "RvbIdx" 5, "DistIdx" 0, "PhsIdx" 2, "DlyIdx" 4, "CrsIdx" 3, "XfltIdx" 1, "EqIdx" 6:
  // applying a program lays the chain out from the seven values together, and leaves them
  // as they were.
  const std::vector<TDSPStereoEffect*> expected = {
      &synth.Effects().FxEffect(kFxDistortion), &synth.Effects().FxEffect(kFxXFilter),
      &synth.Effects().FxEffect(kFxPhaser),     &synth.Effects().FxEffect(kFxChorus),
      &synth.Effects().FxEffect(kFxDelay),      &synth.Effects().FxEffect(kFxReverb),
      &synth.Effects().FxEffect(kFxEq)};
  EXPECT_EQ(Order(), expected);
  EXPECT_EQ(synth.GetInteger(Param::PhsIdx), 2);
  EXPECT_EQ(synth.GetInteger(Param::XfltIdx), 1);
  // A program change applies the same values again and gets the same chain.
  synth.SetProgram(0);
  EXPECT_EQ(Order(), expected);
}

// Loading state reproduces a saved order whatever the order was before: the order values
// of a program are laid out together, never swapped one by one against the current chain.
TEST_F(FxChain, LoadingReproducesTheSavedOrderWhateverCameBefore) {
  std::mt19937 rng(11);
  const std::array<int32_t, kFxEffectCount> keys = {Param::RvbIdx, Param::DistIdx, Param::PhsIdx, Param::DlyIdx,
                                                    Param::CrsIdx, Param::XfltIdx, Param::EqIdx};
  const std::array<TFxEffect, kFxEffectCount> effects = {kFxReverb, kFxDistortion, kFxPhaser, kFxDelay,
                                                         kFxChorus, kFxXFilter,    kFxEq};
  for (int n = 0; n < 40; ++n) {
    // A saved order (program 1) and a different current one (program 0, moved by hand).
    std::array<int32_t, kFxEffectCount> saved{0, 1, 2, 3, 4, 5, 6};
    std::shuffle(saved.begin(), saved.end(), rng);
    for (size_t k = 0; k < keys.size(); ++k) {
      synth.Program(1).values[static_cast<size_t>(keys[k])] =
          synth.ParamInfo(keys[k]).ToNormalized(static_cast<float>(saved[k]));
    }
    synth.SetProgram(0);
    for (int m = 0; m < 5; ++m) host.Set(keys[rng() % 7], static_cast<float>(rng() % 7));
    synth.SetProgram(1);
    std::vector<TDSPStereoEffect*> want(kFxEffectCount);
    for (size_t k = 0; k < keys.size(); ++k) {
      ASSERT_EQ(synth.GetInteger(keys[k]), saved[k]) << "the loaded values stay as saved";
      want[static_cast<size_t>(saved[k])] = &synth.Effects().FxEffect(effects[k]);
    }
    const auto loaded = Order();
    EXPECT_EQ(loaded, want);
    // The same program again from another order, and a pool rebuild re-sending every value,
    // give the same chain.
    synth.SetProgram(0);
    host.Set(Param::RvbIdx, static_cast<float>(rng() % 7));
    synth.SetProgram(1);
    EXPECT_EQ(Order(), loaded);
    host.Set(Param::Voices, static_cast<float>(2 + n % 5));
    host.Render(64);
    EXPECT_EQ(Order(), loaded);
  }
}

TEST_F(FxChain, MovingAnEffectSwapsItWithTheOneAtTheTarget) {
  TDSPStereoEffect* reverb = &synth.Effects().FxEffect(kFxReverb);
  TDSPStereoEffect* delay = &synth.Effects().FxEffect(kFxDelay);
  host.Set(Param::RvbIdx, 4.0f);  // "RvbIdx" to the delay's position
  EXPECT_EQ(synth.Effects().FxOrder[4], reverb);
  EXPECT_EQ(synth.Effects().FxOrder[5], delay);
  EXPECT_EQ(synth.GetInteger(Param::DlyIdx), 5);  // "DlyIdx" rewritten to the reverb's old place
  // Values 7 .. 12 leave the chain as it is.
  const auto before = Order();
  host.Set(Param::RvbIdx, 9.0f);
  EXPECT_EQ(Order(), before);
}

TEST_F(FxChain, RandomMovesKeepEveryEffectOnceAndTheParametersInStep) {
  std::mt19937 rng(5);
  for (int n = 0; n < 300; ++n) {
    host.Set(Param::RvbIdx + static_cast<int32_t>(rng() % 7), static_cast<float>(rng() % 13));
    auto order = Order();
    std::sort(order.begin(), order.end());
    ASSERT_EQ(std::unique(order.begin(), order.end()), order.end());
    for (int e = 0; e < kFxEffectCount; ++e) {
      const auto effect = static_cast<TFxEffect>(e);
      const int32_t value = synth.GetInteger(Param::FxOn + kFxEffectRanges[effect].orderId);
      if (value <= 6) {
        EXPECT_EQ(synth.Effects().FxOrder[static_cast<size_t>(value)], &synth.Effects().FxEffect(effect));
      }
    }
  }
}

// ---------------------------------------------------------------- shifts

TEST_F(FxChain, ShiftDelaysOneChannelAgainstTheOther) {
  host.Set(Param::FxPreShft, 100.0f);  // "FXPreShft" 10.0 ms at 44.1 kHz
  EXPECT_EQ(synth.Effects().PreShift.Right().length, 440);
  EXPECT_EQ(synth.Effects().PreShift.Left().length, 1);
  // An impulse on both channels: the right one arrives 439 samples after the left.
  int arrivalL = -1, arrivalR = -1;
  for (int block = 0; block < 20; ++block) {
    Block(block == 0 ? 1.0f : 0.0f, block == 0 ? 1.0f : 0.0f, true);
    for (int k = 0; k < 44; ++k) {
      if (OutL(k) == 1.0f) arrivalL = block * 44 + k;
      if (OutR(k) == 1.0f) arrivalR = block * 44 + k;
    }
  }
  EXPECT_EQ(arrivalL, 1);
  EXPECT_EQ(arrivalR - arrivalL, 439);
  // Negative values delay the left channel; the post-shift follows the same rule.
  host.Set(Param::FxPostShft, -100.0f);
  EXPECT_EQ(synth.Effects().PostShift.Left().length, 440);
  EXPECT_EQ(synth.Effects().PostShift.Right().length, 1);
}

TEST_F(FxChain, ShiftsBelowAHundredMicrosecondsAreOff) {
  for (float v : {0.4f, -0.4f, 0.0f}) {
    host.Set(Param::FxPreShft, v);
    EXPECT_FALSE(synth.Effects().PreShift.Active()) << v;
  }
  Block(1.0f, 1.0f, true);
  EXPECT_EQ(OutL(0), 1.0f);  // not even the one-sample delay
  EXPECT_EQ(OutR(0), 1.0f);
  host.Set(Param::FxPreShft, 2550.0f);  // 255 ms: held one sample short of the rings
  EXPECT_EQ(synth.Effects().PreShift.Right().length, synth.Effects().PreShift.MaxShift() - 1);
}

TEST_F(FxChain, ShiftLengthsFollowASampleRateChange) {
  host.Set(Param::FxPreShft, 2550.0f);
  host.SetSampleRate(96000.0);
  EXPECT_EQ(synth.Effects().PreShift.Right().length, 255 * 96 - 1);
  host.SetSampleRate(22050.0);
  EXPECT_EQ(synth.Effects().PreShift.Right().length, 255 * 22 - 1);
  for (int block = 0; block < 300; ++block) Block(1.0f, -1.0f, true);  // stays in its rings
}

TEST_F(FxChain, EqualiserBandsFollowASampleRateChange) {
  auto coefficients = [&] {
    const auto c = synth.Effects().Eq.EqualiserLeft().Coefficients();
    return std::vector<float>{c.b0, c.b1, c.b2, c.a1, c.a2};
  };
  const auto at44 = coefficients();
  host.SetSampleRate(96000.0);
  const auto at96 = coefficients();
  EXPECT_NE(at96, at44);
  host.Set(Param::EQLFrequency, 1000.0f);  // the same centre once more: nothing left to recompute
  EXPECT_EQ(coefficients(), at96);
}

// ---------------------------------------------------------------- matrix

TEST_F(FxChain, TwoSlotsWithOppositeAmountsCancel) {
  host.Set(Param::FxModOn, 1.0f);
  for (int slot = 0; slot < 2; ++slot) {
    host.Set(Param::FxModSrc1 + 3 * slot, 1.0f);   // FX LFO 1
    host.Set(Param::FxModDst1 + 3 * slot, 12.0f);  // "DstGain"
    host.Set(Param::FxModAmt1 + 3 * slot, slot == 0 ? 1000.0f : -1000.0f);
  }
  host.Set(Param::DistGain, 500.0f);
  const float wet = synth.Effects().Distortion.WetLeft();
  for (int block = 0; block < 50; ++block) {
    Block(0.0f, 0.0f, true);
    EXPECT_EQ(synth.Effects().Distortion.WetLeft(), wet);
  }
  // One slot alone moves it.
  host.Set(Param::FxModSrc2, 0.0f);
  bool moved = false;
  for (int block = 0; block < 50; ++block) {
    Block(0.0f, 0.0f, true);
    moved = moved || synth.Effects().Distortion.WetLeft() != wet;
  }
  EXPECT_TRUE(moved);
}

TEST_F(FxChain, SwitchingTheMatrixOffRestoresTheBase) {
  TDSPReverbX& reverb = synth.Effects().Reverb;
  host.Set(Param::RvbGain, 700.0f);
  const float base = reverb.WetLeft();
  host.Set(Param::FxModOn, 1.0f);
  host.Set(Param::FxModSrc1, 1.0f);   // FX LFO 1 ...
  host.Set(Param::FxModDst1, 1.0f);   // ... to "RvbGain"
  host.Set(Param::FxLfo1Frq, 60.0f);  // a fast LFO
  bool moved = false;
  for (int block = 0; block < 20; ++block) {
    Block(0.0f, 0.0f, true);
    moved = moved || reverb.WetLeft() != base;
  }
  EXPECT_TRUE(moved);
  host.Set(Param::FxModOn, 0.0f);
  Block(0.0f, 0.0f, true);
  EXPECT_EQ(reverb.WetLeft(), base);
}

TEST_F(FxChain, ASlotThatStopsModulatingReleasesItsDestination) {
  TDSPReverbX& reverb = synth.Effects().Reverb;
  const float base = reverb.WetLeft();
  host.Set(Param::FxModOn, 1.0f);
  host.Set(Param::FxLfo1Frq, 60.0f);
  auto modulate = [&] {
    host.Set(Param::FxModSrc1, 1.0f);  // FX LFO 1 to "RvbGain"
    host.Set(Param::FxModDst1, 1.0f);
    for (int block = 0; block < 20; ++block) Block(0.0f, 0.0f, true);
    ASSERT_NE(reverb.WetLeft(), base);
  };
  // Another destination: the old one gets its own value back at once.
  modulate();
  host.Set(Param::FxModDst1, 2.0f);  // "RvbDry"
  EXPECT_EQ(reverb.WetLeft(), base);
  // A destination beyond the list's 134 positions modulates nothing.
  modulate();
  host.Set(Param::FxModDst1, 200.0f);
  Block(0.0f, 0.0f, true);
  EXPECT_EQ(reverb.WetLeft(), base);
  // The source switched off.
  modulate();
  host.Set(Param::FxModSrc1, 0.0f);
  Block(0.0f, 0.0f, true);
  EXPECT_EQ(reverb.WetLeft(), base);
}

// ---------------------------------------------------------------- tail

TEST_F(FxChain, ChainRunsFiveHundredBlocksAfterTheLastSoundThenSleeps) {
  // The pre-shift holds sound back for 440 samples; FX LFO 1 moves only while the chain runs.
  host.Set(Param::FxPreShft, 100.0f);
  host.Set(Param::FxModOn, 1.0f);
  host.Set(Param::FxLfo1Wave, 6.0f);  // FX LFO 1: "Sine" ...
  host.Set(Param::FxLfo1Frq, 60.0f);  // ... and fast
  Block(0.0f, 1.0f, true);            // a voice sounds in block 0; its impulse leaves in block 10
  int lastAudible = 0;
  for (int block = 1; block < 20; ++block) {
    Block();
    if (synth.blockAudible) lastAudible = block;
  }
  EXPECT_EQ(lastAudible, 10);  // the sound ringing out of the chain keeps it awake
  // 499 silent blocks after the last audible one the chain still runs ...
  for (int block = 20; block < lastAudible + 499; ++block) Block();
  float lfo = synth.Effects().FxLfo[0].Out;
  Block();
  EXPECT_NE(synth.Effects().FxLfo[0].Out, lfo);
  EXPECT_EQ(synth.Effects().FxTailBlocks, 500);
  // ... then it sleeps: the effects are not called and their state stays as it is.
  lfo = synth.Effects().FxLfo[0].Out;
  for (int block = 0; block < 100; ++block) Block();
  EXPECT_EQ(synth.Effects().FxLfo[0].Out, lfo);
  Block(0.0f, 0.25f);  // no voice: the input passes unshifted
  EXPECT_EQ(OutR(0), 0.25f);
  // A sounding voice wakes it: the shift runs again.
  Block(0.0f, 0.5f, true);
  EXPECT_EQ(OutR(0), 0.0f);
  EXPECT_NE(synth.Effects().FxLfo[0].Out, lfo);
}

TEST_F(FxChain, ChainSwitchedOffPassesTheVoices) {
  host.Set(Param::FxPreShft, 100.0f);
  host.Set(Param::FxOn, 0.0f);
  Block(0.5f, -0.5f, true);
  EXPECT_EQ(OutL(0), 0.5f);
  EXPECT_EQ(OutR(0), -0.5f);
  // Whatever the chain does, the host receives finite samples only.
  Block(NAN, INFINITY, true);
  EXPECT_EQ(OutL(0), 0.0f);
  EXPECT_EQ(OutR(0), 0.0f);
}

// ---------------------------------------------------------------- laws

TEST_F(FxChain, GainLawsMapPermilleOntoSignedGains) {
  const struct {
    float value, gain;
  } cases[] = {{0.0f, 0.0f}, {1.0f, 0.001007f}, {-1000.0f, -1.0f}, {1000.0f, 1.0f}, {1502.0f, 32.06f}};
  for (const auto& c : cases) {
    host.Set(Param::RvbGain, c.value);
    EXPECT_NEAR(synth.Effects().FxBase[19], c.gain, std::fabs(c.gain) * 1e-3f) << c.value;
  }
  host.Set(Param::RvbGain, 0.0f);
  EXPECT_EQ(synth.Effects().FxBase[19], 0.0f);
  EXPECT_EQ(synth.Effects().Reverb.WetLeft(), 0.0f);
  host.Set(Param::EQLLow, 1024.0f);
  EXPECT_NEAR(synth.Effects().FxBase[211], 15.06f, 0.005f);
}

TEST_F(FxChain, InvertSwitchesReachTheNamedChannels) {
  // "DistInvL" inverts the right wet channel of the distortion, "RvbInvL" the left of the
  // reverb's, "EQInvR" the left of the EQ's.
  host.Set(Param::DistInvL, 1.0f);
  EXPECT_GT(synth.Effects().Distortion.WetLeft(), 0.0f);
  EXPECT_LT(synth.Effects().Distortion.WetRight(), 0.0f);
  host.Set(Param::RvbInvL, 1.0f);
  EXPECT_LT(synth.Effects().FxEffect(kFxReverb).WetLeft(), 0.0f);
  EXPECT_GT(synth.Effects().FxEffect(kFxReverb).WetRight(), 0.0f);
  host.Set(Param::EQInvR, 1.0f);
  EXPECT_LT(synth.Effects().Eq.WetLeft(), 0.0f);
  EXPECT_GT(synth.Effects().Eq.WetRight(), 0.0f);
}

TEST_F(FxChain, ChannelModeOneLinksTheRightSettings) {
  host.Set(Param::DistDrvR, 900.0f);
  host.Set(Param::DistChnMode, 1.0f);  // "DistChnMode" 1: the right drive takes the left one
  EXPECT_FLOAT_EQ(synth.Effects().Distortion.DriveRight(), synth.Effects().Distortion.DriveLeft());
  host.Set(Param::DistDrvL, 250.0f);
  EXPECT_FLOAT_EQ(synth.Effects().Distortion.DriveRight(), 0.25f);
  host.Set(Param::DistChnMode, 2.0f);  // any other mode keeps them apart
  EXPECT_FLOAT_EQ(synth.Effects().Distortion.DriveRight(), 0.9f);
  // Delay: "DlyChnMode" 1, then "DlyL" 250 gives both lines 250 ms.
  host.Set(Param::DlyLengthUnit, 0.0f);  // milliseconds
  host.Set(Param::DlyR, 40.0f);
  host.Set(Param::DlyChnMode, 1.0f);
  host.Set(Param::DlyL, 250.0f);
  EXPECT_EQ(synth.Effects().Delay.LineLengthLeft(), 250 * 44);
  EXPECT_EQ(synth.Effects().Delay.LineLengthRight(), 250 * 44);
  host.Set(Param::DlyChnMode, 2.0f);
  EXPECT_EQ(synth.Effects().Delay.LineLengthRight(), 40 * 44);
  // EQ: the right equaliser follows the left one's band gains.
  host.Set(Param::EQChnMode, 1.0f);
  host.Set(Param::EQLLow, 680.0f);
  EXPECT_FLOAT_EQ(synth.Effects().Eq.EqualiserRight().LowGain(), 10.0f);
}

TEST_F(FxChain, PreAndPostAmpChangeNothing) {
  host.Set(Param::DistOn, 1.0f);  // "DistOn": no signal history with its filters off
  auto run = [&] {
    std::vector<float> out;
    for (int block = 0; block < 5; ++block) {
      std::fill(synth.Effects().MixR.begin(), synth.Effects().MixR.end(), 0.0f);
      for (int k = 0; k < 44; ++k)
        synth.Effects().MixL[static_cast<size_t>(k)] = std::sin(0.1f * static_cast<float>(44 * block + k));
      synth.Effects().VoicesActive = 1;
      synth.blockAudible = synth.Effects().ProcessEffects(synth.outputs[0].stereo.data());
      for (int k = 0; k < 44; ++k) out.push_back(OutL(k));
    }
    return out;
  };
  const auto before = run();
  host.Set(Param::FxPreAmp, -1502.0f);
  host.Set(Param::FxPostAmp, 0.0f);
  EXPECT_GT(Peak(before), 0.1f);
  const auto after = run();
  for (size_t i = 0; i < before.size(); ++i) EXPECT_NEAR(after[i], before[i], 1e-12f) << i;
}

// ---------------------------------------------------------------- tempo

TEST(FxChainTempo, HostTempoReachesEveryEffect) {
  TInstrumentHost host;  // its first block hears 120 BPM
  TTesmora6* synth = host.plugin;
  auto process = [&] { host.Render(64); };
  // "DlyL" 60 ticks, a tick being 60000 / tempo / 120 ms.
  EXPECT_NEAR(synth->Effects().Delay.LineLengthLeft(), 60 * 60000.0 / 120 / 120 * 44, 1.0);
  host.link.tempo = 60.0;
  process();
  for (int k = 0; k < kFxEffectCount; ++k) {
    EXPECT_EQ(synth->Effects().FxEffect(static_cast<TFxEffect>(k)).Tempo(), 60.0f) << k;
  }
  EXPECT_NEAR(synth->Effects().Delay.LineLengthLeft(), 60 * 60000.0 / 60 / 120 * 44, 1.0);
  // A new sample rate keeps the tempo: the lengths follow the new rate.
  host.SetSampleRate(48000.0);
  EXPECT_NEAR(synth->Effects().Delay.LineLengthLeft(), 60 * 60000.0 / 60 / 120 * 48, 1.0);
  EXPECT_EQ(synth->Effects().Reverb.Tempo(), 60.0f);
}

}  // namespace

// Time cents far outside the parameters' range (stored data, a modulated value) convert
// without an undefined float-to-int conversion: whole milliseconds saturate.
TEST(ParameterLaws, TimecentsToMsSaturates) {
  struct Case {
    float tc;
    int32_t ms;
  };
  for (const Case c : {Case{0.0f, 1000}, Case{12000.0f, 1024000}, Case{-13160.0f, 0}, Case{40000.0f, 2147483647},
                       Case{1.0e30f, 2147483647}, Case{INFINITY, 2147483647}, Case{-1.0e30f, 0}, Case{NAN, 0}}) {
    EXPECT_EQ(TimecentsToMs(c.tc), c.ms) << c.tc;
  }
}
