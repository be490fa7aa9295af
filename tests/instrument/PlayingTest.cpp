// What a musician and a host's transport send, heard through the entry points: the first
// note of a fresh instance, voice stealing without a click, the bend range while the wheel
// is held, events outside the block, the sustain pedal and the stop messages, the editor's
// refresh queue, and a loud runaway patch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "framework/PostBack.h"
#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

float MaxStep(const std::vector<float>& s, size_t from = 1, size_t to = SIZE_MAX) {
  float step = 0.0f;
  for (size_t i = std::max<size_t>(from, 1); i < std::min(to, s.size()); ++i) {
    step = std::max(step, std::fabs(s[i] - s[i - 1]));
  }
  return step;
}

int HeldVoices(TTesmora6& p) {
  int n = 0;
  for (int32_t i = 0; i < p.Voices().VoiceCount(); ++i) n += p.Voices().Voice(i)->State == kVoiceHeld;
  return n;
}

int SoundingVoices(TTesmora6& p) {
  int n = 0;
  for (int32_t i = 0; i < p.Voices().VoiceCount(); ++i) n += !p.Voices().Voice(i)->IsFree();
  return n;
}

}  // namespace

// A note at frame 0 of an instance's very first processing call sounds in that call.
TEST(Playing, FirstNoteOfAFreshInstanceSounds) {
  TInstrumentHost host(std::make_unique<TTesmora6>(), 44100.0, false);
  host.Midi({{0, {0x90, 60, 100}}});
  std::vector<float> left(2048), right(2048);
  host.Process(left.data(), right.data(), 2048);
  EXPECT_GT(Peak(left), 0.01f);
}

// A stolen voice fades its old note out before the new one starts: no sample-to-sample
// step larger than the steady sines' own. The steal comes at four successive blocks, a
// quarter of the old note's period apart, so that one of them meets the old sine near a
// peak (where cutting it at once steps by nearly its whole height).
TEST(Playing, StealingDoesNotClick) {
  for (int32_t lateBlocks = 0; lateBlocks < 4; ++lateBlocks) {
    TInstrumentHost host;
    host.Set(Param::Voices, 1.0f);
    host.SoloOscillator1();
    // The pool is rebuilt first, so that the old note surely sounds whatever becomes of a
    // note in the very block of a "Voices" change.
    host.Render(64);
    host.NoteOn(60);
    const TStereo before = host.Render(8192 + 44 * lateBlocks);
    host.NoteOn(67, 127, 0);
    const TStereo during = host.Render(512);
    const TStereo after = host.Render(8192);
    const float steady = std::max(MaxStep(before.left, 4096), MaxStep(after.left, 4096));
    ASSERT_GT(steady, 0.001f);
    EXPECT_LE(MaxStep(during.left), 1.25f * steady) << "stolen " << lateBlocks << " blocks later";
    // The new note plays and its note-off releases it.
    host.NoteOff(67);
    host.Render(64);
    EXPECT_EQ(host.plugin->Voices().Voice(0)->State, kVoiceReleased);
    EXPECT_EQ(host.plugin->Voices().Voice(0)->Note, 67);
  }
}

// A note-off that arrives while the stolen voice is still fading releases the new note as
// soon as it has started.
TEST(Playing, NoteOffDuringTheStealFadeReleasesTheNewNote) {
  TInstrumentHost host;
  host.Set(Param::Voices, 1.0f);
  host.NoteOn(60);
  host.Render(4096);
  host.Midi({{0, {0x90, 67, 100}}, {1, {0x80, 67, 0}}});
  host.Render(512);
  EXPECT_EQ(host.plugin->Voices().Voice(0)->Note, 67);
  EXPECT_EQ(host.plugin->Voices().Voice(0)->State, kVoiceReleased);
}

// Changing "Pitchbend range" while the wheel is held bends at once.
TEST(Playing, BendFollowsTheRangeWhileTheWheelIsHeld) {
  TInstrumentHost host;
  host.SoloOscillator1();
  host.NoteOn(69);
  host.Midi({{0, {0xE0, 0x7F, 0x7F}}});  // full up
  host.Render(1024);
  EXPECT_NEAR(host.plugin->BendAmount(), 2.0f, 1e-5f);
  host.Set(Param::PitchbendRange, 12.0f);
  host.Render(1024);
  EXPECT_NEAR(host.plugin->BendAmount(), 12.0f, 1e-5f);
  EXPECT_NEAR(host.plugin->Oscillators().Osc[0].pitch, 81.0f, 1e-3f);
}

