// The voice-filter types in the order of the "Filter Type" value list: the name of each
// type and the filter class that implements it.
#pragma once

#include <memory>

#include "dsp/DSPFilter.h"

namespace tesmora6 {

constexpr int kFilterTypeCount = 38;

struct TFilterTypeEntry {
  const char* name;
  std::unique_ptr<TDSPFilter> (*create)();
};

// The entry of a type index; indexes without an entry (38 ... 50 and anything outside
// the list) fall back to entry 0, "BW LP".
const TFilterTypeEntry& FilterTypeEntry(int index);

}  // namespace tesmora6
