#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <typeinfo>
#include <vector>

#include "FilterTestTools.h"
#include "dsp/DSPBiquadFilters.h"
#include "dsp/DSPButterworthFilters.h"
#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPLadderFilters.h"
#include "dsp/DSPLock.h"
#include "dsp/DSPMultiFilter.h"
#include "dsp/DSPOnePoleFilters.h"
#include "dsp/DSPRBJFilters.h"

using namespace tesmora6;

using namespace filter_test;

namespace {

std::vector<float> RunPeriods(TDSPControl& c, std::vector<float> v) {
  for (size_t p = 0; p + 44 <= v.size(); p += 44) c.FillPeriod(&v[p]);
  return v;
}

}  // namespace

TEST(MultiFilter, StartsAsButterworthLowPassReadyToRun) {
  TDSPMultiFilter m;
  EXPECT_TRUE(m.Ready());
  EXPECT_EQ(m.TypeIndex(), 0);
  EXPECT_EQ(m.TypeSetting(), 0.0f);
  ASSERT_NE(m.Filter(), nullptr);
  EXPECT_EQ(typeid(*m.Filter()), typeid(TResonantButterworthFilterLP));
  // Set up: coefficients exist, so the default filter passes a low tone.
  EXPECT_NEAR(MeasureGain(*m.Filter(), 100, 44100), 1.0, 0.01);
}

TEST(MultiFilter, TypeSettingRoundsHalfToEvenAndFallsBackToButterworth) {
  struct Case {
    float setting;
    int index;
    const std::type_info& type;
  };
  const Case cases[] = {
      {2.5f, 2, typeid(TClassicButterworthFilterLP)},
      {3.5f, 4, typeid(TClassicButterworthFilterBP)},
      {37.6f, 38, typeid(TResonantButterworthFilterLP)},
      {60.0f, 50, typeid(TResonantButterworthFilterLP)},
      {-3.0f, 0, typeid(TResonantButterworthFilterLP)},
      {std::nanf(""), 0, typeid(TResonantButterworthFilterLP)},
      {20.0f, 20, typeid(TRBJFilterLP)},
      {34.0f, 34, typeid(TBiquadVocal1Filter)},
      {37.0f, 37, typeid(TPinkNoiseFilter)},
  };
  for (const Case& c : cases) {
    TDSPMultiFilter m;
    m.SetType(c.setting);
    EXPECT_EQ(m.TypeIndex(), c.index) << c.setting;
    EXPECT_EQ(typeid(*m.Filter()), c.type) << c.setting;
    EXPECT_TRUE(m.Ready());
  }
}

TEST(MultiFilter, TypeTableNamesFollowTheValueList) {
  const char* names[kFilterTypeCount] = {
      "BW LP",     "BW HP",    "BW LP2",    "BW HP2",   "BW BP2",    "BW BR2",   "12DB LP",  "24DB LP",
      "24DB LP2",  "24DB LP3", "24DB HP",   "24DB BP",  "LP1",       "SVF LP",   "SVF HP",   "SVF BP",
      "SVF NOTCH", "PEAKING",  "IIR NOTCH", "RES",      "RBJ LP",    "RBJ HP",   "RBJ BPFS", "RBJ BPFP",
      "RBJ NOTCH", "RBJ APF",  "PEAK-EQ",   "LOWSHELF", "HIGHSHELF", "Bandpass", "Phaser",   "4PoleEQ1",
      "4PoleEQ2",  "4PoleLP",  "Vocal1",    "Vocal2",   "RND1",      "RND2"};
  for (int i = 0; i < kFilterTypeCount; ++i) EXPECT_STREQ(FilterTypeEntry(i).name, names[i]);
  for (int i : {kFilterTypeCount, 50, -1}) EXPECT_STREQ(FilterTypeEntry(i).name, "BW LP");
}

