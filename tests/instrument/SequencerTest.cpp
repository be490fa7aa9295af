#include "engine/DSPSequencer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using namespace tesmora6;

namespace {

constexpr int kP = 44;  // samples per control period at 44.1 kHz

// What one period left behind: the step it played, its outputs and its gain block.
struct TPeriod {
  int step;
  float level, gate, pitch, env;
  std::vector<float> gain;
};

class SequencerTest : public ::testing::Test {
 protected:
  std::vector<TPeriod> Run(int periods) {
    std::vector<TPeriod> out;
    for (int k = 0; k < periods; ++k) {
      const int step = seq.CurrentStep();
      seq.AdvancePeriod();
      out.push_back({step, seq.LevelOut(), seq.GateOut(), seq.PitchOut(), seq.EnvOut(),
                     std::vector<float>(seq.GainBlock(), seq.GainBlock() + kP)});
    }
    return out;
  }
  // Millisecond clock with steps of len ms (straight, so every step lasts len periods).
  void UseMs(double len) {
    seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Unit), 0);
    seq.SetLen(len);
  }
  void SetSteps(const std::vector<int>& values) {
    seq.SetSteps(static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) seq.SetStep(static_cast<int>(i), values[i]);
  }
  // Lengths, in periods, of the runs of equal steps.
  static std::vector<int> StepRuns(const std::vector<TPeriod>& periods) {
    std::vector<int> runs;
    for (size_t k = 0; k < periods.size(); ++k) {
      if (k == 0 || periods[k].step != periods[k - 1].step) runs.push_back(0);
      ++runs.back();
    }
    return runs;
  }

  TDSPSequencer seq;
};

TEST_F(SequencerTest, TickTimingAt120Bpm) {
  seq.SetTempo(120.0);
  EXPECT_NEAR(seq.MsPerTick(), 60000.0 / 120.0 / 120.0, 1e-12);
  EXPECT_NEAR(seq.Increment(), 0.24, 1e-12);
  seq.Restart();
  // Len 30 ticks = one sixteenth = 125 ms; LenF 0.75 closes the gate after 93.75 ms, so
  // 94 periods play with the gate open. The default GateOff is 0.
  const auto periods = Run(8 * 125 + 125);
  for (int k = 0; k < static_cast<int>(periods.size()); ++k) {
    ASSERT_EQ(periods[k].step, (k / 125) % 8) << k;
    ASSERT_EQ(periods[k].gate, k % 125 < 94 ? 1.0f : 0.0f) << k;
  }
  // The gate closes over one period: the gain falls linearly from 1 toward 0.
  const auto& closing = periods[94].gain;
  EXPECT_EQ(closing[0], 1.0f);
  EXPECT_NEAR(closing[22], 0.5f, 1e-6f);
  EXPECT_NEAR(closing[43], 1.0f / 44.0f, 1e-6f);
  for (float g : periods[95].gain) EXPECT_EQ(g, 0.0f);
  for (float g : periods[50].gain) EXPECT_EQ(g, 1.0f);
}

TEST_F(SequencerTest, SwingLengthensEvenStepsAndShortensOddOnes) {
  struct Case {
    int swing;                    // parameter value
    double even, odd;             // step lengths in ticks
    double evenOn, oddOn;         // on-lengths in ticks
    int evenPeriods, oddPeriods;  // at 0.24 ticks per period
    int evenOpen, oddOpen;        // periods with the gate open
  };
  const Case cases[] = {
      {66, 39.6, 20.4, 34.452, 12.852, 165, 85, 144, 54},
      {34, 20.4, 39.6, 12.852, 34.452, 85, 165, 54, 144},
      {50, 30.0, 30.0, 22.5, 22.5, 125, 125, 94, 94},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.swing);
    seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Swing), c.swing);
    EXPECT_NEAR(seq.Step(0).length, c.even, 1e-5);
    EXPECT_NEAR(seq.Step(1).length, c.odd, 1e-5);
    EXPECT_NEAR(seq.Step(0).onLength, c.evenOn, 1e-5);
    EXPECT_NEAR(seq.Step(1).onLength, c.oddOn, 1e-5);
    seq.Restart();
    const auto periods = Run(4 * 125);
    const auto runs = StepRuns(periods);
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs[0], c.evenPeriods);
    EXPECT_EQ(runs[1], c.oddPeriods);
    EXPECT_EQ(runs[2], c.evenPeriods);
    int open0 = 0, open1 = 0;
    for (const auto& p : periods) {
      if (p.gate == 1.0f && p.step == 0) ++open0;
      if (p.gate == 1.0f && p.step == 1) ++open1;
    }
    EXPECT_EQ(open0, c.evenOpen);
    EXPECT_EQ(open1, c.oddOpen);
  }
}

