// The shaper member table: which class serves each shaper type index, and the factory
// the multi-shaper builds its current shaper with.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/DSPShaper.h"

namespace tesmora6 {

// One row of the member table.
struct TDSPShaperMember {
  int32_t index;
  const char* name;                         // display name; "" where there is none
  std::unique_ptr<TDSPShaper> (*create)();  // nullptr: no class, the current shaper stays
  bool zeroStaysZero;                       // a zero sample passes untouched
};

// Named shaper types 0 .. 34; the table runs on to the test shaper at 50.
constexpr int32_t kShaperTypeCount = 35;
constexpr int32_t kShaperMemberCount = TDSPShaper::kMaxTypeIndex + 1;

// The row of a type index 0 .. 50.
const TDSPShaperMember& ShaperMember(int32_t index);
// A new shaper of the class at a type index, or nullptr where the index has none (or lies
// outside 0 .. 50). Its amount and context are not yet set.
std::unique_ptr<TDSPShaper> CreateShaper(int32_t index);

}  // namespace tesmora6
