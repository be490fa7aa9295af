// The host block loop: internal one-millisecond blocks rendered ahead into the output
// rings, silence handling, and the output stage.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "TestHostMidi.h"
#include "TestPlugin.h"
#include "host/PluginProbe.h"
#include "engine/Tesmora6ParamIds.h"
#include "tools/host/VstHost.h"

using namespace tesmora6;

namespace {

// The counter signal continues without a gap or repeat across calls.
void ExpectContinuousRamp(const std::vector<float>& left, float& expected) {
  for (float v : left) {
    ASSERT_FLOAT_EQ(v, expected * 1e-3f);
    expected += 1.0f;
  }
}

}  // namespace

TEST(BlockLoop, RendersAheadInOneMillisecondBlocks) {
  TProbeHost host;
  float expected = 1.0f;
  struct Step {
    int renders;
    int buffered;
  };
  for (Step step : {Step{13, 60}, Step{12, 76}, Step{11, 48}}) {
    const int before = host.plugin->renders;
    auto [l, r] = host.Process(512);
    EXPECT_EQ(host.plugin->renders - before, step.renders);
    EXPECT_EQ(host.plugin->BufferedFrames(), step.buffered);
    ExpectContinuousRamp(l, expected);
    EXPECT_FLOAT_EQ(r[0], -l[0]);
  }
}

TEST(BlockLoop, OneFrameCalls) {
  TProbeHost host;
  host.Process(1);
  EXPECT_EQ(host.plugin->renders, 2);
  // From then on one block is rendered on every 44th call.
  int renders = host.plugin->renders;
  float expected = 2.0f;
  for (int call = 1; call <= 44 * 5; ++call) {
    auto [l, r] = host.Process(1);
    ExpectContinuousRamp(l, expected);
    if (host.plugin->renders != renders) {
      EXPECT_EQ(host.plugin->renders, renders + 1);
      EXPECT_EQ(call % 44, 0) << call;
      renders = host.plugin->renders;
    }
  }
  EXPECT_EQ(renders, 2 + 5);
}

TEST(BlockLoop, LongCallsEqualShorterCalls) {
  // A call longer than the rings can hold is served exactly as shorter calls would be.
  TProbeHost longHost, shortHost;
  const std::array<uint8_t, 3> bend{0xE0, 0x00, 0x60};
  longHost.Midi({{5000, bend}});
  auto [l1, r1] = longHost.Process(20000);
  std::vector<float> l2;
  int32_t done = 0;
  for (int32_t n : {4096, 4096, 4096, 4096, 3616}) {
    if (done <= 5000 && 5000 < done + n) shortHost.Midi({{5000 - done, bend}});
    auto [l, r] = shortHost.Process(n);
    l2.insert(l2.end(), l.begin(), l.end());
    done += n;
  }
  EXPECT_EQ(l1, l2);
  EXPECT_FLOAT_EQ(longHost.plugin->BendAmount(), shortHost.plugin->BendAmount());
  EXPECT_GT(longHost.plugin->BendAmount(), 0.0f);
  // The ramp runs into the output ceiling after 4000 samples; up to there it is exact.
  float expected = 1.0f;
  ExpectContinuousRamp(std::vector<float>(l1.begin(), l1.begin() + 3999), expected);
}

TEST(BlockLoop, BypassContributesSilentBlocksInStep) {
  TProbeHost host;
  host.Process(512);
  host.SetParameter(kParamBypass, 1.0f);
  const int renders = host.plugin->renders;
  for (int call = 0; call < 10; ++call) {
    const int32_t before = host.plugin->BufferedFrames();
    auto [l, r] = host.Process(300);
    const int32_t rendered = host.plugin->BufferedFrames() - before + 300;
    EXPECT_EQ(rendered % 44, 0);
    EXPECT_GE(host.plugin->BufferedFrames(), 44);
    EXPECT_LT(host.plugin->BufferedFrames(), 88);
    const auto& rings = host.plugin->Rings();
    const int32_t inRing =
        (rings[0].writePosition - rings[0].readPosition + TOutputRing::kLength) % TOutputRing::kLength;
    EXPECT_EQ(inRing, host.plugin->BufferedFrames());
  }
  EXPECT_EQ(host.plugin->renders, renders);
}

