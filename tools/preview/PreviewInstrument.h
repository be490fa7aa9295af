// Plays short phrases on a fresh instrument through its VST 2 entry points, as a host does,
// for the bank preview and the bank's quality tests. Each instance starts from the factory
// bank; nothing of an earlier sound (effect tails, voices) carries into the next one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/VstAbi.h"
#include "tools/preview/SoundMeasures.h"

namespace tesmora6 {

class TTesmora6;

struct TPhraseNote {
  double start = 0.0;   // seconds
  double length = 0.5;  // seconds until the note-off
  int key = 60;
  int velocity = 100;
};

struct TPhrase {
  std::vector<TPhraseNote> notes;
  double tail = 1.0;  // seconds rendered after the last note-off

  double LastRelease() const;  // seconds
  double Length() const { return LastRelease() + tail; }
};

// The review phrase (about 9 s): a note, a four-note chord, a run over two octaves and single
// notes low and high, at velocity 100.
TPhrase ReviewPhrase();
// One note at velocity 100, held for hold seconds.
TPhrase SingleNote(int key, double hold, double tail);
// Four notes at once (a C major chord with its octave from key), held for hold seconds.
TPhrase FourNoteChord(int key, double hold, double tail);
// What a musician holds, at full velocity (127): one key, or the chord C3 G3 C4 E4, held for
// hold seconds (4 s: long enough for a slow pad to reach its sustained level), then the tail.
constexpr double kHeldSeconds = 4.0;
constexpr int kFullVelocity = 127;
TPhrase HeldNote(int key, double hold = kHeldSeconds, double tail = 0.5);
TPhrase HeldChord(double hold = kHeldSeconds, double tail = 0.5);
// What the test sound plays for a sub-preset of a group: a short chord, then a held note
// (long enough for a modulated effect to show), then the effects' tails, about 4 s; for a
// sequencer group one note held for 8 s, four bars at 120 BPM, so that patterns that move
// bar by bar are heard.
TPhrase TestSoundPhrase(int32_t groupId = 0);

class TPreviewInstrument {
 public:
  explicit TPreviewInstrument(double rate = 44100.0, double tempo = 120.0);
  ~TPreviewInstrument();
  TPreviewInstrument(const TPreviewInstrument&) = delete;
  TPreviewInstrument& operator=(const TPreviewInstrument&) = delete;

  TTesmora6& Synth() { return *synth_; }
  int32_t ProgramCount() const;
  std::string ProgramName(int32_t n);
  // effSetProgram, as a host does; the next block applies every parameter.
  void SelectProgram(int32_t n);
  // setParameter with a normalized value.
  void SetParameter(int32_t index, float normalized);
  float Parameter(int32_t index);
  // Sets a parameter by its key to a value in any form ParseParameterValue reads ("Saw",
  // 5ms, 1200, =0.5); throws std::runtime_error naming the key when either is wrong.
  void Set(std::string_view key, std::string_view value);
  // The fixed sound the sub-presets of a group are heard on: every parameter at its default,
  // then two saws a few cents apart at the bank's level; the effects stay off until a sub-preset turns them on,
  // and a sequencer group's sequencer is on (its sub-presets are patterns to hear).
  void UseTestSound(int32_t groupId = 0);
  static constexpr int32_t kSequencer1Group = 40, kSequencer2Group = 41;
  // Renders the phrase (events at their exact frames, 512-frame host blocks).
  TStereoAudio Play(const TPhrase& phrase);

  double tempo;

 private:
  static intptr_t Callback(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

  double rate_;
  vst::VstTimeInfo time_{};
  TTesmora6* synth_ = nullptr;  // owned by the instance: effClose destroys it
  vst::AEffect* effect_ = nullptr;
};

}  // namespace tesmora6
