// Cost per sample of the envelope's period fill in each main stage, and of the three-band
// EQ. The "per_sample" counter is the time of one period divided by its 44 samples
// (shown in seconds with an SI prefix, e.g. "1.2n").
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "dsp/DSP3BandEQ.h"
#include "dsp/DSPEnvelopes.h"

using namespace tesmora6;

namespace {

constexpr int kPeriod = 44;  // samples per millisecond at 44.1 kHz

void CountSamples(benchmark::State& state) {
  state.counters["per_sample"] = benchmark::Counter(
      static_cast<double>(kPeriod), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

enum Stage { kAttack, kDecay, kSustain, kRelease, kFinished };

// Sets an envelope up in one stage with a stage so long that the benchmark never leaves
// it; the counter is wound back now and then, outside the measured fills.
void PrepareStage(TDSPADSR& env, Stage stage) {
  const float longTime = 100000.0f;  // ms
  env.SetAttackTime(stage == kAttack ? longTime : 0.0f);
  env.SetDecayTime(stage == kDecay ? longTime : 0.0f);
  env.SetSustainLevel(0.5f);
  env.SetReleaseTime(stage == kFinished ? 1.0f : longTime);
  env.StartNote(0.8f);
  env.SetAge(0);
  float block[kPeriod];
  env.FillPeriod(block);
  env.SetAge(kPeriod);
  if (stage == kRelease || stage == kFinished) {
    env.SetGate(0.0f);
    env.SetAge(0);
    env.FillPeriod(block);
    env.FillPeriod(block);
    env.SetAge(kPeriod);
  }
}

void BM_EnvelopeFillPeriod(benchmark::State& state) {
  const Stage stage = static_cast<Stage>(state.range(0));
  TDSPADSR env;
  PrepareStage(env, stage);
  float block[kPeriod];
  int periods = 0;
  for (auto _ : state) {
    env.FillPeriod(block);
    benchmark::DoNotOptimize(block);
    if (++periods == 50000) {  // 2.2 M samples, far inside the 4.4 M of a long stage
      periods = 0;
      if (stage != kSustain && stage != kFinished) env.SetStageCounter(0);
    }
  }
  CountSamples(state);
}
BENCHMARK(BM_EnvelopeFillPeriod)
    ->ArgName("stage")  // 0 attack, 1 decay, 2 sustain, 3 release, 4 finished
    ->DenseRange(kAttack, kFinished);

// The same stages through the single-sample Tick, for comparison.
void BM_EnvelopeTick(benchmark::State& state) {
  const Stage stage = static_cast<Stage>(state.range(0));
  TDSPADSR env;
  PrepareStage(env, stage);
  TDSPControl& control = env;
  float block[kPeriod];
  int periods = 0;
  for (auto _ : state) {
    for (float& v : block) {
      control.Tick();
      v = control.Out;
    }
    benchmark::DoNotOptimize(block);
    if (++periods == 50000) {
      periods = 0;
      if (stage != kSustain && stage != kFinished) env.SetStageCounter(0);
    }
  }
  CountSamples(state);
}
BENCHMARK(BM_EnvelopeTick)->ArgName("stage")->DenseRange(kAttack, kFinished);

void BM_ThreeBandEqFillPeriod(benchmark::State& state) {
  TDSP3BandEQ eq;
  eq.SetLowGain(6.0f);
  eq.SetMidGain(-3.0f);
  eq.SetHighGain(2.0f);
  eq.SetCentreFrequency(1200.0f);
  eq.SetQ(0.5f);
  std::vector<float> signal(kPeriod);
  for (int i = 0; i < kPeriod; ++i) signal[static_cast<size_t>(i)] = std::sin(0.1f * static_cast<float>(i));
  float block[kPeriod];
  for (auto _ : state) {
    for (int i = 0; i < kPeriod; ++i) block[i] = signal[static_cast<size_t>(i)];
    eq.FillPeriod(block);
    benchmark::DoNotOptimize(block);
  }
  CountSamples(state);
}
BENCHMARK(BM_ThreeBandEqFillPeriod);

// The EQ as the EQ effect drives it: one Tick per sample.
void BM_ThreeBandEqTick(benchmark::State& state) {
  TDSP3BandEQ eq;
  eq.SetLowGain(6.0f);
  eq.SetMidGain(-3.0f);
  eq.SetHighGain(2.0f);
  eq.SetCentreFrequency(1200.0f);
  eq.SetQ(0.5f);
  TDSPControl& control = eq;
  std::vector<float> signal(kPeriod);
  for (int i = 0; i < kPeriod; ++i) signal[static_cast<size_t>(i)] = std::sin(0.1f * static_cast<float>(i));
  float block[kPeriod];
  for (auto _ : state) {
    for (int i = 0; i < kPeriod; ++i) {
      control.In = signal[static_cast<size_t>(i)];
      control.Tick();
      block[i] = control.Out;
    }
    benchmark::DoNotOptimize(block);
  }
  CountSamples(state);
}
BENCHMARK(BM_ThreeBandEqTick);

}  // namespace
