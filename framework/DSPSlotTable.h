// A layer's logical-slot table: the host index the product assigned to each of the
// layer's slots, and the inverse from host index to slot (-1 where the layer owns none).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesmora6 {

template <int32_t N>
class TDSPSlotTable {
 public:
  TDSPSlotTable() { host_.fill(-1); }

  void SetHost(int32_t slot, int16_t host) { host_[static_cast<size_t>(slot)] = host; }
  // -1 for a slot outside the table or not assigned.
  int16_t Host(int32_t slot) const { return slot >= 0 && slot < N ? host_[static_cast<size_t>(slot)] : int16_t{-1}; }
  // Builds host index -> slot for host indexes 0 .. paramCount - 1.
  void BuildInverse(int32_t paramCount) {
    slotOfHost_.assign(static_cast<size_t>(paramCount > 0 ? paramCount : 1), -1);
    for (int32_t slot = 0; slot < N; ++slot) {
      const int16_t host = host_[static_cast<size_t>(slot)];
      if (host >= 0 && host < paramCount) slotOfHost_[static_cast<size_t>(host)] = static_cast<int16_t>(slot);
    }
  }
  // -1 for an index the layer does not own.
  int16_t SlotOfHost(int32_t host) const {
    if (host < 0 || static_cast<size_t>(host) >= slotOfHost_.size()) return -1;
    return slotOfHost_[static_cast<size_t>(host)];
  }

 private:
  std::array<int16_t, N> host_;
  std::vector<int16_t> slotOfHost_;
};

}  // namespace tesmora6
