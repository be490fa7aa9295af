#include "dsp/DSPEnvelopes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tesmora6;

namespace {

// An envelope at 44.1 kHz (44 samples per millisecond) driven the way a voice drives it.
class EnvelopeTest : public ::testing::Test {
 protected:
  void Configure(float attack, float decay, float sustain, float release) {
    env.SetAttackTime(attack);
    env.SetDecayTime(decay);
    env.SetSustainLevel(sustain);
    env.SetReleaseTime(release);
  }
  // Note start as the voice does it: gate to the velocity, then age 0.
  void NoteOn(float velocity = 1.0f) {
    env.StartNote(velocity);
    env.SetAge(0);
  }
  void NoteOff() {
    env.SetGate(0.0f);
    env.SetAge(0);
  }
  // n samples through Tick; the voice's age moves on as it would between periods.
  std::vector<float> Run(int n) {
    std::vector<float> out(static_cast<size_t>(n));
    for (float& v : out) {
      env.Tick();
      v = env.Out;
    }
    age += n;
    env.SetAge(age);
    return out;
  }

  TDSPADSR env;
  int32_t age = 0;
};

TEST_F(EnvelopeTest, AttackDecaySustainTiming) {
  Configure(10.0f, 100.0f, 0.5f, 100.0f);
  EXPECT_EQ(env.AttackLength(), 440.0f);
  NoteOn();
  const auto out = Run(440 + 4400 + 100);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_FLOAT_EQ(out[220], 0.5f);
  EXPECT_FLOAT_EQ(out[439], 439.0f / 440.0f);
  EXPECT_EQ(out[440], 1.0f);  // the decay starts at exactly 1
  EXPECT_FLOAT_EQ(out[440 + 2200], 0.75f);
  EXPECT_GT(out[440 + 4399], 0.5f);
  for (size_t i = 440 + 4400; i < out.size(); ++i) ASSERT_EQ(out[i], 0.5f) << i;
}

TEST_F(EnvelopeTest, ZeroLengthStages) {
  // Attack 0: the decay starts at 1 at once and falls linearly to the sustain.
  Configure(0.0f, 100.0f, 0.5f, 0.0f);
  NoteOn();
  auto out = Run(4401);
  EXPECT_EQ(out[0], 1.0f);
  EXPECT_FLOAT_EQ(out[2200], 0.75f);
  EXPECT_EQ(out[4400], 0.5f);
  // Release 0: drops to 0 and finishes on the next sample.
  NoteOff();
  out = Run(1);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_TRUE(env.Finished());
  // Negative times count as zero-length stages; decay 0 goes straight to the sustain.
  TDSPADSR other;
  other.SetAttackTime(-5.0f);
  other.SetDecayTime(0.0f);
  other.SetSustainLevel(0.25f);
  EXPECT_EQ(other.AttackLength(), 0.0f);
  other.StartNote(1.0f);
  other.Tick();
  EXPECT_EQ(other.Out, 0.25f);
}

TEST_F(EnvelopeTest, SustainIsClamped) {
  struct Case {
    float in, stored;
  };
  for (Case c : {Case{1.5f, 1.0f}, Case{-0.2f, 0.0f}, Case{0.3f, 0.3f}}) {
    env.SetSustainLevel(c.in);
    EXPECT_EQ(env.SustainLevel(), c.stored) << c.in;
  }
}

TEST_F(EnvelopeTest, ReleaseTimeDoesNotDependOnTheStartLevel) {
  for (float sustain : {0.25f, 1.0f}) {
    TDSPADSR e;
    e.SetAttackTime(0.0f);
    e.SetDecayTime(0.0f);
    e.SetSustainLevel(sustain);
    e.SetReleaseTime(1000.0f);
    e.StartNote(1.0f);
    e.SetAge(0);
    for (int i = 0; i < 100; ++i) e.Tick();
    e.SetAge(100);
    e.SetGate(0.0f);
    e.SetAge(0);
    std::vector<float> out(44001);
    for (size_t i = 0; i < out.size(); ++i) {
      e.Tick();
      out[i] = e.Out;
      if (i < 44000) {
        ASSERT_FALSE(e.Finished()) << sustain << " " << i;
      }
    }
    EXPECT_EQ(out[0], sustain);
    EXPECT_FLOAT_EQ(out[22000], sustain * 0.5f);
    EXPECT_GT(out[43999], 0.0f) << sustain;
    EXPECT_EQ(out[44000], 0.0f) << sustain;
    EXPECT_TRUE(e.Finished());
  }
}

TEST_F(EnvelopeTest, NoteEndDuringAttackReleasesFromTheLevelReached) {
  Configure(10.0f, 100.0f, 0.5f, 10.0f);
  NoteOn();
  auto out = Run(133);
  EXPECT_FLOAT_EQ(out[132], 0.3f);
  NoteOff();
  out = Run(441);
  EXPECT_FLOAT_EQ(out[0], 0.3f);
  EXPECT_FLOAT_EQ(out[220], 0.15f);
  EXPECT_EQ(out[440], 0.0f);
}

TEST_F(EnvelopeTest, RetriggerDeclicksFromTheCurrentLevel) {
  Configure(10.0f, 0.0f, 0.5f, 100.0f);
  NoteOn(1.0f);
  Run(1000);     // sustaining at 0.5
  NoteOn(1.0f);  // no note end in between
  EXPECT_TRUE(env.DeclickActive());
  auto out = Run(88 + 222);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_FLOAT_EQ(out[44], 0.25f);
  EXPECT_NEAR(out[87], 0.5f / 88.0f, 1e-7f);
  EXPECT_EQ(out[88], 0.0f);  // attack from counter 0 after 88 ramp samples
  EXPECT_FLOAT_EQ(out[89], 1.0f / 440.0f);
  EXPECT_FLOAT_EQ(out[88 + 220], 0.5f);

  // Retrigger during the release: the ramp starts from the release level reached.
  Run(500);
  NoteOff();
  out = Run(2200);
  const float reached = out.back();
  EXPECT_FLOAT_EQ(reached, 0.25f + 0.5f / 4400.0f);
  NoteOn(1.0f);
  out = Run(89);
  EXPECT_EQ(out[0], reached);
  EXPECT_FLOAT_EQ(out[44], reached * 0.5f);
  EXPECT_EQ(out[88], 0.0f);
}

TEST_F(EnvelopeTest, StartWithoutEarlierRunOrAfterFinishHasNoRamp) {
  Configure(10.0f, 0.0f, 1.0f, 1.0f);
  // A fresh envelope whose age is still 0 attacks at once.
  NoteOn();
  EXPECT_FALSE(env.DeclickActive());
  auto out = Run(2);
  EXPECT_FLOAT_EQ(out[1], 1.0f / 440.0f);
  // After the release has run out the output stays 0 and finished stays set.
  Run(500);
  NoteOff();
  out = Run(1000);
  EXPECT_TRUE(env.Finished());
  for (size_t i = 44; i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f);
  env.SetGate(0.0f);
  env.SetAge(0);
  Run(100);
  EXPECT_TRUE(env.Finished());
  // The next start clears it; the held level is 0, so the declick takes one silent sample.
  NoteOn(0.5f);
  EXPECT_FALSE(env.Finished());
  out = Run(3);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 0.0f);
  EXPECT_FLOAT_EQ(out[2], 0.5f / 440.0f);
}

