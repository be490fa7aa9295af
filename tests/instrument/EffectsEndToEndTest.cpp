// The effect chain heard from the outside: notes played through the entry functions with
// "FxOn" on and one effect at a time switched on, measured from the output.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

constexpr double kRate = 44100.0;

// Oscillator 1 alone (a sine), both envelopes opening and closing at once.
void PlainSine(TInstrumentHost& host) {
  host.SoloOscillator1();
  for (int32_t i : {17, 20, 21, 24}) host.Set(i, -13160.0f);  // attacks and releases
  host.Set(Param::Env1Sustain, 127.0f);                       // full sustain
  host.Set(Param::Env2Sustain, 127.0f);
}

// A burst of `ms` milliseconds of a note, then `total` samples in all.
TStereo Burst(TInstrumentHost& host, int note, int ms, int32_t total) {
  host.NoteOn(note);
  TStereo out = host.Render(static_cast<int32_t>(ms * 44.1));
  host.NoteOff(note);
  const TStereo rest = host.Render(total - static_cast<int32_t>(out.left.size()));
  out.left.insert(out.left.end(), rest.left.begin(), rest.left.end());
  out.right.insert(out.right.end(), rest.right.begin(), rest.right.end());
  return out;
}

size_t Onset(const std::vector<float>& s, float threshold = 1e-3f) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (std::fabs(s[i]) > threshold) return i;
  }
  return s.size();
}

