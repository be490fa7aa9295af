// Time per sample of the shapers' period fill: one period of a 441 Hz saw (M = 44 at
// 44.1 kHz) is copied into the work array and shaped in place, as the render does with a
// voice's block. "Shaper/copy only" measures the copy alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dsp/DSPMultiShaper.h"
#include "dsp/DSPShaper.h"
#include "dsp/DSPShaperTable.h"

using namespace tesmora6;

namespace {

constexpr int kPeriod = 44;
constexpr float kAmount = 0.7f;

TDSPProcessInfo& BenchContext() {
  static TDSPProcessInfo info(44100, 44);
  return info;
}

// 100 saw cycles of 100 samples each from -1 to 1.
const std::vector<float>& Saw() {
  static const std::vector<float> saw = [] {
    std::vector<float> v(100 * 100);
    for (size_t i = 0; i < v.size(); ++i) v[i] = -1.0f + 2.0f * static_cast<float>(i % 100) / 100.0f;
    return v;
  }();
  return saw;
}

void SetCounters(benchmark::State& state) {
  const double samples = static_cast<double>(state.iterations()) * kPeriod;
  state.SetItemsProcessed(static_cast<int64_t>(samples));
  state.counters["per_sample"] = benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void RunPeriods(benchmark::State& state, TDSPShaper* shaper) {
  const std::vector<float>& saw = Saw();
  alignas(16) float work[kPeriod + 16];
  size_t offset = 0;
  for (auto _ : state) {
    std::copy_n(saw.data() + offset, kPeriod, work);
    if (shaper) shaper->FillPeriod(work);
    benchmark::DoNotOptimize(work);
    benchmark::ClobberMemory();
    offset += kPeriod;
    if (offset + kPeriod > saw.size()) offset = 0;
  }
  SetCounters(state);
}

void BM_ShaperFillPeriod(benchmark::State& state, int index) {
  auto shaper = CreateShaper(index);
  shaper->ContextChanged(&BenchContext());
  shaper->SetAmount(kAmount);
  RunPeriods(state, shaper.get());
}

void BM_MultiShaperFillPeriod(benchmark::State& state, int index) {
  TDSPMultiShaper multi;
  multi.ContextChanged(&BenchContext());
  multi.SetAmount(kAmount);
  multi.SetType(static_cast<float>(index));
  RunPeriods(state, &multi);
}

void BM_CopyOnly(benchmark::State& state) { RunPeriods(state, nullptr); }

[[maybe_unused]] const bool kRegistered = [] {
  benchmark::RegisterBenchmark("Shaper/copy only", BM_CopyOnly);
  for (int index = 0; index < kShaperMemberCount; ++index) {
    if (!ShaperMember(index).create) continue;
    const std::string name = ShaperMember(index).name;
    benchmark::RegisterBenchmark(("Shaper/" + std::to_string(index) + " " + (name.empty() ? "Test" : name)).c_str(),
                                 BM_ShaperFillPeriod, index);
  }
  benchmark::RegisterBenchmark("MultiShaper/31 Fuzz2", BM_MultiShaperFillPeriod, 31);
  return true;
}();

}  // namespace
