// The factory bank's quality gates: every program plays, at a sane level, near the bank's
// loudness, and unlike every other program; every sub-preset changes its test sound and
// differs from its neighbours. The phrases are short and rendered at 22050 Hz so that the
// whole bank stays fast.
//
// While the bank is still the default patch in every program (before the sound design has
// landed) these gates are skipped: they judge sounds, and there are none yet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6ParamIds.h"
#include "tools/preview/PreviewInstrument.h"
#include "tools/preview/SoundMeasures.h"

namespace {

constexpr double kRate = 22050.0;

// ---- thresholds ----
// Audible: a phrase quieter than this is taken for silence (a normal program reads -30 ..
// -10 LUFS; -45 LUFS is hardly above the noise of a quiet room at listening level).
constexpr double kAudibleLufs = -45.0;
// Levels: one note at velocity 100 stays below full scale; four notes may add up to +3 dB.
constexpr double kNotePeakDb = 0.0;
constexpr double kChordPeakDb = 3.0;
// Loudness: within 6 dB of the bank's median, so switching programs needs no fader ride.
constexpr double kLoudnessSpreadDb = 6.0;
// Parameters: two programs differ in at least this many settings by more than a small step
// (1/64 of the range: two steps of a 0..127 control, a semitone of a +-36 transpose). One or
// two knobs moved on a copied program make a variation, not a new program.
constexpr int kMinChangedSettings = 3;
constexpr float kSettingStep = 1.0f / 64.0f;
// Sounds: the RMS difference of two fingerprints (20 bands x 8 time slices, level-free, in
// dB) of the gate phrase. Measured on this instrument with two saws a few cents apart: the
// same patch rendered twice differs by 0.00, a 6 dB level change by 0.00, a 24 dB low-pass
// moved from 4000 to 3600 Hz by 0.67; a transposition by a semitone moves it by 1.7, the
// same low-pass moved half an octave by 2.1, one saw turned into a square by 3.3, a 100 ms
// instead of a 56 ms attack by 2.5, a 300 ms one by 14. 1.5 dB lies between the changes
// one hardly hears and those one clearly does.
constexpr double kMinSoundDistanceDb = 1.5;
// Rhythm: the RMS difference of the two sounds' level envelopes in 23 ms steps (dB). Two
// sounds count as alike only when this too stays below 3 dB: the fingerprint's time slices
// are too coarse to tell a gate in eighths from one in sixteenths, while such patterns
// differ by 10 dB and more from step to step.
constexpr double kMinRhythmDistanceDb = 3.0;
// A sub-preset changes the test sound audibly: by the same fingerprint or rhythm distance,
// or by a level change of at least 1 dB (neither distance sees level).
constexpr double kMinLevelChangeDb = 1.0;
// The coverage: programs that use a step sequencer and programs that use the
// modulation matrix.
constexpr int kMinSequencerPrograms = 20;
constexpr int kMinMatrixPrograms = 20;

// The phrase of the gates: one note (0 .. 1.6 s), then a four-note chord (1.6 s on).
constexpr double kChordStart = 1.6;
TPhrase GatePhrase() {
  TPhrase p;
  p.notes.push_back({0.0, 1.2, 60, 100});
  for (int k : {48, 52, 55, 60}) p.notes.push_back({kChordStart, 1.2, k, 100});
  p.tail = 0.6;
  return p;
}

double PeakDb(const TStereoAudio& a, size_t from, size_t to) {
  float peak = 0.0f;
  for (size_t i = from; i < std::min(to, a.Frames()); ++i) peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
  return peak > 0.0f ? 20.0 * std::log10(peak) : kSilentDb;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

struct TProgramSound {
  std::string name;
  std::vector<float> values;
  TSoundMeasures measures;
  double notePeakDb = kSilentDb, chordPeakDb = kSilentDb;
  TFingerprint fingerprint;
};

// True once the sound design has landed: some program differs from program 0.
bool BankIsDesigned(TTesmora6& synth) {
  for (int32_t n = 1; n < synth.ProgramCount(); ++n) {
    if (synth.Program(n).values != synth.Program(0).values) return true;
  }
  return false;
}

std::string Label(size_t n, const std::string& name) { return std::to_string(n) + " \"" + name + "\""; }

// Every fault is listed at once, so that a sound designer sees the whole list.
void ExpectNone(const std::vector<std::string>& faults, const char* what) {
  constexpr size_t kShown = 60;
  std::ostringstream list;
  for (size_t i = 0; i < std::min(kShown, faults.size()); ++i) list << "\n  " << faults[i];
  if (faults.size() > kShown) list << "\n  ... and " << faults.size() - kShown << " more";
  EXPECT_TRUE(faults.empty()) << faults.size() << " " << what << ":" << list.str();
}

constexpr const char* kNotDesigned = "the factory bank is still the default patch in every program";

TEST(FactoryBank, ProgramsAreNamedAndUseTheSequencersAndTheMatrix) {
  TPreviewInstrument probe(kRate);
  TTesmora6& synth = probe.Synth();
  if (!BankIsDesigned(synth)) GTEST_SKIP() << kNotDesigned;
  auto real = [&](int32_t n, int32_t p) { return synth.ParamInfo(p).ToReal(synth.Program(n).values[static_cast<size_t>(p)]); };
  std::vector<std::string> faults;
  std::set<std::string> names;
  int sequencers = 0, matrix = 0;
  for (int32_t n = 0; n < synth.ProgramCount(); ++n) {
    const std::string& name = synth.ProgramName(n);
    if (name.empty() || name.size() > 24) faults.push_back(Label(n, name) + ": a name needs 1 .. 24 characters");
    if (!names.insert(name).second) faults.push_back(Label(n, name) + ": the name is used twice");
    if (real(n, Param::Seq1On) >= 0.5f || real(n, Param::Seq2On) >= 0.5f) ++sequencers;
    bool slot = false;
    for (int32_t k = 0; k < 22; ++k) {
      const int32_t src = Param::ModSrc1 + 3 * k;  // each slot: source, destination, amount
      slot = slot || (std::lround(real(n, src)) != 0 && std::lround(real(n, src + 1)) != 0 &&
                      std::fabs(real(n, src + 2)) >= 1.0f);
    }
    if (real(n, Param::MOn) >= 0.5f && slot) ++matrix;
  }
  ExpectNone(faults, "program names are wrong");
  EXPECT_GE(sequencers, kMinSequencerPrograms) << "programs with a step sequencer on";
  EXPECT_GE(matrix, kMinMatrixPrograms) << "programs with a modulation matrix slot in use";
}

TEST(FactoryBank, EveryProgramPlaysAtASaneLevelAndUnlikeTheOthers) {
  std::vector<TProgramSound> sounds;
  {
    TPreviewInstrument probe(kRate);
    if (!BankIsDesigned(probe.Synth())) GTEST_SKIP() << kNotDesigned;
  }
  const TPhrase phrase = GatePhrase();
  const auto chordFrame = static_cast<size_t>(kChordStart * kRate);
  for (int32_t n = 0; n < 128; ++n) {
    TPreviewInstrument instrument(kRate);
    instrument.SelectProgram(n);
    const TStereoAudio audio = instrument.Play(phrase);
    TProgramSound s;
    s.name = instrument.ProgramName(n);
    s.values = instrument.Synth().Program(n).values;
    s.measures = MeasureSound(audio, static_cast<size_t>(phrase.LastRelease() * kRate));
    s.notePeakDb = PeakDb(audio, 0, chordFrame);
    s.chordPeakDb = PeakDb(audio, chordFrame, audio.Frames());
    s.fingerprint = Fingerprint(audio);
    sounds.push_back(std::move(s));
  }

  std::vector<std::string> faults;
  for (size_t n = 0; n < sounds.size(); ++n) {
    const TProgramSound& s = sounds[n];
    std::ostringstream f;
    if (!s.measures.finite) f << "renders NaN or infinity; ";
    if (s.measures.loudnessLufs < kAudibleLufs) f << "inaudible (" << s.measures.loudnessLufs << " LUFS); ";
    if (s.notePeakDb >= kNotePeakDb) f << "one note peaks at " << s.notePeakDb << " dBFS; ";
    if (s.chordPeakDb > kChordPeakDb) f << "the chord peaks at " << s.chordPeakDb << " dBFS; ";
    if (!f.str().empty()) faults.push_back(Label(n, s.name) + ": " + f.str());
  }
  ExpectNone(faults, "programs are silent, broken or too loud");

  std::vector<double> loudness;
  for (const auto& s : sounds) loudness.push_back(s.measures.loudnessLufs);
  const double median = Median(loudness);
  faults.clear();
  for (size_t n = 0; n < sounds.size(); ++n) {
    const double d = loudness[n] - median;
    if (std::fabs(d) > kLoudnessSpreadDb) {
      faults.push_back(Label(n, sounds[n].name) + ": " + std::to_string(d) + " dB from the median " +
                       std::to_string(median) + " LUFS");
    }
  }
  ExpectNone(faults, "programs are too loud or too quiet for the bank");

  faults.clear();
  for (size_t a = 0; a < sounds.size(); ++a) {
    for (size_t b = a + 1; b < sounds.size(); ++b) {
      const auto& x = sounds[a];
      const auto& y = sounds[b];
      int changed = 0;
      for (size_t i = 0; i < x.values.size(); ++i) {
        if (!(std::fabs(x.values[i] - y.values[i]) <= kSettingStep)) ++changed;
      }
      const double distance = FingerprintDistance(x.fingerprint, y.fingerprint);
      const double rhythm = EnvelopeDistance(x.fingerprint, y.fingerprint);
      if (changed < kMinChangedSettings || (distance < kMinSoundDistanceDb && rhythm < kMinRhythmDistanceDb)) {
        faults.push_back(Label(a, x.name) + " and " + Label(b, y.name) + ": " + std::to_string(changed) +
                         " settings apart, sounds " + std::to_string(distance) + " dB apart (rhythm " +
                         std::to_string(rhythm) + " dB)");
      }
    }
  }
  ExpectNone(faults, "pairs of programs are alike");
}

// ---- sub-presets ----

// The libraries the factory bank carries, in the instrument's group order.
const std::map<int32_t, int32_t> kFactoryCounts = {{10, 14}, {12, 11}, {11, 17}, {13, 12}, {15, 18},
                                                   {14, 11}, {16, 11}, {17, 29}, {40, 39}, {41, 39}};

bool HasSubPresets(TTesmora6& synth) {
  for (const auto& g : synth.SubPresets()->Groups()) {
    if (g.SubPresetCount() > 0) return true;
  }
  return false;
}

TEST(FactorySubPresets, EveryGroupHoldsItsFactoryCountOfCompleteSubPresets) {
  TPreviewInstrument probe(kRate);
  if (!HasSubPresets(probe.Synth())) GTEST_SKIP() << "the factory bank has no sub-presets yet";
  for (const auto& g : probe.Synth().SubPresets()->Groups()) {
    SCOPED_TRACE(g.name);
    ASSERT_TRUE(kFactoryCounts.count(g.id));
    EXPECT_EQ(g.SubPresetCount(), kFactoryCounts.at(g.id));
    for (const auto& p : g.presets) EXPECT_EQ(p.values.size(), g.items.size()) << p.name;
  }
}

TEST(FactorySubPresets, EveryRecallChangesTheTestSoundAndNoTwoAreAlike) {
  TPreviewInstrument probe(kRate);
  if (!HasSubPresets(probe.Synth())) GTEST_SKIP() << "the factory bank has no sub-presets yet";
  struct TSound {
    double lufs;
    TFingerprint fingerprint;
  };
  auto render = [&](int32_t group, int32_t index) {
    TPreviewInstrument instrument(kRate);
    instrument.UseTestSound(group);
    if (index >= 0) instrument.Synth().SubPresets()->Recall(group, index);
    const TStereoAudio audio = instrument.Play(TestSoundPhrase(group));
    return TSound{LoudnessLufs(audio), Fingerprint(audio)};
  };
  auto alike = [](const TSound& a, const TSound& b) {
    return FingerprintDistance(a.fingerprint, b.fingerprint) < kMinSoundDistanceDb &&
           EnvelopeDistance(a.fingerprint, b.fingerprint) < kMinRhythmDistanceDb &&
           std::fabs(a.lufs - b.lufs) < kMinLevelChangeDb;
  };
  std::vector<std::string> faults;
  for (const auto& g : probe.Synth().SubPresets()->Groups()) {
    const TSound plain = render(g.id, -1);
    std::vector<TSound> sounds;
    for (int32_t i = 0; i < g.SubPresetCount(); ++i) {
      sounds.push_back(render(g.id, i));
      const std::string label = g.name + " \"" + g.presets[static_cast<size_t>(i)].name + "\"";
      if (alike(sounds.back(), plain)) faults.push_back(label + " does not change the test sound audibly");
      for (int32_t j = 0; j < i; ++j) {
        if (alike(sounds.back(), sounds[static_cast<size_t>(j)])) {
          faults.push_back(label + " sounds like \"" + g.presets[static_cast<size_t>(j)].name + "\"");
        }
      }
    }
  }
  ExpectNone(faults, "sub-presets fail");
}

}  // namespace
