// What one instance costs before any sound or editor: a host's scan creates and destroys
// instances by the dozen, and every engine test makes one. Time is the CPU time of the
// calling thread for creation, initialisation (the factory bank read in) and destruction;
// "heapBytes" is what the heap holds for one live instance, measured with mallinfo2()
// around its creation, after a first instance has filled the process-wide tables. With the
// argument 1 the editor's whole tree is built with each instance too, as an open editor
// has it (and as every instance once had it), for a comparison in the same run.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

#include "bench/BenchClock.h"
#include "gui/Tesmora6Editor.h"
#include "instrument/Tesmora6.h"

using namespace tesmora6;

namespace {

struct TInstance {
  std::unique_ptr<TTesmora6> synth;
  std::unique_ptr<TTesmora6Editor> editor;
  void reset() {
    editor.reset();
    synth.reset();
  }
};

TInstance MakeInstance(bool withEditor) {
  TInstance instance{std::make_unique<TTesmora6>(), nullptr};
  instance.synth->Initialise();
  if (withEditor) {
    instance.editor = std::make_unique<TTesmora6Editor>(*instance.synth);
    instance.editor->Build();
  }
  return instance;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_InstanceCreation(benchmark::State& state) {
  const bool withEditor = state.range(0) != 0;
  MakeInstance(withEditor).reset();  // the shared tables exist before the first measured instance
  std::vector<double> seconds;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    TInstance instance = MakeInstance(withEditor);
    benchmark::DoNotOptimize(instance.synth.get());
    instance.reset();
    seconds.push_back(ThreadSeconds() - start);
  }
  const size_t before = HeapInUse();
  TInstance instance = MakeInstance(withEditor);
  const size_t after = HeapInUse();
  instance.reset();
  state.counters["medianMs"] = Median(seconds) * 1e3;
  state.counters["heapBytes"] = static_cast<double>(after - before);
}
BENCHMARK(BM_InstanceCreation)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