TEST(BlockLoop, MuteDeliversZerosAndKeepsBufferedFrames) {
  TProbeHost host;
  host.Process(512);  // 60 frames stay buffered: ramp values 513 .. 572
  const int32_t buffered = host.plugin->BufferedFrames();
  host.SetParameter(kParamMute, 1.0f);
  const int renders = host.plugin->renders;
  host.Midi({{0, {0x90, 60, 100}}});
  auto [l, r] = host.Process(512);
  for (float v : l) ASSERT_EQ(v, 0.0f);
  EXPECT_EQ(host.plugin->renders, renders);
  EXPECT_EQ(host.plugin->BufferedFrames(), buffered);
  EXPECT_EQ(host.plugin->QueuedEvents(), 0u);  // freed, not kept for later
  host.SetParameter(kParamMute, 0.0f);
  auto [l2, r2] = host.Process(100);
  float expected = 513.0f;
  ExpectContinuousRamp(l2, expected);
}

TEST(BlockLoop, SleepsAfter2048MsOfSilenceAndWakesOnANote) {
  TProbeHost host;
  host.plugin->quiet = true;
  // 2048 ms of silent 44-frame blocks: the 2049th block is no longer rendered.
  for (int i = 0; i < 200; ++i) host.Process(512);
  EXPECT_EQ(host.plugin->renders, 2048);
  host.Process(512);
  EXPECT_EQ(host.plugin->renders, 2048);
  // A note-on at offset 100 wakes it before the sleep test of the block covering frame 100.
  host.Midi({{100, {0x90, 60, 100}}});
  const int before = host.plugin->renders;
  const int32_t bufferedBefore = host.plugin->BufferedFrames();
  host.Process(512);
  // Every internal block of the call is rendered except the two before the note (frames
  // 0 .. 87), which stay asleep.
  const int32_t blocks = (host.plugin->BufferedFrames() - bufferedBefore + 512) / 44;
  ASSERT_GE(blocks, 11);
  EXPECT_EQ(host.plugin->renders - before, blocks - 2);
}

TEST(OutputStage, VolumeRampReachesDoubleGainAfter176Samples) {
  TProbeHost host;
  host.Process(44);  // applies every parameter, buffers 44 frames (ramp values 45 .. 88)
  host.SetParameter(kParamVolume, 1.0f);
  auto [l, r] = host.Process(44 + 400);
  // The ramp starts with the first block rendered after the change (sample value 89).
  for (int k = 0; k <= 176; ++k) {
    const float input = (89.0f + static_cast<float>(k)) * 1e-3f;
    const float gain = l[static_cast<size_t>(44 + k)] / input;
    EXPECT_NEAR(gain, 1.0f + static_cast<float>(k) / 176.0f, 1e-5f) << k;
  }
  EXPECT_FLOAT_EQ(l[44 + 176], (89.0f + 176.0f) * 1e-3f * 2.0f);
  EXPECT_LT(l[44 + 175], (89.0f + 175.0f) * 1e-3f * 2.0f);
  EXPECT_FLOAT_EQ(l[44 + 300], (89.0f + 300.0f) * 1e-3f * 2.0f);
}

TEST(OutputStage, PanLaw) {
  TProbeHost host;
  host.SetParameter(kParamPan, 0.0f);
  host.Process(44 * 20);
  auto [l, r] = host.Process(44);
  for (size_t i = 0; i < l.size(); ++i) {
    EXPECT_EQ(r[i], 0.0f);
    EXPECT_NEAR(l[i], 2.0f * (44.0f * 20.0f + 1.0f + static_cast<float>(i)) * 1e-3f, 1e-4f);
  }
}

TEST(Context, SampleRateChanges) {
  TProbeHost host(48000.0);
  EXPECT_EQ(host.plugin->Context()->blockLength, 48);
  EXPECT_EQ(host.plugin->Context()->samplesPerMs, 48);
  EXPECT_EQ(host.plugin->Context()->nyquist, 24000);
  EXPECT_FLOAT_EQ(host.plugin->Context()->sampleRateRatio, 48000.0f / 44100.0f);
  host.Process(512);
  EXPECT_EQ(host.plugin->renders, 12);  // 576 >= 512 + 48
  // 96 kHz: the output block grows with the context.
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(host.plugin->Context()->blockLength, 96);
  EXPECT_GE(host.plugin->outputs[0].stereo.size(), size_t{2 * (96 + 16)});
  host.Process(512);
  // Rates below 1 kHz or not a number are refused.
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 500.0f);
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, NAN);
  EXPECT_EQ(host.plugin->Context()->sampleRate, 96000);
}

