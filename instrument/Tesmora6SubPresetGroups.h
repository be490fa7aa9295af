// The product's ten sub-preset groups: ids, names and the parameters each one holds.
#pragma once

#include <cstdint>
#include <span>

namespace tesmora6 {

class TDSPSubPresets;

// One group: the host parameters first .. last, in ascending order.
struct TSubPresetGroupDef {
  int16_t id;
  const char* name;
  int16_t firstParam;
  int16_t lastParam;

  int32_t ItemCount() const { return lastParam - firstParam + 1; }
};

// The groups in the order the bank chunk carries them.
std::span<const TSubPresetGroupDef> Tesmora6SubPresetGroups();
// Defines every group with its items.
void DefineTesmora6SubPresetGroups(TDSPSubPresets& subPresets);

}  // namespace tesmora6