TEST_F(EnvelopeTest, GateSetterChangesTheScaleAtOnce) {
  Configure(0.0f, 0.0f, 0.5f, 100.0f);
  NoteOn(0.8f);
  EXPECT_FLOAT_EQ(Run(10)[9], 0.4f);
  env.SetGate(0.5f);  // a different velocity while held
  const auto out = Run(2);
  EXPECT_FLOAT_EQ(out[0], 0.25f);
  EXPECT_EQ(env.StageCounter(), 0);  // the stages did not restart (sustain holds c)
}

TEST_F(EnvelopeTest, GateWithRetrigger) {
  Configure(10.0f, 0.0f, 1.0f, 100.0f);
  // From a fresh envelope the declick has nothing to ramp and takes one silent sample.
  env.SetGateRetrigger(0.8f);
  auto out = Run(300);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_FLOAT_EQ(out[221], 0.4f);
  // A new positive gate while the gate is up is ignored entirely, velocity included.
  env.SetGateRetrigger(0.5f);
  EXPECT_EQ(env.Gate(), 0.8f);
  EXPECT_EQ(env.OutputScale(), 0.8f);
  EXPECT_FALSE(env.DeclickActive());
  EXPECT_EQ(env.StageCounter(), 299);
  // Down: the release starts from the level reached.
  env.SetGateRetrigger(0.0f);
  out = Run(1);
  EXPECT_FLOAT_EQ(out[0], 0.8f * 298.0f / 440.0f);
  // Up again: declick then attack, unless the declick is disabled.
  env.SetGateRetrigger(1.0f);
  EXPECT_TRUE(env.DeclickActive());
  env.SetGateRetrigger(0.0f);
  env.SetDeclickDisabled(true);
  env.SetGateRetrigger(1.0f);
  EXPECT_FALSE(env.DeclickActive());
  out = Run(2);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_FLOAT_EQ(out[1], 1.0f / 440.0f);
}

