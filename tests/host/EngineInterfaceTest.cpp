// The engine interface the LV2 plug-in and the standalone program drive renders exactly what
// the VST 2 plug-in renders for the same events in the same blocks, and its host link hears
// the host's time as the VST 2 callback delivers it.
#include <gtest/gtest.h>

#include <vector>

#include "TestMidi.h"
#include "engine/Tesmora6ParamIds.h"
#include "VstInstrumentHost.h"
#include "instrument/Tesmora6Engine.h"

using namespace tesmora6;

namespace {

// The VST 2 test host answers 120 BPM in 4/4; the engine's link does the same.
class TSameTime : public THostLink {
 public:
  bool ReadTime(THostTime& time) override {
    time.tempoValid = true;
    time.tempo = 120.0;
    time.timeSignatureValid = true;
    return true;
  }
};

TEST(EngineInterface, RendersBitForBitWhatTheVstPluginRenders) {
  const TTestMidiMessages phrase = {{100, {0x90, 48, 127}},  {130, {0x90, 55, 90}}, {700, {0xB0, 1, 64}},
                                    {1500, {0xE0, 0, 80}},   {9000, {0x80, 48, 0}}, {9100, {0x80, 55, 0}},
                                    {9200, {0x90, 60, 110}}, {20000, {0x80, 60, 0}}};
  for (const int32_t block : {64, 512, 1000}) {
    SCOPED_TRACE(block);
    TVstInstrumentHost vst(48000.0);  // renders its first 64 frames while it is made ready
    TTesmora6Engine engine;
    TSameTime time;
    engine.SetHostLink(&time);
    engine.Prepare(48000.0, block);
    std::vector<float> discardL(64), discardR(64);
    engine.Process({}, discardL.data(), discardR.data(), 64);
    for (const Param::Id id : {Param::Flt1Cutoff, Param::RvbTime, Param::Osc2Waveform}) {
      vst.effect->setParameter(vst.effect, id, 0.3f);
      engine.SetParameter(id, 0.3f);
    }
    const int32_t frames = 24000;
    std::vector<float> vl(frames), vr(frames), el(frames), er(frames);
    for (int32_t at = 0; at < frames; at += block) {
      const int32_t n = std::min(block, frames - at);
      const TTestMidiMessages messages = MidiInBlock(phrase, at, n);
      vst.Midi(messages);
      float* outs[2] = {vl.data() + at, vr.data() + at};
      vst.effect->processReplacing(vst.effect, nullptr, outs, n);
      std::vector<TMidiMessage> events;
      for (const auto& [frame, bytes] : messages) events.push_back({frame, {bytes[0], bytes[1], bytes[2]}});
      engine.Process(events, el.data() + at, er.data() + at, n);
    }
    EXPECT_EQ(vl, el);
    EXPECT_EQ(vr, er);
    float peak = 0.0f;
    for (float v : el) peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.01f) << "the phrase was silent";
  }
}

}  // namespace
