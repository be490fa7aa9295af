// The sub-preset libraries' level gates: every entry of every group, recalled as the editor's
// Preset menu recalls it, keeps a held note and a held chord at full velocity below full
// scale, carries no DC, and sounds about as loud as the rest of its group, so that choosing
// an entry changes the character of the sound rather than its level.
//
// The host sound is the preview's test sound (TPreviewInstrument::UseTestSound): every
// parameter at its default, two saws a few cents apart at the bank's level (a held C4 reads
// -18.5 LUFS momentary beside the programs' -18.7), every effect off and, for a sequencer
// group, that sequencer on. It is chosen over a factory program because a program's own
// effects and sequencers would sit under the recalled group (a program's reverb behind a
// recalled delay, its own step pattern under a recalled one) and move every reading with
// the program's design; the plain saws carry the full spectrum every effect works on, and
// their sustain holds for the whole 4 s, so every entry is judged on the same sound. A
// sequencer's gain block multiplies the voice's level by its gate and level steps, so a
// recalled gate or level pattern acts on the saws directly (its pitch patterns move only the
// notes, not the level).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"
#include "tests/tools/QualityGates.h"
#include "tools/preview/PreviewInstrument.h"
#include "tools/preview/SoundMeasures.h"

using namespace tesmora6;

namespace {

using quality_gates::ExpectNone;
using quality_gates::kSanitized;
using quality_gates::Median;

// ---- thresholds ----
// Full scale, in true peak, as the factory programs' gate: a held note below 0 dBTP in every
// register, the chord C3 G3 C4 E4 below +3 dBTP (four attacks that line up add about 6 dB
// over one note). The test sound itself reads -6.5 dBTP on a held C4 and -0.1 dBTP on its
// chord: the chord leaves the effects 3 dB, which is why the chord, not the note, limits most
// entries. Before the repairs 28 entries passed a limit at 44.1 kHz, up to +5.0 dBTP on a
// note and +9.8 dBTP on a chord; now the highest reads -1.1 dBTP on a note and +2.6 dBTP on
// a chord (both "Rain Grit" at 96 kHz, where the resonant phasers also run 2 dB hotter than
// at 44.1).
constexpr double kHeldNoteTruePeakDb = 0.0;
constexpr double kHeldChordTruePeakDb = 3.0;
// DC: -50 dBFS (0.3 % of full scale) as for the programs, where an offset starts to cost
// headroom and to thump at a note's start and end. The test sound carries none (-120 dBFS);
// the asymmetric distortion curves add it unless a high pass follows them: the highest entry
// now reads -59 dBFS ("Tight Drum Bus"; "Lo-Fi Radio Drive" read -40 dBFS before its filters
// moved after its curve).
constexpr double kMaxDcDb = -50.0;
// Loudness: the loudest 400 ms (momentary) of a held C4 beside the median of its group.
// Recalling an entry may change the level by about 6 LU and no more; measured after the
// repairs the entries lie within -5.4 .. +4.8 LU of their group's median over the three
// rates (-15.0 .. +14.7 LU before); the sample rate alone moves some entries by 1 to 2 LU
// (the distortions and phasers at 96 kHz); beyond 6 LU a recalled entry would need a fader
// ride, which is what the group's levelling spares the player.
constexpr double kMaxFromGroupMedianLu = 6.0;

struct THeldEntry {
  std::string name;
  std::vector<std::pair<int, THeldLevels>> notes;  // key, levels
  THeldLevels chord;
};

THeldLevels C4(const THeldEntry& e) {
  for (const auto& [key, levels] : e.notes) {
    if (key == 60) return levels;
  }
  return {};
}

// Recalls entry index of group on a fresh instrument, as the Preset menu does, and holds the
// phrase.
THeldLevels PlayHeld(double rate, int32_t group, int32_t index, const TPhrase& phrase) {
  TPreviewInstrument instrument(rate);
  instrument.UseTestSound(group);
  instrument.Synth().SubPresets()->Recall(group, index);
  return MeasureHeld(instrument.Play(phrase));
}

void ExpectHeldLevels(double rate, const std::vector<int>& keys) {
  TPreviewInstrument probe(rate);
  const auto& groups = probe.Synth().SubPresets()->Groups();
  if (std::all_of(groups.begin(), groups.end(), [](const auto& g) { return g.SubPresetCount() == 0; })) {
    GTEST_SKIP() << "the factory bank has no sub-presets yet";
  }
  std::vector<std::string> peaks, levels;
  for (const TSubPresetGroup& g : groups) {
    std::vector<THeldEntry> entries;
    for (int32_t i = 0; i < g.SubPresetCount(); ++i) {
      THeldEntry e;
      e.name = g.presets[static_cast<size_t>(i)].name;
      for (int key : keys) e.notes.emplace_back(key, PlayHeld(rate, g.id, i, HeldNote(key)));
      e.chord = PlayHeld(rate, g.id, i, HeldChord());
      entries.push_back(std::move(e));
    }
    for (const THeldEntry& e : entries) {
      std::ostringstream f;
      for (const auto& [key, note] : e.notes) {
        if (note.truePeakDb >= kHeldNoteTruePeakDb) f << "key " << key << " peaks at " << note.truePeakDb << " dBTP; ";
        if (note.dcDb > kMaxDcDb) f << "key " << key << " carries DC of " << note.dcDb << " dBFS; ";
      }
      if (e.chord.truePeakDb >= kHeldChordTruePeakDb) f << "the chord peaks at " << e.chord.truePeakDb << " dBTP; ";
      if (e.chord.dcDb > kMaxDcDb) f << "the chord carries DC of " << e.chord.dcDb << " dBFS; ";
      if (!f.str().empty()) peaks.push_back(g.name + " \"" + e.name + "\": " + f.str());
    }
    std::vector<double> momentary;
    for (const THeldEntry& e : entries) momentary.push_back(C4(e).momentaryLufs);
    const double median = Median(momentary);
    for (size_t i = 0; i < entries.size(); ++i) {
      if (std::fabs(momentary[i] - median) > kMaxFromGroupMedianLu) {
        levels.push_back(g.name + " \"" + entries[i].name + "\": " + std::to_string(momentary[i] - median) +
                         " LU from the group's median of " + std::to_string(median) + " LUFS");
      }
    }
  }
  ExpectNone(peaks, "sub-presets are too hot or carry DC when held");
  ExpectNone(levels, "sub-presets are too loud or too quiet for their group");
}

// C2, C4 and C6 at the two common rates; at 96 kHz (and under the sanitizers, which make
// every render several times dearer) the middle register only.
TEST(FactorySubPresets, HeldNotesAndChordsAreSafeAndLevelMatchedAt44100) {
  ExpectHeldLevels(44100.0, kSanitized ? std::vector<int>{60} : std::vector<int>{36, 60, 84});
}
TEST(FactorySubPresets, HeldNotesAndChordsAreSafeAndLevelMatchedAt48000) {
  if (kSanitized) GTEST_SKIP() << "the Release run plays 48 kHz";
  ExpectHeldLevels(48000.0, {36, 60, 84});
}
TEST(FactorySubPresets, HeldNotesAndChordsAreSafeAndLevelMatchedAt96000) {
  if (kSanitized) GTEST_SKIP() << "the Release run plays 96 kHz";
  ExpectHeldLevels(96000.0, {60});
}

}  // namespace
