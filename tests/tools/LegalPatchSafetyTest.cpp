// Legal patches are safe to play: thousands of random patches, each a factory program with a
// few parameters moved anywhere within their ranges, play a chord and a high note at velocity
// 127 through the plug-in's entry points. Every sample the host receives is finite and within
// the output ceiling, and once the notes have ended the sound dies away to silence.
//
// The reproducers of the blasts that were found by hand (the distortion's or the EQ's gain at
// an end of its range, a resonant filter in the delay's loop, oscillator amounts at +-30 dB,
// an oscillator's amplitude LFO at full depth with an inverse envelope) are played first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

// 22050 Hz keeps thousands of patches affordable; the laws and bounds do not depend on it.
constexpr double kRate = 22050.0;
constexpr int32_t kBlock = 512;

// The peak bound is the instance's output ceiling, +12 dBFS: 24 dB below what the blasts
// reached (+25 ... +36 dBFS), above every stored test render (the loudest peaks at +11.7
// dBFS) and 9 dB above the level a factory program's held chord is meant to stay under.
constexpr float kPeakBound = TDSPPluginX::kOutputLimit;

// Silence: the RMS of a 100 ms window below -60 dBFS (a tail 60 dB down is the usual
// definition of a reverb's end). A patch has this long after the notes end to get there:
// the longest release and reverb tails of the base programs take about 5 s.
constexpr float kSilenceRms = 1.0e-3f;
constexpr double kMaxTailSeconds = 10.0;

// Base programs: a pad with reverb, an organ bass, the six-saw lead, a distorted lead, a
// sine solo, a sequencer-gated pad with delay; between them every effect, both sequencers,
// the modulation matrix and most filter families are in use. (An echo program whose own
// feedback repeats for longer than the tail window would fail the decay check unmoved.)
const int kBasePrograms[] = {0, 10, 17, 21, 26, 88};

// Settings whose range includes sound that sustains by design after the notes have ended:
// envelope and LFO-envelope times up to minutes, reverb times of up to a minute, echo and
// chorus loops whose feedback and cross-feed reach a loop gain of 1 or more (a resonant
// filter inside the delay's loop does too: the loop then rings like a tape echo driven into
// self-oscillation). Patches that move one of them are held to the peak bound only.
bool SustainsByDesign(int32_t id) {
  using namespace Param;
  static const std::set<int32_t> ids = {Env1Attack,
                                        Env1Decay,
                                        Env1Release,
                                        Env2Attack,
                                        Env2Decay,
                                        Env2Release,
                                        Env2Delay,
                                        Lfo1Dly,
                                        Lfo1Atk,
                                        Lfo1Hld,
                                        Lfo1Rls,
                                        Lfo2Dly,
                                        Lfo2Atk,
                                        Lfo2Hld,
                                        Lfo2Rls,
                                        Lfo3Dly,
                                        Lfo3Atk,
                                        Lfo3Hld,
                                        Lfo3Rls,
                                        RvbTime,
                                        RvbFb,
                                        RvbDly,
                                        RvbSize,
                                        RvbMode,
                                        DlyLFBK,
                                        DlyRFBK,
                                        DlyLR,
                                        DlyRL,
                                        DlyLFlt,
                                        DlyRFlt,
                                        DlyLFltCutoff,
                                        DlyLFltQ,
                                        DlyLFltBandwidth,
                                        DlyRFltCutoff,
                                        DlyRFltQ,
                                        DlyRFltBandwidth,
                                        DlyFltLTyp,
                                        DlyFltRTyp,
                                        DlyChnMode,
                                        DlyLengthUnit,
                                        DlyL,
                                        DlyR,
                                        ChrsLFB,
                                        ChrsRFB,
                                        ChrsLR,
                                        ChrsRL,
                                        ChrsChnMode,
                                        PhsFBL,
                                        PhsFBR,
                                        PhsLR,
                                        PhsRL,
                                        PhsChnMode,
                                        UseNoteFirstEnvelope};
  return ids.count(id) != 0;
}

