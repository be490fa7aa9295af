#include "engine/SynthVoice.h"

// ---------------------------------------------------------------- TDSPXVoice

void TDSPXVoice::Reset() {
  Pending = TPendingNote{};
  stealFadePosition_ = stealFadeLength_ = 0;
  State = kVoiceFree;
  Age = 0;
  ReleaseAge = 0;
  Note = 48;
  GlideFrom = 48.0f;
  LastPitch = 48.0f;
}

void TDSPXVoice::Release() {
  ReleaseAge = 0;
  State = kVoiceReleased;
}

void TDSPXVoice::TakeOver(TDSPXVoice&, bool) {}

// ---------------------------------------------------------------- TDSPEnvVoice

TDSPEnvVoice::TDSPEnvVoice() = default;

void TDSPEnvVoice::Reset() {
  TDSPXVoice::Reset();
  for (TDSPADSR* env : {&Env1, &Env2}) {
    env->SetAge(0);
    env->SetGate(0.0f);
  }
}

void TDSPEnvVoice::Release() {
  TDSPXVoice::Release();
  // Gate first, then the age: the envelopes restart their counter in the release.
  for (TDSPADSR* env : {&Env1, &Env2}) {
    env->SetGate(0.0f);
    env->SetAge(0);
  }
}

void TDSPEnvVoice::Trigger() {
  // A still sounding envelope first fades its level to 0 over 2 ms, then attacks.
  for (TDSPADSR* env : {&Env1, &Env2}) {
    env->StopFadeIn();
    env->StartNote(Velocity);
    env->SetAge(0);
  }
}

void TDSPEnvVoice::TakeOverEnvelope(TDSPADSR& env, const TDSPADSR& source, float fadeTarget,
                                    bool restart) {
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

void TDSPEnvVoice::TakeOver(TDSPXVoice& source, bool restart) {
  auto& s = static_cast<TDSPEnvVoice&>(source);
  TakeOverEnvelope(Env1, s.Env1, s.Env1.Level(), restart);
  TakeOverEnvelope(Env2, s.Env2, s.Env2.HeldLevel(), restart);
}

void TDSPEnvVoice::ContextChanged(TDSPProcessInfo* info) {
  TDSPXVoice::ContextChanged(info);
  Env1.ContextChanged(info);
  Env2.ContextChanged(info);
}

// ---------------------------------------------------------------- TDSPSynthVoice

TDSPSynthVoice::TDSPSynthVoice() {
  // The LFOs advance one step per control period on a 10 kHz context of their own.
  for (auto& lfo : Lfo) lfo.ContextChanged(&LfoProcessInfo());
  gain_.assign(static_cast<size_t>(context_->paddedBlock), 0.0f);
}

void TDSPSynthVoice::AddOscillator(TDSPOscillator& osc, TDSPDiatonicTune1& tuner) {
  oscillators_[static_cast<size_t>(oscillatorCount_)] = &osc;
  tuners_[static_cast<size_t>(oscillatorCount_)] = &tuner;
  ++oscillatorCount_;
}

void TDSPSynthVoice::RestartOscillators() {
  for (int i = 0; i < oscillatorCount_; ++i) oscillators_[static_cast<size_t>(i)]->ResetPhase();
}

void TDSPSynthVoice::RestartKeySyncedLfos() {
  for (int k = 0; k < kLfoCount; ++k) {
    if (!LfoKeySync[static_cast<size_t>(k)]) continue;
    Lfo[static_cast<size_t>(k)].ResetPhase();
    LfoTime[static_cast<size_t>(k)] = 0;
    LfoCycles[static_cast<size_t>(k)] = 0;
  }
}

void TDSPSynthVoice::RestartSequencers(bool onlyWithRetrigger) {
  for (auto& seq : Sequencers) {
    if (seq.ResetOnNote() && (!onlyWithRetrigger || seq.RetriggerAlways())) seq.Restart();
  }
}

void TDSPSynthVoice::Trigger() {
  TDSPEnvVoice::Trigger();
  RestartSequencers(false);
  RestartKeySyncedLfos();
  RestartOscillators();
}

void TDSPSynthVoice::Legato() { RestartSequencers(true); }

void TDSPSynthVoice::TakeOver(TDSPXVoice& source, bool restart) {
  TDSPEnvVoice::TakeOver(source, restart);
  if (restart) {
    RestartSequencers(false);
    RestartKeySyncedLfos();
  } else {
    RestartSequencers(true);
  }
}

void TDSPSynthVoice::SetTempo(double bpm) {
  for (auto& seq : Sequencers) seq.SetTempo(bpm);
}

void TDSPSynthVoice::ContextChanged(TDSPProcessInfo* info) {
  TDSPEnvVoice::ContextChanged(info);
  for (int i = 0; i < oscillatorCount_; ++i) {
    oscillators_[static_cast<size_t>(i)]->ContextChanged(info);
    tuners_[static_cast<size_t>(i)]->ContextChanged(info);
  }
  for (auto& f : Filters) f.ContextChanged(info);
  ShaperLeft.ContextChanged(info);
  ShaperRight.ContextChanged(info);
  for (auto& seq : Sequencers) seq.ContextChanged(info);
  gain_.assign(static_cast<size_t>(info->paddedBlock), 0.0f);
}
