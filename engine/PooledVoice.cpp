#include "engine/PooledVoice.h"

namespace tesmora6 {

void TDSPPooledVoice::Reset() {
  Pending = TPendingNote{};
  stealFadePosition_ = stealFadeLength_ = 0;
  State = kVoiceFree;
  Age = 0;
  ReleaseAge = 0;
  Note = 48;
  GlideFrom = 48.0f;
  LastPitch = 48.0f;
}

void TDSPPooledVoice::Release() {
  ReleaseAge = 0;
  State = kVoiceReleased;
}

void TDSPPooledVoice::TakeOver(TDSPPooledVoice&, bool) {}

}  // namespace tesmora6
