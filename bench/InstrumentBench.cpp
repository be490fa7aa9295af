// The whole instrument through the VST entry points, as a host drives it.
//
// Costs are CPU time of the calling thread (CLOCK_THREAD_CPUTIME_ID), so that other work on
// a shared machine does not count. The voice costs render Tesmora6 and Debian's amsynth VST
// (the peer) in the same run, alternately, and report the medians of several rounds side
// by side with their ratio. The change latencies time the call on the host's thread and the
// processReplacing after it against an ordinary block. CI=... shortens the long runs;
// TESMORA6_BENCH_PLUGIN=path measures another build of the library (A/B comparisons).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "bench/BenchClock.h"
#include "dsp/DSPFilterTypes.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"
#include "tests/TestHostMidi.h"
#include "tests/support/FakeHost.h"
#include "tools/host/VstHost.h"

using namespace tesmora6;

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 512;
constexpr double kBlockMs = 1000.0 * kBlock / kRate;
const char* const kPeerPath = "/usr/lib/vst/amsynth_vst.so";

bool ShortRun() { return std::getenv("CI") != nullptr; }

// The host of the instances this program loads itself: it answers the version only.
TFakeHost benchHost = [] {
  TFakeHost host;
  host.answerTime = false;
  return host;
}();

const char* PluginPath() {
  const char* path = std::getenv("TESMORA6_BENCH_PLUGIN");
  return path && *path ? path : TESMORA6_PLUGIN_PATH;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The parameter ranges, read from a product object of this build.
const TTesmora6& ParameterTable() {
  static TTesmora6* table = [] {
    auto* t = new TTesmora6();
    t->Initialise();
    return t;
  }();
  return *table;
}

void Set(TVstHost& host, Param::Id id, float real) {
  const auto& p = ParameterTable().ParamInfo(id);
  host.Effect()->setParameter(host.Effect(), id, (real - p.minimum) / (p.maximum - p.minimum));
}

// Every parameter at its default: the default program, whatever the factory bank holds.
void Defaults(TVstHost& host) {
  for (int32_t i = 0; i < TTesmora6::kParamCount; ++i) {
    host.Effect()->setParameter(host.Effect(), i, ParameterTable().ParamInfo(i).defaultValue);
  }
}

// Six table waveforms, both filter stages and the shaper on, three LFOs modulating,
// eight matrix slots in use, both sequencers on; `variant` 1 picks other waveforms and
// filter types (the second dense program of the program-change benchmark).
void DensePatch(TVstHost& host, int variant = 0) {
  using namespace Param;
  Defaults(host);
  const float waveforms[2][6] = {{49, 53, 59, 65, 73, 81}, {50, 54, 66, 70, 77, 84}};
  const Id wave[6] = {Osc1Waveform, Osc2Waveform, Osc3Waveform, Osc4Waveform, Osc5Waveform, Osc6Waveform};
  for (int i = 0; i < 6; ++i) Set(host, wave[i], waveforms[variant][i]);
  Set(host, Voices, 32.0f);
  Set(host, Flt1On, 1.0f);
  Set(host, Flt1Type, variant ? 8.0f : 7.0f);  // "24DB LP" / "24DB LP2"
  Set(host, Flt2On, 1.0f);
  Set(host, Flt2Type, variant ? 23.0f : 20.0f);  // "RBJ BPFP" / "RBJ LP"
  Set(host, Flt1CutoffLfo1, 800.0f);
  Set(host, Shape, 1.0f);
  Set(host, ShapeType, 30.0f);  // "Fuzz"
  Set(host, Osc1PitchLfo2, 400.0f);
  Set(host, Osc1AmpLfo3, 600.0f);
  const Id sources[8] = {ModSrc1, ModSrc2, ModSrc3, ModSrc4, ModSrc5, ModSrc6, ModSrc7, ModSrc8};
  const float src[8] = {1, 2, 3, 4, 12, 13, 14, 15};
  const float dst[8] = {26, 3, 7, 58, 42, 60, 9, 1};
  for (int n = 0; n < 8; ++n) {
    Set(host, sources[n], src[n]);
    Set(host, static_cast<Id>(sources[n] + 1), dst[n]);
    Set(host, static_cast<Id>(sources[n] + 2), 700.0f);
  }
  Set(host, Seq1On, 1.0f);
  Set(host, Seq2On, 1.0f);
  Set(host, RvbOn, 1.0f);
}

std::vector<THostMidiEvent> Chord(int voices, uint8_t status = 0x90) {
  TTestMidiMessages chord;
  for (int v = 0; v < voices; ++v) {
    chord.push_back(
        {0, {status, static_cast<uint8_t>(36 + (v * 7) % 60), static_cast<uint8_t>(status == 0x90 ? 100 : 0)}});
  }
  return HostMidiEvents(chord);
}

struct TBlocks {
  std::vector<float> l = std::vector<float>(kBlock), r = std::vector<float>(kBlock);
  void Run(TVstHost& host, const std::vector<THostMidiEvent>& events = {}) {
    host.Process(events, l.data(), r.data(), kBlock);
  }
};

// CPU seconds of this thread to render `seconds` of held notes (the notes start in the
// first block).
double RenderHeld(TVstHost& host, int voices, double seconds) {
  TBlocks b;
  b.Run(host);  // applies the patch, builds the pool
  const auto blocks = static_cast<int64_t>(seconds * kRate / kBlock);
  const double start = ThreadSeconds();
  b.Run(host, Chord(voices));
  for (int64_t i = 1; i < blocks; ++i) b.Run(host);
  return ThreadSeconds() - start;
}

// ---------------------------------------------------------------- voice cost beside the peer

enum TPatch { kDense, kDefault };

void BM_VoiceCost(benchmark::State& state) {
  const auto patch = static_cast<TPatch>(state.range(0));
  const int voices = static_cast<int>(state.range(1));
  if (!std::filesystem::exists(kPeerPath)) {
    state.SkipWithError("amsynth is not installed");
    return;
  }
  const double seconds = ShortRun() ? 1.0 : 4.0;
  const int rounds = ShortRun() ? 1 : 3;
  auto ours = std::make_shared<TVstLibrary>(PluginPath());
  auto peer = std::make_shared<TVstLibrary>(kPeerPath);
  std::vector<double> t6, p;
  for (auto _ : state) {
    for (int round = 0; round < rounds; ++round) {
      {
        TVstHost host(ours);
        host.Start(kRate, kBlock);
        if (patch == kDense)
          DensePatch(host);
        else
          Defaults(host);
        t6.push_back(1000.0 * RenderHeld(host, voices, seconds) / (seconds * voices));
      }
      {
        TVstHost host(peer);
        host.Start(kRate, kBlock);
        p.push_back(1000.0 * RenderHeld(host, voices, seconds) / (seconds * voices));
      }
    }
  }
  const double a = Median(t6), b = Median(p);
  state.counters["t6_ms_per_voice_s"] = a;
  state.counters["peer_ms_per_voice_s"] = b;
  state.counters["ratio"] = b > 0.0 ? a / b : 0.0;
}
BENCHMARK(BM_VoiceCost)
    ->ArgNames({"default", "voices"})
    ->Args({kDense, 8})
    ->Args({kDense, 32})
    ->Args({kDefault, 8})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- changes while 32 voices sound

// A dense patch with 32 held notes; programs 1 and 2 hold the two dense variants.
struct TBusyInstance {
  std::shared_ptr<TVstLibrary> library = std::make_shared<TVstLibrary>(PluginPath());
  TVstHost host{library};
  TBlocks blocks;
  TBusyInstance() {
    host.Start(kRate, kBlock);
    for (int program : {1, 2}) {
      host.Dispatch(vst::effSetProgram, 0, program);
      DensePatch(host, program - 1);
    }
    host.Dispatch(vst::effSetProgram, 0, 1);
    blocks.Run(host);
    blocks.Run(host, Chord(32));
    for (int i = 0; i < 40; ++i) blocks.Run(host);
  }
  double TimedBlock() {
    const double start = ThreadSeconds();
    blocks.Run(host);
    return ThreadSeconds() - start;
  }
};

using TChange = std::function<void(TVstHost&, int)>;

// `replay`: the change ends the held notes (a new voice pool), so they start again
// before the ordinary blocks are timed.
void MeasureChange(benchmark::State& state, const TChange& change, bool replay = false) {
  TBusyInstance busy;
  std::vector<double> callCpu, callWall, nextBlock, normalBlock;
  int n = 0;
  for (auto _ : state) {
    for (int i = 0; i < 4; ++i) normalBlock.push_back(busy.TimedBlock());
    const double wall = WallSeconds(), cpu = ThreadSeconds();
    change(busy.host, ++n);
    callCpu.push_back(ThreadSeconds() - cpu);
    callWall.push_back(WallSeconds() - wall);
    nextBlock.push_back(busy.TimedBlock());
    if (replay) {
      busy.blocks.Run(busy.host, Chord(32));
      for (int i = 0; i < 4; ++i) busy.blocks.Run(busy.host);
    }
  }
  state.counters["call_cpu_ms"] = 1000.0 * Median(callCpu);
  state.counters["call_wall_ms"] = 1000.0 * Median(callWall);
  state.counters["next_block_ms"] = 1000.0 * Median(nextBlock);
  state.counters["normal_block_ms"] = 1000.0 * Median(normalBlock);
}

void BM_ChangeProgram(benchmark::State& state) {
  MeasureChange(state, [](TVstHost& h, int n) { h.Dispatch(vst::effSetProgram, 0, 1 + n % 2); });
}
void BM_ChangeWaveform(benchmark::State& state) {
  MeasureChange(state, [](TVstHost& h, int n) { Set(h, Param::Osc1Waveform, n % 2 ? 67.0f : 49.0f); });
}
void BM_ChangeFilterType(benchmark::State& state) {
  MeasureChange(state, [](TVstHost& h, int n) { Set(h, Param::Flt1Type, n % 2 ? 20.0f : 7.0f); });
}
void BM_ChangeReverbSize(benchmark::State& state) {
  MeasureChange(state, [](TVstHost& h, int n) { Set(h, Param::RvbSize, n % 2 ? 127.0f : 64.0f); });
}
void BM_ChangeReverbRoom(benchmark::State& state) {
  MeasureChange(state, [](TVstHost& h, int n) { Set(h, Param::RvbMode, static_cast<float>(n % 4)); });
}
void BM_ChangeVoices(benchmark::State& state) {
  MeasureChange(
      state, [](TVstHost& h, int n) { Set(h, Param::Voices, n % 2 ? 16.0f : 32.0f); }, true);
}
BENCHMARK(BM_ChangeProgram)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeWaveform)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeFilterType)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeReverbSize)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeReverbRoom)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeVoices)->Iterations(20)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- worst-case block