TEST_F(EnvelopeTest, FixedLevelReplacesTheVelocityAtTheNextStart) {
  Configure(0.0f, 0.0f, 0.5f, 100.0f);
  env.SetFixedLevel(0.7f);
  env.SetUseFixedLevel(true);
  NoteOn(0.3f);
  EXPECT_EQ(env.Gate(), 0.7f);
  EXPECT_FLOAT_EQ(Run(1)[0], 0.35f);
  env.SetFixedLevel(0.2f);  // stored only
  EXPECT_EQ(env.OutputScale(), 0.7f);
  env.StartLevel(0.9f);
  EXPECT_EQ(env.Gate(), 0.2f);
  EXPECT_EQ(env.OutputScale(), 0.2f);
  env.SetUseFixedLevel(false);
  env.StartLevel(0.9f);
  EXPECT_EQ(env.OutputScale(), 0.9f);
}

TEST_F(EnvelopeTest, LogarithmicOutput) {
  struct Case {
    float sustain, expected;
  };
  for (Case c : {Case{0.0f, 0.0f}, Case{0.5f, -std::log10(0.55f)}, Case{1.0f, 1.0f}}) {
    TDSPADSR e;
    e.SetSustainLevel(c.sustain);
    e.StartNote(2.0f);
    e.TickLog();
    EXPECT_NEAR(e.Out, 2.0f * c.expected, 1e-6f) << c.sustain;
  }
  EXPECT_NEAR(-std::log10(0.55f), 0.2596f, 1e-4f);
}

TEST_F(EnvelopeTest, FadeInRisesToTheTargetOnceAndFollowsTheStages) {
  Configure(0.0f, 0.0f, 0.5f, 100.0f);
  NoteOn();
  Run(50);
  env.StartFadeIn(0.8f);  // 12 ms = 528 samples
  auto out = Run(600);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_FLOAT_EQ(out[264], 0.4f);
  EXPECT_FLOAT_EQ(out[527], 0.8f * 527.0f / 528.0f);
  EXPECT_FALSE(env.FadeInActive());
  for (size_t i = 528; i < out.size(); ++i) ASSERT_EQ(out[i], 0.5f) << i;

  // With a 24 ms declick armed as well the level first falls to 0, then rises.
  env.StartDeclick(24 * 44);
  env.StartFadeIn(0.8f);
  out = Run(24 * 44 + 528 + 1);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_FLOAT_EQ(out[528], 0.25f);
  EXPECT_EQ(out[24 * 44], 0.0f);
  EXPECT_FLOAT_EQ(out[24 * 44 + 264], 0.4f);
  EXPECT_EQ(out[24 * 44 + 528], 0.5f);
}