struct TMove {
  int32_t id;
  float value;  // normalized
};

struct TOutcome {
  float peak = 0.0f;
  bool finite = true;
  bool silent = false;     // reached silence after the notes
  double tailSeconds = 0;  // how long that took
};

std::string Describe(int program, const std::vector<TMove>& moves) {
  std::ostringstream s;
  s << "program " << program;
  for (const TMove& m : moves) s << ", " << Param::kKeys[static_cast<size_t>(m.id)] << "=" << m.value;
  return s.str();
}

// Plays the phrase (a C major chord, then C6 on top, all released after 0.4 s) and follows
// the tail until it is silent or kMaxTailSeconds have passed.
TOutcome Play(TInstrumentHost& host, int program, const std::vector<TMove>& moves, bool followTail) {
  // A host's parameter changes edit the current program, so the moved settings are put
  // back afterwards: every patch starts from the stored program.
  host.SelectProgram(program);
  std::vector<TMove> before;
  for (const TMove& m : moves) before.push_back({m.id, host.GetNormalized(m.id)});
  for (const TMove& m : moves) host.SetNormalized(m.id, m.value);
  host.Midi({{0, {0x90, 48, 127}},
             {0, {0x90, 52, 127}},
             {0, {0x90, 55, 127}},
             {0, {0x90, 60, 127}},
             {3300, {0x90, 84, 127}}});
  TOutcome out;
  const auto scan = [&](const TStereo& s) {
    float sum = 0.0f;
    for (size_t i = 0; i < s.left.size(); ++i) {
      for (float v : {s.left[i], s.right[i]}) {
        if (!std::isfinite(v)) out.finite = false;
        out.peak = std::max(out.peak, std::fabs(v));
        sum += v * v;
      }
    }
    return std::sqrt(sum / static_cast<float>(2 * s.left.size()));
  };
  scan(host.Render(8820, kBlock));  // 0.4 s of notes
  host.Midi({{0, {0x80, 48, 0}}, {0, {0x80, 52, 0}}, {0, {0x80, 55, 0}}, {0, {0x80, 60, 0}}, {0, {0x80, 84, 0}}});
  const int32_t window = static_cast<int32_t>(kRate / 10);
  const int32_t windows = static_cast<int32_t>(kMaxTailSeconds * 10);
  for (int32_t w = 0; w < (followTail ? windows : 5); ++w) {
    const float rms = scan(host.Render(window, kBlock));
    if (followTail && rms < kSilenceRms) {
      out.silent = true;
      out.tailSeconds = (w + 1) * 0.1;
      break;
    }
  }
  // Stop whatever still sounds, so that the next patch starts from silence.
  host.Midi({{0, {0xB0, 120, 0}}});
  host.Render(kBlock, kBlock);
  for (auto m = before.rbegin(); m != before.rend(); ++m) host.SetNormalized(m->id, m->value);
  return out;
}

TEST(LegalPatches, TheFoundBlastsStayWithinTheCeiling) {
  TInstrumentHost host(kRate);
  using namespace Param;
  const struct {
    int program;
    std::vector<TMove> moves;
  } cases[] = {
      {0, {{DistOn, 0.739293f}, {DistGain, 0.0f}}},
      {0, {{EQOn, 0.607495f}, {EQGain, 1.0f}}},
      {0, {{DlyGain, 0.0f}, {DlyLFltQ, 0.95621f}}},
      {0, {{Env1Decay, 0.807384f}, {Osc1Amount, 0.0f}, {Osc2Amount, 1.0f}}},
      {0, {{EQOn, 0.56296f}, {EQMix, 0.0658928f}, {EQDry, 1.0f}}},
      {0, {{Osc2AmpLfo1, 1.0f}, {Osc2Env2, 0.816235f}, {AmpEnv1, 0.226663f}}},
  };
  for (const auto& c : cases) {
    const TOutcome o = Play(host, c.program, c.moves, false);
    EXPECT_TRUE(o.finite) << Describe(c.program, c.moves);
    EXPECT_LE(o.peak, kPeakBound) << Describe(c.program, c.moves);
  }
}