// A busy session: notes coming and going, program changes, waveforms and filter types
// automated. Reports the 99.9th percentile of processReplacing against the block length.
void BM_BusySessionWorstBlock(benchmark::State& state) {
  const double seconds = ShortRun() ? 5.0 : 60.0;
  const auto count = static_cast<int64_t>(seconds * kRate / kBlock);
  std::vector<double> times;
  for (auto _ : state) {
    TBusyInstance busy;
    TVstHost& h = busy.host;
    for (int64_t b = 0; b < count; ++b) {
      TTestMidiMessages midi;
      if (b % 7 == 0) {
        const auto frame = static_cast<int32_t>((b * 37) % kBlock);
        midi.push_back({frame, {0x90, static_cast<uint8_t>(40 + (b * 5) % 40), 90}});
        midi.push_back({frame, {0x80, static_cast<uint8_t>(40 + ((b - 21) * 5) % 40), 90}});
      }
      const std::vector<THostMidiEvent> events = HostMidiEvents(midi);
      if (b % 173 == 0) h.Dispatch(vst::effSetProgram, 0, 1 + (b / 173) % 2);
      if (b % 41 == 0) Set(h, Param::Osc2Waveform, static_cast<float>(33 + (b / 41) % 60));
      if (b % 59 == 0) Set(h, Param::Flt1Type, static_cast<float>((b / 59) % kFilterTypeCount));
      const double start = ThreadSeconds();
      busy.blocks.Run(h, events);
      times.push_back(ThreadSeconds() - start);
    }
  }
  const double p999 = 1000.0 * Percentile(times, 0.999);
  state.counters["p999_ms"] = p999;
  state.counters["p999_of_block_pct"] = 100.0 * p999 / kBlockMs;
  state.counters["median_ms"] = 1000.0 * Median(times);
  state.counters["max_ms"] = 1000.0 * *std::max_element(times.begin(), times.end());
  state.counters["max_at_block"] = static_cast<double>(std::max_element(times.begin(), times.end()) - times.begin());
}
BENCHMARK(BM_BusySessionWorstBlock)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- release tail

