// A MIDI performance as timed channel messages: read from a Standard MIDI File, or the
// built-in demo phrase.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TTimedMidiMessage {
  double seconds = 0.0;
  uint8_t bytes[3] = {0, 0, 0};
};

struct TMidiSequence {
  std::vector<TTimedMidiMessage> messages;  // in time order
  double initialTempo = 120.0;              // beats per minute
  double LengthSeconds() const { return messages.empty() ? 0.0 : messages.back().seconds; }
};

// Reads the channel messages of every track (meta and system-exclusive events are
// skipped); throws std::runtime_error when the file cannot be read.
TMidiSequence LoadMidiFile(const std::string& path);
// A short phrase of chords, a bass line and a melody, about eight seconds at 120 BPM.
TMidiSequence DemoPhrase();
