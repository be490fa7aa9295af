// The sequencer layer: owns the 138 parameters of the two per-voice step sequencers and
// hands every change to the matching sequencer of every voice of the pool.
#pragma once

#include <array>
#include <vector>

#include "engine/VoicePoolLayer.h"
#include "framework/DSPSlotTable.h"

class TSequencerLayer : public TVoicePoolLayer {
 public:
  static constexpr int32_t kSlots = 138;
  static constexpr int32_t kSettings = 37;
  static constexpr int32_t kSteps = 32;
  static constexpr int32_t kToPitchSetting = 36;

  TSequencerLayer();
  ~TSequencerLayer() override;

  void ParameterChanged(int32_t index) override;
  void SetSeqSlotHost(int32_t slot, int16_t host) { seqSlots_.SetHost(slot, host); }
  void BuildSeqInverse() { seqSlots_.BuildInverse(paramCount_); }
  int16_t SeqSlotOfHost(int32_t host) const { return seqSlots_.SlotOfHost(host); }

  // The sequencers' pitch outputs reach "Tune" by these amounts ("Seq1ToPitch" x 0.01).
  float ToPitch1 = 0.0f;
  float ToPitch2 = 0.0f;

 private:
  TDSPSlotTable<kSlots> seqSlots_;
};
