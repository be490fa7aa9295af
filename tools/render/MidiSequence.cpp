#include "tools/render/MidiSequence.h"

#include <algorithm>

namespace tesmora6 {

TSongPosition TMidiSequence::PositionAt(double seconds) const {
  TSongPosition position;
  if (timeMap.empty()) {
    position.beats = seconds * position.bpm / 60.0;
    return position;
  }
  // The last point at or before the moment (the first one before the start).
  auto point = std::upper_bound(timeMap.begin(), timeMap.end(), seconds,
                                [](double s, const TTimeMapPoint& p) { return s < p.seconds; });
  if (point != timeMap.begin()) --point;
  position.bpm = point->bpm;
  position.numerator = point->numerator;
  position.denominator = point->denominator;
  position.beats = point->beats + (seconds - point->seconds) * point->bpm / 60.0;
  return position;
}

TMidiSequence DemoPhrase() {
  TMidiSequence sequence;
  sequence.timeMap.push_back({});  // 120 BPM, 4/4
  const double beat = 0.5;         // seconds per beat at 120 BPM
  auto note = [&](double startBeat, double beats, int key, int velocity) {
    sequence.messages.push_back({startBeat * beat, {0x90, static_cast<uint8_t>(key), static_cast<uint8_t>(velocity)}});
    sequence.messages.push_back({(startBeat + beats) * beat - 0.01, {0x80, static_cast<uint8_t>(key), 0}});
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
                   [](const TTimedMidiMessage& a, const TTimedMidiMessage& b) { return a.seconds < b.seconds; });
  return sequence;
}

}  // namespace tesmora6