TEST(MultiFilter, SameTypeAgainKeepsFilterAndState) {
  TDSPMultiFilter m;
  m.SetType(20.0f);
  TDSPFilter* before = m.Filter();
  before->SetCutoff(900.0f);
  RunPeriods(m, Noise(440));
  TRBJFilterLP copy;  // the same history, to compare what follows
  copy.Recalculate();
  copy.SetCutoff(900.0f);
  RunPeriods(copy, Noise(440));

  m.SetType(20.0f);
  EXPECT_EQ(m.Filter(), before);
  const auto next = Noise(88, 1.0f, 500);
  EXPECT_EQ(RunPeriods(m, next), RunPeriods(copy, next));
}

TEST(MultiFilter, NewTypeCarriesSettingsOverWithEmptyDelayLines) {
  TDSPMultiFilter m;
  m.SetType(20.0f);  // "RBJ LP"
  m.Filter()->SetCutoff(1234.0f);
  m.Filter()->SetResonance(0.7f);
  m.Filter()->SetBandwidth(0.3f);
  RunPeriods(m, Noise(440));

  m.SetType(7.0f);  // "24DB LP"
  ASSERT_EQ(typeid(*m.Filter()), typeid(TPoleZeroLadderFilter));
  EXPECT_EQ(m.Filter()->Cutoff(), 1234.0f);
  EXPECT_EQ(m.Filter()->Resonance(), 0.7f);
  EXPECT_EQ(m.Filter()->Bandwidth(), 0.3f);
  // Mapped by the new design's own range [0.001, 3.999].
  EXPECT_NEAR(m.Filter()->MappedResonance(), 0.001 + 3.998 * 0.7, 1e-5);

  TPoleZeroLadderFilter fresh;
  fresh.Recalculate();
  fresh.SetCutoff(1234.0f);
  fresh.SetResonance(0.7f);
  fresh.SetBandwidth(0.3f);
  const auto next = Noise(88, 1.0f, 700);
  EXPECT_EQ(RunPeriods(m, next), RunPeriods(fresh, next));
}

TEST(MultiFilter, TickAndRecalculateGoThroughTheOwnedFilter) {
  TDSPMultiFilter m;
  m.SetType(26.0f);
  m.Filter()->SetCutoff(3000.0f);
  m.Filter()->SetResonance(0.4f);
  TRBJFilterPeakingEQ f;
  f.Recalculate();
  f.SetCutoff(3000.0f);
  f.SetResonance(0.4f);
  for (float x : Noise(300)) {
    m.In = x;
    m.Tick();
    f.In = x;
    f.Tick();
    ASSERT_EQ(m.Out, f.Out);
  }
  // Recalculate on the selector sets the filter up again and clears its state.
  m.Recalculate();
  f.Reset();
  const auto next = Noise(88, 1.0f, 300);
  EXPECT_EQ(RunPeriods(m, next), RunPeriods(f, next));
}

TEST(MultiFilter, ContextAndBuffersReachTheFilter) {
  TDSPProcessInfo fast(96000, 96);
  TDSPMultiFilter m;
  m.SetType(20.0f);
  m.Filter()->SetCutoff(22050.0f);
  m.ContextChanged(&fast);
  EXPECT_EQ(m.Filter()->Context(), &fast);
  m.Recalculate();
  EXPECT_FLOAT_EQ(m.Filter()->MappedCutoff(), 23520.0f);
  // A new type is set up in the selector's context.
  m.SetType(0.0f);
  EXPECT_EQ(m.Filter()->Context(), &fast);
  EXPECT_FLOAT_EQ(m.Filter()->Cutoff(), 22050.0f);

  // Buffer processing runs the selector's input block through the filter.
  TDSPProcessInfo context(44100, 44);
  m.SetUsesWorkBuffers(true);
  m.ContextChanged(&context);
  m.Recalculate();
  ASSERT_NE(m.InputBlock(), nullptr);
  ASSERT_NE(m.Filter()->OutputBlock(), nullptr);
  const auto in = Noise(44);
  std::memcpy(m.InputBlock(), in.data(), 44 * sizeof(float));
  m.ProcessBlock();
  TResonantButterworthFilterLP f;
  f.ContextChanged(&context);
  f.Recalculate();
  f.SetCutoff(22050.0f);
  for (int i = 0; i < 44; ++i) {
    f.In = in[i];
    f.Tick();
    EXPECT_EQ(m.OutputBlock()[i], f.Out) << i;
  }
}

