#include "instrument/SequencerParameters.h"

namespace tesmora6 {

void TSequencerParameters::ParameterChanged(int32_t index) {
  const int16_t slot = SlotOfHost(index);
  if (slot < 0) return;
  // Slots 0-68 are the first sequencer (37 settings, 32 steps), 69-137 the second.
  const int32_t seq = slot < kSettings + kSteps ? 0 : 1;
  const int32_t k = slot - seq * (kSettings + kSteps);
  const double value = plugin_.GetReal(index);
  if (k == kToPitchSetting) {
    (seq == 0 ? ToPitch1 : ToPitch2) = static_cast<float>(value) * 0.01f;
    return;
  }
  for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
    TDSPSynthVoice* v = pool_.Voice(i);
    if (!v) continue;
    TDSPSequencer& s = v->Sequencers[static_cast<size_t>(seq)];
    if (k < kSettings)
      s.ApplySetting(k, value);
    else
      s.ApplyStep(k - kSettings, value);
  }
}

}  // namespace tesmora6
