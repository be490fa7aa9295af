// FillPeriod cost of every voice-filter type: one control period (44 samples at
// 44.1 kHz) of noise per iteration through the selector's filter. The counter
// "per_sample" is the time per sample; "CopyOnly" measures the refill of the period
// buffer that every iteration includes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPMultiFilter.h"

using namespace tesmora6;

namespace {

constexpr int kPeriod = 44;
constexpr int kSource = 4096;

std::vector<float> Source() {
  std::vector<float> v(kSource + kPeriod);
  for (size_t i = 0; i < v.size(); ++i) v[i] = 0.5f * DSPNoiseTable()[i];
  return v;
}

void SetCounter(benchmark::State& state) {
  state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPeriod,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void CopyOnly(benchmark::State& state) {
  const std::vector<float> source = Source();
  float period[kPeriod];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(period, &source[offset], sizeof period);
    benchmark::DoNotOptimize(period);
    offset = (offset + kPeriod) & (kSource - 1);
  }
  SetCounter(state);
}

void FilterFillPeriod(benchmark::State& state, int type) {
  const std::vector<float> source = Source();
  TDSPMultiFilter selector;
  selector.SetType(static_cast<float>(type));
  TDSPFilter& filter = *selector.Filter();
  filter.SetCutoff(2000.0f);
  filter.SetResonance(0.5f);
  filter.SetBandwidth(0.5f);
  float period[kPeriod];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(period, &source[offset], sizeof period);
    filter.FillPeriod(period);
    benchmark::DoNotOptimize(period);
    offset = (offset + kPeriod) & (kSource - 1);
  }
  SetCounter(state);
}

// A stage's left and right units through `FillPeriodPair` (the voices' path): different
// noise on each side, one period per iteration; "per_sample" is per sample pair.
void FilterFillPeriodPair(benchmark::State& state, int type) {
  const std::vector<float> source = Source();
  TDSPMultiFilter left, right;
  for (TDSPMultiFilter* s : {&left, &right}) {
    s->SetType(static_cast<float>(type));
    s->Filter()->SetCutoff(s == &left ? 2000.0f : 2500.0f);
    s->Filter()->SetResonance(0.5f);
    s->Filter()->SetBandwidth(0.5f);
  }
  float a[kPeriod], b[kPeriod];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(a, &source[offset], sizeof a);
    std::memcpy(b, &source[(offset + 1000) & (kSource - 1)], sizeof b);
    left.FillPeriodPair(right, a, b);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    offset = (offset + kPeriod) & (kSource - 1);
  }
  SetCounter(state);
}

// One recalculation of a type's design, as a voice's control period with a modulated
// cutoff asks for it (the update bracket around a new cutoff).
void FilterRecalculate(benchmark::State& state, int type) {
  TDSPMultiFilter selector;
  selector.SetType(static_cast<float>(type));
  TDSPFilter& filter = *selector.Filter();
  filter.SetResonance(0.5f);
  filter.SetBandwidth(0.5f);
  float cutoff = 2000.0f;
  for (auto _ : state) {
    cutoff = cutoff > 16000.0f ? 2000.0f : cutoff * 1.01f;  // through the whole range
    filter.BeginUpdate();
    filter.SetCutoff(cutoff);
    filter.EndUpdate();
    benchmark::DoNotOptimize(filter.MappedCutoff());
  }
}

// The dense patch's two stages ("24DB LP" then "RBJ LP", left and right) per period: in
// one loop (`FillStagesPair`, fused = 1) or stage after stage (fused = 0).
void FilterStages(benchmark::State& state) {
  const bool fused = state.range(0) != 0;
  const std::vector<float> source = Source();
  TDSPMultiFilter units[4];
  for (int k = 0; k < 4; ++k) {
    units[k].SetType(k < 2 ? 7.0f : 20.0f);
    units[k].Filter()->SetCutoff(k % 2 ? 2500.0f : 2000.0f);
    units[k].Filter()->SetResonance(0.5f);
  }
  float a[kPeriod], b[kPeriod];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(a, &source[offset], sizeof a);
    std::memcpy(b, &source[(offset + 1000) & (kSource - 1)], sizeof b);
    if (fused) {
      units[0].FillStagesPair(units[1], units[2], units[3], a, b);
    } else {
      units[0].FillPeriodPair(units[1], a, b);
      units[2].FillPeriodPair(units[3], a, b);
    }
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    offset = (offset + kPeriod) & (kSource - 1);
  }
  SetCounter(state);
}
BENCHMARK(FilterStages)->ArgName("fused")->Arg(0)->Arg(1);

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("Filter/CopyOnly", CopyOnly);
  for (int type = 0; type < kFilterTypeCount; ++type) {
    const std::string name = "Filter/" + std::to_string(type) + ":" + FilterTypeEntry(type).name;
    benchmark::RegisterBenchmark(name.c_str(), FilterFillPeriod, type);
    const std::string pair = "FilterPair/" + std::to_string(type) + ":" + FilterTypeEntry(type).name;
    benchmark::RegisterBenchmark(pair.c_str(), FilterFillPeriodPair, type);
    const std::string recalculate = "FilterRecalculate/" + std::to_string(type) + ":" + FilterTypeEntry(type).name;
    benchmark::RegisterBenchmark(recalculate.c_str(), FilterRecalculate, type);
  }
  return true;
}();

}  // namespace
