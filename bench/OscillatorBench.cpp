// Nanoseconds per sample of FillPeriod for every waveform: one benchmark per waveform
// number, named "Oscillator/<number>_<name>". items_per_second counts samples, and the
// counter ns_per_sample gives the figure directly.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "dsp/DSPBaseOscillator.h"
#include "dsp/DSPWaveformTable.h"

using namespace tesmora6;

namespace {

void FillPeriodBench(benchmark::State& state, int index, float pitch = 57.0f) {
  std::unique_ptr<TDSPBaseOscillator> osc = CreateWaveform(index);
  osc->ResetPhase();
  osc->SetPitch(pitch);  // 57: 220 Hz
  osc->SetGain(0.8f);
  const int32_t m = osc->Context()->samplesPerMs;
  std::vector<float> out(static_cast<size_t>(m) + 16);
  for (auto _ : state) {
    osc->FillPeriod(out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  const double samples = static_cast<double>(state.iterations()) * m;
  state.SetItemsProcessed(static_cast<int64_t>(samples));
  state.counters["ns_per_sample"] =
      benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const bool kRegistered = [] {
  for (int i = 0; i < kWaveformCount; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "Oscillator/%02d_%s", i, WaveformName(i));
    benchmark::RegisterBenchmark(name, FillPeriodBench, i, 57.0f);
  }
  // "Saw AA" costs more per sample the shorter its cycle (each cycle starts anew, and its
  // phase crosses a binade every few samples): from 55 Hz to 3.5 kHz.
  for (float pitch : {33.0f, 81.0f, 105.0f}) {
    char name[64];
    std::snprintf(name, sizeof name, "OscillatorPitch/38_Saw AA/%g", static_cast<double>(pitch));
    benchmark::RegisterBenchmark(name, FillPeriodBench, 38, pitch);
  }
  return true;
}();

}  // namespace
