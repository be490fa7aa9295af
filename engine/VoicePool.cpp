#include "engine/VoicePool.h"

#include "dsp/DSPLock.h"

namespace tesmora6 {

TVoicePool::TVoicePool(TDSPPluginX& plugin, TVoiceMaker makeVoice) : plugin_(plugin), makeVoice_(makeVoice) {}

TVoicePool::~TVoicePool() {
  TDSPLockGuard lock(plugin_.Instance());
  FreeVoices();
}

void TVoicePool::RequestVoices(int32_t count) {
  // The "Voices" range; stored data outside it cannot ask for more.
  if (count < 0) count = 0;
  if (count > kMaxVoices) count = kMaxVoices;
  requestedVoices_ = static_cast<uint8_t>(count);
  voicePoolDirty_ = 1;
}

void TVoicePool::CreateVoices() {
  voicePool_.clear();
  voicePool_.resize(static_cast<size_t>(voiceCount_ > 0 ? voiceCount_ : 0));
  for (int32_t i = 0; i < voiceCount_; ++i) {
    auto voice = makeVoice_(i);
    if (!voice) continue;
    voice->PoolSize = voiceCount_;
    voice->ControlCounter = -1;
    voicePool_[static_cast<size_t>(i)] = std::move(voice);
  }
  lastVoice_ = nullptr;
  if (voiceCount_ > 0 && voicePool_[0]) {
    lastVoice_ = voicePool_[0].get();
    lastVoice_->LastPitch = -1000.0f;
  }
}

void TVoicePool::FreeVoices() {
  voicePool_.clear();
  voiceCount_ = -1;
  lastVoice_ = nullptr;
}

void TVoicePool::ResetVoices() {
  for (auto& v : voicePool_) {
    if (v) v->Reset();
  }
  if (lastVoice_) lastVoice_->LastPitch = -1000.0f;
}

void TVoicePool::ContextChanged() {
  for (auto& v : voicePool_) {
    if (v) v->ContextChanged(plugin_.Context());
  }
}

void TVoicePool::TempoChanged() {
  for (auto& v : voicePool_) {
    if (v) v->SetTempo(plugin_.Tempo());
  }
}

void TVoicePool::CheckVoicePool() {
  if (!voicePoolDirty_) return;
  voicePoolDirty_ = 0;
  if (requestedVoices_ == voiceCount_) return;
  {
    TDSPLockGuard lock(plugin_.Instance());
    FreeVoices();
    voiceCount_ = requestedVoices_;
    CreateVoices();
    ContextChanged();
    TempoChanged();
  }
  // Every setting reaches the new voices; Mute and Solo are left as they are.
  plugin_.BeginParameterUpdate();
  for (int32_t i = 0; i < plugin_.ParamCount(); ++i) {
    if (i != kParamMute && i != kParamSolo) plugin_.ParameterChanged(i);
  }
  plugin_.EndParameterUpdate();
}

// Runs under the instance lock its callers hold (a note-on, or the render starting a waiting
// note).
void TVoicePool::RetriggerVoice(int32_t index) { voicePool_[static_cast<size_t>(index)]->Trigger(); }

void TVoicePool::AfterNoteOn(int32_t index) { voicePool_[static_cast<size_t>(index)]->AfterTrigger(); }

void TVoicePool::NoteOn(const TMidiEventCompact& event) {
  if (voiceCount_ < 1) return;
  TDSPLockGuard lock(plugin_.Instance());

  // 1. Scan: the oldest sounding voice (ties to the later index) unless a free one exists.
  bool freeSeen = false;
  int32_t candidate = 0;
  int32_t largestAge = 0;
  int32_t releasedCandidate = -1;
  bool noneHeld = true;
  for (int32_t i = 0; i < voiceCount_; ++i) {
    TDSPSynthVoice* v = voicePool_[static_cast<size_t>(i)].get();
    if (!v) continue;
    if (v->State == kVoiceFree) {
      freeSeen = true;
      candidate = -1;
    } else if (!freeSeen && v->Age >= largestAge) {
      largestAge = v->Age;
      candidate = i;
      if (v->State == kVoiceReleased) releasedCandidate = i;
    }
    if (v->State == kVoiceHeld) noneHeld = false;
  }

  // 2. Steal: a released voice first (without restart), else the chosen held voice.
  bool restart = true;
  bool stoleHeld = false;
  if (candidate != -1) {
    if (releasedCandidate >= 0) {
      restart = false;
      voicePool_[static_cast<size_t>(releasedCandidate)]->State = kVoiceFree;
    } else {
      stoleHeld = true;
      voicePool_[static_cast<size_t>(candidate)]->State = kVoiceFree;
    }
  }

  // 3. Start the note on the first free voice.
  for (int32_t i = 0; i < voiceCount_; ++i) {
    TDSPSynthVoice* v = voicePool_[static_cast<size_t>(i)].get();
    if (!v || v->State != kVoiceFree) continue;
    const bool stolen = candidate != -1;
    const bool sounding = v->Pending.waiting || v->Env1.Level() > 0.0f || v->Env2.Level() > 0.0f;
    if (stolen && sounding && (!useFirstEnvelope_ || noneHeld)) {
      // A full restart of a sounding voice: its old note fades out over the declick time
      // first, keeping its pitch, phase and level, and the new note starts after it
      // (StartWaitingNote). A voice stolen again while it fades only takes the newer note.
      float glideFrom = lastVoice_ ? lastVoice_->LastPitch : static_cast<float>(event.number);
      if (glideFrom == -1000.0f) {
        glideFrom = static_cast<float>(event.number);
        if (lastVoice_) lastVoice_->LastPitch = glideFrom;
      }
      if (!v->Pending.waiting) v->StartStealFade(TDSPEnvelope::kDeclickMs * plugin_.Context()->samplesPerMs);
      v->Pending = {true, false, event.number, static_cast<float>(event.value) / 127.0f, glideFrom};
      v->State = kVoiceHeld;
      lastVoice_ = v;
      return;
    }
    v->Pending = {};
    v->Velocity = static_cast<float>(event.value) / 127.0f;
    if (!useFirstEnvelope_ || noneHeld) {
      RetriggerVoice(i);
    } else if (stoleHeld) {
      v->Legato();
    } else {
      TDSPSynthVoice* source = nullptr;
      if (voiceCount_ == 1) {
        source = lastVoice_;
      } else {
        for (int32_t k = 0; k < voiceCount_ && !source; ++k) {
          TDSPSynthVoice* h = voicePool_[static_cast<size_t>(k)].get();
          if (h && h->State == kVoiceHeld) source = h;
        }
      }
      if (source)
        v->TakeOver(*source, restart);
      else
        RetriggerVoice(i);
    }
    v->State = kVoiceHeld;
    v->GlideFrom = lastVoice_ ? lastVoice_->LastPitch : static_cast<float>(event.number);
    v->Note = event.number;
    if (v->GlideFrom == -1000.0f) {
      // No note since the last reset: no glide.
      v->GlideFrom = static_cast<float>(event.number);
      if (lastVoice_) lastVoice_->LastPitch = static_cast<float>(event.number);
    }
    v->Age = 0;
    v->ControlCounter = -1;
    AfterNoteOn(i);
    lastVoice_ = v;
    return;
  }
}

void TVoicePool::NoteOff(const TMidiEventCompact& event) {
  for (int32_t i = 0; i < voiceCount_; ++i) {
    TDSPSynthVoice* v = voicePool_[static_cast<size_t>(i)].get();
    if (v && v->State == kVoiceHeld && v->OwningNote() == event.number) {
      if (v->Pending.waiting && !v->Pending.released) {
        v->Pending.released = true;  // released as soon as it has started
        return;
      }
      if (v->Pending.waiting) continue;
      v->Release();
      return;
    }
  }
}

void TVoicePool::StartWaitingNote(int32_t index) {
  TDSPSynthVoice* v = voicePool_[static_cast<size_t>(index)].get();
  if (!v || !v->Pending.waiting || !v->StealFadeDone()) return;
  const TDSPPooledVoice::TPendingNote note = v->Pending;
  v->Pending = {};
  // The old note has faded to silence: its envelopes end here, without a ramp of their own.
  for (TDSPADSR* env : {&v->Env1, &v->Env2}) {
    env->SetGate(0.0f);
    env->SetAge(0);
    env->Silence();
  }
  v->Velocity = note.velocity;
  RetriggerVoice(index);
  v->State = kVoiceHeld;
  v->GlideFrom = note.glideFrom;
  v->Note = note.note;
  v->Age = 0;
  v->ControlCounter = -1;
  AfterNoteOn(index);
  if (note.released) v->Release();
}

void TVoicePool::AllNotesOff() {
  for (auto& v : voicePool_) {
    if (!v || v->State != kVoiceHeld) continue;
    if (v->Pending.waiting) {
      v->Pending.released = true;
    } else {
      v->Release();
    }
  }
}

void TVoicePool::AllSoundOff() {
  for (auto& v : voicePool_) {
    if (!v || v->State == kVoiceFree) continue;
    v->Reset();
  }
  if (lastVoice_) lastVoice_->LastPitch = -1000.0f;
}

void TVoicePool::EndVoiceIfFinished(TDSPSynthVoice& voice) {
  if (voice.Pending.waiting) return;
  if (voice.State != kVoiceFree && voice.EnvelopesFinished()) {
    voice.State = kVoiceFree;
  }
}

}  // namespace tesmora6
