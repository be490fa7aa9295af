// The instrument end to end: notes played through the entry functions, measured from the
// output, with the voices and layer state inspected where the output alone cannot tell.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ParameterLaws.h"
#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

constexpr double kRate = 44100.0;

double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// The frequency of oscillator 1 (a sine) playing a note under the given settings.
double PlayedFrequency(std::vector<std::pair<int32_t, float>> settings, int note = 69,
                       std::vector<std::array<uint8_t, 3>> extraMidi = {}) {
  TInstrumentHost host;
  host.SoloOscillator1();
  for (auto [index, value] : settings) host.Set(index, value);
  for (auto& m : extraMidi) host.Midi({{0, m}});
  host.NoteOn(note);
  const TStereo out = host.Render(44100);
  return MeasureFrequency(out.left, kRate, 22050);
}

}  // namespace

TEST(InstrumentPitch, TuningBendAndKeyScaling) {
  struct Case {
    const char* what;
    std::vector<std::pair<int32_t, float>> settings;
    int note;
    double hz;
    std::vector<std::array<uint8_t, 3>> midi = {};
  };
  const Case cases[] = {
      {"A4", {}, 69, 440.0},
      {"Tune +12", {{Param::Tune, 12.0f}}, 69, 880.0},
      {"Fine +50", {{Param::Fine, 50.0f}}, 69, NoteHz(69.5)},
      {"OSC1 Tune -7", {{Param::Osc1Tune, -7.0f}}, 69, NoteHz(62)},
      {"OSC1 Finetune -100", {{Param::Osc1Finetune, -100.0f}}, 60, NoteHz(59)},
      {"bend up, range 2", {}, 69, NoteHz(71), {{0xE0, 0x7F, 0x7F}}},
      {"bend down, range 12", {{Param::PitchbendRange, 12.0f}}, 69, NoteHz(57), {{0xE0, 0x00, 0x00}}},
      {"scale 0 at root 76", {{Param::Osc1ScaleTune, 0.0f}, {Param::Osc1RootKey, 76.0f}}, 40, NoteHz(76)},
      {"scale 100 root 76", {{Param::Osc1RootKey, 76.0f}}, 60, NoteHz(72)},
      {"scale 50", {{Param::Osc1ScaleTune, 50.0f}}, 76, NoteHz(70)},
  };
  for (const Case& c : cases) {
    const double hz = PlayedFrequency(c.settings, c.note, c.midi);
    EXPECT_NEAR(hz, c.hz, c.hz * 0.0006 + 0.05) << c.what;
  }
}

TEST(InstrumentPitch, AttackAndReleaseSweeps) {
  TInstrumentHost host;
  host.SoloOscillator1();
  host.Set(Param::Osc1PattStart, -12.0f);                                    // OSC1.PATT START
  host.Set(Param::Osc1PattTime, static_cast<float>(MsToTimecents(100.0f)));  // OSC1.PATT TIME 100 ms
  host.Set(Param::Osc1PrelEnd, -24.0f);                                      // OSC1.PREL END
  host.Set(Param::Osc1PrelTime, -13160.0f);                                  // OSC1.PREL TIME 0
  host.NoteOn(69);
  host.Render(44);
  TDSPSynthVoice* v = host.plugin->Voices().Voice(0);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 57.0f, 1e-4f);  // an octave low at the start
  host.Render(44 * 50);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 63.0f, 0.2f);  // halfway after 50 ms
  host.Render(44 * 60);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 69.0f, 1e-4f);  // the note after 100 ms
  host.NoteOff(69);
  host.Render(88);
  EXPECT_EQ(v->State, kVoiceReleased);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 45.0f, 1e-4f);  // two octaves lower at once
}

TEST(InstrumentPitch, GlideIsAStraightLineOverTheGlideTime) {
  TInstrumentHost host;
  host.SoloOscillator1();
  host.Set(Param::Voices, 1.0f);                                          // one voice
  host.Set(Param::GlideTime, static_cast<float>(MsToTimecents(100.0f)));  // glide 100 ms
  host.Render(64);
  host.NoteOn(60);
  host.Render(44 * 10);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 60.0f, 1e-4f);  // the first note does not glide
  host.NoteOff(60);
  host.NoteOn(72);
  // The released, still sounding voice is stolen: its old note fades out over 2 ms (two
  // blocks) first, then the new note starts with age 0 at its first update.
  host.Render(44 * 3);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 60.0f, 0.15f);
  host.Render(44 * 50);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 66.0f, 0.2f);
  host.Render(44 * 55);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 72.0f, 1e-4f);
}

