#include "engine/SynthVoice.h"

namespace tesmora6 {

TDSPSynthVoice::TDSPSynthVoice() {
  // The LFOs advance one step per control period on a 10 kHz context of their own.
  for (auto& lfo : Lfo) lfo.ContextChanged(&LfoProcessInfo());
  gain_.assign(static_cast<size_t>(context_->paddedBlock), 0.0f);
}

void TDSPSynthVoice::AddOscillator(TDSPOscillator& osc, TDSPDiatonicTune& tuner) {
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
  TDSPEnvelopeVoice::Trigger();
  RestartSequencers(false);
  RestartKeySyncedLfos();
  RestartOscillators();
}

void TDSPSynthVoice::Legato() { RestartSequencers(true); }

void TDSPSynthVoice::TakeOver(TDSPPooledVoice& source, bool restart) {
  TDSPEnvelopeVoice::TakeOver(source, restart);
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
  TDSPEnvelopeVoice::ContextChanged(info);
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

}  // namespace tesmora6
