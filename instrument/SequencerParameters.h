// The step sequencers' parameters: the 138 host parameters of the two per-voice step
// sequencers, each change handed to the matching sequencer of every voice of the pool, and
// the amounts by which the sequencers' pitch outputs reach "Tune". The modulation section
// owns one (the sequencers are modulation sources) and forwards its parameter changes.
#pragma once

#include <cstdint>

#include "engine/VoicePool.h"
#include "framework/DSPPluginX.h"
#include "framework/DSPSlotTable.h"

namespace tesmora6 {

class TSequencerParameters {
 public:
  static constexpr int32_t kSlots = 138;
  static constexpr int32_t kSettings = 37;
  static constexpr int32_t kSteps = 32;
  static constexpr int32_t kToPitchSetting = 36;

  // `plugin` holds the parameters, `pool` the voices; both outlive this object.
  TSequencerParameters(TDSPPluginX& plugin, TVoicePool& pool) : plugin_(plugin), pool_(pool) {}
  TSequencerParameters(const TSequencerParameters&) = delete;
  TSequencerParameters& operator=(const TSequencerParameters&) = delete;

  // A host parameter changed (acts on the sequencers' own ones only).
  void ParameterChanged(int32_t index);
  void SetSlotHost(int32_t slot, int16_t host) { slots_.SetHost(slot, host); }
  void BuildInverse() { slots_.BuildInverse(plugin_.ParamCount()); }
  int16_t SlotOfHost(int32_t host) const { return slots_.SlotOfHost(host); }

  // The sequencers' pitch outputs reach "Tune" by these amounts ("Seq1ToPitch" x 0.01).
  float ToPitch1 = 0.0f;
  float ToPitch2 = 0.0f;

 private:
  TDSPPluginX& plugin_;
  TVoicePool& pool_;
  TDSPSlotTable<kSlots> slots_;
};

}  // namespace tesmora6
