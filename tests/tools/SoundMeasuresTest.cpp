// The measurements the bank preview and the bank's quality tests rest on, checked on
// signals whose answers are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/preview/SoundMeasures.h"

using namespace tesmora6;

namespace {

constexpr double kRate = 48000.0;

// A sine of the given peak amplitude on both sides (right = sign x left).
TStereoAudio Sine(double hz, double amplitude, double seconds, double sign = 1.0) {
  TStereoAudio a;
  a.rate = kRate;
  const auto n = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < n; ++i) {
    const float x =
        static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate));
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
    const auto x =
        static_cast<float>(std::sin(std::numbers::pi / 2.0 * static_cast<double>(i) + std::numbers::pi / 4.0));
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

namespace {

// A sine that sweeps exponentially from one frequency to another.
TStereoAudio Chirp(double fromHz, double toHz, double seconds) {
  TStereoAudio a;
  a.rate = kRate;
  const auto n = static_cast<size_t>(seconds * kRate);
  double phase = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double hz = fromHz * std::pow(toHz / fromHz, static_cast<double>(i) / static_cast<double>(n));
    phase += 2.0 * std::numbers::pi * hz / kRate;
    a.left.push_back(static_cast<float>(0.5 * std::sin(phase)));
    a.right.push_back(a.left.back());
  }
  return a;
}

}  // namespace

TEST(SoundMeasures, LevelSwingSeesGapsThatTheEffectsLeave) {
  // A steady sine does not swing; one gated in sixteenths at 120 BPM (62.5 ms on, 62.5 ms
  // off) swings as deep as its gaps: 40 dB down, or silent.
  const TStereoAudio steady = Sine(440.0, 0.5, 2.0);
  EXPECT_NEAR(LevelSwingDb(steady), 0.0, 0.5);  // 10 ms windows hold no whole number of periods
  for (const double gapGain : {0.01, 0.0}) {
    TStereoAudio gated = steady;
    for (size_t i = 0; i < gated.Frames(); ++i) {
      if (static_cast<size_t>(static_cast<double>(i) / kRate / 0.0625) % 2 == 1) {
        gated.left[i] *= static_cast<float>(gapGain);
        gated.right[i] *= static_cast<float>(gapGain);
      }
    }
    EXPECT_GT(LevelSwingDb(gated), gapGain > 0.0 ? 39.0 : 150.0) << gapGain;
    if (gapGain > 0.0) {
      EXPECT_LT(LevelSwingDb(gated), 41.0);
    }
  }
}

TEST(SoundMeasures, CentroidAndItsMovementFollowTheFrequency) {
  EXPECT_NEAR(CentroidHz(Sine(1000.0, 0.5, 1.0)), 1000.0, 20.0);
  EXPECT_EQ(CentroidHz(Sine(1000.0, 0.0, 1.0)), 0.0);
  // A steady tone does not move; a sweep from 250 Hz to 4 kHz (4 octaves) spreads over the
  // 10th to the 90th percentile of its frames: 80 % of 4 octaves.
  EXPECT_NEAR(CentroidSpanOctaves(Sine(1000.0, 0.5, 2.0)), 0.0, 0.01);
  EXPECT_NEAR(CentroidSpanOctaves(Chirp(250.0, 4000.0, 4.0)), 3.2, 0.15);
  // A slice keeps the rate and the part asked for, clamped to the sound.
  const TStereoAudio chirp = Chirp(250.0, 4000.0, 4.0);
  const TStereoAudio last = Slice(chirp, 3.0, 4.0), first = Slice(chirp, 0.0, 1.0);
  EXPECT_EQ(last.Frames(), static_cast<size_t>(kRate));
  EXPECT_EQ(last.rate, kRate);
  EXPECT_EQ(Slice(chirp, 3.5, 9.0).Frames(), static_cast<size_t>(0.5 * kRate));
  EXPECT_EQ(Slice(chirp, 5.0, 6.0).Frames(), 0u);
  EXPECT_NEAR(std::log2(CentroidHz(last) / CentroidHz(first)), 3.0, 0.2);
}
