#include "dsp/DSPOscillator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/DSPMaths.h"
#include "dsp/DSPOscillators.h"
#include "dsp/DSPWaveformTable.h"

using namespace tesmora6;

namespace {

double NoteHz(double e) { return 440.0 * std::pow(2.0, (e - 69.0) / 12.0); }

int RisingZeroCrossings(const std::vector<float>& x) {
  int n = 0;
  for (size_t i = 1; i < x.size(); ++i) n += (x[i - 1] < 0.0f && x[i] >= 0.0f);
  return n;
}

std::vector<float> TickMany(TDSPOscillator& slot, int n) {
  std::vector<float> out;
  for (int i = 0; i < n; ++i) {
    slot.Tick();
    out.push_back(slot.Out);
  }
  return out;
}

}  // namespace

TEST(OscillatorSlot, StartsWithASaw) {
  TDSPOscillator slot;
  EXPECT_EQ(slot.WaveformNumber(), 0);
  EXPECT_EQ(slot.WaveformValue(), 6.0f);
  EXPECT_FALSE(slot.Changed());
  EXPECT_NE(dynamic_cast<TSawOsc*>(&slot.Waveform()), nullptr);
  EXPECT_TRUE(slot.Waveform().SharesContext());
  EXPECT_EQ(slot.Waveform().Context(), slot.Context());
}

TEST(OscillatorSlot, WaveformValueRoundsAndClamps) {
  struct Case {
    float value;
    int number;
  };
  for (Case c : {Case{5.5f, 6}, Case{4.5f, 4}, Case{92.4f, 92}, Case{-3.0f, 0}, Case{200.0f, 127}, Case{1e20f, 127},
                 Case{NAN, 0}}) {
    TDSPOscillator slot;
    slot.SetWaveform(c.value);
    EXPECT_EQ(slot.WaveformNumber(), c.number) << c.value;
    EXPECT_TRUE(slot.Changed());
    if (!std::isnan(c.value)) {
      EXPECT_EQ(slot.WaveformValue(), c.value);
    }
  }
  TDSPOscillator slot;
  slot.SetWaveform(127.0f);  // no class: a sine
  EXPECT_NE(dynamic_cast<TSineOsc1*>(&slot.Waveform()), nullptr);
  slot.SetWaveform(92.0f);
  EXPECT_NE(dynamic_cast<TSmoothNoise8Osc*>(&slot.Waveform()), nullptr);
}

TEST(OscillatorSlot, RebuildRestartsThePhaseAndKeepsPitchAndGain) {
  TDSPOscillator slot;
  slot.SetWaveform(6.0f);
  slot.SetPitch(60.0f);
  slot.SetGain(0.7f);
  TickMany(slot, 10);
  ASSERT_NE(slot.Waveform().Phase(), TDSPBaseOscillator::kResetPhase);
  slot.SetWaveform(6.0f);  // the same number: still a new object
  EXPECT_EQ(slot.Waveform().Phase(), TDSPBaseOscillator::kResetPhase);
  EXPECT_EQ(slot.Gain(), 0.7f);
  EXPECT_EQ(slot.Waveform().EffectivePitch(), 60.0f);
  EXPECT_NEAR(slot.Frequency(), NoteHz(60), 1e-3);

  // A table waveform is rebuilt too; its own +0.03 goes on top of the carried pitch.
  slot.SetWaveform(36.0f);
  EXPECT_FLOAT_EQ(slot.Waveform().EffectivePitch(), 60.03f);
  slot.SetWaveform(36.0f);
  EXPECT_FLOAT_EQ(slot.Waveform().EffectivePitch(), 60.06f);
  EXPECT_EQ(slot.Waveform().Phase(), TDSPBaseOscillator::kResetPhase);
  EXPECT_EQ(slot.Gain(), 0.7f);
}

TEST(OscillatorSlot, PitchCarryOverAddsBothOffsets) {
  TDSPOscillator slot;
  slot.SetWaveform(15.0f);  // "X-Mix", +24
  slot.SetPitch(60.0f);
  EXPECT_FLOAT_EQ(slot.Waveform().EffectivePitch(), 84.0f);
  slot.SetWaveform(36.0f);  // "Sine2", +0.03 on top of 84
  EXPECT_FLOAT_EQ(slot.Waveform().LastPitch(), 84.0f);
  EXPECT_FLOAT_EQ(slot.Waveform().EffectivePitch(), 84.03f);
  EXPECT_NEAR(slot.Frequency(), NoteHz(84.03), 1e-2);
  slot.SetWaveform(0.0f);
  EXPECT_FLOAT_EQ(slot.Waveform().EffectivePitch(), 84.03f);
  // After a frequency was set, the effective pitch is the pitch of that frequency.
  slot.SetFrequency(220.0f);
  slot.SetWaveform(6.0f);
  EXPECT_NEAR(slot.Frequency(), 220.0f, 1e-3f);
}