TEST_F(SequencerTest, OffAndTieSteps) {
  UseMs(10.0);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1StpOffGate), 60);  // gate of an Off step 0.3
  SetSteps({TDSPSequencer::kOffStep, 12, TDSPSequencer::kTieStep, 0});
  seq.Restart();
  const auto periods = Run(40);
  for (int k = 0; k < 40; ++k) {
    const auto& p = periods[k];
    ASSERT_EQ(p.step, k / 10);
    switch (p.step) {
      case 0:  // Off: its own gate, the values stay
        EXPECT_FLOAT_EQ(p.gate, 0.3f) << k;
        EXPECT_EQ(p.level, 0.0f) << k;
        break;
      case 1:  // the 12 keeps its gate open into the tie, past its on-length
      case 2:  // the tie carries the 12 on
        EXPECT_EQ(p.gate, 1.0f) << k;
        EXPECT_EQ(p.level, 12.0f) << k;
        break;
      case 3:  // a normal step: 7.5 ms open
        EXPECT_EQ(p.gate, k % 10 < 8 ? 1.0f : 0.0f) << k;
        EXPECT_EQ(p.level, 0.0f) << k;
        break;
    }
  }
  // The look-ahead passes over Off steps to find the tie.
  SetSteps({5, TDSPSequencer::kOffStep, TDSPSequencer::kTieStep, 0});
  EXPECT_EQ(seq.Step(0).offLevel, seq.GateOn());
  EXPECT_EQ(seq.Step(0).onLength, 10.0);
  EXPECT_EQ(seq.Step(3).offLevel, seq.GateOff());
  // Off steps and steps tied ahead take the swung length like every other step.
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Swing), 66);
  EXPECT_NEAR(seq.Step(0).length, 13.2, 1e-5);
  EXPECT_NEAR(seq.Step(1).length, 6.8, 1e-5);
}

TEST_F(SequencerTest, OctaveUpAddsOctavesToStepPitches) {
  UseMs(10.0);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Mode), 0);  // "Up"
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Oct), 2);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Sq1PtchM), 2);  // pitch "Lvl+Oct"
  SetSteps({5, 7, 5, 7});
  seq.Restart();
  const auto periods = Run(60);
  const float expected[] = {5, 7 + 12, 5 + 24, 7, 5 + 12, 7 + 24};
  for (int k = 0; k < 60; ++k) ASSERT_EQ(periods[k].pitch, expected[k / 10]) << k;
  // Pitch "Oct" gives the octave alone, "None" nothing; the level stays the step's.
  seq.ApplySetting(TDSPSequencer::Setting(Param::Sq1PtchM), 1);
  seq.Restart();
  auto octave = Run(30);
  EXPECT_EQ(octave[0].pitch, 0.0f);
  EXPECT_EQ(octave[10].pitch, 12.0f);
  EXPECT_EQ(octave[20].pitch, 24.0f);
  EXPECT_EQ(octave[20].level, 5.0f);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Sq1PtchM), 3);
  seq.Restart();
  octave = Run(30);
  EXPECT_EQ(octave[20].pitch, 0.0f);
}

