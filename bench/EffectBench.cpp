// ProcessStereo cost of the reverb, the chorus and the delay at their default settings
// and at their heaviest: one control period of stereo noise per iteration. The counter
// "per_sample" is the time per sample (one left and one right value); "CopyOnly"
// measures the refill of the two period buffers that every iteration includes. The
// reverb's "line_MB" is the memory its lines hold.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "dsp/DSPMaths.h"
#include "effects/DSPReverbX.h"
#include "effects/DSPXChorus.h"
#include "effects/DSPXDelay.h"

using namespace tesmora6;

namespace {

constexpr int kSource = 4096;
constexpr int kMaxPeriod = 192;

std::vector<float> Source(int offset) {
  std::vector<float> v(kSource + kMaxPeriod);
  for (size_t i = 0; i < v.size(); ++i) v[i] = 0.5f * DSPNoiseTable()[(i + offset) % kNoiseTableLength];
  return v;
}

void SetCounter(benchmark::State& state, int period) {
  state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * period,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One period of both channels per iteration, refilled from the noise source.
void RunEffect(benchmark::State& state, TDSPStereoEffect& effect, int period) {
  const std::vector<float> sourceL = Source(0), sourceR = Source(7777);
  float left[kMaxPeriod], right[kMaxPeriod];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(left, &sourceL[offset], sizeof(float) * period);
    std::memcpy(right, &sourceR[offset], sizeof(float) * period);
    effect.ProcessStereo(left, right);
    benchmark::DoNotOptimize(left);
    benchmark::DoNotOptimize(right);
    offset = (offset + period) & (kSource - 1);
  }
  SetCounter(state, period);
}

void CopyOnly(benchmark::State& state) {
  const std::vector<float> sourceL = Source(0), sourceR = Source(7777);
  float left[44], right[44];
  int offset = 0;
  for (auto _ : state) {
    std::memcpy(left, &sourceL[offset], sizeof left);
    std::memcpy(right, &sourceR[offset], sizeof right);
    benchmark::DoNotOptimize(left);
    benchmark::DoNotOptimize(right);
    offset = (offset + 44) & (kSource - 1);
  }
  SetCounter(state, 44);
}

// ---- reverb ----

void Reverb(benchmark::State& state, int rate, bool heaviest) {
  TDSPProcessInfo context(rate, rate / 1000);
  TDSPReverbX r;
  r.ContextChanged(&context);
  r.Recalculate();
  if (heaviest) {
    // The longest room at the largest size, both filters and the longest pre-delay.
    r.SetRoomType(1);
    r.SetSize(127.0f);
    r.SetTime(127.0f);
    r.SetPreDelay(127.0f);
    r.SetPreDelayFeedback(0.5f);
    r.Filter1().SetType(1.0f);
    r.Filter2().SetType(7.0f);
    r.SetFilter1On(true);
    r.SetFilter2On(true);
  }
  RunEffect(state, r, context.samplesPerMs);
  state.counters["line_MB"] = static_cast<double>(r.LineSamples()) * sizeof(float) / 1e6;
}

// ---- chorus ----

void Chorus(benchmark::State& state, bool heaviest) {
  TDSPXChorus c;
  c.ContextChanged(&DefaultProcessInfo());
  if (heaviest) {
    // The longest lines, large swept delays that wrap, feedback and cross-feed.
    c.SetLengthLeft(1024.0f);
    c.SetLengthRight(1024.0f);
    c.SetSizeLeft(512.0f);
    c.SetSizeRight(512.0f);
    c.SetFeedbackLeft(0.5f);
    c.SetFeedbackRight(0.5f);
    c.SetCrossLeftToRight(0.4f);
    c.SetCrossRightToLeft(0.4f);
    for (int k = 0; k < TDSPXChorus::kModulatorCount; ++k) {
      c.Modulator(k).SetWaveform(6.0f);
      c.Modulator(k).SetGain(32.0f);
      c.Modulator(k).SetFrequency(2000.0f);
    }
  }
  RunEffect(state, c, 44);
}

// ---- delay ----

void Delay(benchmark::State& state, bool heaviest) {
  TDSPXDelay d;
  d.ContextChanged(&DefaultProcessInfo());
  if (heaviest) {
    // The longest lines with both filters in the loop and cross-feedback.
    d.SetLengthUnit(false);
    d.SetLengthLeft(2048);
    d.SetLengthRight(2047);
    d.SetFeedbackLeft(0.6f);
    d.SetFeedbackRight(0.6f);
    d.SetCrossLeftToRight(0.3f);
    d.SetCrossRightToLeft(0.3f);
    d.FilterLeft().SetType(7.0f);
    d.FilterRight().SetType(7.0f);
    d.SetFilterLeftOn(true);
    d.SetFilterRightOn(true);
  }
  RunEffect(state, d, 44);
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("Effect/CopyOnly", CopyOnly);
  benchmark::RegisterBenchmark("Effect/Reverb/Default", Reverb, 44100, false);
  benchmark::RegisterBenchmark("Effect/Reverb/Size127", Reverb, 44100, true);
  benchmark::RegisterBenchmark("Effect/Reverb/Size127At96k", Reverb, 96000, true);
  benchmark::RegisterBenchmark("Effect/Chorus/Default", Chorus, false);
  benchmark::RegisterBenchmark("Effect/Chorus/Heaviest", Chorus, true);
  benchmark::RegisterBenchmark("Effect/Delay/Default", Delay, false);
  benchmark::RegisterBenchmark("Effect/Delay/Heaviest", Delay, true);
  return true;
}();

}  // namespace
