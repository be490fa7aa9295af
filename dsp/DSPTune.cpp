#include "dsp/DSPTune.h"

#include <algorithm>

#include "dsp/DSPTuneTables.h"

namespace tesmora6 {

namespace {

// Pitch classes of the major scale on C, as a mask over 0 .. 11.
constexpr std::array<bool, 12> kMajorScaleMask = [] {
  std::array<bool, 12> mask{};
  for (int8_t step : kMajorScaleSteps) mask[static_cast<size_t>(step)] = true;
  return mask;
}();

int PitchClass(int32_t note) { return ((note % 12) + 12) % 12; }

int KeyRoot(int key) { return kKeyRoots[static_cast<size_t>(std::clamp(key, kLowestKey, kHighestKey) - kLowestKey)]; }

// Notes and step counts beyond this are meaningless as pitches; keeping them inside it
// keeps every conversion and sum within 32-bit range.
constexpr float kNoteLimit = 16777216.0f;  // 2^24

int32_t RoundNote(float x) { return TDSPBaseControl::Round(std::clamp(x, -kNoteLimit, kNoteLimit)); }

}  // namespace

bool TDSPDiatonicTune::InScale(int key, int32_t note) {
  return kMajorScaleMask[static_cast<size_t>(PitchClass(note - KeyRoot(key)))];
}

int32_t TDSPDiatonicTune::Steps(int key, int32_t s, int32_t p) {
  if (s == 0) return 0;
  const int32_t direction = s > 0 ? 1 : -1;
  int32_t count = s > 0 ? s : -s;
  // Any twelve consecutive semitones hold exactly seven scale notes, so whole octaves of
  // steps are taken at once and at most seven steps are counted note by note.
  const int32_t octaves = (count - 1) / 7;
  count -= 7 * octaves;
  int32_t r = 0;
  while (count > 0) {
    r += direction;
    if (InScale(key, p + r)) --count;
  }
  return direction * 12 * octaves + r;
}

void TDSPDiatonicTune::SetSemitoneOffset(float semitones) {
  if (semitones == semitoneOffset_) return;
  semitoneOffset_ = semitones;
}

void TDSPDiatonicTune::SetKey(float key) {
  if (key == keySetting_) return;
  ClampInPlace(key, static_cast<float>(kLowestKey), static_cast<float>(kHighestKey));
  keySetting_ = key;
  key_ = static_cast<int8_t>(Round(key));
}

void TDSPDiatonicTune::SetDiatonic(float on) {
  if (on == diatonicSetting_) return;
  diatonicSetting_ = on;
  diatonic_ = on > 0.0f;
}

void TDSPDiatonicTune::SetFineOffset(float semitones) {
  if (semitones == fineOffset_) return;
  fineOffset_ = semitones;
}

void TDSPDiatonicTune::Tick() {
  const float n = In;
  if (!diatonic_) {
    Out = n + semitoneOffset_ + fineOffset_;
    return;
  }
  const int32_t steps = Steps(key_, RoundNote(semitoneOffset_), RoundNote(n));
  Out = n + static_cast<float>(steps) + fineOffset_;
}

}  // namespace tesmora6