TEST(OscillatorSlot, BandLimitedGainCarryOver) {
  TDSPOscillator slot;
  slot.SetWaveform(38.0f);
  slot.SetGain(0.8f);
  EXPECT_FLOAT_EQ(slot.Gain(), 2.4f);
  slot.SetWaveform(6.0f);
  EXPECT_FLOAT_EQ(slot.Gain(), 0.8f);
  slot.SetWaveform(38.0f);
  EXPECT_FLOAT_EQ(slot.Gain(), 2.4f);
  slot.SetWaveform(38.0f);  // saw to saw keeps the requested 0.8
  EXPECT_FLOAT_EQ(slot.Gain(), 2.4f);
}

TEST(OscillatorSlot, SingleStepRunsTablesAtTwiceTheRate) {
  TDSPOscillator sine, table;
  sine.SetWaveform(6.0f);
  table.SetWaveform(36.0f);
  for (TDSPOscillator* slot : {&sine, &table}) {
    slot->SetFrequency(100.0f);
    slot->SetGain(0.5f);
    slot->ResetPhase();
  }
  const auto s = TickMany(sine, 4410);  // 0.1 s
  const auto t = TickMany(table, 4410);
  EXPECT_NEAR(RisingZeroCrossings(s), 10, 1);
  EXPECT_NEAR(RisingZeroCrossings(t), 20, 1);
  // The step is value x gain, stored in both output registers.
  EXPECT_EQ(sine.Out, sine.Waveform().Out);
  float peak = 0;
  for (float v : s) peak = std::max(peak, std::fabs(v));
  EXPECT_NEAR(peak, 0.5f, 1e-3f);

  // The band-limited saw advances its own cycle once per step (the slot's extra advance
  // moves the ordinary phase, which the saw does not read).
  TDSPOscillator saw;
  saw.SetWaveform(38.0f);
  saw.SetFrequency(441.0f);
  const float before = saw.Waveform().Phase();
  saw.Tick();
  auto& blit = static_cast<TBlitSawOsc&>(saw.Waveform());
  EXPECT_FLOAT_EQ(blit.DsfPhase(), 0.01f);
  EXPECT_FLOAT_EQ(saw.Waveform().Phase(), before + 0.01f);
}

TEST(OscillatorSlot, PeriodFillIsTheWaveformsOwn) {
  TDSPOscillator slot;
  slot.SetWaveform(49.0f);
  slot.SetPitch(57.0f);
  slot.SetGain(0.9f);
  auto reference = CreateWaveform(49);
  reference->SetPitch(57.0f);
  reference->SetGain(0.9f);
  float a[64], b[64];
  slot.FillPeriod(a);
  reference->FillPeriod(b);
  for (int i = 0; i < 44; ++i) EXPECT_EQ(a[i], b[i]) << i;
}

TEST(OscillatorSlot, ContextChangeKeepsTheNumberAndRestartsThePhase) {
  TDSPOscillator slot;
  slot.SetWaveform(36.0f);
  slot.SetFrequency(441.0f);
  TickMany(slot, 7);
  TDSPProcessInfo info(48000, 48);
  slot.ContextChanged(&info);
  EXPECT_EQ(slot.WaveformNumber(), 36);
  EXPECT_EQ(slot.Context(), &info);
  EXPECT_EQ(slot.Waveform().Context(), &info);
  EXPECT_EQ(slot.Waveform().Phase(), TDSPBaseOscillator::kResetPhase);
  auto& table = static_cast<TDSPTableOscillator&>(slot.Waveform());
  EXPECT_FLOAT_EQ(table.IncrementScale(), 256.0f / 48000.0f);
  // The carried pitch is converted at the new rate.
  EXPECT_FLOAT_EQ(slot.Waveform().Increment(), slot.Frequency() * (256.0f / 48000.0f));
}

