// ProcessStereo cost of the distortion, the X-filter, the phaser and the EQ effect, each
// at its default settings and at its heaviest: one control period (44 samples at 44.1 kHz)
// of stereo noise per iteration. The counter "per_sample" is the time per sample (one
// left and one right value); every iteration includes the refill of the two period arrays.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <vector>

#include "dsp/DSPMaths.h"
#include "effects/DSPXDistortion.h"
#include "effects/DSPXEq.h"
#include "effects/DSPXPhaser.h"
#include "effects/DSPXXFilter.h"

using namespace tesmora6;

namespace {

constexpr int kPeriod = 44;
constexpr int kSource = 4096;

std::vector<float> Source(int offset) {
  std::vector<float> v(kSource + kPeriod);
  for (size_t i = 0; i < v.size(); ++i) v[i] = 0.5f * DSPNoiseTable()[i + offset];
  return v;
}

void Measure(benchmark::State& state, TDSPStereoEffect& effect) {
  const std::vector<float> sourceL = Source(0), sourceR = Source(5000);
  float left[kPeriod], right[kPeriod];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(left, &sourceL[offset], sizeof left);
    std::memcpy(right, &sourceR[offset], sizeof right);
    effect.ProcessStereo(left, right);
    benchmark::DoNotOptimize(left);
    benchmark::DoNotOptimize(right);
    offset = (offset + kPeriod) & (kSource - 1);
  }
  state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPeriod,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The output settings the parameter defaults give every effect: mix and pan at the middle,
// unit wet and dry gain.
void Output(TDSPStereoEffect& e) {
  e.SetPan(0.5f);
  e.SetMix(0.5f);
  e.SetWetGain(1.0f);
  e.SetDryGain(1.0f);
}

void DistortionDefault(benchmark::State& state) {
  TDSPXDistortion d;
  Output(d);
  d.SetDriveLeft(0.2f);
  d.SetDriveRight(0.2f);
  Measure(state, d);
}

// Four resonant low-passes, a clip and the costliest curves (arcsin of a sine, logistic).
void DistortionHeaviest(benchmark::State& state) {
  TDSPXDistortion d;
  Output(d);
  d.SetDriveLeft(0.6f);
  d.SetDriveRight(0.6f);
  d.SetTypeLeft(6);
  d.SetTypeRight(17);
  d.SetClipMode(2);
  d.SetClipThreshold(0.8f);
  for (TDSPMultiFilter* f : {&d.LeftFilter1(), &d.LeftFilter2(), &d.RightFilter1(), &d.RightFilter2()}) {
    f->SetType(8.0f);
    f->Filter()->SetCutoff(3000.0f);
    f->Filter()->SetResonance(0.5f);
  }
  d.SetLeftFilter1On(true);
  d.SetLeftFilter2On(true);
  d.SetRightFilter1On(true);
  d.SetRightFilter2On(true);
  Measure(state, d);
}

// Two taps per side (the tap-count default) of the default "BW LP", shaped window.
void XFilterDefault(benchmark::State& state) {
  TDSPXXFilter x;
  Output(x);
  x.SetTapCount(2);
  Measure(state, x);
}

// Four taps per side of a resonant four-pole low-pass, shaped window, a channel shift.
void XFilterHeaviest(benchmark::State& state) {
  TDSPXXFilter x;
  Output(x);
  x.SetTapCount(4);
  x.SetShift(10.0f);
  for (int side : {TDSPXXFilter::kLeft, TDSPXXFilter::kRight})
    for (int j = 0; j < 4; ++j) {
      TDSPMultiFilter& f = x.TapFilter(side, j);
      f.SetType(8.0f);
      f.Filter()->SetCutoff(500.0f + 1000.0f * static_cast<float>(j));
      f.Filter()->SetResonance(0.5f);
    }
  Measure(state, x);
}

void Phaser(benchmark::State& state, int stages) {
  TDSPXPhaser p;
  Output(p);
  p.SetStagesLeft(static_cast<uint8_t>(stages));
  p.SetStagesRight(static_cast<uint8_t>(stages));
  p.SetPhaseLeft(0.5f);
  p.SetPhaseRight(0.5f);
  p.SetDepthLeft(0.5f);
  p.SetDepthRight(0.5f);
  p.ModulatorLeft().SetGain(0.5f);
  p.ModulatorRight().SetGain(0.5f);
  Measure(state, p);
}

// One biquad per channel whatever the settings: default and heaviest are the same.
void Eq(benchmark::State& state) {
  TDSPXEq e;
  Output(e);
  for (TDSP3BandEQ* eq : {&e.EqualiserLeft(), &e.EqualiserRight()}) {
    eq->SetLowGain(6.0f);
    eq->SetMidGain(-3.0f);
    eq->SetHighGain(2.0f);
    eq->SetCentreFrequency(1000.0f);
    eq->SetQ(0.5f);
  }
  Measure(state, e);
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("Effect/Distortion/default", DistortionDefault);
  benchmark::RegisterBenchmark("Effect/Distortion/heaviest", DistortionHeaviest);
  benchmark::RegisterBenchmark("Effect/XFilter/default", XFilterDefault);
  benchmark::RegisterBenchmark("Effect/XFilter/heaviest", XFilterHeaviest);
  benchmark::RegisterBenchmark("Effect/Phaser/default", Phaser, 4);
  benchmark::RegisterBenchmark("Effect/Phaser/heaviest", Phaser, 64);
  benchmark::RegisterBenchmark("Effect/Eq/default=heaviest", Eq);
  return true;
}();

}  // namespace
