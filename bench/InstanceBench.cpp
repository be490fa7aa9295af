// What one instance costs before any sound or editor: a host's scan creates and destroys
// instances by the dozen, and every engine test makes one. Time is the CPU time of the
// calling thread for creation, initialisation (the factory bank read in) and destruction;
// "heapBytes" is what the heap holds for one live instance, measured with mallinfo2()
// around its creation, after a first instance has filled the process-wide tables.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

#include "bench/BenchClock.h"
#include "instrument/Tesmora6.h"

namespace {

std::unique_ptr<TTesmora6> MakeInstance() {
  auto synth = std::make_unique<TTesmora6>();
  synth->Initialise(nullptr);
  return synth;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_InstanceCreation(benchmark::State& state) {
  MakeInstance().reset();  // the shared tables exist before the first measured instance
  std::vector<double> seconds;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    auto synth = MakeInstance();
    benchmark::DoNotOptimize(synth.get());
    synth.reset();
    seconds.push_back(ThreadSeconds() - start);
  }
  const size_t before = HeapInUse();
  auto synth = MakeInstance();
  const size_t after = HeapInUse();
  synth.reset();
  state.counters["medianMs"] = Median(seconds) * 1e3;
  state.counters["heapBytes"] = static_cast<double>(after - before);
}
BENCHMARK(BM_InstanceCreation)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
