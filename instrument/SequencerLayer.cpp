#include "instrument/SequencerLayer.h"

#include <algorithm>

TSequencerLayer::TSequencerLayer() = default;

TSequencerLayer::~TSequencerLayer() = default;

void TSequencerLayer::ParameterChanged(int32_t index) {
  TVoicePoolLayer::ParameterChanged(index);
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
