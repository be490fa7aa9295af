// The voice pool: voice allocation and stealing, note-on and note-off, the "Use note
// first envelope" legato rule, glide sources, and the pool rebuild on a "Voices" change.
#pragma once

#include <memory>
#include <vector>

#include "engine/SynthVoice.h"
#include "framework/DSPPluginX.h"

namespace tesmora6 {

class TVoicePoolLayer : public TDSPPluginX {
 public:
  static constexpr int32_t kMaxVoices = 32;

  TVoicePoolLayer();
  ~TVoicePoolLayer() override;

  void NoteOn(const TMidiEventCompact& event) override;
  void NoteOff(const TMidiEventCompact& event) override;
  void TempoChanged() override;

  // Every voice Reset; the next note does not glide.
  virtual void ResetVoices();
  // Rebuilds the pool when "Voices" asked for another size (start of each rendered block).
  virtual void CheckVoicePool();
  virtual void CreateVoices();
  virtual void FreeVoices();
  virtual void VoicesContextChanged();
  // Creates the voice of a pool slot (each instrument layer its own class).
  virtual std::unique_ptr<TDSPSynthVoice> CreateVoice(int32_t index);
  virtual void AfterNoteOn(int32_t index);
  virtual void RetriggerVoice(int32_t index);
  virtual void VoicesTempoChanged();

  int32_t VoiceCount() const { return voiceCount_; }
  TDSPSynthVoice* Voice(int32_t i) { return voicePool_[static_cast<size_t>(i)].get(); }
  TDSPSynthVoice* LastVoice() { return lastVoice_; }
  int32_t ActiveNotes() const { return activeNotes_; }
  // Builds the pool before a block releases its first event (framework hook).
  void PrepareVoices() override { CheckVoicePool(); }
  // A voice is busy from its note-on until both envelopes have finished (a stolen voice
  // fading out for its waiting note included).
  bool VoicesSounding() const override {
    for (const auto& v : voicePool_)
      if (v && !v->IsFree()) return true;
    return false;
  }
  // Controllers 123 and 120: every held note released; every voice silenced at once.
  void AllNotesOff() override;
  void AllSoundOff() override;
  // After a voice was rendered: a stolen voice whose old note has faded out starts the
  // note that waits for it.
  void StartWaitingNote(int32_t index);
  // The "Voices" handler: the pool follows at the next rendered block.
  void RequestVoices(int32_t count);
  void SetUseFirstEnvelope(bool on) { useFirstEnvelope_ = on; }
  bool RebuildingPool() const { return rebuildingPool_ != 0; }

 protected:
  void PropagateContext() override;
  // A voice whose envelopes have both finished becomes free (checked after each block).
  void EndVoiceIfFinished(TDSPSynthVoice& voice);

  std::vector<std::unique_ptr<TDSPSynthVoice>> voicePool_;
  int32_t voiceCount_ = -1;
  uint8_t requestedVoices_ = 0;
  uint8_t voicePoolDirty_ = 0;
  uint8_t rebuildingPool_ = 0;
  uint8_t useFirstEnvelope_ = 0;
  TDSPSynthVoice* lastVoice_ = nullptr;
  int32_t activeNotes_ = 0;
};

}  // namespace tesmora6
