#include "engine/EnvelopeVoice.h"

namespace tesmora6 {

TDSPEnvelopeVoice::TDSPEnvelopeVoice() = default;

void TDSPEnvelopeVoice::Reset() {
  TDSPPooledVoice::Reset();
  for (TDSPADSR* env : {&Env1, &Env2}) {
    env->SetAge(0);
    env->SetGate(0.0f);
  }
}

void TDSPEnvelopeVoice::Release() {
  TDSPPooledVoice::Release();
  // Gate first, then the age: the envelopes restart their counter in the release.
  for (TDSPADSR* env : {&Env1, &Env2}) {
    env->SetGate(0.0f);
    env->SetAge(0);
  }
}

void TDSPEnvelopeVoice::Trigger() {
  // A still sounding envelope first fades its level to 0 over 2 ms, then attacks.
  for (TDSPADSR* env : {&Env1, &Env2}) {
    env->StopFadeIn();
    env->StartNote(Velocity);
    env->SetAge(0);
  }
}

void TDSPEnvelopeVoice::TakeOverEnvelope(TDSPADSR& env, const TDSPADSR& source, float fadeTarget, bool restart) {
  env.ClearFinished();
  env.StartLevel(Velocity);
  if (PoolSize < 2) {
    env.CopyRunningState(source);
    return;
  }
  if (restart) {
    env.Silence();
  } else {
    // Stolen from a released note: fall from its own level over 24 ms first.
    env.StartDeclick(24 * context_->samplesPerMs);
  }
  // Then rise to the source's level over 12 ms and follow the source's stages.
  env.StartFadeIn(fadeTarget);
  env.FollowStageOf(source);
}

void TDSPEnvelopeVoice::TakeOver(TDSPPooledVoice& source, bool restart) {
  auto& s = static_cast<TDSPEnvelopeVoice&>(source);
  TakeOverEnvelope(Env1, s.Env1, s.Env1.Level(), restart);
  TakeOverEnvelope(Env2, s.Env2, s.Env2.HeldLevel(), restart);
}

void TDSPEnvelopeVoice::ContextChanged(TDSPProcessInfo* info) {
  TDSPPooledVoice::ContextChanged(info);
  Env1.ContextChanged(info);
  Env2.ContextChanged(info);
}

}  // namespace tesmora6
