// The measurements the bank preview and the bank's quality tests rest on, checked on
// signals whose answers are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/preview/SoundMeasures.h"

namespace {

constexpr double kRate = 48000.0;

// A sine of the given peak amplitude on both sides (right = sign x left).
TStereoAudio Sine(double hz, double amplitude, double seconds, double sign = 1.0) {
  TStereoAudio a;
  a.rate = kRate;
  const auto n = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < n; ++i) {
    const float x = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate));
    a.left.push_back(x);
    a.right.push_back(static_cast<float>(sign) * x);
  }
  return a;
}

TEST(SoundMeasures, LevelsBrightnessAndWidthOfKnownSignals) {
  // A 997 Hz sine at full scale on both sides reads 0 LUFS on a broadcast meter; 20 dB down
  // it reads -20 LUFS.
  EXPECT_NEAR(LoudnessLufs(Sine(997.0, 1.0, 2.0)), 0.0, 0.1);
  const TSoundMeasures m = MeasureSound(Sine(997.0, 0.1, 2.0), 0);
  EXPECT_NEAR(m.loudnessLufs, -20.0, 0.1);
  EXPECT_NEAR(m.peakDb, -20.0, 0.01);
  EXPECT_NEAR(m.rmsDb, -23.01, 0.01);
  EXPECT_NEAR(m.centroidHz, 997.0, 15.0);
  EXPECT_NEAR(m.width, 0.0, 1e-9);  // the same on both sides
  EXPECT_TRUE(m.finite);
  EXPECT_NEAR(MeasureSound(Sine(997.0, 0.1, 2.0, -1.0), 0).width, 1.0, 1e-9);  // opposite sides
  // The K-weighting lifts the highs: the same level reads louder at 4 kHz than at 100 Hz.
  EXPECT_GT(LoudnessLufs(Sine(4000.0, 0.1, 1.0)), LoudnessLufs(Sine(100.0, 0.1, 1.0)) + 3.0);
  // Silence and broken samples.
  EXPECT_EQ(MeasureSound(Sine(997.0, 0.0, 1.0), 0).loudnessLufs, kSilentDb);
  TStereoAudio broken = Sine(997.0, 0.1, 0.1);
  broken.right[100] = std::nanf("");
  EXPECT_FALSE(MeasureSound(broken, 0).finite);
}

TEST(SoundMeasures, TruePeakMomentaryLoudnessAndDcOfKnownSignals) {
  // A sine at a quarter of the rate sampled 45 degrees off its crests: every sample reads
  // 0.707 (-3 dB), the wave between them reaches 1.0.
  TStereoAudio quarter;
  quarter.rate = kRate;
  for (size_t i = 0; i < 4800; ++i) {
    const auto x = static_cast<float>(std::sin(std::numbers::pi / 2.0 * static_cast<double>(i) + std::numbers::pi / 4.0));
    quarter.left.push_back(x);
    quarter.right.push_back(x);
  }
  EXPECT_NEAR(MeasureSound(quarter, 0).peakDb, -3.01, 0.01);
  EXPECT_NEAR(TruePeakDb(quarter), 0.0, 0.3);
  // A slow wave has no peaks between its samples: the interpolation adds nothing to it.
  EXPECT_NEAR(TruePeakDb(Sine(50.0, 0.5, 1.0)), 20.0 * std::log10(0.5), 0.01);
  // A constant on one side is its DC; a sine has none.
  TStereoAudio dc = Sine(997.0, 0.0, 1.0);
  std::fill(dc.left.begin(), dc.left.end(), 0.25f);
  EXPECT_NEAR(DcDb(dc), 20.0 * std::log10(0.25), 0.01);
  EXPECT_LT(DcDb(Sine(997.0, 1.0, 2.0)), -60.0);
  // The loudest 400 ms: a 997 Hz sine at -20 dBFS for 1 s after 3 s at -40 dBFS.
  TStereoAudio burst = Sine(997.0, 0.01, 4.0);
  for (size_t i = static_cast<size_t>(3.0 * kRate); i < burst.Frames(); ++i) {
    burst.left[i] *= 10.0f;
    burst.right[i] *= 10.0f;
  }
  EXPECT_NEAR(MaxMomentaryLufs(burst), -20.0, 0.1);
}

TEST(SoundMeasures, TheTailLastsUntilTheSoundIs60DbDown) {
  // A note released at 1 s that then decays by 60 dB per second: the tail is 1 s long.
  TStereoAudio a = Sine(440.0, 0.5, 3.0);
  const auto release = static_cast<size_t>(kRate);
  for (size_t i = release; i < a.Frames(); ++i) {
    const float g = static_cast<float>(std::pow(10.0, -3.0 * static_cast<double>(i - release) / kRate));
    a.left[i] *= g;
    a.right[i] *= g;
  }
  EXPECT_NEAR(MeasureSound(a, release).tailSeconds, 1.0, 0.02);
  EXPECT_EQ(MeasureSound(a, a.Frames()).tailSeconds, 0.0);
}

TEST(SoundMeasures, FingerprintsIgnoreLevelAndSeePitchAndTime) {
  const TFingerprint a = Fingerprint(Sine(440.0, 0.5, 2.0));
  EXPECT_NEAR(FingerprintDistance(a, Fingerprint(Sine(440.0, 0.05, 2.0))), 0.0, 0.01);
  EXPECT_GT(FingerprintDistance(a, Fingerprint(Sine(1760.0, 0.5, 2.0))), 10.0);
  // The same tone, silent in its second half.
  TStereoAudio half = Sine(440.0, 0.5, 2.0);
  std::fill(half.left.begin() + static_cast<long>(kRate), half.left.end(), 0.0f);
  std::fill(half.right.begin() + static_cast<long>(kRate), half.right.end(), 0.0f);
  EXPECT_GT(FingerprintDistance(a, Fingerprint(half)), 10.0);
  // The same tone, the right side a few milliseconds late (a widener): only stereo differs.
  TStereoAudio wide = Sine(440.0, 0.5, 2.0);
  std::rotate(wide.right.rbegin(), wide.right.rbegin() + 130, wide.right.rend());
  EXPECT_GT(FingerprintDistance(a, Fingerprint(wide)), 10.0);
  // Gated in eighths or in sixteenths: coarse slices see the same, the envelopes differ.
  auto gated = [](double hz) {
    TStereoAudio g = Sine(440.0, 0.5, 2.0);
    for (size_t i = 0; i < g.Frames(); ++i) {
      if (std::fmod(static_cast<double>(i) / kRate * hz, 1.0) >= 0.5) g.left[i] = g.right[i] = 0.0f;
    }
    return Fingerprint(g);
  };
  EXPECT_EQ(EnvelopeDistance(gated(4.0), gated(4.0)), 0.0);
  EXPECT_GT(EnvelopeDistance(gated(4.0), gated(8.0)), 10.0);
}

}  // namespace