TEST(OscillatorSlot, WorkBuffersAndInputs) {
  TDSPOscillator slot;
  slot.SetUsesWorkBuffers(true);
  slot.ContextChanged(slot.Context());
  ASSERT_NE(slot.OutputBlock(), nullptr);
  // An input the owner connected reaches every new waveform object; the others keep the
  // oscillator's own defaults (48.0 for the pitch input).
  std::vector<float> amplitude(200, 0.25f);
  slot.SetPort(1, amplitude.data());
  slot.SetGain(0.6f);
  slot.SetPitch(69.0f);
  slot.SetWaveform(0.0f);
  TDSPBaseOscillator& wave = slot.Waveform();
  EXPECT_EQ(wave.Port(1), amplitude.data());
  EXPECT_EQ(wave.Port(0)[0], 48.0f);
  ASSERT_NE(wave.AmplitudeBuffer(), nullptr);
  const int padded = slot.Context()->paddedBlock;
  for (int i = 0; i < padded; ++i) {
    ASSERT_EQ(wave.AmplitudeBuffer()[i], 0.6f) << i;
    ASSERT_EQ(wave.IncrementBuffer()[i], wave.Increment()) << i;
  }
  // The block process runs the waveform's and copies its output block.
  slot.ProcessBlock();
  EXPECT_EQ(slot.OutputBlock()[3], wave.OutputBlock()[3]);
  EXPECT_FLOAT_EQ(wave.LastPitch(), 48.0f);  // from the pitch input
  EXPECT_NE(slot.OutputBlock()[3], 0.0f);
}

// Every waveform, chosen through the slot and started as a voice starts a note, sounds
// and stays finite.
TEST(OscillatorSlot, EveryWaveformSounds) {
  for (int w = 0; w < kWaveformCount; ++w) {
    TDSPOscillator slot;
    slot.SetUsesWorkBuffers(true);
    slot.ContextChanged(slot.Context());
    slot.SetWaveform(static_cast<float>(w));
    slot.SetGain(1.0f);
    slot.SetPitch(60.0f);
    slot.ResetPhase();
    float peak = 0.0f;
    for (int period = 0; period < 100; ++period) {
      slot.FillPeriod(slot.OutputBlock());
      for (int i = 0; i < 44; ++i) {
        ASSERT_TRUE(std::isfinite(slot.OutputBlock()[i])) << w;
        peak = std::max(peak, std::fabs(slot.OutputBlock()[i]));
      }
    }
    EXPECT_GT(peak, 0.05f) << w << " " << WaveformName(w);
  }
}

// A voice skips the periods of an oscillator at gain 0 when its waveform allows it. The
// skipped periods must be the zeros the fill would have given, and must leave the phase
// where the fill leaves it, so that the oscillator sounds the same once its gain rises.
TEST(OscillatorSilence, SkippedPeriodsLeaveTheStateOfFilledOnes) {
  struct TRun {
    std::vector<float> phases;
    std::vector<bool> skippedOrSilent;  // the period was skipped (or filled with zeros)
  };
  // 300 periods of one slot from the same start and the same shared generator's seed.
  auto run = [](int w, float pitch, bool skip) {
    DSPRandom().SetSeed(777);
    TDSPOscillator slot;
    slot.SetUsesWorkBuffers(true);
    slot.ContextChanged(slot.Context());
    slot.SetWaveform(static_cast<float>(w));
    slot.SetPitch(pitch);
    slot.Waveform().SetShape(0.3f);
    slot.SetGain(0.0f);
    slot.ResetPhase();
    TRun r;
    for (int period = 0; period < 300; ++period) {
      bool silent = skip && slot.SkipSilentPeriod();
      if (!silent) {
        slot.FillPeriod(slot.OutputBlock());
        silent = std::all_of(slot.OutputBlock(), slot.OutputBlock() + 44, [](float x) { return x == 0.0f; });
      }
      r.phases.push_back(slot.Waveform().Phase());
      r.skippedOrSilent.push_back(silent);
    }
    // A waveform that skips at gain 0 fills again as soon as it sounds.
    slot.SetGain(0.5f);
    EXPECT_FALSE(slot.SkipSilentPeriod()) << WaveformName(w);
    return r;
  };
  for (int w = 0; w < kWaveformCount; ++w) {
    for (float pitch : {-40.0f, 60.0f, 131.0f, 250.0f}) {
      const TRun filled = run(w, pitch, false), skipped = run(w, pitch, true);
      for (size_t period = 0; period < filled.phases.size(); ++period) {
        ASSERT_EQ(filled.phases[period], skipped.phases[period])
            << WaveformName(w) << " at " << pitch << ", period " << period;
        // Where a period was skipped, the fill gave zeros there.
        if (skipped.skippedOrSilent[period]) {
          ASSERT_TRUE(filled.skippedOrSilent[period]) << WaveformName(w) << " at " << pitch;
        }
      }
    }
  }
  // The voices' most common silent oscillator, an analytic sine at amount 0, is skipped.
  TDSPOscillator sine;
  sine.SetWaveform(127.0f);
  sine.SetGain(0.0f);
  EXPECT_TRUE(sine.SkipSilentPeriod());
  sine.SetGain(-0.0f);
  EXPECT_TRUE(sine.SkipSilentPeriod());
}