double Rms(const std::vector<float>& s, size_t from, size_t to) {
  double sum = 0.0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

// Magnitude of one frequency in a stretch of signal (Goertzel).
double Magnitude(const std::vector<float>& s, size_t from, size_t to, double hz) {
  const double w = 2.0 * std::numbers::pi * hz / kRate;
  double s1 = 0.0, s2 = 0.0;
  for (size_t i = from; i < to; ++i) {
    const double s0 = s[i] + 2.0 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return std::sqrt(s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2) / static_cast<double>(to - from);
}

}  // namespace

TEST(EffectsEndToEnd, DelayEchoesAtItsLengthAndDecaysByItsFeedback) {
  TInstrumentHost host;
  PlainSine(host);
  host.Set(Param::DlyOn, 1.0f);
  host.Set(Param::DlyLengthUnit, 0.0f);  // lengths in milliseconds
  host.Set(Param::DlyL, 100.0f);
  host.Set(Param::DlyR, 100.0f);
  host.Set(Param::DlyMix, 200.0f);   // fully wet: no dry signal
  host.Set(Param::DlyLFBK, 100.0f);  // feedback 0.5
  host.Set(Param::DlyRFBK, 100.0f);
  TInstrumentHost dry;
  PlainSine(dry);
  const TStereo plain = Burst(dry, 69, 20, 22050);
  const TStereo echoes = Burst(host, 69, 20, 22050);
  // 100 ms are 100 x 44 samples at 44.1 kHz; the burst itself is not heard.
  const size_t start = Onset(plain.left, 1e-6f);
  ASSERT_LT(start, 100u);
  EXPECT_EQ(Onset(echoes.left, 1e-6f), start + 4400);
  EXPECT_EQ(Onset(echoes.right, 1e-6f), start + 4400);
  // The n-th echo has the level feedback^n: 0.5, 0.25, 0.125 of the note.
  const double note = Peak(plain.left);
  const double first = Peak(echoes.left, start + 4400, start + 8800);
  const double second = Peak(echoes.left, start + 8800, start + 13200);
  const double third = Peak(echoes.left, start + 13200, start + 17600);
  EXPECT_NEAR(first / note, 0.5, 0.01);
  EXPECT_NEAR(second / note, 0.25, 0.01);
  EXPECT_NEAR(third / note, 0.125, 0.01);
}

TEST(EffectsEndToEnd, ReverbTailGrowsWithTheTime) {
  auto tail = [](float time) {
    TInstrumentHost host;
    PlainSine(host);
    host.Set(Param::RvbOn, 1.0f);
    host.Set(Param::RvbTime, time);
    const TStereo out = Burst(host, 69, 50, 3 * 44100);
    // Half a second to a second and a half after the note.
    return Rms(out.left, 44100 / 2, 3 * 44100 / 2) + Rms(out.right, 44100 / 2, 3 * 44100 / 2);
  };
  const double shortTail = tail(200.0f);
  const double longTail = tail(800.0f);
  EXPECT_GT(shortTail, 1e-5);
  EXPECT_GT(longTail, 4.0 * shortTail);
}

TEST(EffectsEndToEnd, EqualiserLiftsTheLowBand) {
  auto level = [](bool eq) {
    TInstrumentHost host;
    PlainSine(host);
    if (eq) {
      host.Set(Param::EQOn, 1.0f);
      host.Set(Param::EQChnMode, 1.0f);  // the right equaliser takes the left settings
      host.Set(Param::EQLLow, 680.0f);   // low band +10 dB
      host.Set(Param::EQLMid, 0.0f);
      host.Set(Param::EQLHigh, 0.0f);
    }
    host.NoteOn(33);  // 55 Hz
    const TStereo out = host.Render(44100);
    return Rms(out.left, 22050, 44100);
  };
  const double ratio = level(true) / level(false);
  EXPECT_GT(ratio, std::pow(10.0, 8.0 / 20.0));
  EXPECT_LT(ratio, std::pow(10.0, 10.5 / 20.0));
}

TEST(EffectsEndToEnd, DistortionAddsHarmonics) {
  auto harmonics = [](bool on) {
    TInstrumentHost host;
    PlainSine(host);
    if (on) host.Set(Param::DistOn, 1.0f);
    host.NoteOn(57);  // 220 Hz
    const TStereo out = host.Render(22050);
    const double fundamental = Magnitude(out.left, 11025, 22050, 220.0);
    return (Magnitude(out.left, 11025, 22050, 660.0) + Magnitude(out.left, 11025, 22050, 440.0)) / fundamental;
  };
  EXPECT_LT(harmonics(false), 0.001);
  EXPECT_GT(harmonics(true), 0.05);
}

TEST(EffectsEndToEnd, OrderParametersReorderTheChain) {
  // Distortion and EQ (a strong low lift) both on: the curve sees a different signal when
  // the EQ runs first.
  auto render = [](bool eqFirst) {
    TInstrumentHost host;
    PlainSine(host);
    host.Set(Param::DistOn, 1.0f);
    host.Set(Param::EQOn, 1.0f);
    host.Set(Param::EQChnMode, 1.0f);
    host.Set(Param::EQLLow, 1020.0f);
    if (eqFirst) {
      host.Set(Param::EqIdx, 0.0f);  // "EqIdx" to the front: the distortion takes its place
      EXPECT_EQ(host.Get(Param::DistIdx), 6.0f);
      EXPECT_EQ(host.plugin->Effects().FxOrder[0], &host.plugin->Effects().Eq);
      EXPECT_EQ(host.plugin->Effects().FxOrder[6], &host.plugin->Effects().Distortion);
    }
    host.NoteOn(40);
    return host.Render(8820);
  };
  const TStereo distortionFirst = render(false);
  const TStereo eqFirst = render(true);
  EXPECT_GT(Rms(distortionFirst.left, 4410, 8820), 0.01);
  // Lifted after the curve the low band stands 15 dB above the curve's limit; lifted
  // before it, the curve flattens it again.
  EXPECT_GT(Rms(eqFirst.left, 4410, 8820), 0.01);
  EXPECT_GT(Rms(distortionFirst.left, 4410, 8820), 3.0 * Rms(eqFirst.left, 4410, 8820));
}

TEST(EffectsEndToEnd, TailRingsOutThenTheInstanceSleeps) {
  TInstrumentHost host;
  PlainSine(host);
  host.Set(Param::RvbOn, 1.0f);  // the reverb
  const TStereo out = Burst(host, 69, 50, 10 * 44100);
  const size_t end = 50 * 44 + 512;
  EXPECT_GT(Peak(out.left, end + 4410, end + 8820), 1e-3f);  // still ringing 100 ms on
  for (size_t i = 0; i < out.left.size(); ++i) {
    ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << i;
  }
  // Asleep at the end: exact silence, the chain idle, nothing rendered.
  EXPECT_EQ(Peak(out.left, out.left.size() - 44100), 0.0f);
  EXPECT_EQ(Peak(out.right, out.right.size() - 44100), 0.0f);
  EXPECT_GE(host.plugin->Effects().FxTailBlocks, TEffectsSection::kTailBlocks);
  EXPECT_GE(host.plugin->silentBlocks, 2048u);
  // The next note wakes it, with the reverb's tail state kept.
  host.NoteOn(69);
  EXPECT_GT(Peak(host.Render(4410).left), 0.01f);
}
