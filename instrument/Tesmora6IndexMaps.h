// The index maps of the product: each generic layer addresses its parameters through
// logical slots, and the product assigns a host parameter index to every slot. The layers
// build their own inverse tables (host index -> slot) from these.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

// A run of consecutive slots mapped onto consecutive host indexes.
struct TSlotRun {
  int16_t firstSlot;
  int16_t lastSlot;
  int16_t firstHost;
};

class TTesmora6IndexMaps {
 public:
  static constexpr int32_t kModSlots = 167;                          // modulation section
  static constexpr int32_t kSeqSlots = Param::FxOn - Param::Seq1On;  // sequencers' parameters: 138
  static constexpr int32_t kFxSlots = Param::Count - Param::FxOn;    // effects section: 290 FX ids
  static constexpr int16_t kFirstSeqHost = Param::Seq1On;
  static constexpr int16_t kFirstFxHost = Param::FxOn;

  TTesmora6IndexMaps();

  // Fills each slot table once (a later call leaves a filled table as it is); running it
  // again changes nothing.
  void Build();

  bool Built() const { return modDone_ && seqDone_ && fxDone_; }

  // Slot -> host index; -1 for a slot outside the table or not yet assigned.
  int16_t ModHost(int32_t slot) const { return Lookup(modHost_, slot); }
  int16_t SeqHost(int32_t slot) const { return Lookup(seqHost_, slot); }
  int16_t FxHost(int32_t fxId) const { return Lookup(fxHost_, fxId); }

  const std::array<int16_t, kModSlots>& ModHosts() const { return modHost_; }
  const std::array<int16_t, kSeqSlots>& SeqHosts() const { return seqHost_; }
  const std::array<int16_t, kFxSlots>& FxHosts() const { return fxHost_; }

 private:
  template <std::size_t N>
  static int16_t Lookup(const std::array<int16_t, N>& table, int32_t i) {
    return (i >= 0 && static_cast<std::size_t>(i) < N) ? table[static_cast<std::size_t>(i)] : int16_t{-1};
  }

  std::array<int16_t, kModSlots> modHost_;
  std::array<int16_t, kSeqSlots> seqHost_;
  std::array<int16_t, kFxSlots> fxHost_;
  bool modDone_ = false;
  bool seqDone_ = false;
  bool fxDone_ = false;
};

}  // namespace tesmora6
