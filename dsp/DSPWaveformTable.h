// The waveform member table: for each of the 93 waveform numbers its display name, its
// class, and the parameters its class reads at construction (phase range and pitch
// offset of the analytic waveforms; length, shape, smoothing passes and scale of the
// wave tables). The rows themselves are in DSPWaveformTable.cpp.
#pragma once

#include <cstdint>
#include <memory>

namespace tesmora6 {

class TDSPBaseOscillator;

constexpr int kWaveformCount = 93;
// Waveform numbers run 0 .. 127; those without a class give a "Sine" oscillator.
constexpr int kMaxWaveformNumber = 127;
constexpr int kDefaultWaveform = 6;  // "Sine", the class of the unused numbers

enum class TWaveKind : uint8_t {
  kAnalytic,     // closed formula of the phase
  kNoise,        // draws from the shared generator
  kBandLimited,  // the band-limited saw
  kTable,        // single-cycle wave table
};

struct TTableParams;
// Fills entries 0 .. n - 1 of a wave table with a shape, before smoothing and scaling.
using TWaveShape = void (*)(float* table, int32_t n, const TTableParams& params);

// Phase range (wrap threshold / wrap period) and pitch offset in semitones.
struct TAnalyticParams {
  float threshold = 96.0f;
  float period = 48.0f;
  float offset = 0.0f;
};

// A wave table: its length N, its shape with the shape's arguments, then the number of
// smoothing passes S(k) and the factor that multiplies the finished table.
struct TTableParams {
  int16_t length = 0;
  TWaveShape shape = nullptr;
  int32_t curve1 = 0;  // curve types (the shapes of the shared curve tables)
  int32_t curve2 = 0;
  long double offset = 0.0L;  // o of the shifted and mirrored shapes
  int32_t noiseStart = 0;     // first noise-table entry of the noise slices
  int32_t smoothPasses = 0;
  long double scale = 1.0L;
};

struct TWaveformMember {
  int16_t index;
  const char* name;
  const char* className;
  std::unique_ptr<TDSPBaseOscillator> (*create)();
  TWaveKind kind;
  TAnalyticParams analytic;
  TTableParams table;
};

// The row of a waveform number 0 .. 92 (the "Sine" row for any other number).
const TWaveformMember& WaveformMember(int index);
// The display name of a waveform number; empty outside 0 .. 92.
const char* WaveformName(int index);
// A new oscillator of the class of a waveform number ("Sine" for numbers without one).
std::unique_ptr<TDSPBaseOscillator> CreateWaveform(int index);

}  // namespace tesmora6