// A held note against its release tail into silence: CPU per second of the sustained
// notes and of the tail's last stretch, where filters and reverb ring down to nothing.
void BM_ReleaseTail(benchmark::State& state) {
  using namespace Param;
  auto library = std::make_shared<TVstLibrary>(PluginPath());
  std::vector<double> held, tail;
  for (auto _ : state) {
    TVstHost host(library);
    host.Start(kRate, kBlock);
    Defaults(host);
    Set(host, Osc1Waveform, 0.0f);
    Set(host, Env1Release, 2400.0f);  // time cents: 4 s
    Set(host, Env2Release, 2400.0f);
    Set(host, Flt1On, 1.0f);
    Set(host, Flt1Type, 0.0f);  // "BW LP"
    Set(host, Flt2On, 1.0f);
    Set(host, Flt2Type, 36.0f);  // "RND1"
    Set(host, RvbOn, 1.0f);
    TBlocks b;
    b.Run(host);
    b.Run(host, Chord(8));
    const int64_t second = static_cast<int64_t>(kRate / kBlock);
    double start = ThreadSeconds();
    for (int64_t i = 0; i < 2 * second; ++i) b.Run(host);
    held.push_back((ThreadSeconds() - start) / 2.0);
    b.Run(host, Chord(8, 0x80));
    for (int64_t i = 0; i < 3 * second; ++i) b.Run(host);
    start = ThreadSeconds();
    for (int64_t i = 0; i < 2 * second; ++i) b.Run(host);
    tail.push_back((ThreadSeconds() - start) / 2.0);
  }
  state.counters["held_ms_per_s"] = 1000.0 * Median(held);
  state.counters["tail_ms_per_s"] = 1000.0 * Median(tail);
  state.counters["tail_over_held"] = Median(tail) / Median(held);
}
BENCHMARK(BM_ReleaseTail)->Iterations(3)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- load and scan

