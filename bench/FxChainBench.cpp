// ProcessEffects of a whole instrument at 44.1 kHz: the chain with all seven effects on at
// their parameter defaults (the order the defaults give), and the same with six matrix
// slots fed by the six FX LFOs. One engine block (44 samples) of stereo noise per
// iteration, refill included; "per_sample" is the time per sample (a left and a right
// value).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "host/Tesmora6Vst.h"
#include "dsp/DSPMaths.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

constexpr int kBlock = 44;
constexpr int kSource = 4096;

// A product instance brought to its playing state as a host adapter brings it.
std::unique_ptr<TTesmora6> MakeInstrument() {
  auto synth = std::make_unique<TTesmora6>();
  synth->Initialise();
  synth->SampleRateChanged(44100.0f);
  synth->Resume();
  float l[64], r[64];
  float* outs[2] = {l, r};
  synth->Process(outs, 64, false);  // applies every parameter
  return synth;
}

void SetReal(TTesmora6& synth, int32_t index, float real) {
  const auto& p = synth.ParamInfo(index);
  synth.SetParameterFromHost(index, (real - p.minimum) / (p.maximum - p.minimum));
}

void AllSevenOn(TTesmora6& synth) {
  for (Param::Id on :
       {Param::RvbOn, Param::DistOn, Param::PhsOn, Param::DlyOn, Param::ChrsOn, Param::XFltOn, Param::EQOn}) {
    SetReal(synth, on, 1.0f);
  }
}

void Measure(benchmark::State& state, TTesmora6& synth) {
  std::vector<float> source(kSource + kBlock);
  for (size_t i = 0; i < source.size(); ++i) source[i] = 0.5f * DSPNoiseTable()[i];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(synth.Effects().MixL.data(), &source[static_cast<size_t>(offset)], kBlock * sizeof(float));
    std::memcpy(synth.Effects().MixR.data(), &source[static_cast<size_t>(offset + 7)], kBlock * sizeof(float));
    synth.Effects().VoicesActive = 1;
    synth.blockAudible = synth.Effects().ProcessEffects(synth.outputs[0].stereo.data());
    benchmark::DoNotOptimize(synth.outputs[0].stereo.data());
    offset = (offset + kBlock) & (kSource - 1);
  }
  state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void FxChainAllSevenDefaults(benchmark::State& state) {
  auto synth = MakeInstrument();
  AllSevenOn(*synth);
  Measure(state, *synth);
}
BENCHMARK(FxChainAllSevenDefaults);

void FxChainAllSevenWithMatrix(benchmark::State& state) {
  auto synth = MakeInstrument();
  AllSevenOn(*synth);
  SetReal(*synth, Param::FxModOn, 1.0f);
  // FX LFO k to "RvbGain", "DstLF1C", "PhsPhsL", "DlyLFC", "CrsLM1Frq", "EQL-Frq".
  const int destinations[6] = {1, 18, 37, 60, 72, 115};
  for (int k = 0; k < 6; ++k) {
    SetReal(*synth, Param::FxModSrc1 + 3 * k, static_cast<float>(k + 1));
    SetReal(*synth, Param::FxModDst1 + 3 * k, static_cast<float>(destinations[k]));
    SetReal(*synth, Param::FxModAmt1 + 3 * k, 500.0f);
  }
  Measure(state, *synth);
}
BENCHMARK(FxChainAllSevenWithMatrix);

}  // namespace
