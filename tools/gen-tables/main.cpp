// Writes the tables the library carries instead of computing them when it loads: the 31
// curve tables (types 1..32, guards included, one after the other) and the finished wave
// table of every table waveform in waveform order, as the library's own code computes them
// (the wave tables read the noise table, so this tool carries that resource).
//   tesmora6-gen-tables CURVE_TABLES.bin WAVE_TABLES.bin
// The build runs it; the tests compare what the library carries with a fresh computation.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "dsp/DSPMaths.h"
#include "dsp/DSPWaveformTable.h"
#include "dsp/DSPWaves.h"

using namespace tesmora6;

namespace {

bool Write(const char* path, const std::vector<float>& values) {
  std::FILE* out = std::fopen(path, "wb");
  if (!out) {
    std::perror(path);
    return false;
  }
  const size_t written = std::fwrite(values.data(), sizeof(float), values.size(), out);
  const bool closed = std::fclose(out) == 0;
  if (written != values.size() || !closed) {
    std::fprintf(stderr, "%s: could not write the tables\n", path);
    std::remove(path);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CURVE_TABLES.bin WAVE_TABLES.bin\n", argv[0]);
    return 2;
  }
  static_assert(std::endian::native == std::endian::little, "writes the host's byte order");
  std::vector<float> curves(static_cast<size_t>(kCurveTableLength) * kCurveTableCount);
  for (int type = 1; type < kCurveCount; ++type) {
    ComputeCurveTable(type, curves.data() + static_cast<size_t>(type - 1) * kCurveTableLength);
  }
  std::vector<float> waves;
  for (int index = 0; index < kWaveformCount; ++index) {
    const int32_t length = waves::SharedWaveTableLength(index);
    if (length == 0) continue;
    waves.resize(waves.size() + static_cast<size_t>(length));
    waves::ComputeSharedWaveTable(index, waves.data() + waves.size() - length);
  }
  return Write(argv[1], curves) && Write(argv[2], waves) ? 0 : 1;
}
