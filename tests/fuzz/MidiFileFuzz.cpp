// libFuzzer target for the render tool's Standard MIDI File reader: any input is either
// refused with TMidiFileError or read into a sequence that is in time order, carries only
// channel messages and has a usable tempo map.
//
// With TESMORA6_FUZZ_SEEDS=DIR set, the target writes a seed corpus of small valid files
// into DIR and exits (scripts/fuzz-midi does this before fuzzing).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tools/render/MidiFile.h"

using namespace tesmora6;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

using TBytes = std::vector<uint8_t>;

TBytes File(uint8_t format, uint16_t division, std::vector<TBytes> tracks) {
  TBytes out = {'M',
                'T',
                'h',
                'd',
                0,
                0,
                0,
                6,
                0,
                format,
                0,
                static_cast<uint8_t>(tracks.size()),
                static_cast<uint8_t>(division >> 8),
                static_cast<uint8_t>(division)};
  for (const TBytes& t : tracks) {
    const auto n = static_cast<uint32_t>(t.size());
    out.insert(out.end(), {'M', 'T', 'r', 'k', static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                           static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
    out.insert(out.end(), t.begin(), t.end());
  }
  return out;
}

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  const TBytes conductor = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x58, 0x04, 3,    2,   24,
                            8,    0x8F, 0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00};
  const TBytes notes = {0x00, 0x90, 60,   100,  0x60, 62,  90,   0x83, 0x60, 0x80, 60,   0,    0x00,
                        62,   0,    0x00, 0xB0, 7,    100, 0x10, 0xC1, 5,    0x10, 0xE0, 0,    64,
                        0x00, 0xD0, 30,   0x00, 0xA0, 60,  10,   0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,
                        0x00, 0xFF, 0x01, 0x02, 'h',  'i', 0x00, 0xFF, 0x2F, 0x00};
  const std::vector<TBytes> seeds = {
      File(0, 96, {notes}),
      File(1, 480, {conductor, notes}),
      File(0, (0xE7 << 8) | 40, {notes}),
  };
  for (size_t i = 0; i < seeds.size(); ++i) {
    std::ofstream(dir / ("seed-" + std::to_string(i) + ".mid"), std::ios::binary)
        .write(reinterpret_cast<const char*>(seeds[i].data()), static_cast<std::streamsize>(seeds[i].size()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("TESMORA6_FUZZ_SEEDS")) {
    WriteSeeds(dir);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMidiSequence s;
  try {
    s = ReadMidiFile({data, size});
  } catch (const TMidiFileError&) {
    return 0;
  }
  double last = 0.0;
  for (const TTimedMidiMessage& m : s.messages) {
    if (!std::isfinite(m.seconds) || m.seconds < last) Fail("messages out of time order");
    last = m.seconds;
    if (m.bytes[0] < 0x80 || m.bytes[0] >= 0xF0) Fail("a message that is not a channel message");
    if (m.bytes[1] >= 0x80 || m.bytes[2] >= 0x80) Fail("a status byte among the data");
  }
  if (s.timeMap.empty() || s.timeMap.front().seconds != 0.0) Fail("the tempo map does not start at 0");
  for (size_t i = 0; i < s.timeMap.size(); ++i) {
    const TTimeMapPoint& p = s.timeMap[i];
    if (!(std::isfinite(p.bpm) && p.bpm > 0.0) || !std::isfinite(p.beats)) Fail("an unusable tempo");
    if (p.numerator <= 0 || p.denominator <= 0) Fail("an unusable meter");
    if (i > 0 && (p.seconds < s.timeMap[i - 1].seconds || p.beats < s.timeMap[i - 1].beats)) {
      Fail("the tempo map runs backwards");
    }
  }
  const TSongPosition end = s.PositionAt(s.LengthSeconds());
  if (!std::isfinite(end.beats)) Fail("no song position at the end");
  return 0;
}
