// The voice pool: voice allocation and stealing, note-on and note-off, the "Use note
// first envelope" legato rule, glide sources, and the pool rebuild on a "Voices" change.
// The instrument owns one and hands it the framework's note, controller, tempo and
// context events; the pool reads the instance lock, the context and the tempo from the
// plug-in it was made for.
#pragma once

#include <memory>
#include <vector>

#include "engine/SynthVoice.h"
#include "framework/DSPPluginX.h"

namespace tesmora6 {

class TVoicePool {
 public:
  static constexpr int32_t kMaxVoices = 32;
  // Makes the voice of a pool slot (the instrument's own voice class).
  using TVoiceMaker = std::unique_ptr<TDSPSynthVoice> (*)(int32_t index);

  // `plugin` holds the parameters, the context, the tempo and the instance lock; it
  // outlives the pool.
  TVoicePool(TDSPPluginX& plugin, TVoiceMaker makeVoice);
  ~TVoicePool();
  TVoicePool(const TVoicePool&) = delete;
  TVoicePool& operator=(const TVoicePool&) = delete;

  // ---- what the owner forwards from the framework ----
  void NoteOn(const TMidiEventCompact& event);
  void NoteOff(const TMidiEventCompact& event);
  // Controllers 123 and 120: every held note released; every voice silenced at once.
  void AllNotesOff();
  void AllSoundOff();
  // Every voice takes the host tempo, or the new context.
  void TempoChanged();
  void ContextChanged();
  // A voice is busy from its note-on until both envelopes have finished (a stolen voice
  // fading out for its waiting note included).
  bool Sounding() const {
    for (const auto& v : voicePool_)
      if (v && !v->IsFree()) return true;
    return false;
  }

  // Rebuilds the pool when "Voices" asked for another size (before a block releases its
  // first event, and at the start of each rendered block); every setting then reaches the
  // new voices.
  void CheckVoicePool();
  // The "Voices" handler: the pool follows at the next rendered block.
  void RequestVoices(int32_t count);
  void SetUseFirstEnvelope(bool on) { useFirstEnvelope_ = on; }
  // Every voice Reset; the next note does not glide.
  void ResetVoices();

  int32_t VoiceCount() const { return voiceCount_; }
  TDSPSynthVoice* Voice(int32_t i) { return voicePool_[static_cast<size_t>(i)].get(); }

  // ---- what the render calls after a voice's block ----
  // A stolen voice whose old note has faded out starts the note that waits for it.
  void StartWaitingNote(int32_t index);
  // A voice whose envelopes have both finished becomes free.
  void EndVoiceIfFinished(TDSPSynthVoice& voice);

 private:
  void CreateVoices();
  void FreeVoices();
  void RetriggerVoice(int32_t index);
  void AfterNoteOn(int32_t index);

  TDSPPluginX& plugin_;
  TVoiceMaker makeVoice_;
  std::vector<std::unique_ptr<TDSPSynthVoice>> voicePool_;
  int32_t voiceCount_ = -1;
  uint8_t requestedVoices_ = 0;
  uint8_t voicePoolDirty_ = 0;
  uint8_t useFirstEnvelope_ = 0;
  TDSPSynthVoice* lastVoice_ = nullptr;
};

}  // namespace tesmora6