TEST(FloatingPoint, CallerStateRestoredAfterEveryEntryPoint) {
  TProbeHost host;
  struct TCallerMode {
    uint32_t mxcsr;
    uint16_t x87;
  };
  // Flush-to-zero, denormals-are-zero, round toward zero and x87 round toward zero; then
  // a caller with the plain default mode, which must not keep the plug-in's flush-to-zero.
  for (TCallerMode caller : {TCallerMode{0xFFC0, 0x0F7F}, TCallerMode{0x1F80, 0x037F}}) {
    auto check = [&](const char* what, const std::function<void()>& call) {
      TFPUModeGuard::WriteMxcsr(caller.mxcsr);
      TFPUModeGuard::WriteX87(caller.x87);
      call();
      const uint32_t mxcsr = TFPUModeGuard::ReadMxcsr() & ~0x3Fu;  // ignore sticky flags
      const uint16_t x87 = TFPUModeGuard::ReadX87();
      TFPUModeGuard::WriteMxcsr(0x1F80);
      TFPUModeGuard::WriteX87(0x037F);
      EXPECT_EQ(mxcsr, caller.mxcsr) << what;
      EXPECT_EQ(x87, caller.x87) << what;
    };
    check("dispatcher", [&] { host.Dispatch(vst::effGetVendorVersion); });
    check("setParameter", [&] { host.SetParameter(Param::Env1Release, 0.3f); });
    check("getParameter", [&] { host.GetParameter(Param::Env1Release); });
    check("processReplacing", [&] { host.Process(64); });
    check("process", [&] {
      std::vector<float> l(64), r(64);
      float* outs[2] = {l.data(), r.data()};
      host.effect->process(host.effect, nullptr, outs, 64);
    });
    // Inside, the render runs with flush-to-zero and denormals-are-zero, exceptions masked
    // and round to nearest, whatever the caller had.
    EXPECT_EQ(host.plugin->mxcsrInRender & ~0x3Fu, 0x9FC0u) << std::hex << caller.mxcsr;
  }
}

TEST(Parameters, SetParameterClampsAndSoloReadsBackOn) {
  TProbeHost host;
  struct Case {
    float in;
    float out;
  };
  for (Case c : {Case{1.5f, 1.0f}, Case{-0.1f, 0.0f}, Case{NAN, 0.0f}, Case{0.25f, 0.25f}}) {
    host.SetParameter(Param::Osc6Amount, c.in);
    EXPECT_EQ(host.GetParameter(Param::Osc6Amount), c.out) << c.in;
  }
  host.SetParameter(kParamSolo, 0.0f);
  EXPECT_EQ(host.GetParameter(kParamSolo), 1.0f);
  EXPECT_EQ(host.GetParameter(Param::Count), 0.0f);
  EXPECT_EQ(host.GetParameter(-1), 0.0f);
  host.SetParameter(Param::Count, 0.5f);  // ignored, no crash
  host.SetParameter(-5, 0.5f);
}

TEST(HostTime, TempoAndTimeSignatureChangesAreReadOncePerBlock) {
  probeHostState = {};
  TProbeHost host;
  host.Process(64);
  EXPECT_EQ(host.plugin->tempoChanges, 0);  // 120 is what it starts with
  EXPECT_TRUE(host.plugin->TempoValid());
  EXPECT_FLOAT_EQ(host.plugin->TickLength(), 60000.0f / 120.0f / 120.0f);
  probeHostState.tempo = 140.0;
  probeHostState.numerator = 7;
  probeHostState.denominator = 8;
  host.Process(64);
  host.Process(64);
  EXPECT_EQ(host.plugin->tempoChanges, 1);
  EXPECT_EQ(host.plugin->timeSignatureChanges, 2);
  EXPECT_FLOAT_EQ(host.plugin->Tempo(), 140.0f);
  EXPECT_EQ(host.plugin->TimeSigNumerator(), 7);
  probeHostState.tempo = 0.0;
  host.Process(64);
  EXPECT_FLOAT_EQ(host.plugin->TickLength(), 0.001f);
  probeHostState.answerTime = false;
  host.Process(64);
  EXPECT_FALSE(host.plugin->TempoValid());
  EXPECT_FALSE(host.plugin->TimeSignatureValid());
  host.plugin->Notify(TDSPPluginX::kNotifyBankLoaded);
  EXPECT_EQ(probeHostState.updateDisplayCalls, 0);
  host.plugin->Notify(TDSPPluginX::kNotifyDisplayChanged);
  EXPECT_EQ(probeHostState.updateDisplayCalls, 1);
  probeHostState = {};
}