TEST_F(SequencerTest, OctavePatternsOfEveryMode) {
  struct Case {
    int mode, octaves;
    std::vector<int> octavesPerStep;  // one full pattern and the first entry again
  };
  const Case cases[] = {
      {0, 2, {0, 1, 2, 0}},
      {0, 0, {0, 0}},
      {1, 2, {0, -1, -2, 0}},
      {2, 3, {0, 1, 2, 3, 2, 1, 0}},
      {2, 1, {0, 1, 0}},
      {3, 3, {3, 2, 1, 0, 1, 2, 3}},
      {3, 1, {1, 0, 1}},
      {4, 2, {0, 1, 2, 1, 0, 1, 2, 0}},
      {4, 1, {0, 1, 0, 1, 0}},
      {4, 0, {0, 0, 0}},
      {5, 2, {2, 1, 0, 1, 2, 1, 0, 2}},
      {5, 1, {1, 0, 1, 0, 1}},
      {6, 2, {0, 1, 2, 1, 0, 2, 1, 0, 0}},
      {6, 1, {0, 1, 0}},
      {6, 0, {0, 0}},
      {7, 2, {2, 1, 0, 1, 2, 0, 1, 2, 2}},
      {7, 1, {1, 0, 0, 1, 1}},
      {7, 0, {0, 0, 0}},
      {8, 2, {0, 1, 2, 0, 1, 2, 1, 0, 2, 1, 0, 0}},
      {8, 1, {0, 1, 0, 1, 1, 0, 0}},
      {8, 0, {0, 0, 0, 0}},
      {9, 2, {2, 1, 0, 2, 1, 0, 1, 2, 0, 1, 2, 2}},
      {9, 1, {1, 0, 1, 0, 0, 1, 1}},
      {9, 0, {0, 0, 0, 0}},
      {11, 3, {0, 0, 0, 0, 0}},
      {128, 1, {0, 0, 0}},
  };
  UseMs(1.0);  // one step per period
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " octaves " << c.octaves);
    seq.SetMode(c.mode);
    seq.SetOctaves(c.octaves);
    EXPECT_EQ(seq.OctavePattern().Length(), static_cast<int>(c.octavesPerStep.size()) - 1);
    seq.Restart();
    std::vector<int> got{seq.OctaveShift() / 12};
    while (got.size() < c.octavesPerStep.size()) {
      seq.AdvancePeriod();
      got.push_back(seq.OctaveShift() / 12);
    }
    EXPECT_EQ(got, c.octavesPerStep);
  }
  // The longest patterns fill the table: 4n + 3 entries at six octaves.
  for (int mode : {8, 9}) {
    seq.SetMode(mode);
    seq.SetOctaves(6);
    EXPECT_EQ(seq.OctavePattern().Length(), kMaxOctavePattern);
  }
  // Octaves beyond the parameter's range are held at 6.
  seq.SetOctaves(40);
  EXPECT_EQ(seq.Octaves(), 6);
  EXPECT_EQ(seq.OctavePattern().Length(), kMaxOctavePattern);
}

TEST_F(SequencerTest, RandomOctavesStayInRange) {
  UseMs(1.0);
  seq.SetMode(kOctaveModeRandom);
  seq.SetOctaves(3);
  EXPECT_EQ(seq.OctavePattern().Length(), 1);
  seq.Restart();
  std::set<int> seen;
  for (int k = 0; k < 400; ++k) {
    const int octave = seq.OctaveShift() / 12;
    ASSERT_EQ(octave * 12, seq.OctaveShift());
    ASSERT_GE(octave, 0);
    ASSERT_LE(octave, 3);
    seen.insert(octave);
    seq.AdvancePeriod();
  }
  EXPECT_EQ(seen.size(), 4u);
  seq.SetOctaves(0);
  seq.Restart();
  for (int k = 0; k < 20; ++k) {
    ASSERT_EQ(seq.OctaveShift(), 0);
    seq.AdvancePeriod();
  }
}