// Events placed before the block or far beyond it are played at the nearest frame of the
// block: their notes start and end instead of hanging.
TEST(Playing, EventsOutsideTheBlockArePlayedAtItsEdges) {
  struct Case {
    int32_t on, off;
  };
  for (const Case c : {Case{-5, 100000}, Case{-100000, 511}, Case{0, 64000}, Case{600, 2000000}}) {
    TInstrumentHost host;
    host.Midi({{c.on, {0x90, 60, 100}}});
    host.Render(512);
    EXPECT_EQ(HeldVoices(*host.plugin), 1) << c.on;
    host.Midi({{c.off, {0x80, 60, 0}}});
    host.Render(512);
    EXPECT_EQ(HeldVoices(*host.plugin), 0) << c.off;
  }
}

// The sustain pedal holds note-offs while it is down; all-notes-off releases, all-sound-off
// silences. Only while no parameter is mapped to those controllers.
TEST(Playing, SustainPedalAndTheStopMessages) {
  TInstrumentHost host;
  for (int cc : {64, 120, 123}) ASSERT_EQ(host.plugin->ControllerMap()[static_cast<size_t>(cc)], -1) << cc;
  TTesmora6& p = *host.plugin;
  host.Midi({{0, {0xB0, 64, 127}}, {0, {0x90, 60, 100}}, {10, {0x90, 64, 100}}, {20, {0x80, 60, 0}}});
  host.Render(512);
  EXPECT_EQ(HeldVoices(p), 2);  // the note-off waits for the pedal
  host.Midi({{0, {0x80, 64, 0}}, {5, {0xB0, 64, 0}}});
  host.Render(512);
  EXPECT_EQ(HeldVoices(p), 0);  // pedal up: both released

  host.Midi({{0, {0x90, 60, 100}}, {0, {0x90, 67, 100}}, {100, {0xB0, 123, 0}}});
  host.Render(512);
  EXPECT_EQ(HeldVoices(p), 0);
  EXPECT_GT(SoundingVoices(p), 0);  // releasing, not cut
  host.Midi({{0, {0xB0, 120, 0}}});
  host.Render(512);
  EXPECT_EQ(SoundingVoices(p), 0);
  // A pedal still down when all notes end is let go with them.
  host.Midi({{0, {0xB0, 64, 127}}, {0, {0xB0, 123, 0}}, {10, {0x90, 62, 100}}, {20, {0x80, 62, 0}}});
  host.Render(512);
  EXPECT_EQ(HeldVoices(p), 0);
}

// However often values change while the editor is open and never idles, one refresh per
// parameter waits; delivering it lets the next change post again.
TEST(Playing, EditorRefreshesStayBounded) {
  struct TOpenEditor : TTesmora6 {
    void Open() { editorOpen_ = true; }
  };
  auto* plugin = new TOpenEditor();
  TInstrumentHost host(std::unique_ptr<TTesmora6>(plugin), 44100.0, false);
  plugin->Open();
  const int before = PendingPostBacks();
  for (int round = 0; round < 200; ++round) {
    for (int32_t i : {Param::Volume, Param::Flt1Cutoff, Param::RvbTime}) {
      host.SetNormalized(i, static_cast<float>(round % 100) / 100.0f);
    }
  }
  EXPECT_EQ(PendingPostBacks() - before, 3);
  DeliverPostBacks();
  EXPECT_FALSE(plugin->RefreshPending(Param::Volume));
  host.SetNormalized(Param::Volume, 0.3f);
  EXPECT_TRUE(plugin->RefreshPending(Param::Volume));
}

// Chorus and delay with feedback and cross-feed at the tops of their ranges: the loops
// saturate instead of running away, and no sample beyond +-64 reaches the host.
TEST(Playing, RunawayFeedbackStaysBounded) {
  TInstrumentHost host;
  host.Set(Param::FxOn, 1.0f);
  host.Set(Param::ChrsOn, 1.0f);
  host.Set(Param::DlyOn, 1.0f);
  for (int32_t i : {Param::ChrsLFB, Param::ChrsRFB, Param::ChrsLR, Param::ChrsRL}) {
    host.SetNormalized(i, 1.0f);
  }
  host.SetNormalized(Param::Volume, 1.0f);
  host.NoteOn(48);
  host.NoteOn(55);
  float peak = 0.0f;
  for (int k = 0; k < 60; ++k) {
    const TStereo out = host.Render(4096);
    for (const auto* ch : {&out.left, &out.right}) {
      for (float v : *ch) {
        ASSERT_TRUE(std::isfinite(v));
        peak = std::max(peak, std::fabs(v));
      }
    }
  }
  EXPECT_LE(peak, TDSPPluginX::kOutputLimit);
  EXPECT_GT(peak, 0.0f);
}
