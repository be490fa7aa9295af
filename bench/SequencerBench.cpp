// Cost of one control period of the step sequencer (AdvancePeriod: step values, envelope,
// outputs and the 44-sample gain block at 44.1 kHz). The time per iteration is the time per
// period; "per_sample" divides it by the period's 44 samples.
#include <benchmark/benchmark.h>

#include "engine/DSPSequencer.h"

using namespace tesmora6;

namespace {

constexpr int kPeriod = 44;

void CountSamples(benchmark::State& state) {
  state.counters["per_sample"] = benchmark::Counter(
      static_cast<double>(kPeriod), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A busy sequencer: 32 steps in ticks at 120 BPM with Off and Tie steps, swing, glide, an
// octave arpeggio, and an envelope cycling through delay, attack, peak, release and space
// (a cycle ends every 35 ticks, about 146 periods) through the "DB Log" curve with every
// envelope amount in use.
void SetUpBusy(TDSPSequencer& seq) {
  seq.SetTempo(120.0);
  seq.SetUnit(TDSPSequencer::kUnitTick);
  seq.SetSteps(32);
  seq.SetLen(6.0);  // short steps: a new step every 25 periods
  seq.SetLenF(0.6);
  seq.SetSwing(0.6f);
  seq.SetGlide(0.3f);
  seq.SetGateOff(0.1f);
  seq.SetMode(6);  // "UpDown+"
  seq.SetOctaves(3);
  seq.SetPitchMode(TDSPSequencer::kModeLevelOctave);
  seq.SetOffStepGate(0.2f);
  seq.SetDelay(2.0);
  seq.SetAttack(5.0);
  seq.SetPeak(10.0);
  seq.SetRelease(8.0);
  seq.SetSpace(10.0);
  seq.SetSpaceRandom(true);
  seq.SetEnvCurve(1);
  seq.SetGateEnvAmt(1.0f);
  seq.SetLevelEnvAmt(0.5f);
  seq.SetPitchEnvAmt(0.5f);
  for (int i = 0; i < 32; ++i) {
    int value = (i * 23) % 127 - 63;
    if (i % 7 == 3) value = TDSPSequencer::kOffStep;
    if (i % 11 == 5) value = TDSPSequencer::kTieStep;
    seq.SetStep(i, value);
  }
  seq.Restart();
}

void BM_SequencerAdvancePeriodBusy(benchmark::State& state) {
  TDSPSequencer seq;
  SetUpBusy(seq);
  for (auto _ : state) {
    seq.AdvancePeriod();
    benchmark::DoNotOptimize(seq.GainBlock()[kPeriod - 1]);
    benchmark::DoNotOptimize(seq.GateOut());
  }
  CountSamples(state);
}
BENCHMARK(BM_SequencerAdvancePeriodBusy);

// The same sequencer switched off: the idle gain block and the running clock.
void BM_SequencerAdvancePeriodIdle(benchmark::State& state) {
  TDSPSequencer seq;
  SetUpBusy(seq);
  seq.SetOn(false);
  for (auto _ : state) {
    seq.AdvancePeriod();
    benchmark::DoNotOptimize(seq.GainBlock()[kPeriod - 1]);
  }
  CountSamples(state);
}
BENCHMARK(BM_SequencerAdvancePeriodIdle);

}  // namespace