TEST_F(SequencerTest, CyclesEndInTheIdleState) {
  UseMs(30.0);
  seq.SetEnvCurve(0);  // linear, so that EnvOut shows the envelope itself
  seq.SetCycles(2);
  seq.SetAttack(10.0);
  seq.SetPeak(100.0);
  seq.SetRelease(10.0);
  SetSteps({30, 30, 30, 30});
  seq.Restart();
  const auto periods = Run(250);
  for (int cycle = 0; cycle < 2; ++cycle) {
    const int c = cycle * 120;
    EXPECT_EQ(periods[c + 0].env, 0.0f);
    EXPECT_FLOAT_EQ(periods[c + 5].env, 0.5f);
    EXPECT_FLOAT_EQ(periods[c + 9].env, 0.9f);
    EXPECT_EQ(periods[c + 10].env, 1.0f);
    EXPECT_EQ(periods[c + 109].env, 1.0f);
    EXPECT_EQ(periods[c + 110].env, 1.0f);
    EXPECT_FLOAT_EQ(periods[c + 115].env, 0.5f);
    EXPECT_NEAR(periods[c + 119].env, 0.1f, 1e-6f);
    EXPECT_EQ(periods[c + 119].level, 30.0f);
  }
  EXPECT_EQ(seq.Envelope().CyclesDone(), 2);
  // Idle from period 240: gate at GateOn, level 0, and within one period a gain of 1.
  for (int k = 240; k < 250; ++k) {
    EXPECT_EQ(periods[k].env, 0.0f);
    EXPECT_EQ(periods[k].level, 0.0f);
    EXPECT_EQ(periods[k].pitch, 0.0f);
    EXPECT_EQ(periods[k].gate, seq.GateOn());
  }
  for (int k = 241; k < 250; ++k) {
    for (float g : periods[k].gain) ASSERT_EQ(g, 1.0f) << k;
  }
  // The step clock keeps running while idle.
  EXPECT_EQ(periods[249].step, (249 / 30) % 4);
  // A restart brings it back.
  seq.Restart();
  const auto again = Run(6);
  EXPECT_FLOAT_EQ(again[5].env, 0.5f);
  EXPECT_EQ(again[5].level, 30.0f);
}

TEST_F(SequencerTest, OneCycleInMsGoesIdleAfter120Periods) {
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Unit), 0);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Cycles), 1);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Atk), 10);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Peak), 100);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Rls), 10);
  seq.Restart();
  Run(119);
  EXPECT_FALSE(seq.Envelope().CyclesUsedUp());
  Run(1);
  EXPECT_TRUE(seq.Envelope().CyclesUsedUp());
  const auto idle = Run(3);
  for (float g : idle[2].gain) EXPECT_EQ(g, 1.0f);
  EXPECT_EQ(idle[2].gate, 1.0f);
}

TEST_F(SequencerTest, UnlimitedCyclesAndNoPeakNeverStop) {
  UseMs(30.0);
  seq.SetEnvCurve(0);
  seq.SetAttack(4.0);
  seq.SetPeak(2.0);
  seq.SetRelease(4.0);
  seq.Restart();
  const auto periods = Run(30);
  EXPECT_FLOAT_EQ(periods[12].env, 0.5f);  // second cycle, half way up
  EXPECT_EQ(seq.Envelope().CyclesDone(), 3);
  // Peak 0: the attack rises and the envelope stays at 1 for good.
  seq.SetPeak(0.0);
  seq.SetCycles(1);
  seq.Restart();
  const auto held = Run(200);
  EXPECT_EQ(held[199].env, 1.0f);
  EXPECT_EQ(seq.Envelope().CyclesDone(), 0);
}

// The envelope of a cycle with a start delay, a peak without release and a space; the
// gate is held open so that the gain block shows the envelope itself.
TEST_F(SequencerTest, DelayAndSpaceFadeTheHeldLevelOut) {
  UseMs(1000.0);
  seq.SetLenF(1.0);
  seq.SetGateOff(1.0f);
  seq.SetLevelAmt(0.0f);
  seq.SetGateEnvAmt(1.0f);
  seq.SetGateEnvBase(0.0f);
  seq.SetEnvCurve(0);
  seq.SetDelay(5.0);
  seq.SetPeak(10.0);
  seq.SetSpace(5.0);
  seq.Restart();
  EXPECT_EQ(seq.Envelope().SpaceNow(), 5.0);
  const auto periods = Run(41);
  auto fadesOut = [](const std::vector<float>& g) {
    for (int i = 0; i < kP; ++i) {
      if (std::fabs(g[i] - (1.0f - static_cast<float>(i) / 44.0f)) > 1e-6f) return false;
    }
    return true;
  };
  auto silent = [](const std::vector<float>& g) {
    return std::all_of(g.begin(), g.end(), [](float x) { return x == 0.0f; });
  };
  auto full = [](const std::vector<float>& g) {
    return std::all_of(g.begin(), g.end(), [](float x) { return x == 1.0f; });
  };
  EXPECT_EQ(periods[0].env, 1.0f);  // the delay fades the level held at the restart
  for (int k = 1; k <= 4; ++k) EXPECT_TRUE(silent(periods[k].gain)) << k;
  for (int k = 5; k <= 14; ++k) EXPECT_TRUE(full(periods[k].gain)) << k;
  EXPECT_TRUE(fadesOut(periods[15].gain));  // the space fades the peak out
  for (int k = 16; k <= 19; ++k) EXPECT_TRUE(silent(periods[k].gain)) << k;
  // Later cycles skip the start delay: it becomes part of the space.
  EXPECT_EQ(seq.Envelope().DelaySamples(), TSequencerEnvelope::kDelaySkipped);
  for (int k = 20; k <= 24; ++k) EXPECT_TRUE(silent(periods[k].gain)) << k;
  for (int k = 25; k <= 34; ++k) EXPECT_TRUE(full(periods[k].gain)) << k;
  EXPECT_TRUE(fadesOut(periods[35].gain));
  for (int k = 36; k <= 40; ++k) EXPECT_TRUE(silent(periods[k].gain)) << k;

  // After a release the space stays silent: no step back up toward 1.
  seq.SetRelease(5.0);
  seq.Restart();
  const auto released = Run(25);
  EXPECT_FLOAT_EQ(released[15].env, 1.0f);
  EXPECT_NEAR(released[19].env, 0.2f, 1e-6f);
  for (int k = 20; k <= 24; ++k) EXPECT_TRUE(silent(released[k].gain)) << k;
}