TEST(InstrumentPitch, PitchModulationInHertzOrSemitones) {
  for (int method : {0, 1}) {
    TInstrumentHost host;
    host.SoloOscillator1();
    host.Set(Param::PmMethod, static_cast<float>(method));  // PM METHOD: 0 "Frq", 1 "Pitch"
    host.Set(Param::Osc1PitchLfo1, 1000.0f);                // OSC1 PITCH->LFO1 = 1.0
    host.Set(Param::Lfo1Frequency, 0.0f);                   // LFO1 at about 8 Hz
    host.NoteOn(69);
    host.Render(44 * 37);
    TDSPSynthVoice* v = host.plugin->Voices().Voice(0);
    const float lfo = v->LfoOut[0];
    ASSERT_GT(std::fabs(lfo), 0.05f);
    if (method == 1) {
      EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 69.0f + lfo, 1e-4f);
    } else {
      EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 69.0f, 1e-4f);
      EXPECT_NEAR(v->Oscillator(0).Frequency(), 440.0f + lfo * 164.0f, 0.05f);
    }
  }
}

TEST(VoiceAllocation, StealingFollowsTheScanRules) {
  TInstrumentHost host;
  host.Set(Param::Voices, 4.0f);
  host.Render(64);
  TTesmora6& p = *host.plugin;
  ASSERT_EQ(p.Voices().VoiceCount(), 4);
  auto hold = [&](std::vector<std::pair<int32_t, uint8_t>> ages) {
    p.Voices().ResetVoices();
    for (size_t i = 0; i < ages.size(); ++i) {
      TDSPSynthVoice* v = p.Voices().Voice(static_cast<int32_t>(i));
      v->State = ages[i].second;
      v->Age = ages[i].first;
      v->Note = 30 + static_cast<int32_t>(i);
    }
  };
  auto noteOn = [&](int note) { p.NoteOn({0x90, static_cast<int16_t>(note), 100, 0}); };
  // Ages 40, 10, 40, 30 all held: the tie on 40 goes to the later index.
  hold({{40, kVoiceHeld}, {10, kVoiceHeld}, {40, kVoiceHeld}, {30, kVoiceHeld}});
  noteOn(80);
  EXPECT_EQ(p.Voices().Voice(2)->Note, 80);
  EXPECT_EQ(p.Voices().Voice(2)->Age, 0);
  // [10 released, 20 held, ...]: the released voice 0 is taken although voice 1 is older.
  hold({{10, kVoiceReleased}, {20, kVoiceHeld}, {5, kVoiceHeld}, {5, kVoiceHeld}});
  noteOn(81);
  EXPECT_EQ(p.Voices().Voice(0)->Note, 81);
  EXPECT_EQ(p.Voices().Voice(1)->Note, 31);
  // [20 held, 10 released]: voice 0 again, as a held voice.
  hold({{20, kVoiceHeld}, {10, kVoiceReleased}, {5, kVoiceHeld}, {5, kVoiceHeld}});
  noteOn(82);
  EXPECT_EQ(p.Voices().Voice(0)->Note, 82);
  // A free voice is used before anything is stolen.
  hold({{50, kVoiceHeld}, {60, kVoiceHeld}, {0, kVoiceFree}, {70, kVoiceHeld}});
  noteOn(83);
  EXPECT_EQ(p.Voices().Voice(2)->Note, 83);
  EXPECT_EQ(p.Voices().Voice(3)->Note, 33);
}