// The limiter is transparent below the ceiling and bounds everything above it.
TEST(LegalPatches, OutputLimiterPassesQuietSoundBitForBitAndBoundsLoudSound) {
  TOutputSafetyLimiter limiter;
  limiter.SetSampleRate(44100.0f);
  for (float v : {0.0f, 1e-30f, -0.5f, 1.0f, 3.999f, -4.0f}) {
    float l = v, r = -v;
    limiter.Process(l, r);
    EXPECT_EQ(l, v);
    EXPECT_EQ(r, -v);
  }
  float l = 64.0f, r = 1.0f;
  limiter.Process(l, r);
  EXPECT_LE(l, TOutputSafetyLimiter::kCeiling);
  EXPECT_FLOAT_EQ(r, 1.0f / 16.0f);  // both channels share the gain
  l = std::nanf(""), r = -INFINITY;
  limiter.Process(l, r);
  EXPECT_EQ(l, 0.0f);
  EXPECT_EQ(r, 0.0f);
  // Two seconds later the gain is back at exactly 1.
  for (int i = 0; i < 2 * 44100; ++i) {
    float a = 0.1f, b = 0.1f;
    limiter.Process(a, b);
  }
  EXPECT_EQ(limiter.Gain(), 1.0f);
}

class RandomLegalPatches : public testing::TestWithParam<int> {};

TEST_P(RandomLegalPatches, StayWithinTheCeilingAndDieAway) {
  const int program = GetParam();
  // Sanitized builds run a tenth of the patches: the same paths, at their slower pace.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  const int patches = 40;
#else
  const int patches = 300;
#endif
  TInstrumentHost host(kRate);
  std::mt19937 random(static_cast<uint32_t>(1000 + program));
  std::uniform_int_distribution<int32_t> anyParameter(0, Param::Count - 1);
  std::uniform_int_distribution<int> howMany(1, 4);
  std::uniform_real_distribution<float> anyValue(0.0f, 1.0f);
  int decayChecked = 0, limited = 0;
  for (int p = 0; p < patches; ++p) {
    std::vector<TMove> moves;
    bool sustains = false;
    for (int k = howMany(random); k > 0; --k) {
      const int32_t id = anyParameter(random);
      // A quarter of the moves go to an end of the range, where the blasts were.
      const float u = anyValue(random);
      const float value = u < 0.125f ? 0.0f : (u < 0.25f ? 1.0f : anyValue(random));
      // Muting, bypassing or a silent volume would hide what the patch does.
      if (id == Param::Mute || id == Param::Bypass || id == Param::Volume) continue;
      moves.push_back({id, value});
      sustains = sustains || SustainsByDesign(id);
    }
    const TOutcome o = Play(host, program, moves, !sustains);
    ASSERT_TRUE(o.finite) << Describe(program, moves);
    ASSERT_LE(o.peak, kPeakBound) << Describe(program, moves);
    if (o.peak >= kPeakBound * 0.999f) ++limited;
    if (!sustains) {
      ++decayChecked;
      EXPECT_TRUE(o.silent) << "still sounding " << kMaxTailSeconds
                            << " s after the notes: " << Describe(program, moves);
    }
  }
  RecordProperty("patches", patches);
  RecordProperty("decayChecked", decayChecked);
  RecordProperty("limited", limited);
  std::printf("program %d: %d patches, %d followed to silence, %d reached the ceiling\n", program, patches,
              decayChecked, limited);
}

INSTANTIATE_TEST_SUITE_P(FactoryPrograms, RandomLegalPatches, testing::ValuesIn(kBasePrograms));

}  // namespace
