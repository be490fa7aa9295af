#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

#include "EffectTestTools.h"
#include "dsp/DSPMaths.h"
#include "effects/DSPReverbRooms.h"
#include "effects/DSPReverbX.h"
#include "dsp/DSPLock.h"

using namespace tesmora6;

using namespace effect_test;

TEST(Reverb, RoomTableAsListed) {
  const char* names[] = {"Big1", "Big2", "Medium1", "Medium2", "Medium3", "Medium4", "Small"};
  for (int t = 0; t < kReverbRoomCount; ++t) {
    EXPECT_STREQ(kReverbRooms[t].name, names[t]);
    EXPECT_EQ(kReverbRooms[t].random, t == 0);
  }
  EXPECT_EQ(kReverbRooms[1].comb[3], 3950);
  EXPECT_EQ(kReverbRooms[5].allPass[1], 1490);
  EXPECT_EQ(kReverbRooms[6].comb[4], 870);
}

TEST(Reverb, LineLengthsPerRoomSizeAndRate) {
  struct Case {
    int rate;
    uint8_t type;
    float size;
    std::vector<int32_t> combs, allPasses;
  };
  const Case cases[] = {
      // The table's own lengths at 44.1 kHz and size 64; the right bank's lines are 23
      // longer, except comb 8 and all-pass 4. The length is computed in single precision:
      // 44100 x 1557 rounds to 68663696, so that comb holds 1556 samples (and 1617: 1616).
      {44100,
       2,
       64.0f,
       {1116, 1188, 1277, 1356, 1422, 1491, 1556, 1616, 1116, 1211, 1300, 1379, 1445, 1514, 1580, 1640},
       {225, 341, 441, 556, 225, 364, 464, 579}},
      // Scaled by the rate: trunc(48000 b / 44100).
      {48000,
       6,
       64.0f,
       {990, 979, 968, 957, 946, 957, 968, 979, 990, 1004, 993, 982, 971, 982, 993, 1004},
       {217, 189, 217, 245, 217, 214, 242, 271}},
      // Size 127: Z = 93.06; the longest comb of "Big2" holds about 367,500 samples.
      {44100,
       1,
       127.0f,
       {334261, 316394, 331283, 367575, 301970, 204725, 279171, 37222, 334261, 316417, 331306, 367598, 301993, 204748,
        279194, 37245},
       {84682, 102362, 64209, 18611, 84682, 102385, 64232, 18634}},
      // Size 100 (Z = 13.34) at 96 kHz; the offset of 23 is scaled by the rate too.
      {96000,
       3,
       100.0f,
       {26416, 37389, 31293, 28448, 34834, 22584, 26184, 40640, 26416, 37439, 31343, 28498, 34884, 22634, 26234, 40690},
       {8708, 5167, 12192, 23223, 8708, 5217, 12242, 23273}},
      // Every line keeps at least 10 samples; the offset of 23 is added after the scaling.
      {44100,
       5,
       -300.0f,
       {10, 10, 10, 10, 10, 10, 10, 10, 10, 23, 23, 23, 23, 23, 23, 23},
       {10, 10, 10, 10, 10, 23, 23, 23}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, type " << int(c.type) << ", size " << c.size);
    TDSPProcessInfo context(c.rate, c.rate / 1000);
    TDSPReverbX r;
    r.ContextChanged(&context);
    r.SetRoomType(c.type);
    r.SetSize(c.size);
    for (int k = 0; k < 16; ++k) {
      EXPECT_EQ(r.Comb(k).length, c.combs[k]) << "comb " << k;
      EXPECT_EQ(r.Comb(k).line.size(), static_cast<size_t>(c.combs[k]));
    }
    for (int j = 0; j < 8; ++j) EXPECT_EQ(r.AllPass(j).length, c.allPasses[j]) << "all-pass " << j;
  }
}

TEST(Reverb, SizeFactorAndSizeZeroActsAs64) {
  TDSPReverbX r;
  const struct {
    float size, factor;
  } cases[] = {{64.0f, 1.0f},   {0.0f, 1.0f},       {100.0f, 13.3352f}, {127.0f, 93.0572f},
               {0.001f, 0.10f}, {32.0f, 0.316228f}, {500.0f, 93.0572f}};
  for (const auto& c : cases) {
    r.SetSize(c.size);
    EXPECT_NEAR(r.SizeFactor(), c.factor, c.factor * 1e-4) << c.size;
  }
  r.SetSize(0.0f);
  EXPECT_EQ(r.Size(), 64.0f);

  // The same sound: size 0 and size 64 from the same state give identical output.
  TDSPReverbX a, b;
  for (TDSPReverbX* x : {&a, &b}) {
    WetOnly(*x);
    x->SetDamping(100.0f);
  }
  a.SetSize(0.0f);
  b.SetSize(64.0f);
  std::vector<float> la = Noise(4400), ra = Noise(4400, 999), lb = la, rb = ra;
  DSPDenormalPos = 0;
  RunPeriods(a, la, ra);
  DSPDenormalPos = 0;
  RunPeriods(b, lb, rb);
  EXPECT_EQ(la, lb);
  EXPECT_EQ(ra, rb);
}

TEST(Reverb, Big1DrawsNewLengthsAtEveryRebuild) {
  TDSPReverbX r;
  // From seed 0 the draws are 0, 3137, 86104 (of 100000): comb bases 800, 843, 2005
  // (whose length rounds to 2004 in single precision).
  DSPRandom().SetSeed(0);
  r.SetRoomType(0);
  EXPECT_EQ(r.Comb(0).length, 800);
  EXPECT_EQ(r.Comb(1).length, 843);
  EXPECT_EQ(r.Comb(2).length, 2004);

  std::vector<int32_t> previous;
  for (int rebuild = 0; rebuild < 4; ++rebuild) {
    r.SetRoomType(0);
    std::vector<int32_t> lengths;
    for (int k = 0; k < 16; ++k) {
      const int32_t offset = k > 8 ? 23 : 0;
      EXPECT_GE(r.Comb(k).length, 799 + offset);
      EXPECT_LE(r.Comb(k).length, 2199 + offset);
      lengths.push_back(r.Comb(k).length);
    }
    for (int j = 0; j < 8; ++j) {
      const int32_t offset = j > 4 ? 23 : 0;
      EXPECT_GE(r.AllPass(j).length, 499 + offset);
      EXPECT_LE(r.AllPass(j).length, 999 + offset);
      lengths.push_back(r.AllPass(j).length);
    }
    EXPECT_NE(lengths, previous);
    previous = lengths;
  }
  // The size rebuilds too, with new draws.
  const int32_t before = r.Comb(5).length;
  r.SetSize(64.0f);
  const int32_t after = r.Comb(5).length;
  r.SetSize(64.0f);
  EXPECT_FALSE(before == after && after == r.Comb(5).length);
}

TEST(Reverb, RoomTypeAboveSixSelectsSmall) {
  TDSPReverbX r;
  r.SetRoomType(9);
  EXPECT_EQ(r.RoomType(), 6);
  EXPECT_EQ(r.Comb(0).length, 910);
  r.SetRoomType(255);
  EXPECT_EQ(r.RoomType(), 6);
}

TEST(Reverb, CombFeedbacksFollowTheTime) {
  TDSPReverbX r;
  // RT = 60^(T / 127) - 0.97; fb = -e^(log2(0.001) (length / rate) / RT), comb 0 of
  // "Medium1" is 1116 samples at 44.1 kHz.
  for (float t : {0.0f, 30.0f, 50.0f, 100.0f, 127.0f}) {
    r.SetTime(t);
    const double rt = std::pow(60.0, t / 127.0) - 0.97;
    for (int k : {0, 9, 15}) {
      const double fb = -std::exp(std::log2(0.001) * (r.Comb(k).length / 44100.0) / rt);
      EXPECT_NEAR(r.Comb(k).feedback, fb, std::fabs(fb) * 1e-4) << "T " << t << " comb " << k;
      EXPECT_LT(r.Comb(k).feedback, 0.0f);
    }
  }
  // A rebuild recomputes them for the new lengths from the stored time.
  r.SetTime(50.0f);
  r.SetRoomType(1);
  const double fb = -std::exp(std::log2(0.001) * (3950 / 44100.0) / (std::pow(60.0, 50 / 127.0) - 0.97));
  EXPECT_NEAR(r.Comb(3).feedback, fb, 1e-5);
}

TEST(Reverb, DampingCoefficient) {
  TDSPReverbX r;
  const struct {
    float damping, d;
  } cases[] = {{0.0f, 1.0f}, {127.0f, 0.0f}, {63.5f, 0.25f}, {-10.0f, 1.0f}, {300.0f, 0.0f}};
  for (const auto& c : cases) {
    r.SetDamping(c.damping);
    EXPECT_FLOAT_EQ(r.DampingCoefficient(), c.d) << c.damping;
  }
  r.SetPreDelayFeedback(2.0f);
  EXPECT_FLOAT_EQ(r.PreDelayFeedback(), 0.985f);
  r.SetPreDelayFeedback(-2.0f);
  EXPECT_FLOAT_EQ(r.PreDelayFeedback(), -0.985f);
}

TEST(Reverb, PreDelayLine) {
  TDSPReverbX r;
  const struct {
    int rate;
    float d;
    int32_t length;  // below 2: no line
  } cases[] = {{44100, 5.0f, 126},      {44100, 127.0f, 110205}, {44100, 2.5f, -1},      {44100, 0.0f, -44},
               {96000, 127.0f, 239904}, {44100, 900.0f, 110205}, {44100, -1e30f, 110205}};
  for (const auto& c : cases) {
    TDSPProcessInfo context(c.rate, c.rate / 1000);
    r.ContextChanged(&context);
    r.SetPreDelay(c.d);
    EXPECT_EQ(r.PreDelayLength(), c.length) << c.d;
    EXPECT_EQ(r.HasPreDelayLine(), c.length >= 2);
  }
}

TEST(Reverb, ImpulseTakesPreDelayAndShortestCombThroughTheAllPasses) {
  // "Medium1": combs 0 and 8 are the shortest (1116). The impulse reaches the combs after
  // the 126-sample pre-delay and leaves them one comb length later, scaled by (1 - d) and
  // the feedback; four all-passes scale their direct path by (-0.7)^4.
  for (float damping : {127.0f, 100.0f}) {
    TDSPReverbX r;
    WetOnly(r);
    r.SetDamping(damping);
    std::vector<float> left(2200, 0.0f), right(2200, 0.0f);
    left[0] = 1.0f;  // mono input u = 0.5
    RunPeriods(r, left, right);
    const int first = 126 + 1116;
    for (int i = 0; i < first; ++i) {
      ASSERT_LT(std::fabs(left[i]), 1e-15f) << i;
      ASSERT_LT(std::fabs(right[i]), 1e-15f) << i;
    }
    const float d = r.DampingCoefficient();
    const double expected = 0.2401 * (1.0 - d) * 0.5 * r.Comb(0).feedback;
    EXPECT_NEAR(left[first], expected, std::fabs(expected) * 1e-5) << damping;
    EXPECT_NEAR(right[first], 0.2401 * (1.0 - d) * 0.5 * r.Comb(8).feedback, std::fabs(expected) * 1e-5);
  }
}

TEST(Reverb, DampingZeroSilencesTheWetSignal) {
  // d = 1: the comb states never leave 0, so only the dry part is heard, exactly.
  TDSPReverbX r;
  r.SetPan(0.5f);
  r.SetMix(0.5f);
  r.SetWetGain(1.0f);
  r.SetDryGain(1.0f);
  r.SetDamping(0.0f);
  r.SetTime(127.0f);
  std::vector<float> left = Noise(8800), right = Noise(8800, 321);
  const std::vector<float> inLeft = left, inRight = right;
  RunPeriods(r, left, right);
  for (size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(left[i], inLeft[i] * 0.5f) << i;
    ASSERT_EQ(right[i], inRight[i] * 0.5f) << i;
  }
  for (int k = 0; k < 16; ++k) EXPECT_EQ(r.Comb(k).state, 0.0f);

  // Without damping the same input makes a tail.
  r.SetDamping(127.0f);
  left = inLeft;
  right = inRight;
  RunPeriods(r, left, right);
  double diff = 0;
  for (size_t i = 0; i < left.size(); ++i) diff += std::fabs(left[i] - inLeft[i] * 0.5f);
  EXPECT_GT(diff, 1.0);
}

TEST(Reverb, MixZeroPassesTheInputScaledByTheDryGain) {
  TDSPReverbX r;
  r.SetMix(0.0f);
  r.SetDryGain(1.5f);
  r.Recalculate();
  std::vector<float> left = Noise(2200), right = Noise(2200, 77);
  const std::vector<float> inLeft = left, inRight = right;
  RunPeriods(r, left, right);
  for (size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(left[i], inLeft[i] * 1.5f);
    ASSERT_EQ(right[i], inRight[i] * 1.5f);
  }
}

TEST(Reverb, RoomAndSizeCutTheTailOtherSettingsKeepIt) {
  const std::vector<std::pair<const char*, std::function<void(TDSPReverbX&)>>> changes = {
      {"room type", [](TDSPReverbX& r) { r.SetRoomType(2); }}, {"size", [](TDSPReverbX& r) { r.SetSize(64.0f); }},
      {"time", [](TDSPReverbX& r) { r.SetTime(60.0f); }},      {"damping", [](TDSPReverbX& r) { r.SetDamping(90.0f); }},
      {"mix", [](TDSPReverbX& r) { r.SetMix(0.9f); }},
  };
  for (size_t c = 0; c < changes.size(); ++c) {
    TDSPReverbX r;
    WetOnly(r);
    r.SetPreDelay(0.0f);  // no pre-delay line: the tail lives in the combs alone
    std::vector<float> left = Noise(4400), right = Noise(4400, 5);
    RunPeriods(r, left, right);
    changes[c].second(r);
    std::vector<float> silentL(2200, 0.0f), silentR(2200, 0.0f);
    RunPeriods(r, silentL, silentR);
    double energy = 0;
    for (float x : silentL) energy += double(x) * x;
    if (c < 2)
      EXPECT_LT(energy, 1e-20) << changes[c].first;
    else
      EXPECT_GT(energy, 1e-3) << changes[c].first;
  }
}

TEST(Reverb, FiltersShapeTheMonoInput) {
  // A low pass at 50 Hz in front of the combs takes most of a noise input's energy.
  double energy[2] = {0, 0};
  for (int on = 0; on < 2; ++on) {
    TDSPReverbX r;
    WetOnly(r);
    r.Filter1().SetType(0.0f);
    r.Filter1().Filter()->SetCutoff(50.0f);
    r.SetFilter1On(on != 0);
    std::vector<float> left = Noise(8800), right = Noise(8800, 11);
    RunPeriods(r, left, right);
    for (float x : left) energy[on] += double(x) * x;
  }
  EXPECT_LT(energy[1], energy[0] * 0.1);
}

TEST(Reverb, NonFiniteStateIsClearedAndNeverEmitted) {
  // Worst settings: a time just below the one where RT crosses 0 (RT = -0.01 s gives comb
  // feedbacks of about -7e10), no damping, full pre-delay feedback, huge input.
  TDSPReverbX r;
  WetOnly(r);
  r.SetDryGain(32.0f);
  r.SetTime(-1.266f);
  r.SetDamping(127.0f);
  r.SetPreDelayFeedback(1.0f);
  r.SetSize(1.0f);
  std::vector<float> left = Noise(44100), right = Noise(44100, 3);
  for (float& x : left) x *= 1e30f;
  RunPeriods(r, left, right);
  EXPECT_TRUE(AllFinite(left));
  EXPECT_TRUE(AllFinite(right));

  // A NaN in the input silences its period and leaves nothing behind.
  TDSPReverbX q;
  WetOnly(q);
  q.SetDamping(127.0f);
  std::vector<float> l = Noise(4400), rr = Noise(4400, 9);
  l[100] = std::numeric_limits<float>::quiet_NaN();
  RunPeriods(q, l, rr);
  EXPECT_TRUE(AllFinite(l));
  EXPECT_TRUE(AllFinite(rr));
  for (int i = 88; i < 132; ++i) EXPECT_EQ(l[i], 0.0f);
  for (int k = 0; k < 16; ++k) EXPECT_TRUE(std::isfinite(q.Comb(k).state));
}

TEST(Reverb, RebuildingSettersWaitForTheProcessingLock) {
  const std::vector<std::function<void(TDSPReverbX&)>> setters = {
      [](TDSPReverbX& r) { r.SetRoomType(3); },
      [](TDSPReverbX& r) { r.SetSize(80.0f); },
      [](TDSPReverbX& r) { r.SetPreDelay(40.0f); },
  };
  for (const auto& set : setters) {
    TDSPReverbX r;
    std::atomic<bool> done{false};
    std::thread worker;
    {
      TDSPLockGuard processing;  // a period being rendered
      worker = std::thread([&] {
        set(r);
        done = true;
      });
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      EXPECT_FALSE(done.load());
    }
    worker.join();
    EXPECT_TRUE(done.load());
  }
}

TEST(Reverb, LineMemoryGrowsWithSizeAndRate) {
  TDSPProcessInfo context(96000, 96);
  TDSPReverbX r;
  r.ContextChanged(&context);
  r.SetRoomType(1);
  r.SetSize(127.0f);
  // 10,634,381 comb and all-pass samples ("Big2") plus 276 of pre-delay (D = 5).
  EXPECT_EQ(r.PreDelayLength(), 276);
  EXPECT_EQ(r.LineSamples(), 10634381 + 276);
}

TEST(Reverb, InterleavedBankEqualsCombsRunOneAfterAnother) {
  // The bank advances its eight combs side by side; the result must be the one of each
  // comb running over the whole period in turn, sums into wet included, to the bit. Odd
  // lengths shorter than a period make the stretches between wraps uneven.
  std::array<TReverbComb, 8> bank, single;
  const int32_t lengths[8] = {10, 11, 13, 44, 45, 97, 230, 1116};
  for (int k = 0; k < 8; ++k) {
    for (auto* c : {&bank[k], &single[k]}) {
      c->Build(lengths[k]);
      c->feedback = -0.3f - 0.08f * static_cast<float>(k);
    }
  }
  const std::vector<float> in = Noise(44 * 50);
  std::vector<float> wetBank(in.size(), 0.0f), wetSingle(in.size(), 0.0f);
  for (size_t p = 0; p < in.size(); p += 44) {
    RunCombBank(bank.data(), &in[p], &wetBank[p], 44, 0.7f, 0.3f);
    for (auto& c : single) c.RunPeriod(&in[p], &wetSingle[p], 44, 0.7f, 0.3f);
  }
  EXPECT_EQ(wetBank, wetSingle);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(bank[k].line, single[k].line);
    EXPECT_EQ(bank[k].state, single[k].state);
    EXPECT_EQ(bank[k].position, single[k].position);
  }
}

TEST(Reverb, AllPassStretchesEqualTheSampleBySampleStep) {
  for (int32_t length : {10, 13, 44, 225}) {
    TReverbAllPass a;
    a.Build(length);
    std::vector<float> line(length, 0.0f);
    int32_t pos = 0;
    std::vector<float> x = Noise(44 * 20), reference = x;
    for (float& v : reference) {
      const float c = line[pos];
      line[pos] = c * 0.7f + v;
      v = c - line[pos] * 0.7f;
      if (++pos >= length) pos = 0;
    }
    for (size_t p = 0; p < x.size(); p += 44) a.RunPeriod(&x[p], 44);
    EXPECT_EQ(x, reference) << length;
    EXPECT_EQ(a.line, line) << length;
    EXPECT_EQ(a.position, pos) << length;
  }
}