TEST(MultiFilter, TypeChangeWaitsForTheProcessingLock) {
  TDSPMultiFilter m;
  std::atomic<bool> done{false};
  std::thread changer;
  {
    TDSPLockGuard processing;  // the audio path holds the lock for a whole block
    changer = std::thread([&] {
      m.SetType(5.0f);
      done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done.load());
  }
  changer.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(m.TypeIndex(), 5);
  EXPECT_TRUE(m.Ready());
}

// Every type as the selector holds it: noise in, finite samples out.
TEST(MultiFilter, EveryTypeFiltersNoiseToFiniteOutput) {
  for (int type = 0; type <= 50; ++type) {
    TDSPMultiFilter m;
    m.SetType(static_cast<float>(type));
    m.Filter()->SetCutoff(4096.0f);
    m.Filter()->SetResonance(0.5f);
    const auto out = RunPeriods(m, Noise(44 * 100, 0.8f));
    double energy = 0;
    for (float y : out) {
      ASSERT_TRUE(std::isfinite(y)) << type;
      energy += y * y;
    }
    EXPECT_GT(energy, 0.0) << type;
  }
}

// A stage's left and right filters run in one loop when they are of the same design: for
// every type, and for pairs of different types, each side comes out exactly as if it had
// run alone, and a side that blows up is reset without touching the other.
TEST(MultiFilter, PairedPeriodsEqualSeparateRuns) {
  auto setUp = [](TDSPMultiFilter& m, float type, float cutoff, float q) {
    m.SetType(type);
    m.Filter()->BeginUpdate();
    m.Filter()->SetCutoff(cutoff);
    m.Filter()->SetResonance(q);
    m.Filter()->SetBandwidth(0.3f);
    m.Filter()->EndUpdate();
  };
  std::vector<float> left(44 * 40), right(44 * 40);
  for (size_t i = 0; i < left.size(); ++i) {
    left[i] = 0.4f * DSPNoiseTable()[i];
    right[i] = 0.4f * DSPNoiseTable()[i + 5000];
  }
  for (int type = 0; type < kFilterTypeCount; ++type) {
    for (int other : {type, (type + 7) % kFilterTypeCount}) {
      TDSPMultiFilter a, b, aloneA, aloneB;
      setUp(a, static_cast<float>(type), 1200.0f, 0.6f);
      setUp(aloneA, static_cast<float>(type), 1200.0f, 0.6f);
      setUp(b, static_cast<float>(other), 3100.0f, 0.3f);
      setUp(aloneB, static_cast<float>(other), 3100.0f, 0.3f);
      std::vector<float> l = left, r = right;
      for (size_t p = 0; p + 44 <= l.size(); p += 44) a.FillPeriodPair(b, &l[p], &r[p]);
      EXPECT_EQ(l, RunPeriods(aloneA, left)) << "type " << type << " beside " << other;
      EXPECT_EQ(r, RunPeriods(aloneB, right)) << "type " << other << " beside " << type;
    }
  }
  // "24DB LP" at the top of its resonance runs away on a huge input on the right only.
  TDSPMultiFilter a, b;
  setUp(a, 7.0f, 1000.0f, 0.6f);
  setUp(b, 7.0f, 1000.0f, 0.999f);
  std::vector<float> l(44, 0.1f), r(44, 1e30f);
  for (int period = 0; period < 50; ++period) a.FillPeriodPair(b, l.data(), r.data());
  for (float v : l) EXPECT_TRUE(std::isfinite(v) && v != 0.0f);
  for (float v : r) EXPECT_TRUE(std::isfinite(v));
}
