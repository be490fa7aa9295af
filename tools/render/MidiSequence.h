// A MIDI performance as timed channel messages with its tempo map: read from a Standard
// MIDI File (tools/render/MidiFile.h), or the built-in demo phrase.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesmora6 {

struct TTimedMidiMessage {
  double seconds = 0.0;
  uint8_t bytes[3] = {0, 0, 0};
};

// From `seconds` on, the song runs at `bpm` in numerator/denominator time; `beats` is the
// song position there in quarter notes.
struct TTimeMapPoint {
  double seconds = 0.0;
  double beats = 0.0;
  double bpm = 120.0;
  int32_t numerator = 4;
  int32_t denominator = 4;
};

// Where the song is at a moment: what a host reports through its time info.
struct TSongPosition {
  double bpm = 120.0;
  double beats = 0.0;  // quarter notes since the start
  int32_t numerator = 4;
  int32_t denominator = 4;
};

struct TMidiSequence {
  std::vector<TTimedMidiMessage> messages;  // in time order
  // In time order, the first at 0 seconds; empty means 120 BPM in 4/4 throughout.
  std::vector<TTimeMapPoint> timeMap;

  double LengthSeconds() const { return messages.empty() ? 0.0 : messages.back().seconds; }
  double InitialTempo() const { return timeMap.empty() ? 120.0 : timeMap.front().bpm; }
  // The tempo, meter and position in beats at a time (seconds from the start).
  TSongPosition PositionAt(double seconds) const;
};

// A short phrase of chords, a bass line and a melody, about eight seconds at 120 BPM.
TMidiSequence DemoPhrase();

}  // namespace tesmora6
