// What instances and voices share, and changes that meet the audio from another thread:
// one wave table per waveform for the whole process, untouched by waveform changes
// elsewhere; program changes racing the render leave a whole program applied.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "dsp/DSPBaseOscillator.h"
#include "dsp/DSPWaveformTable.h"
#include "dsp/DSPWaves.h"
#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

const float* TableOf(TDSPSynthVoice& voice, int oscillator) {
  return static_cast<TDSPTableOscillator&>(voice.Oscillator(oscillator).Waveform()).Table();
}

void Chord(TInstrumentHost& host) {
  for (int note : {48, 55, 60, 64}) host.NoteOn(note, 100);
}

}  // namespace

TEST(SharedWaveTables, OneTablePerWaveformAcrossVoicesAndInstances) {
  TInstrumentHost a, b, reference;
  for (TInstrumentHost* h : {&a, &b, &reference}) {
    h->Set(Param::Osc1Waveform, 49.0f);  // "HarmSaw1"
    h->Set(Param::Voices, 4.0f);
    h->Render(512);  // the pool of four voices
    Chord(*h);
  }
  const float* harmSaw = waves::SharedWaveTable(49);
  ASSERT_NE(harmSaw, nullptr);
  const std::vector<float> before(harmSaw, harmSaw + 266);
  for (TInstrumentHost* h : {&a, &b}) {
    ASSERT_EQ(h->plugin->Voices().VoiceCount(), 4);
    for (int v = 0; v < 4; ++v) EXPECT_EQ(TableOf(*h->plugin->Voices().Voice(v), 0), harmSaw) << v;
  }
  // Instance a switches another oscillator to another table, mid-note.
  a.Render(1024);
  b.Render(1024);
  reference.Render(1024);
  a.Set(Param::Osc2Waveform, 67.0f);  // "Bass3"
  a.Render(2048);
  for (int v = 0; v < 4; ++v) {
    EXPECT_EQ(TableOf(*a.plugin->Voices().Voice(v), 0), harmSaw) << v;
    EXPECT_EQ(TableOf(*a.plugin->Voices().Voice(v), 1), waves::SharedWaveTable(67)) << v;
  }
  EXPECT_EQ(std::vector<float>(harmSaw, harmSaw + 266), before);
  // Instance b never noticed: it plays exactly what an instance alone plays.
  const TStereo heard = b.Render(2048);
  const TStereo alone = reference.Render(2048);
  EXPECT_EQ(heard.left, alone.left);
  EXPECT_EQ(heard.right, alone.right);
  // Waveforms without a table have none.
  EXPECT_EQ(waves::SharedWaveTable(6), nullptr);
  EXPECT_EQ(waves::SharedWaveTable(kWaveformCount), nullptr);
  EXPECT_EQ(waves::SharedWaveTable(-1), nullptr);
}

// Program changes and waveform automation from a second thread while the audio thread
// renders: every block stays finite, and afterwards the voices run exactly the current
// program's waveforms (nothing half applied).
TEST(SharedWaveTables, ProgramChangesFromAnotherThreadWhileRendering) {
  TInstrumentHost host;
  const float waves1[6] = {49, 53, 59, 65, 73, 81};
  const float waves2[6] = {50, 54, 66, 70, 77, 84};
  const Param::Id osc[6] = {Param::Osc1Waveform, Param::Osc2Waveform, Param::Osc3Waveform,
                            Param::Osc4Waveform, Param::Osc5Waveform, Param::Osc6Waveform};
  for (int program : {1, 2}) {
    host.SelectProgram(program);
    for (int i = 0; i < 6; ++i) host.Set(osc[i], (program == 1 ? waves1 : waves2)[i]);
    host.Set(Param::Voices, 8.0f);
  }
  host.Render(512);
  Chord(host);
  std::atomic<bool> done{false};
  std::thread changer([&] {
    for (int n = 0; n < 60; ++n) {
      host.SelectProgram(1 + n % 2);
      std::this_thread::yield();
    }
    done = true;
  });
  bool finite = true;
  int blocks = 0;
  while (!done || blocks < 20) {
    const TStereo out = host.Render(512);
    for (size_t k = 0; k < out.left.size(); ++k) {
      finite = finite && std::isfinite(out.left[k]) && std::isfinite(out.right[k]);
    }
    if (++blocks % 4 == 0) Chord(host);
  }
  changer.join();
  EXPECT_TRUE(finite);
  host.Render(512);
  const float* expected = host.plugin->CurrentProgram() == 1 ? waves1 : waves2;
  for (int v = 0; v < host.plugin->Voices().VoiceCount(); ++v) {
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(host.plugin->Voices().Voice(v)->Oscillator(i).WaveformNumber(), static_cast<int>(expected[i]))
          << "voice " << v << " oscillator " << i;
      EXPECT_EQ(TableOf(*host.plugin->Voices().Voice(v), i), waves::SharedWaveTable(static_cast<int>(expected[i])));
    }
  }
}

// State that arrives whole (a chunk from the host, a MIDI program change) and selects
// waveforms and amplitude curves: the tables it needs are the library's own data, so
// nothing is computed while the instance's lock is held (nor anywhere else).
TEST(SharedWaveTables, ChunkLoadsAndMidiProgramChangesComputeNoTableUnderTheLock) {
  TInstrumentHost source;
  const float chunkWaves[6] = {60, 61, 62, 63, 64, 86};
  const Param::Id osc[6] = {Param::Osc1Waveform, Param::Osc2Waveform, Param::Osc3Waveform,
                            Param::Osc4Waveform, Param::Osc5Waveform, Param::Osc6Waveform};
  for (int i = 0; i < 6; ++i) source.Set(osc[i], chunkWaves[i]);
  source.Set(Param::Env1DB, 31.0f);  // "-Ripple"
  source.Set(Param::Env2DB, 21.0f);  // "LoHiFine"
  const std::vector<uint8_t> chunk = source.SaveState(false);
  ASSERT_FALSE(chunk.empty());

  TInstrumentHost host;
  host.SelectProgram(5);
  host.Set(Param::Osc1Waveform, 88.0f);
  host.Set(Param::Env1DB, 17.0f);  // "LoHi3"
  host.SelectProgram(0);
  host.LoadState(chunk, false);
  host.Render(512);
  Chord(host);
  host.Render(512);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(TableOf(*host.plugin->Voices().Voice(0), i), waves::SharedWaveTable(static_cast<int>(chunkWaves[i])));
  }
  host.Midi({{0, {0xC0, 5, 0}}});  // program change to program 5
  host.Render(1024);
  Chord(host);
  host.Render(512);
  EXPECT_EQ(host.plugin->CurrentProgram(), 5);
  EXPECT_EQ(TableOf(*host.plugin->Voices().Voice(0), 0), waves::SharedWaveTable(88));
  EXPECT_EQ(waves::WaveTablesComputedInsideInstances(), 0);
  EXPECT_EQ(CurveTablesComputedInsideInstances(), 0);
  EXPECT_EQ(waves::WaveTablesComputed(), 0);
  EXPECT_EQ(CurveTablesComputed(), 0);
}