TEST_F(EnvelopeTest, NoteEndDuringARampReleasesFromTheRampLevel) {
  Configure(0.0f, 0.0f, 1.0f, 10.0f);
  NoteOn();
  Run(100);
  NoteOn();  // declick from 1 towards 0
  Run(44);   // half way: 45 / 88 after the last ramp sample
  NoteOff();
  auto out = Run(2);
  EXPECT_FLOAT_EQ(out[0], 45.0f / 88.0f);
  EXPECT_LT(out[1], out[0]);

  TDSPADSR e;
  e.SetSustainLevel(1.0f);
  e.SetReleaseTime(10.0f);
  e.StartNote(1.0f);
  e.Tick();
  e.StartFadeIn(1.0f);
  for (int i = 0; i < 132; ++i) e.Tick();  // fade-in at 131/528
  e.SetAge(132);
  e.SetGate(0.0f);
  e.SetAge(0);
  e.Tick();
  EXPECT_FLOAT_EQ(e.Out, 131.0f / 528.0f);
}

TEST_F(EnvelopeTest, TakeOverHelpers) {
  Configure(10.0f, 50.0f, 0.3f, 100.0f);
  NoteOn(0.9f);
  Run(300);
  TDSPADSR copy;
  copy.SetAttackTime(10.0f);
  copy.SetDecayTime(50.0f);
  copy.SetSustainLevel(0.3f);
  copy.SetReleaseTime(100.0f);
  copy.StartLevel(0.9f);
  copy.CopyRunningState(env);
  EXPECT_EQ(copy.Age(), env.Age());
  for (int i = 0; i < 3000; ++i) {
    env.Tick();
    copy.Tick();
    ASSERT_EQ(copy.Out, env.Out) << i;
  }
  // Silence, then follow the source's stages behind a fade-in to its level.
  copy.Silence();
  EXPECT_EQ(copy.Level(), 0.0f);
  copy.StartFadeIn(env.Level());
  copy.FollowStageOf(env);
  EXPECT_EQ(copy.StageCounter(), env.StageCounter());
}

TEST_F(EnvelopeTest, FillPeriodMatchesTickSampleForSample) {
  // Every stage, both ramps, a retrigger in the release and a run-out, with fractional
  // stage lengths, across period boundaries.
  TDSPADSR ticked, filled;
  for (TDSPADSR* e : {&ticked, &filled}) {
    e->SetAttackTime(3.3f);
    e->SetDecayTime(7.77f);
    e->SetSustainLevel(0.4f);
    e->SetReleaseTime(5.1f);
  }
  struct Event {
    int period;
    int what;
  };
  const Event events[] = {{0, 0}, {2, 3}, {9, 1}, {12, 0}, {13, 2}, {20, 1}, {30, 4}, {40, 0}, {42, 1}};
  float block[44];
  int32_t voiceAge = 0;
  size_t next = 0;
  for (int p = 0; p < 50; ++p) {
    for (TDSPADSR* e : {&ticked, &filled}) {
      for (size_t k = next; k < std::size(events) && events[k].period == p; ++k) {
        switch (events[k].what) {
          case 0:
            e->StartNote(0.9f);
            e->SetAge(0);
            break;
          case 1:
            e->SetGate(0.0f);
            e->SetAge(0);
            break;
          case 2:
            e->StartFadeIn(0.6f);
            break;
          case 3:
            e->SetSustainLevel(0.7f);
            break;
          case 4:
            e->StartNote(0.5f);
            e->SetAge(0);
            e->StartFadeIn(0.3f);
            break;
        }
      }
      e->SetAge(voiceAge);
    }
    while (next < std::size(events) && events[next].period == p) ++next;
    filled.FillPeriod(block);
    for (int i = 0; i < 44; ++i) {
      ticked.Tick();
      ASSERT_EQ(block[i], ticked.Out) << "period " << p << " sample " << i;
    }
    EXPECT_EQ(filled.Out, ticked.Out);
    EXPECT_EQ(filled.StageCounter(), ticked.StageCounter());
    EXPECT_EQ(filled.HeldLevel(), ticked.HeldLevel());
    EXPECT_EQ(filled.Finished(), ticked.Finished());
    voiceAge += 44;
  }
  EXPECT_TRUE(ticked.Finished());
}

