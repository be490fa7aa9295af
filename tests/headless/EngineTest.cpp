// The engine on its own, as the LV2 plug-in and the standalone program drive it: this
// program links the engine library only (no editor, X11, cairo or VST 2 code), so building
// it is the proof that the sound engine stands without them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Tesmora6ParamIds.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "tests/support/SignalMeasures.h"

using namespace tesmora6;

namespace {

constexpr double kRate = 48000.0;
constexpr int32_t kBlock = 256;

TMidiMessage Midi(int32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
  TMidiMessage m;
  m.frame = frame;
  m.bytes[0] = status;
  m.bytes[1] = data1;
  m.bytes[2] = data2;
  return m;
}

// Renders `blocks` host blocks; `events` frames count from the start of the render.
TStereo Render(TSynthEngine& engine, const std::vector<TMidiMessage>& events, int blocks) {
  TStereo out;
  out.left.resize(static_cast<size_t>(blocks * kBlock));
  out.right.resize(out.left.size());
  for (int b = 0; b < blocks; ++b) {
    std::vector<TMidiMessage> inBlock;
    for (const TMidiMessage& m : events) {
      if (m.frame >= b * kBlock && m.frame < (b + 1) * kBlock)
        inBlock.push_back(Midi(m.frame - b * kBlock, m.bytes[0], m.bytes[1], m.bytes[2]));
    }
    engine.Process(inBlock, out.left.data() + b * kBlock, out.right.data() + b * kBlock, kBlock);
  }
  return out;
}

// One plain sine: oscillator 1 alone.
void PlainSine(TSynthEngine& engine) {
  for (const char* key : {"Osc2Amount", "Osc3Amount", "Osc4Amount", "Osc5Amount", "Osc6Amount"}) {
    engine.SetParameter(engine.ParameterIndex(key), 0.0f);
  }
}

TEST(Engine, PlaysANoteAtItsFrameAndPitch) {
  TTesmora6Engine engine;
  engine.Prepare(kRate, kBlock);
  PlainSine(engine);
  const int32_t onset = 3 * kBlock + 100;
  const TStereo out = Render(engine, {Midi(onset, 0x90, 69, 127), Midi(onset + 24000, 0x80, 69, 0)}, 120);
  float before = 0.0f, during = 0.0f;
  for (int32_t i = 0; i < onset - 64; ++i) before = std::max(before, std::fabs(out.left[static_cast<size_t>(i)]));
  for (int32_t i = onset; i < onset + 20000; ++i)
    during = std::max(during, std::fabs(out.left[static_cast<size_t>(i)]));
  EXPECT_EQ(before, 0.0f) << "sound before the note's frame";
  EXPECT_GT(during, 0.05f);
  std::vector<float> held(out.left.begin() + onset + 4800, out.left.begin() + onset + 20000);
  EXPECT_NEAR(MeasureFrequency(held, kRate), 440.0, 0.5);
}

TEST(Engine, ParametersByIndexAndKeyWithTheirTexts) {
  TTesmora6Engine engine;
  EXPECT_EQ(engine.ParameterCount(), Param::Count);
  EXPECT_EQ(engine.ParameterIndex("RvbTime"), Param::RvbTime);
  EXPECT_EQ(engine.ParameterKey(Param::RvbTime), "RvbTime");
  EXPECT_EQ(engine.ParameterIndex("NoSuchKey"), -1);
  EXPECT_EQ(engine.ParameterKey(Param::Count), "");
  const int32_t volume = engine.ParameterIndex("Volume");
  EXPECT_EQ(engine.Parameter(volume), engine.DefaultParameter(volume));
  engine.SetParameter(volume, 0.25f);
  EXPECT_EQ(engine.Parameter(volume), 0.25f);
  EXPECT_FALSE(engine.ParameterName(volume).empty());
  EXPECT_FALSE(engine.ParameterText(volume).empty());
  // Out of range: ignored and empty, never a fault.
  engine.SetParameter(-1, 0.5f);
  engine.SetParameter(Param::Count, 0.5f);
  EXPECT_EQ(engine.ParameterText(Param::Count), "");
}

TEST(Engine, StateAndProgramsTravelToANewEngineAndSoundTheSame) {
  TTesmora6Engine first;
  first.Prepare(kRate, kBlock);
  first.SelectProgram(5);
  first.SetParameter(first.ParameterIndex("Flt1Cutoff"), 0.3f);
  first.SetParameter(first.ParameterIndex("Osc1Waveform"), 0.2f);
  const std::vector<uint8_t> bank = first.SaveState(true);
  ASSERT_FALSE(bank.empty());

  TTesmora6Engine second;
  second.Prepare(kRate, kBlock);
  second.SelectProgram(5);
  second.LoadState(bank, true);
  EXPECT_EQ(second.SaveState(true), bank);
  EXPECT_EQ(second.SaveState(false), first.SaveState(false));
  EXPECT_EQ(second.ProgramName(5), first.ProgramName(5));
  EXPECT_EQ(second.ProgramName(second.ProgramCount()), "");

  const std::vector<TMidiMessage> chord = {Midi(10, 0x90, 48, 120), Midi(12, 0x90, 55, 100), Midi(9000, 0x80, 48, 0)};
  const TStereo a = Render(first, chord, 60);
  const TStereo b = Render(second, chord, 60);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);

  // A damaged state leaves a working engine behind.
  std::vector<uint8_t> cut(bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(bank.size() / 3));
  second.LoadState(cut, true);
  second.LoadState({}, false);
  const TStereo after = Render(second, chord, 20);
  for (float v : after.left) ASSERT_TRUE(std::isfinite(v));
}

// The host's time reaches the engine on every call through its link.
class TFixedTempo : public THostLink {
 public:
  int asked = 0;
  bool ReadTime(THostTime& time) override {
    ++asked;
    time.tempoValid = true;
    time.tempo = 90.0;
    time.timeSignatureValid = true;
    time.timeSigNumerator = 3;
    time.timeSigDenominator = 4;
    time.playing = true;
    time.samplePosition = 48000.0;
    return true;
  }
};

TEST(Engine, TheHostsTimeComesInThroughItsLink) {
  TTesmora6Engine engine;
  TFixedTempo host;
  engine.SetHostLink(&host);
  engine.Prepare(kRate, kBlock);
  Render(engine, {}, 2);
  EXPECT_GE(host.asked, 2);
  EXPECT_EQ(engine.Instrument().Tempo(), 90.0f);
  EXPECT_EQ(engine.Instrument().TimeSigNumerator(), 3);
  EXPECT_EQ(engine.Instrument().PlayingSamplePosition(), 48000);
  engine.SetHostLink(nullptr);
  Render(engine, {}, 1);
  EXPECT_FALSE(engine.Instrument().TempoValid());
}

}  // namespace
