// What every voice carries for the pool: its state (held, released, free), note,
// velocity, glide start, age and the fade of a stolen note, and the calls the pool makes
// on it (start, legato, take over, release, reset).
#pragma once

#include <cstdint>

#include "dsp/DSPControl.h"

namespace tesmora6 {

enum TVoiceState : uint8_t { kVoiceHeld = 0, kVoiceReleased = 1, kVoiceFree = 2 };

// The bookkeeping every voice carries.
class TDSPPooledVoice : public TDSPControl {
 public:
  TDSPPooledVoice() = default;
  ~TDSPPooledVoice() override = default;

  // Free, with its note bookkeeping back at the start values.
  virtual void Reset();
  // Note-off: the envelopes enter their release from the current level.
  virtual void Release();
  // Legato start from another, held voice.
  virtual void TakeOver(TDSPPooledVoice& source, bool restart);
  // Keeps sounding with its envelopes untouched; only the sequencers may restart.
  virtual void Legato() {}
  // Full start of a note.
  virtual void Trigger() {}
  virtual void AfterTrigger() {}
  virtual void SetTempo(double) {}

  bool IsFree() const { return State == kVoiceFree; }

  // A sounding voice taken for a new note first fades its old note out (cutting it in one
  // sample clicked), and the new note waits here until the fade has ended.
  struct TPendingNote {
    bool waiting = false;
    bool released = false;  // its note-off came during the fade
    int32_t note = 0;
    float velocity = 0.0f;
    float glideFrom = 0.0f;
  };
  TPendingNote Pending;
  void StartStealFade(int32_t samples) {
    stealFadePosition_ = 0;
    stealFadeLength_ = samples > 0 ? samples : 1;
  }
  // Multiplies a period of the voice's gain by the falling ramp: 1 - (t + 1) / length,
  // reaching 0 on the fade's last sample and staying there.
  void ApplyStealFade(float* gain, int32_t n) {
    for (int32_t k = 0; k < n; ++k, ++stealFadePosition_) {
      const float left = static_cast<float>(stealFadeLength_ - stealFadePosition_ - 1);
      gain[k] *= left > 0.0f ? left / static_cast<float>(stealFadeLength_) : 0.0f;
    }
  }
  bool StealFadeDone() const { return stealFadePosition_ >= stealFadeLength_; }
  // The key the voice answers to: the waiting note's once it has been taken.
  int32_t OwningNote() const { return Pending.waiting ? Pending.note : Note; }

  int32_t ControlCounter = -1;  // samples since the last control update; -1 = just triggered
  int32_t PoolSize = 0;
  uint8_t State = kVoiceFree;
  int32_t Age = 0;
  float Velocity = 0.0f;
  int32_t Note = 48;
  float GlideFrom = 48.0f;
  float LastPitch = 48.0f;
  int32_t ReleaseAge = 0;

 private:
  int32_t stealFadePosition_ = 0;
  int32_t stealFadeLength_ = 0;
};

}  // namespace tesmora6
