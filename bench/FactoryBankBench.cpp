// The factory programs as musicians play them, beside the peer's own bank in the same run.
//
// Every program of the factory bank plays one phrase through the VST entry points: an
// eight-note chord held for half the phrase, then a run of sixteenths over two octaves
// whose releases overlap, so that about eight voices sound throughout. The cost is CPU time
// of the rendering thread per voice-second (ms of CPU for one voice sounding one second).
// Debian's amsynth plays the same phrase on each of its own programs, alternately with
// ours, so that the two sides share the machine's moods. The report gives the median, the
// 90th percentile and the worst program of each side with their ratios, then the ten
// dearest programs with where their time goes: re-rendered with the effects chain off, and
// then also with the filters and shapers off, the differences are the effects' share and
// the filters' and shapers' share; the rest is oscillators, envelopes and modulation, and
// the waveforms the program plays are listed beside it.
//
// CI=... plays every fourth program for a shorter phrase (report only: no timing is checked).
// TESMORA6_BENCH_PROGRAMS=53,30 plays only the programs listed, ours only, for a profiler.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "engine/Tesmora6ParamIds.h"
#include "tests/TestHostMidi.h"
#include "tools/host/VstHost.h"

using namespace tesmora6;

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 512;
constexpr int kVoices = 8;
const char* const kPeerPath = "/usr/lib/vst/amsynth_vst.so";

bool ShortRun() { return std::getenv("CI") != nullptr; }

const char* PluginPath() {
  const char* path = std::getenv("TESMORA6_BENCH_PLUGIN");
  return path && *path ? path : TESMORA6_PLUGIN_PATH;
}

// The phrase as events per host block: the chord for the first half, then sixteenths (each
// held for two steps, so two overlap with the chord's and each other's releases).
std::vector<std::vector<THostMidiEvent>> Phrase(double seconds) {
  const auto blocks = static_cast<size_t>(seconds * kRate / kBlock);
  TTestMidiMessages phrase;
  auto at = [&](double t, bool on, int key) {
    const auto status = static_cast<uint8_t>(on ? 0x90 : 0x80), velocity = static_cast<uint8_t>(on ? 100 : 0);
    phrase.push_back({static_cast<int32_t>(t * kRate), {status, static_cast<uint8_t>(key), velocity}});
  };
  const int chord[kVoices] = {36, 43, 48, 52, 55, 60, 64, 67};
  const double half = seconds / 2.0;
  for (int k : chord) {
    at(0.0, true, k);
    at(half, false, k);
  }
  const int run[] = {48, 51, 53, 55, 58, 60, 63, 65, 67, 70, 72, 75, 77, 79, 82, 84};
  const double step = 0.125;
  int i = 0;
  for (double t = half; t + step < seconds; t += step, ++i) {
    const int key = run[i % 16];
    at(t, true, key);
    at(std::min(t + 2 * step, seconds - 0.01), false, key);
  }
  std::vector<std::vector<THostMidiEvent>> plan(blocks);
  for (size_t b = 0; b < blocks; ++b) {
    plan[b] = HostMidiEvents(MidiInBlock(phrase, static_cast<int32_t>(b) * kBlock, kBlock));
  }
  return plan;
}

struct TSetting {
  Param::Id id;
  float normalized;
};

// CPU ms per voice-second of one program playing the phrase, with some settings changed.
double ProgramCost(const std::shared_ptr<TVstLibrary>& library, int program, double seconds,
                   const std::vector<TSetting>& changes = {}) {
  TVstHost host(library);
  host.Start(kRate, kBlock);
  host.Dispatch(vst::effSetProgram, 0, program);
  for (const TSetting& c : changes) host.Effect()->setParameter(host.Effect(), c.id, c.normalized);
  std::vector<float> l(kBlock), r(kBlock);
  host.Process({}, l.data(), r.data(), kBlock);  // applies the program
  const auto plan = Phrase(seconds);
  const double start = ThreadSeconds();
  for (const auto& events : plan) host.Process(events, l.data(), r.data(), kBlock);
  const double cpu = ThreadSeconds() - start;
  const double played = static_cast<double>(plan.size() * kBlock) / kRate;
  return 1000.0 * cpu / (played * kVoices);
}

struct TProgramCost {
  int program = 0;
  std::string name;
  double cost = 0.0;
};

std::string Waveforms(const std::shared_ptr<TVstLibrary>& library, int program) {
  TVstHost host(library);
  host.Start(kRate, kBlock);
  host.Dispatch(vst::effSetProgram, 0, program);
  std::string list;
  for (int i = 0; i < 6; ++i) {
    const auto amount = static_cast<int32_t>(Param::Osc1Amount + i);
    if (host.ParamDisplay(amount) == "0.000") continue;  // a silent oscillator costs little
    if (!list.empty()) list += ", ";
    list += host.ParamDisplay(static_cast<int32_t>(Param::Osc1Waveform + i));
  }
  return list;
}

void PrintBreakdownHeader() {
  std::printf("  %-4s %-26s %7s %8s %9s %7s  %s\n", "prog", "name", "total", "effects", "filt+shp", "voice",
              "waveforms");
}

