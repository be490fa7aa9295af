// Pitch conversion for an oscillator: a semitone offset and a fine offset added to a note
// number, or, in diatonic mode, the semitone offset read as a number of steps in a major
// key given by its signature (-7 .. 7 sharps or flats).
#pragma once

#include <cstdint>

#include "dsp/DSPControl.h"

namespace tesmora6 {

class TDSPDiatonicTune : public TDSPControl {
 public:
  TDSPDiatonicTune() = default;

  // Each setter does nothing when the value equals the stored one.
  virtual void SetSemitoneOffset(float semitones);
  // Stored clamped to [-7, 7]; the key is its rounded value.
  virtual void SetKey(float key);
  // Diatonic mode is on for values above 0.
  virtual void SetDiatonic(float on);
  virtual void SetFineOffset(float semitones);

  // In: a note number (semitones on the MIDI scale); Out: the tuned note number.
  void Tick() override;

  // Semitones from note p to the s-th note of the key's major scale above it (s > 0) or
  // below it (s < 0); 0 for s = 0. p need not be in the scale.
  static int32_t Steps(int key, int32_t s, int32_t p);
  // Whether the note's pitch class (taken in 0 .. 11, negative notes too) is in the key.
  static bool InScale(int key, int32_t note);

  bool Diatonic() const { return diatonic_; }
  int Key() const { return key_; }
  float KeySetting() const { return keySetting_; }
  float SemitoneOffset() const { return semitoneOffset_; }
  float FineOffset() const { return fineOffset_; }

 private:
  bool diatonic_ = false;
  int8_t key_ = 0;
  float fineOffset_ = 0.0f;
  float semitoneOffset_ = 0.0f;  // semitones, or scale steps in diatonic mode
  float keySetting_ = 0.0f;
  float diatonicSetting_ = 0.0f;
};

}  // namespace tesmora6
