// The effect modulation matrix's sources and its 134 destinations: for each list position
// the FX id of the modulated effect setting and the name the "MDst" parameters show.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tesmora6 {

struct TFxDestinationDef {
  int16_t fxId;  // 0 .. 289; position 0 ("---") has FX id 0, which doubles as "none"
  const char* name;
};

constexpr size_t kFxDestinationCount = 134;
constexpr size_t kFxModSourceCount = 7;

extern const std::array<TFxDestinationDef, kFxDestinationCount> kFxDestinations;
// "---" and the six FX LFOs.
extern const std::array<const char*, kFxModSourceCount> kFxModSourceNames;

// The destination name of a list position, empty outside 0 .. 133.
std::string_view FxDestinationName(int64_t position);
// The source name of an index, empty outside 0 .. 6 (sources 7 .. 12 have no name).
std::string_view FxModSourceName(int64_t index);

}  // namespace tesmora6