// ---- the block grid against the host's timeline (the real instrument, loaded as a host does)

namespace {

constexpr double kGridRate = 48000.0;  // 48-frame internal blocks
constexpr int32_t kGridBlock = 48;

// The instance idles for the pre-roll calls while the transport stands, then the host rolls
// from timeline 0 in 1024-frame calls: a chord at 0, a note at 9000 and their note-offs.
std::vector<float> RenderFromTimelineZero(const std::vector<int32_t>& preRoll, int32_t jumpAt = -1) {
  TVstHost host(std::make_shared<TVstLibrary>(TestPluginPath()));
  host.Start(kGridRate, 1024);
  std::vector<float> left(8192), right(8192);
  host.playing = false;
  for (int32_t n : preRoll) host.Process({}, left.data(), right.data(), n);
  host.playing = true;
  host.samplePosition = 0.0;
  const TTestMidiMessages notes = {{0, {0x90, 60, 100}},     {0, {0x90, 64, 100}},     {0, {0x90, 67, 100}},
                                   {9000, {0x90, 72, 100}},  {24000, {0x80, 60, 100}}, {24000, {0x80, 64, 100}},
                                   {24000, {0x80, 67, 100}}, {24000, {0x80, 72, 100}}};
  std::vector<float> out;
  for (int32_t start = 0; start < 32768; start += 1024) {
    const std::vector<THostMidiEvent> events = HostMidiEvents(MidiInBlock(notes, start, 1024));
    // A host that locates while something sounds: the frames already rendered stay as
    // they are, nothing audible is dropped or repeated.
    if (start == jumpAt) host.samplePosition += 7.0;
    host.Process(events, left.data(), right.data(), 1024);
    out.insert(out.end(), left.begin(), left.begin() + 1024);
  }
  return out;
}

int32_t FirstSound(const std::vector<float>& s) {
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] != 0.0f) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace

TEST(TimelineGrid, TheSessionRendersTheSameWhateverTheHostRanBefore) {
  // Pre-rolls longer than the 2048 ms after which a silent instance sleeps, ending at every
  // phase against the 48-frame grid (106496, 105472 and 104448 frames: 32, 16 and 0 past a
  // multiple of 48), one with calls of odd sizes.
  const std::vector<int32_t> reference(104, 1024);
  std::vector<int32_t> odd(50, 2048);
  odd.insert(odd.end(), {1, 37, 3000, 511, 1});
  const std::vector<float> expected = RenderFromTimelineZero(reference);
  // The chord at timeline 0 sounds from frame 48 on: the rings hold one block ahead, and
  // the grid's blocks start at multiples of 48 on the timeline.
  EXPECT_EQ(FirstSound(expected), kGridBlock);
  for (const auto& preRoll : {std::vector<int32_t>(103, 1024), std::vector<int32_t>(102, 1024), odd}) {
    const std::vector<float> out = RenderFromTimelineZero(preRoll);
    EXPECT_EQ(FirstSound(out), kGridBlock) << preRoll.size() << " pre-roll calls";
    EXPECT_EQ(out, expected) << preRoll.size() << " pre-roll calls";
  }
}

TEST(TimelineGrid, AudibleFramesAreNeverMoved) {
  // The host's position jumps by 7 frames at 5120 while the chord sounds: the grid stays
  // where it is, so the audio goes on exactly as without the jump.
  const std::vector<int32_t> preRoll(104, 1024);
  EXPECT_EQ(RenderFromTimelineZero(preRoll, 5120), RenderFromTimelineZero(preRoll));
}