TEST_F(SequencerTest, SpaceLengthPerCycle) {
  seq.SetSpace(0.001);
  seq.Restart();
  EXPECT_EQ(seq.Envelope().SpaceNow(), 0.0);
  seq.SetSpace(100.0);
  seq.Restart();
  EXPECT_EQ(seq.Envelope().SpaceNow(), 100.0);
  seq.SetSpaceRandom(true);
  for (int i = 0; i < 20; ++i) {
    seq.Restart();
    EXPECT_GE(seq.Envelope().SpaceNow(), 25.0);
    EXPECT_LT(seq.Envelope().SpaceNow(), 125.0);
  }
}

// Envelope times that are not whole periods: the attack and release ramps stop at 1 and 0
// (so that a table curve is never read outside its table). With the gate held open the
// gain block is 1 + curve(e).
TEST_F(SequencerTest, FractionalEnvelopeTimesStayInRange) {
  seq.SetLenF(1.0);
  seq.SetGateOff(1.0f);
  seq.SetLevelAmt(0.0f);
  seq.SetGateEnvAmt(1.0f);
  seq.SetAttack(0.3);
  seq.SetPeak(0.5);
  seq.SetRelease(0.3);
  for (int unit : {0, 1}) {
    for (int curve : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "unit " << unit << " curve " << curve);
      seq.SetUnit(unit);
      seq.SetEnvCurve(curve);
      seq.Restart();
      const auto periods = Run(200);
      for (int k = 1; k < 200; ++k) {
        ASSERT_GE(periods[k].env, 0.0f) << k;
        ASSERT_LE(periods[k].env, 1.0f) << k;
        for (float g : periods[k].gain) {
          ASSERT_GE(g, 1.0f) << k;
          ASSERT_LE(g, 2.0f) << k;
        }
      }
    }
  }
}

TEST_F(SequencerTest, RestartStartsThePatternOver) {
  UseMs(7.0);
  seq.SetMode(2);
  seq.SetOctaves(2);
  seq.SetPitchMode(TDSPSequencer::kModeLevelOctave);
  seq.SetAttack(3.0);
  seq.SetPeak(5.0);
  seq.SetRelease(4.0);
  seq.SetGateEnvAmt(0.5f);
  SetSteps({10, -20, 30, 0, 63});
  seq.Restart();
  const auto first = Run(300);
  seq.SetLevelFactor(0.5f);
  seq.SetGateFactor(0.0f);
  seq.SetPitchFactor(2.0f);
  seq.Restart();
  EXPECT_EQ(seq.CurrentStep(), 0);
  EXPECT_EQ(seq.StepClock(), 0.0);
  EXPECT_EQ(seq.OctaveShift(), 0);
  EXPECT_EQ(seq.Envelope().EnvTime(), 0.0);
  EXPECT_EQ(seq.Envelope().CyclesDone(), 0);
  EXPECT_EQ(seq.PrevLevel(), 10.0f);
  EXPECT_EQ(seq.LevelFactor(), 1.0f);
  EXPECT_EQ(seq.GateFactor(), 1.0f);
  EXPECT_EQ(seq.PitchFactor(), 1.0f);
  const auto second = Run(300);
  for (int k = 0; k < 300; ++k) {
    ASSERT_EQ(second[k].step, first[k].step) << k;
    ASSERT_EQ(second[k].pitch, first[k].pitch) << k;
    ASSERT_EQ(second[k].gain, first[k].gain) << k;
  }
  // The first period opens the gate from 0.
  EXPECT_EQ(first[0].gain[0], 0.0f);
}

