// State a host saves and restores, as the instrument takes it: a restored chunk is heard at
// once, stored values are made safe where they enter, unnamed programs keep their values,
// and the same session renders the same audio.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "engine/Tesmora6ParamIds.h"
#include "framework/ChunkLayout.h"
#include "instrument/InstrumentHost.h"

using namespace tesmora6;

namespace {

TStereo PlayNote(TInstrumentHost& host, int32_t frames = 8192) {
  host.NoteOn(60);
  TStereo out = host.Render(frames);
  host.NoteOff(60);
  host.Render(frames);
  return out;
}

}  // namespace

// A chunk the host restores is heard at once, without a program change.
TEST(HostState, RestoredChunkIsHeardWithoutAProgramChange) {
  TInstrumentHost quiet;
  quiet.SetNormalized(Param::Volume, 0.0f);
  const std::vector<uint8_t> saved = quiet.SaveState(false);

  TInstrumentHost host;
  ASSERT_GT(PeakOf(PlayNote(host)), 0.01f);
  host.LoadState(saved, false);
  EXPECT_EQ(host.GetNormalized(Param::Volume), 0.0f);
  EXPECT_LT(PeakOf(PlayNote(host)), 0.001f);  // silent once the volume ramp has run
}

// Stored values that are not numbers, or lie outside 0 .. 1, are made safe where they enter:
// NaN takes the parameter's default, the rest is clamped. A NaN volume used to turn every
// later sample into NaN, even after a clean chunk was restored.
TEST(HostState, HostileStoredValuesEnterSafely) {
  TInstrumentHost host;
  const float volumeDefault = host.plugin->ParamInfo(Param::Volume).defaultValue;
  std::vector<float> values(static_cast<size_t>(Param::Voices) + 1, 0.5f);
  values[Param::Volume] = std::numeric_limits<float>::quiet_NaN();
  values[Param::Pan] = std::numeric_limits<float>::infinity();
  values[Param::Gain] = -1.0e30f;
  values[Param::Voices] = 7.0f;
  host.LoadState(layout::ProgramRecord(values), false);
  host.SelectProgram(host.CurrentProgram());
  EXPECT_EQ(host.GetNormalized(Param::Volume), volumeDefault);
  EXPECT_EQ(host.GetNormalized(Param::Pan), 1.0f);
  EXPECT_EQ(host.GetNormalized(Param::Gain), 0.0f);
  EXPECT_EQ(host.GetNormalized(Param::Voices), 1.0f);
  EXPECT_TRUE(AllFinite(PlayNote(host)));

  // A clean state afterwards sounds normally.
  TInstrumentHost clean;
  host.LoadState(clean.SaveState(true), true);
  const TStereo out = PlayNote(host);
  EXPECT_TRUE(AllFinite(out));
  EXPECT_GT(PeakOf(out), 0.01f);
}

// A program whose name is blank keeps its values in a saved bank.
TEST(HostState, UnnamedProgramsKeepTheirValues) {
  TInstrumentHost a;
  a.plugin->SetProgramName(3, "   ");
  a.plugin->Program(3).values[Param::GlideTime] = 0.75f;
  TInstrumentHost b;
  b.LoadState(a.SaveState(true), true);
  EXPECT_EQ(b.plugin->Program(3).values[Param::GlideTime], 0.75f);
}

// Rendering the same session twice gives the same audio, also with the parts that draw
// random numbers (reverb lines, noise, random modulation and shapers, sequencer restarts),
// whatever else the process has done in between.
TEST(HostState, TheSameSessionRendersTheSameAudio) {
  auto render = [] {
    TInstrumentHost host;
    host.Set(Param::RvbOn, 1.0f);
    host.Set(Param::FxOn, 1.0f);
    host.Set(Param::Osc2Waveform, 28.0f);  // "Noise"
    for (int i = 0; i < 3; ++i) {
      host.NoteOn(60 + 4 * i, 100, 100 * i);
      host.Render(4096);
    }
    return host.Render(4096);
  };
  const TStereo first = render();
  {
    TInstrumentHost busy;  // another instance drawing in between
    PlayNote(busy, 4096);
  }
  const TStereo second = render();
  EXPECT_EQ(first.left, second.left);
  EXPECT_EQ(first.right, second.right);
}

// A repeated sample rate with the rate already in use changes nothing: the tails of
// the voices and effects go on exactly as without it.
TEST(HostState, RepeatedSampleRateChangesNothing) {
  auto render = [](bool repeat) {
    TInstrumentHost host;
    host.Set(Param::RvbOn, 1.0f);
    host.Set(Param::DlyOn, 1.0f);
    host.Set(Param::FxOn, 1.0f);
    host.NoteOn(64);
    TStereo out = host.Render(4096);
    if (repeat) host.SetSampleRate(44100.0);
    host.NoteOff(64);
    out = host.Render(8192);
    return out;
  };
  const TStereo plain = render(false);
  const TStereo repeated = render(true);
  ASSERT_GT(PeakOf(plain), 0.001f);
  EXPECT_EQ(plain.left, repeated.left);
  EXPECT_EQ(plain.right, repeated.right);
}
