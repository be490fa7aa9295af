#include "instrument/VoxBoardArpSynth.h"

#include <algorithm>

TVoxBoardArpSynth::TVoxBoardArpSynth() { slotHost_.fill(-1); }

TVoxBoardArpSynth::~TVoxBoardArpSynth() = default;

void TVoxBoardArpSynth::BuildSeqInverse() {
  slotOfHost_.assign(static_cast<size_t>(std::max(paramCount_, 1)), -1);
  for (int32_t slot = 0; slot < kSlots; ++slot) {
    const int16_t host = slotHost_[static_cast<size_t>(slot)];
    if (host >= 0 && host < paramCount_) slotOfHost_[static_cast<size_t>(host)] = static_cast<int16_t>(slot);
  }
}

int16_t TVoxBoardArpSynth::SeqSlotOfHost(int32_t host) const {
  if (host < 0 || static_cast<size_t>(host) >= slotOfHost_.size()) return -1;
  return slotOfHost_[static_cast<size_t>(host)];
}

void TVoxBoardArpSynth::ParameterChanged(int32_t index) {
  TVoxboardSynth::ParameterChanged(index);
  const int16_t slot = SeqSlotOfHost(index);
  if (slot < 0) return;
  // Slots 0-68 are the first sequencer (37 settings, 32 steps), 69-137 the second.
  const int32_t seq = slot < kSettings + kSteps ? 0 : 1;
  const int32_t k = slot - seq * (kSettings + kSteps);
  const double value = GetReal(index);
  if (k == kToPitchSetting) {
    (seq == 0 ? ToPitch1 : ToPitch2) = static_cast<float>(value) * 0.01f;
    return;
  }
  for (int32_t i = 0; i < voiceCount_; ++i) {
    TDSPSynthVoice* v = Voice(i);
    if (!v) continue;
    TDSPSequencer& s = v->Sequencers[static_cast<size_t>(seq)];
    if (k < kSettings) s.ApplySetting(k, value); else s.ApplyStep(k - kSettings, value);
  }
}
