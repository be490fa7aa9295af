#include "tools/render/MidiSequence.h"

#include <smf.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

TMidiSequence LoadMidiFile(const std::string& path) {
  std::unique_ptr<smf_t, decltype(&smf_delete)> smf(smf_load(path.c_str()), &smf_delete);
  if (!smf) throw std::runtime_error("cannot read the MIDI file " + path);
  TMidiSequence sequence;
  if (smf_tempo_t* tempo = smf_get_tempo_by_pulses(smf.get(), 0)) {
    if (tempo->microseconds_per_quarter_note > 0) {
      sequence.initialTempo = 60000000.0 / tempo->microseconds_per_quarter_note;
    }
  }
  smf_rewind(smf.get());
  while (smf_event_t* event = smf_get_next_event(smf.get())) {
    if (smf_event_is_metadata(event) || smf_event_is_sysex(event)) continue;
    if (event->midi_buffer_length < 1 || event->midi_buffer[0] < 0x80 || event->midi_buffer[0] >= 0xF0) {
      continue;
    }
    TTimedMidiMessage m;
    m.seconds = event->time_seconds;
    for (int b = 0; b < 3 && b < event->midi_buffer_length; ++b) m.bytes[b] = event->midi_buffer[b];
    sequence.messages.push_back(m);
  }
  std::stable_sort(sequence.messages.begin(), sequence.messages.end(),
                   [](const TTimedMidiMessage& a, const TTimedMidiMessage& b) {
                     return a.seconds < b.seconds;
                   });
  return sequence;
}

TMidiSequence DemoPhrase() {
  TMidiSequence sequence;
  sequence.initialTempo = 120.0;
  const double beat = 0.5;  // seconds per beat at 120 BPM
  auto note = [&](double startBeat, double beats, int key, int velocity) {
    sequence.messages.push_back({startBeat * beat, {0x90, static_cast<uint8_t>(key),
                                                    static_cast<uint8_t>(velocity)}});
    sequence.messages.push_back({(startBeat + beats) * beat - 0.01,
                                 {0x80, static_cast<uint8_t>(key), 0}});
  };
  // Am - F - C - G, one bar each, with a bass note and a melody above.
  const int chords[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};
  const int bass[4] = {45, 41, 48, 43};
  for (int bar = 0; bar < 4; ++bar) {
    for (int k : chords[bar]) note(bar * 4.0, 3.8, k, 80);
    note(bar * 4.0, 2.0, bass[bar], 100);
    note(bar * 4.0 + 2.0, 2.0, bass[bar] + 12, 90);
  }
  const int melody[16] = {76, 74, 72, 71, 72, 74, 76, 77, 79, 77, 76, 74, 74, 72, 71, 72};
  for (int i = 0; i < 16; ++i) note(i * 1.0, 0.9, melody[i], 96);
  std::stable_sort(sequence.messages.begin(), sequence.messages.end(),
                   [](const TTimedMidiMessage& a, const TTimedMidiMessage& b) {
                     return a.seconds < b.seconds;
                   });
  return sequence;
}