TEST(VoiceAllocation, SameKeyTwiceVelocityZeroAndVoicesChange) {
  TInstrumentHost host;
  host.NoteOn(60);
  host.NoteOn(60, 100, 10);
  host.Render(64);
  TTesmora6& p = *host.plugin;
  EXPECT_EQ(p.Voices().Voice(0)->State, kVoiceHeld);
  EXPECT_EQ(p.Voices().Voice(1)->State, kVoiceHeld);
  host.Midi({{0, {0x90, 60, 0}}});  // velocity 0: a note-off for the lower voice only
  host.Render(64);
  EXPECT_EQ(p.Voices().Voice(0)->State, kVoiceReleased);
  EXPECT_EQ(p.Voices().Voice(1)->State, kVoiceHeld);
  // A "Voices" change cuts every note at the next block and re-applies the parameters.
  host.Set(Param::Flt1Cutoff, 1000.0f);
  host.Set(Param::Voices, 6.0f);
  host.Render(64);
  ASSERT_EQ(p.Voices().VoiceCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(p.Voices().Voice(i)->IsFree());
  EXPECT_EQ(p.Modulation().FilterStages[0].cut, 1000.0f);
  host.NoteOn(64);
  host.Render(64);
  EXPECT_EQ(p.Voices().Voice(0)->GlideFrom, 64.0f);  // the first note after a rebuild does not glide
}

TEST(VoiceAllocation, LegatoWithTheFirstNotesEnvelope) {
  TInstrumentHost host;
  host.Set(Param::UseNoteFirstEnvelope, 1.0f);
  host.Set(Param::Voices, 1.0f);  // one voice
  host.Render(64);
  TTesmora6& p = *host.plugin;
  host.NoteOn(60);
  host.Render(44 * 100);
  const int32_t stage = p.Voices().Voice(0)->Env1.StageCounter();
  host.NoteOn(67);
  host.Render(44);
  TDSPSynthVoice* v = p.Voices().Voice(0);
  EXPECT_EQ(v->Note, 67);
  EXPECT_EQ(v->State, kVoiceHeld);
  EXPECT_GE(v->Env1.StageCounter(), stage);  // no restart of the envelope
  EXPECT_FALSE(v->Env1.DeclickActive());
  host.NoteOff(67);
  host.Render(44);
  EXPECT_EQ(v->State, kVoiceReleased);
  host.NoteOff(60);  // finds nothing
  host.Render(44);
  EXPECT_EQ(v->State, kVoiceReleased);
}

TEST(InstrumentRender, Env2DelaySilencesItsOscillatorsForTwentyBlocks) {
  TInstrumentHost host;
  host.SoloOscillator1();
  host.Set(Param::Osc1Env1, 0.0f);                                       // OSC1->ENV1
  host.Set(Param::Osc1Env2, 1000.0f);                                    // OSC1->ENV2
  host.Set(Param::Env2Delay, static_cast<float>(MsToTimecents(20.0f)));  // Env2Delay 20 ms
  host.Set(Param::Env2Attack, -13160.0f);                                // ENV2 attack 0
  host.Set(Param::AmpEnv1, 0.0f);                                        // "Amp->Env1" 0: Env1 does not shape
  host.Render(64);
  host.NoteOn(69);
  // The note starts with the first block of the next call, after the frames buffered
  // before it: blocks 0 .. 19 of the note are silent, block 20 sounds.
  const auto pre = static_cast<size_t>(host.plugin->BufferedFrames());
  const TStereo out = host.Render(static_cast<int32_t>(pre) + 44 * 22, 44);
  EXPECT_EQ(Peak(out.left, 0, pre + 44 * 20), 0.0f);
  EXPECT_GT(Peak(out.left, pre + 44 * 20, pre + 44 * 21), 0.01f);
}

TEST(InstrumentRender, VoicesSumWithoutNormalisation) {
  auto render = [](int count) {
    TInstrumentHost host;
    host.Set(Param::Voices, 8.0f);
    // -18 dB of master gain (700 on the amount law) keeps eight voices below the output
    // ceiling of the instance.
    host.Set(Param::Gain, 700.0f);
    host.Render(64);
    // Notes of one block glide from the last voice's previous pitch, which is 48 for a
    // voice that has not run yet: at note 48 every voice starts identically.
    for (int i = 0; i < count; ++i) host.NoteOn(48);
    return host.Render(4410);
  };
  const TStereo one = render(1);
  const TStereo eight = render(8);
  ASSERT_GT(Peak(one.left), 0.05f);
  for (size_t i = 0; i < one.left.size(); i += 7) {
    ASSERT_NEAR(eight.left[i], 8.0f * one.left[i], 1e-4f * 8.0f + 1e-6f) << i;
  }
  EXPECT_GT(Peak(eight.left), 1.0f);  // nothing clips it
}

TEST(ModulationMatrix, PitchToCutoffAndTwoSlotsAdding) {
  TInstrumentHost host;
  host.Set(Param::ModSrc1, 14.0f);    // MSrc1 "Pitch"
  host.Set(Param::ModDst1, 26.0f);    // MDst1 "Flt1-C" (host 63)
  host.Set(Param::ModAmt1, 1000.0f);  // MAmt1 1.0
  struct Case {
    int note;
    float offset;
  };
  for (Case c : {Case{127, 1.0f}, Case{0, -1.0f}, Case{64, 64.0f / 127.0f * 2.0f - 1.0f}}) {
    host.NoteOn(c.note);
    host.Render(64);
    EXPECT_NEAR(host.plugin->Modulation().ModOffset(63), c.offset, 1e-6f) << c.note;
    host.NoteOff(c.note);
    host.Render(44 * 400);
  }
  host.Set(Param::ModSrc2, 14.0f);  // MSrc2 "Pitch"
  host.Set(Param::ModDst2, 26.0f);  // MDst2 "Flt1-C"
  host.NoteOn(127);
  host.Render(64);
  EXPECT_NEAR(host.plugin->Modulation().ModOffset(63), 2.0f, 1e-6f);
  // With the matrix off nothing reaches the destination.
  host.Set(Param::MOn, 0.0f);
  host.Render(64);
  EXPECT_EQ(host.plugin->Modulation().ModOffset(63), 0.0f);
}

TEST(ModulationLfo, DelayAttackHoldReleaseAndCycles) {
  TInstrumentHost host;
  host.Set(Param::Lfo1Reset, 1.0f);                                    // LFO1 Reset: restarts per note
  host.Set(Param::Lfo1Frequency, 60.0f);                               // fast enough to sample
  host.Set(Param::Lfo1Dly, static_cast<float>(MsToTimecents(50.0f)));  // delay 50 ms
  host.Set(Param::Lfo1Atk, static_cast<float>(MsToTimecents(10.0f)));  // attack 10 ms
  host.Set(Param::Lfo1Hld, static_cast<float>(MsToTimecents(20.0f)));  // hold 20 ms
  host.Set(Param::Lfo1Rls, static_cast<float>(MsToTimecents(10.0f)));  // release 10 ms
  host.Set(Param::Lfo1Cyc, 2.0f);                                      // two cycles
  host.NoteOn(60);
  host.Render(20);
  TDSPSynthVoice* v = host.plugin->Voices().Voice(0);
  std::vector<float> lfo;
  for (int ms = 0; ms < 250; ++ms) {
    host.Render(44, 44);
    lfo.push_back(v->LfoOut[0]);
  }
  auto peak = [&](int from, int to) {
    float m = 0.0f;
    for (int i = from; i < to; ++i) m = std::max(m, std::fabs(lfo[static_cast<size_t>(i)]));
    return m;
  };
  EXPECT_EQ(peak(0, 49), 0.0f);     // delay
  EXPECT_GT(peak(62, 80), 0.5f);    // hold
  EXPECT_EQ(peak(94, 140), 0.0f);   // the second delay
  EXPECT_GT(peak(150, 170), 0.5f);  // the second cycle
  EXPECT_EQ(peak(190, 250), 0.0f);  // two cycles done: silent
}

TEST(InstrumentSequencer, GatesSixteenthsAt120Bpm) {
  TInstrumentHost host;
  host.SoloOscillator1();
  host.Set(Param::Seq1On, 1.0f);  // "Seq1" on: ticks, 30 ticks a step, gate open for 75 %
  host.NoteOn(69);
  const TStereo out = host.Render(44100);
  // Where the gate opens and closes, to the sample, from the level of the sine.
  std::vector<size_t> opens, closes;
  bool open = false;
  size_t lastLoud = 0;
  for (size_t i = 0; i < out.left.size(); ++i) {
    const bool loud = std::fabs(out.left[i]) > 1e-4f;
    if (loud) {
      if (!open && (opens.empty() || i - lastLoud > 200)) opens.push_back(i);
      open = true;
      lastLoud = i;
    } else if (open && i - lastLoud > 200) {
      closes.push_back(lastLoud);
      open = false;
    }
  }
  ASSERT_GE(opens.size(), 6u);
  for (size_t k = 2; k + 1 < opens.size(); ++k) {
    // A sixteenth at 120 BPM is 125 ms; the gate closes 93.75 ms after it opens.
    EXPECT_NEAR(static_cast<double>(opens[k + 1] - opens[k]), 5512.5, 60.0) << k;
    EXPECT_NEAR(static_cast<double>(closes[k] - opens[k]), 4134.4, 120.0) << k;
  }
}