TEST_F(SequencerTest, SwitchedOffSequencerLeavesFullLevel) {
  seq.SetStep(0, 40);
  seq.SetStep(1, -40);
  seq.Restart();
  Run(10);
  seq.SetOn(false);
  const auto periods = Run(300);
  for (int k = 1; k < 300; ++k) {
    for (float g : periods[k].gain) ASSERT_EQ(g, 1.0f) << k;
    ASSERT_EQ(periods[k].gate, 1.0f);
    ASSERT_EQ(periods[k].level, 0.0f);
  }
  EXPECT_EQ(periods[299].step, 2);  // the clock still runs: 310 periods of 125
}

TEST_F(SequencerTest, GlideAndGainBlock) {
  UseMs(10.0);
  seq.ApplySetting(TDSPSequencer::Setting(Param::Seq1Glide), 50);  // glide over half a step
  SetSteps({0, 63});
  seq.Restart();
  const auto periods = Run(30);
  const float up[] = {0.0f, 12.6f, 25.2f, 37.8f, 50.4f, 63.0f};
  for (int d = 0; d < 6; ++d) EXPECT_FLOAT_EQ(periods[10 + d].level, up[d]) << d;
  EXPECT_FLOAT_EQ(periods[22].level, 63.0f - 2 * 12.6f);
  // A steady level 63 drives the gain to (2 * LevelAmt + 1) with the gate open.
  struct Case {
    int levelAmt, levelMode;
    float gain;
  };
  const Case cases[] = {{100, 0, 3.0f}, {50, 0, 2.0f}, {-50, 0, 0.0f}, {100, 3, 1.0f}};
  for (const Case& c : cases) {
    seq.ApplySetting(TDSPSequencer::Setting(Param::Sq1LvlAmt), c.levelAmt);
    seq.ApplySetting(TDSPSequencer::Setting(Param::Sq1LevlM), c.levelMode);
    seq.Restart();
    const auto run = Run(17);
    EXPECT_FLOAT_EQ(run[16].gain[20], c.gain) << c.levelAmt << " " << c.levelMode;
  }
}

TEST_F(SequencerTest, ApplySettingConvertsParameterValues) {
  struct Case {
    Param::Id param;
    double value;
    double (*read)(const TDSPSequencer&);
    double expected;
  };
  const Case cases[] = {
      {Param::Seq1Steps, 40, [](const TDSPSequencer& s) { return double(s.Steps()); }, 32},
      {Param::Seq1Steps, 0, [](const TDSPSequencer& s) { return double(s.Steps()); }, 1},
      {Param::Seq1Len, 0.05, [](const TDSPSequencer& s) { return s.Len(); }, 0.1},
      {Param::Seq1LenF, 75, [](const TDSPSequencer& s) { return s.LenF(); }, 0.75},
      {Param::Seq1Gate, -200, [](const TDSPSequencer& s) { return double(s.GateOn()); }, -2.0},
      {Param::Seq1RstNew, 0.4, [](const TDSPSequencer& s) { return double(s.ResetOnNote()); }, 0},
      {Param::Seq1RstNew, 1, [](const TDSPSequencer& s) { return double(s.ResetOnNote()); }, 1},
      {Param::Seq1StpOffGate, 100, [](const TDSPSequencer& s) { return double(s.OffStepGate()); }, 0.5},
      {Param::Seq1Rtrg, 1, [](const TDSPSequencer& s) { return double(s.RetriggerAlways()); }, 1},
      {Param::Seq1Unit, 0, [](const TDSPSequencer& s) { return double(s.Unit()); }, 0},
      {Param::Seq1EnvType, 7, [](const TDSPSequencer& s) { return double(s.EnvCurveType()); }, 7},
      {Param::Seq1GtEnvAmt, 450, [](const TDSPSequencer& s) { return double(s.GateEnvAmt()); }, 4.0},
      {Param::Seq1GtEnvBase, -250, [](const TDSPSequencer& s) { return double(s.GateEnvBase()); }, -2.0},
      {Param::Seq1PtchEAmt, -120, [](const TDSPSequencer& s) { return double(s.PitchEnvAmt()); }, -1.2},
  };
  for (const Case& c : cases) {
    seq.ApplySetting(TDSPSequencer::Setting(c.param), c.value);
    EXPECT_NEAR(c.read(seq), c.expected, 1e-6) << Param::kKeys[c.param];
  }
  EXPECT_EQ(seq.EnvCurve(), SelectCurve(7));
  seq.ApplyStep(3, -64.4);
  EXPECT_EQ(seq.Step(3).value, TDSPSequencer::kOffStep);
}

