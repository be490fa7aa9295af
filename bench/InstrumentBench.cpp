// The whole instrument through the VST entry points: a dense patch with 1, 8 and 32 held
// voices rendered for 10 s at 44.1 kHz (real-time factor and cost per voice-second), the
// same notes through a third-party instrument for comparison, and a silent instance.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "instrument/Tesmora6.h"
#include "tools/host/VstHost.h"
#include "instrument/Tesmora6ParamIds.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 512;
constexpr double kSeconds = 10.0;

// The parameter ranges, read from a product object of this build.
const TTesmora6& ParameterTable() {
  static TTesmora6* table = [] {
    auto* t = new TTesmora6();
    t->Initialise(nullptr);
    return t;
  }();
  return *table;
}

void Set(TVstHost& host, int32_t index, float real) {
  const auto& p = ParameterTable().ParamInfo(index);
  host.Effect()->setParameter(host.Effect(), index, (real - p.minimum) / (p.maximum - p.minimum));
}

// Six table waveforms, both filter stages and the shaper on, three LFOs modulating,
// eight matrix slots in use, both sequencers on.
void DensePatch(TVstHost& host) {
  const int waveforms[6] = {49, 53, 59, 65, 73, 81};
  for (int i = 0; i < 6; ++i) Set(host, Param::Osc1Waveform + i, static_cast<float>(waveforms[i]));
  Set(host, Param::Voices, 32.0f);                     // voices
  Set(host, Param::Flt1On, 1.0f); Set(host, Param::Flt1Type, 7.0f);  // filter 1: "24DB LP"
  Set(host, Param::Flt2On, 1.0f); Set(host, Param::Flt2Type, 20.0f); // filter 2: "RBJ LP"
  Set(host, Param::Flt1CutoffLfo1, 800.0f);                     // Cutoff->LFO1
  Set(host, Param::Shape, 1.0f); Set(host, Param::ShapeType, 30.0f); // shaper "Fuzz"
  Set(host, Param::Osc1PitchLfo2, 400.0f);                    // OSC1 PITCH->LFO2
  Set(host, Param::Osc1AmpLfo3, 600.0f);                    // OSC1.AMP->LFO3
  const int sources[8] = {1, 2, 3, 4, 12, 13, 14, 15};
  const int destinations[8] = {26, 3, 7, 58, 42, 60, 9, 1};
  for (int n = 0; n < 8; ++n) {
    Set(host, Param::ModSrc1 + 3 * n, static_cast<float>(sources[n]));
    Set(host, Param::ModDst1 + 3 * n, static_cast<float>(destinations[n]));
    Set(host, Param::ModAmt1 + 3 * n, 700.0f);
  }
  Set(host, Param::Seq1On, 1.0f);                      // Seq1 on
  Set(host, Param::Seq2On, 1.0f);                      // Seq2 on
}

std::vector<THostMidiEvent> Chord(int voices) {
  std::vector<THostMidiEvent> events;
  for (int v = 0; v < voices; ++v) {
    THostMidiEvent e;
    e.bytes[0] = 0x90;
    e.bytes[1] = static_cast<uint8_t>(36 + (v * 7) % 60);
    e.bytes[2] = 100;
    events.push_back(e);
  }
  return events;
}

// Renders kSeconds of held notes; returns the wall-clock seconds it took.
double RenderHeld(TVstHost& host, int voices) {
  std::vector<float> l(kBlock), r(kBlock);
  host.Process({}, l.data(), r.data(), kBlock);  // applies the patch, builds the pool
  const auto start = std::chrono::steady_clock::now();
  const auto blocks = static_cast<int64_t>(kSeconds * kRate / kBlock);
  host.Process(Chord(voices), l.data(), r.data(), kBlock);
  for (int64_t b = 1; b < blocks; ++b) host.Process({}, l.data(), r.data(), kBlock);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(benchmark::State& state, double seconds, int voices) {
  state.SetIterationTime(seconds);
  state.counters["realtime_factor"] = kSeconds / seconds;
  state.counters["ms_per_voice_second"] = 1000.0 * seconds / (kSeconds * voices);
}

void BM_Tesmora6DensePatch(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  auto library = std::make_shared<TVstLibrary>(TESMORA6_PLUGIN_PATH);
  for (auto _ : state) {
    TVstHost host(library);
    host.Start(kRate, kBlock);
    DensePatch(host);
    Report(state, RenderHeld(host, voices), voices);
  }
}
BENCHMARK(BM_Tesmora6DensePatch)->Arg(1)->Arg(8)->Arg(32)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same notes through Debian's amsynth VST plug-in with its default patch.
void BM_ThirdPartyInstrument(benchmark::State& state) {
  const char* path = "/usr/lib/vst/amsynth_vst.so";
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("amsynth is not installed");
    return;
  }
  const int voices = static_cast<int>(state.range(0));
  auto library = std::make_shared<TVstLibrary>(path);
  for (auto _ : state) {
    TVstHost host(library);
    host.Start(kRate, kBlock);
    Report(state, RenderHeld(host, voices), voices);
  }
}
BENCHMARK(BM_ThirdPartyInstrument)->Arg(1)->Arg(8)->Arg(32)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// A silent instance asleep: the cost of one 512-frame call.
void BM_Tesmora6Asleep(benchmark::State& state) {
  auto library = std::make_shared<TVstLibrary>(TESMORA6_PLUGIN_PATH);
  TVstHost host(library);
  host.Start(kRate, kBlock);
  std::vector<float> l(kBlock), r(kBlock);
  for (int i = 0; i < 200; ++i) host.Process({}, l.data(), r.data(), kBlock);  // > 2048 ms
  for (auto _ : state) host.Process({}, l.data(), r.data(), kBlock);
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_Tesmora6Asleep);

}  // namespace