// What a host's plug-in scan does: load the library, create an instance, open it, close it.
// Each run happens in a fresh child process so that the library is really loaded.
void BM_LoadAndCreate(benchmark::State& state) {
  std::vector<double> loads, creates, loadCpu, createCpu;
  for (auto _ : state) {
    int fds[2];
    if (pipe(fds) != 0) {
      state.SkipWithError("pipe failed");
      return;
    }
    const pid_t child = fork();
    if (child == 0) {
      close(fds[0]);
      double result[4] = {-1.0, -1.0, -1.0, -1.0};
      if (!dlopen(PluginPath(), RTLD_NOW | RTLD_NOLOAD)) {
        const double t0 = WallSeconds(), c0 = ThreadSeconds();
        void* handle = dlopen(PluginPath(), RTLD_NOW | RTLD_LOCAL);
        const double t1 = WallSeconds(), c1 = ThreadSeconds();
        auto entry = handle ? reinterpret_cast<vst::PluginMainProc>(dlsym(handle, "main")) : nullptr;
        if (entry) {
          vst::AEffect* e = entry(&FakeHostCallback<&benchHost>);
          if (e) {
            e->dispatcher(e, vst::effOpen, 0, 0, nullptr, 0.0f);
            result[0] = t1 - t0;
            result[1] = WallSeconds() - t1;
            result[2] = c1 - c0;
            result[3] = ThreadSeconds() - c1;
            e->dispatcher(e, vst::effClose, 0, 0, nullptr, 0.0f);
          }
        }
      }
      (void)!write(fds[1], result, sizeof result);
      _exit(0);
    }
    close(fds[1]);
    double result[4] = {-1.0, -1.0, -1.0, -1.0};
    (void)!read(fds[0], result, sizeof result);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    if (result[0] < 0.0) {
      state.SkipWithError("the library could not be loaded in a fresh process");
      return;
    }
    loads.push_back(result[0]);
    creates.push_back(result[1]);
    loadCpu.push_back(result[2]);
    createCpu.push_back(result[3]);
  }
  // CPU time of the loading thread, which other work on the machine does not inflate.
  state.counters["load_cpu_ms"] = 1000.0 * Median(loadCpu);
  state.counters["create_cpu_ms"] = 1000.0 * Median(createCpu);
  state.counters["load_ms"] = 1000.0 * Median(loads);
  state.counters["create_ms"] = 1000.0 * Median(creates);
  state.counters["total_ms"] = 1000.0 * (Median(loads) + Median(creates));
}
BENCHMARK(BM_LoadAndCreate)->Iterations(5)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- asleep

// A silent instance asleep: the cost of one 512-frame call.
void BM_Tesmora6Asleep(benchmark::State& state) {
  auto library = std::make_shared<TVstLibrary>(PluginPath());
  TVstHost host(library);
  host.Start(kRate, kBlock);
  TBlocks b;
  for (int i = 0; i < 200; ++i) b.Run(host);  // > 2048 ms
  for (auto _ : state) b.Run(host);
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_Tesmora6Asleep);

}  // namespace