TEST_F(EnvelopeTest, StageCounterSaturatesOnEndlessStages) {
  // An attack far longer than the counter can count: the counter stops at its maximum
  // instead of overflowing, in both step paths alike.
  TDSPADSR ticked, filled;
  for (TDSPADSR* e : {&ticked, &filled}) {
    e->SetAttackTime(1e9f);
    e->SetReleaseTime(1e9f);
    e->StartNote(1.0f);
    e->SetStageCounter(INT32_MAX - 50);
  }
  float block[44];
  for (int p = 0; p < 3; ++p) {
    if (p == 2) {
      for (TDSPADSR* e : {&ticked, &filled}) e->SetGate(0.0f);  // release, counter left high
    }
    filled.FillPeriod(block);
    for (int i = 0; i < 44; ++i) {
      ticked.Tick();
      ASSERT_EQ(block[i], ticked.Out) << p << " " << i;
    }
    EXPECT_EQ(filled.StageCounter(), ticked.StageCounter());
  }
  EXPECT_EQ(filled.StageCounter(), INT32_MAX);
  EXPECT_GT(filled.Out, 0.0f);
}

TEST_F(EnvelopeTest, ContextChangeRecalculatesTheStageLengths) {
  Configure(10.0f, 20.0f, 0.5f, 30.0f);
  env.UsePrivateContext(TDSPProcessInfo(48000, 48));
  env.ContextChanged(env.Context());
  EXPECT_EQ(env.AttackLength(), 480.0f);
  EXPECT_EQ(env.DecayLength(), 960.0f);
  EXPECT_EQ(env.ReleaseLength(), 1440.0f);
  // Ramps follow the new rate too.
  NoteOn();
  Run(10);
  NoteOn();
  float block[48];
  env.FillPeriod(block);
  env.FillPeriod(block);  // 96 declick samples
  EXPECT_FALSE(env.DeclickActive());
  EXPECT_GT(block[47], 0.0f);
  env.FillPeriod(block);
  EXPECT_EQ(block[0], 0.0f);  // attack from counter 0
  EXPECT_FLOAT_EQ(block[1], 1.0f / 480.0f);
}

TEST_F(EnvelopeTest, BlockModesReadTheStageInputs) {
  env.SetUsesWorkBuffers(true);
  env.ContextChanged(env.Context());
  ASSERT_NE(env.OutputBlock(), nullptr);
  // Unconnected inputs read 512 (ms for the times, clamped to 1 for the sustain).
  std::vector<float> gate(100, 1.0f);
  env.SetPort(TDSPEnvelope::kGateInput, gate.data());
  env.ProcessInputsBlock();
  EXPECT_EQ(env.AttackTime(), 512.0f);
  EXPECT_EQ(env.SustainLevel(), 1.0f);
  // The first sample is the (empty) declick of the rising gate.
  EXPECT_FLOAT_EQ(env.OutputBlock()[43], 42.0f / (512.0f * 44.0f));

  std::vector<float> attack(100, 1.0f), decay(100, 0.0f), sustain(100, 0.5f);
  env.SetPort(TDSPEnvelope::kAttackInput, attack.data());
  env.SetPort(TDSPEnvelope::kDecayInput, decay.data());
  env.SetPort(TDSPEnvelope::kSustainInput, sustain.data());
  env.ProcessInputsBlock();  // gate still up: no restart
  EXPECT_EQ(env.OutputBlock()[43], 0.5f);
  gate.assign(100, 0.0f);
  env.ProcessInputsBlockLog();  // release of 512 ms from 0.5, logarithmic
  const float level = (1.0f - 1.0f / (512.0f * 44.0f)) * 0.5f;
  EXPECT_FLOAT_EQ(env.OutputBlock()[1], -std::log10((1.0f - level) * 0.9f + 0.1f));

  // The bound block routine ticks into the output block.
  env.blockProcessor();
  EXPECT_LT(env.OutputBlock()[0], 0.5f);
  EXPECT_GT(env.OutputBlock()[0], 0.49f);
}

}  // namespace