TEST_F(SequencerTest, StepEnvelopeSettingsChangeNothing) {
  TDSPSequencer other;
  for (TDSPSequencer* s : {&seq, &other}) {
    s->SetAttack(20.0);
    s->SetPeak(30.0);
    s->SetRelease(20.0);
    s->SetGateEnvAmt(1.0f);
    s->SetStep(1, 50);
    s->Restart();
  }
  for (int k = TDSPSequencer::Setting(Param::Seq1StepAtk); k <= TDSPSequencer::Setting(Param::Seq1ToPitch); ++k) {
    other.ApplySetting(k, 77);
  }
  for (int period = 0; period < 400; ++period) {
    seq.AdvancePeriod();
    other.AdvancePeriod();
    ASSERT_TRUE(std::equal(seq.GainBlock(), seq.GainBlock() + kP, other.GainBlock()));
    ASSERT_EQ(seq.GateOut(), other.GateOut());
  }
}

TEST_F(SequencerTest, TempoAndUnit) {
  seq.SetTempo(60.0);
  EXPECT_NEAR(seq.Increment(), 0.12, 1e-12);
  seq.Restart();
  EXPECT_EQ(StepRuns(Run(501))[0], 250);
  // No tempo: 0.001 ms per tick, racing through the steps.
  seq.SetTempo(0.0);
  EXPECT_EQ(seq.MsPerTick(), 0.001);
  EXPECT_EQ(seq.Increment(), 1000.0);
  // A tempo that is not a number is ignored.
  seq.SetTempo(140.0);
  seq.SetTempo(std::nan(""));
  EXPECT_EQ(seq.Tempo(), 140.0);
  seq.SetUnit(TDSPSequencer::kUnitMs);
  EXPECT_EQ(seq.Increment(), 1.0);
}

TEST_F(SequencerTest, FewerStepsWrapAtTheNewCount) {
  UseMs(5.0);
  SetSteps({1, 2, 3, 4, 5, 6, 7, 8});
  seq.Restart();
  Run(27);
  EXPECT_EQ(seq.CurrentStep(), 5);
  seq.SetSteps(4);
  const auto periods = Run(10);
  EXPECT_EQ(periods[2].step, 5);
  EXPECT_EQ(periods[3].step, 0);
  // A single step: the step under way finishes, then step 0 repeats.
  seq.SetSteps(1);
  const auto single = Run(20);
  for (int k = 0; k < 20; ++k) ASSERT_EQ(single[k].step, k < 3 ? 1 : 0) << k;
}

TEST_F(SequencerTest, FollowsTheControlPeriodOfANewContext) {
  TDSPProcessInfo info(48000, 48);
  seq.ContextChanged(&info);
  UseMs(50.0);
  seq.SetEnvCurve(0);
  seq.SetAttack(10.0);
  seq.SetPeak(10.0);
  seq.Restart();
  for (int k = 0; k < 5; ++k) seq.AdvancePeriod();
  seq.AdvancePeriod();
  EXPECT_FLOAT_EQ(seq.EnvOut(), 0.5f);  // 5 * 48 of 480 samples
  float out[48];
  seq.FillPeriod(out);
  EXPECT_TRUE(std::equal(out, out + 48, seq.GainBlock()));
  seq.ContextChanged(&DefaultProcessInfo());
}

}  // namespace