// Where a program's time goes: re-rendered with the effects chain off, and then also with
// the filters and shapers off.
void PrintBreakdown(const std::shared_ptr<TVstLibrary>& ours, const TProgramCost& c, double seconds) {
  const double noFx = ProgramCost(ours, c.program, seconds, {{Param::FxOn, 0.0f}});
  const double noFilters = ProgramCost(ours, c.program, seconds,
                                       {{Param::FxOn, 0.0f},
                                        {Param::Flt1On, 0.0f},
                                        {Param::Flt2On, 0.0f},
                                        {Param::Shape, 0.0f},
                                        {Param::ShapeType, 0.0f},
                                        {Param::ShapeRType, 0.0f}});
  std::printf("  %-4d %-26s %7.2f %8.2f %9.2f %7.2f  %s\n", c.program, c.name.c_str(), c.cost, c.cost - noFx,
              noFx - noFilters, noFilters, Waveforms(ours, c.program).c_str());
}

// The programs named by TESMORA6_BENCH_PROGRAMS (comma-separated), empty when it is unset.
std::vector<int> ChosenPrograms() {
  std::vector<int> list;
  const char* text = std::getenv("TESMORA6_BENCH_PROGRAMS");
  while (text && *text) {
    char* end = nullptr;
    const long p = std::strtol(text, &end, 10);
    if (end == text) break;
    if (p >= 0 && p < 128) list.push_back(static_cast<int>(p));
    text = *end == ',' ? end + 1 : end;
  }
  return list;
}

void BM_FactoryBankCost(benchmark::State& state) {
  if (const std::vector<int> chosen = ChosenPrograms(); !chosen.empty()) {
    auto ours = std::make_shared<TVstLibrary>(PluginPath());
    for (auto _ : state) {
      std::printf("\n");
      PrintBreakdownHeader();
      for (int p : chosen) {
        TVstHost names(ours);
        PrintBreakdown(ours, {p, names.ProgramName(p), ProgramCost(ours, p, 3.0)}, 3.0);
      }
    }
    return;
  }
  if (!std::filesystem::exists(kPeerPath)) {
    state.SkipWithError("amsynth is not installed");
    return;
  }
  const double seconds = ShortRun() ? 1.0 : 3.0;
  const int stride = ShortRun() ? 4 : 1;
  auto ours = std::make_shared<TVstLibrary>(PluginPath());
  auto peer = std::make_shared<TVstLibrary>(kPeerPath);
  int peerPrograms = 0;
  {
    TVstHost probe(peer);
    peerPrograms = probe.Effect()->numPrograms;
  }
  std::vector<TProgramCost> t6, am;
  for (auto _ : state) {
    for (int p = 0; p < 128; p += stride) {
      TVstHost names(ours);
      t6.push_back({p, names.ProgramName(p), ProgramCost(ours, p, seconds)});
      if (p < peerPrograms) {
        TVstHost peerNames(peer);
        am.push_back({p, peerNames.ProgramName(p), ProgramCost(peer, p, seconds)});
      }
    }
  }
  auto costs = [](const std::vector<TProgramCost>& v) {
    std::vector<double> c;
    for (const auto& x : v) c.push_back(x.cost);
    return c;
  };
  const double t6Median = Median(costs(t6)), amMedian = Median(costs(am));
  const double t6P90 = Percentile(costs(t6), 0.9), amP90 = Percentile(costs(am), 0.9);
  const double t6Worst = Percentile(costs(t6), 1.0), amWorst = Percentile(costs(am), 1.0);
  auto ratio = [](double a, double b) { return b > 0.0 ? a / b : 0.0; };
  state.counters["t6_median"] = t6Median;
  state.counters["peer_median"] = amMedian;
  state.counters["median_ratio"] = ratio(t6Median, amMedian);
  state.counters["p90_ratio"] = ratio(t6P90, amP90);
  state.counters["worst_ratio"] = ratio(t6Worst, amWorst);

  std::printf(
      "\nFactory programs, CPU ms per voice-second (%zu programs of ours, %zu of the peer's, "
      "%.0f s each, %d voices):\n",
      t6.size(), am.size(), seconds, kVoices);
  std::printf("  %-16s %10s %10s %8s\n", "", "Tesmora6", "peer", "ratio");
  std::printf("  %-16s %10.2f %10.2f %7.2fx\n", "median", t6Median, amMedian, ratio(t6Median, amMedian));
  std::printf("  %-16s %10.2f %10.2f %7.2fx\n", "90th percentile", t6P90, amP90, ratio(t6P90, amP90));
  std::printf("  %-16s %10.2f %10.2f %7.2fx\n", "worst", t6Worst, amWorst, ratio(t6Worst, amWorst));

  std::sort(t6.begin(), t6.end(), [](const auto& a, const auto& b) { return a.cost > b.cost; });
  const size_t dearest = std::min<size_t>(t6.size(), ShortRun() ? 3 : 10);
  std::printf("\nThe dearest programs and where their time goes (ms per voice-second):\n");
  PrintBreakdownHeader();
  for (size_t i = 0; i < dearest; ++i) PrintBreakdown(ours, t6[i], seconds);
  std::printf("\n");
}
BENCHMARK(BM_FactoryBankCost)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
