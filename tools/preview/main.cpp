// Renders the factory bank for review:
//   tesmora6-preview OUTDIR [--rate HZ] [--programs FIRST-LAST] [--no-programs] [--no-subpresets]
//                    [--bank FILE.fxb] [--held-only] [--group ID]
// --bank plays a bank file instead (tesmora6-bankgen's output), so sources can be reviewed
// without rebuilding the plug-in. --group renders the sub-presets of that group only. --held-only measures only the
// held notes and chord (no review phrase, no WAV files): a quick check of the levels while levelling the bank. Every
// program plays the review phrase (a note, a chord, a run, a low and a high note) into OUTDIR/programs/NNN.wav; every
// sub-preset is recalled on the fixed test sound into OUTDIR/subpresets/GROUP/NN.wav. OUTDIR/programs.csv and
// OUTDIR/subpresets.csv hold the measurements of each sound and the nearest other sound with its distance, so that
// weak, too loud, too quiet or look-alike entries stand out. Both also hold the levels of a note (C2, C4, C6) and of
// the chord C3 G3 C4 E4 held for 4 s at velocity 127: true peak, the loudest 400 ms, the integrated loudness and the DC
// offset; the swing of the chord's level (a step pattern as heard), the spectral centroid of the held C2, C4 and C6 and
// its spread and rise over the held C4 (a filter that follows the keys or sweeps). scripts/preview-bank adds the
// spectrogram contact sheets.
#include <CLI/CLI.hpp>
#include <sndfile.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"
#include "tools/preview/PreviewInstrument.h"
#include "tools/preview/SoundMeasures.h"

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

struct TSettings {
  double rate = 44100.0;
  std::vector<uint8_t> bank;  // a bank file loaded into every fresh instance; empty: the factory bank
  bool heldOnly = false;
  int32_t group = -1;  // the only sub-preset group rendered; -1: all
};

std::unique_ptr<TPreviewInstrument> NewInstrument(const TSettings& settings) {
  auto instrument = std::make_unique<TPreviewInstrument>(settings.rate);
  if (!settings.bank.empty()) instrument->Synth().ReadBankFile(settings.bank);
  return instrument;
}

void WriteWav(const fs::path& path, const TStereoAudio& audio) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(audio.rate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;  // float: a loud chord is kept as it is
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error(path.string() + ": " + sf_strerror(nullptr));
  std::vector<float> frames(audio.Frames() * 2);
  for (size_t i = 0; i < audio.Frames(); ++i) {
    frames[2 * i] = audio.left[i];
    frames[2 * i + 1] = audio.right[i];
  }
  sf_writef_float(file, frames.data(), static_cast<sf_count_t>(audio.Frames()));
  sf_close(file);
}

// A file name from a sound's name: letters, digits, '-', '+' and '.' stay, the rest is '_'.
std::string FileName(const std::string& label, const std::string& name) {
  std::string f = label + "-";
  for (char c : name) f += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.' ? c : '_';
  return f + ".wav";
}

std::string CsvText(const std::string& s) {
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string Number(double v, int decimals = 2) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

struct TEntry {
  std::string label;  // program number or group/index
  std::string name;
  TSoundMeasures measures;
  TFingerprint fingerprint;
  std::string extra;  // further CSV columns
};

// The nearest other entry (by fingerprint) of each entry in [begin, end).
void WriteNearest(std::ostream& csv, const std::vector<TEntry>& entries, size_t k, size_t begin, size_t end) {
  double best = std::numeric_limits<double>::max();
  size_t nearest = k;
  for (size_t j = begin; j < end; ++j) {
    if (j == k) continue;
    const double d = FingerprintDistance(entries[k].fingerprint, entries[j].fingerprint);
    if (d < best) {
      best = d;
      nearest = j;
    }
  }
  if (nearest == k) {
    csv << ",,,";
  } else {
    csv << ',' << CsvText(entries[nearest].label + " " + entries[nearest].name) << ',' << Number(best) << ','
        << Number(EnvelopeDistance(entries[k].fingerprint, entries[nearest].fingerprint));
  }
}

// The held sounds the bank's level gates play: a note in three registers and the chord.
// Besides their levels: how deep the chord's level swings (a step pattern's gaps as heard),
// the brightness of the note in the three registers (a filter that follows the keys) and how
// far the brightness of the C4 moves while it is held (a swept filter) and which way (its
// last second against its first, in octaves).
constexpr double kSustainFrom = 0.5;  // seconds: past the attack of all but the slowest pads
constexpr const char* kHeldColumns =
    "note_tp_db,note_momentary_lufs,note_integrated_lufs,note_dc_db,low_note_tp_db,high_note_tp_db,"
    "chord_tp_db,chord_momentary_lufs,chord_integrated_lufs,chord_dc_db,chord_swing_db,low_centroid_hz,"
    "note_centroid_hz,high_centroid_hz,note_centroid_span_oct,note_centroid_rise_oct";

// prepare sets the sound up on a fresh instrument (a program, or a sub-preset on its test sound).
template <typename TPrepare>
std::string HeldMeasures(const TSettings& settings, TPrepare prepare) {
  auto held = [&](const TPhrase& phrase, TStereoAudio& audio) {
    auto instrument = NewInstrument(settings);
    prepare(*instrument);
    audio = instrument->Play(phrase);
    return MeasureHeld(audio);
  };
  // The sustained part of each held sound, past the attack and before the release, is where
  // a step pattern's gaps and a filter's movement are judged.
  TStereoAudio noteAudio, lowAudio, highAudio, chordAudio;
  const THeldLevels note = held(HeldNote(60), noteAudio), low = held(HeldNote(36), lowAudio);
  const THeldLevels high = held(HeldNote(84), highAudio), chord = held(HeldChord(), chordAudio);
  auto sustained = [](const TStereoAudio& a) { return Slice(a, kSustainFrom, kHeldSeconds); };
  std::string c;
  for (double v :
       {note.truePeakDb, note.momentaryLufs, note.integratedLufs, note.dcDb, low.truePeakDb, high.truePeakDb,
        chord.truePeakDb, chord.momentaryLufs, chord.integratedLufs, chord.dcDb, LevelSwingDb(sustained(chordAudio)),
        CentroidHz(sustained(lowAudio)), CentroidHz(sustained(noteAudio)), CentroidHz(sustained(highAudio)),
        CentroidSpanOctaves(Slice(noteAudio, 0.0, kHeldSeconds)),
        std::log2(CentroidHz(Slice(noteAudio, 3.0, kHeldSeconds)) / CentroidHz(Slice(noteAudio, 0.1, 1.1)))}) {
    c += ',' + Number(v);
  }
  return c;
}

void WriteMeasures(std::ostream& csv, const TSoundMeasures& m) {
  csv << ',' << (m.finite ? "yes" : "NO") << ',' << Number(m.peakDb) << ',' << Number(m.loudnessLufs) << ','
      << Number(m.rmsDb) << ',' << Number(m.centroidHz, 0) << ',' << Number(m.width, 3) << ',' << Number(m.tailSeconds);
}

constexpr const char* kMeasureColumns = "finite,peak_db,loudness_lufs,rms_db,centroid_hz,width,tail_s";

void PreviewPrograms(const fs::path& out, const TSettings& settings, int first, int last) {
  const double rate = settings.rate;
  fs::create_directories(out / "programs");
  std::vector<TEntry> entries;
  const TPhrase phrase = ReviewPhrase();
  const size_t release = static_cast<size_t>(phrase.LastRelease() * rate);
  for (int n = first; n <= last; ++n) {
    TEntry e;
    char label[16];
    std::snprintf(label, sizeof label, "%03d", n);
    e.label = label;
    if (!settings.heldOnly) {
      auto instrument = NewInstrument(settings);
      instrument->SelectProgram(n);
      e.name = instrument->ProgramName(n);
      const TStereoAudio audio = instrument->Play(phrase);
      e.measures = MeasureSound(audio, release);
      e.fingerprint = Fingerprint(audio);
      WriteWav(out / "programs" / FileName(e.label, e.name), audio);
    }
    if (settings.heldOnly) {
      e.name = NewInstrument(settings)->ProgramName(n);
    } else {
      // The levels of the bank's short-phrase gates: one note and a four-note chord at velocity 100.
      for (const TPhrase& p : {SingleNote(60, 1.0, 0.5), FourNoteChord(48, 1.0, 0.5)}) {
        auto instrument = NewInstrument(settings);
        instrument->SelectProgram(n);
        e.extra += ',' + Number(MeasureSound(instrument->Play(p), 0).peakDb);
      }
    }
    e.extra += HeldMeasures(settings, [n](TPreviewInstrument& i) { i.SelectProgram(n); });
    std::cerr << "program " << e.label << " " << e.name << "\n";
    entries.push_back(std::move(e));
  }
  if (settings.heldOnly) {
    std::ofstream csv(out / "programs-held.csv");
    csv << "program,name," << kHeldColumns << "\n";
    for (const TEntry& e : entries) csv << e.label << ',' << CsvText(e.name) << e.extra << '\n';
    return;
  }
  std::ofstream csv(out / "programs.csv");
  csv << "program,name," << kMeasureColumns << ",note_peak_db,chord_peak_db," << kHeldColumns
      << ",nearest,nearest_distance_db,nearest_rhythm_db\n";
  for (size_t k = 0; k < entries.size(); ++k) {
    csv << entries[k].label << ',' << CsvText(entries[k].name);
    WriteMeasures(csv, entries[k].measures);
    csv << entries[k].extra;
    WriteNearest(csv, entries, k, 0, entries.size());
    csv << '\n';
  }
}

void PreviewSubPresets(const fs::path& out, const TSettings& settings) {
  const double rate = settings.rate;
  fs::create_directories(out / "subpresets");
  std::ofstream csv(out / (settings.heldOnly ? "subpresets-held.csv" : "subpresets.csv"));
  if (settings.heldOnly) {
    csv << "group,number,name," << kHeldColumns << "\n";
  } else {
    csv << "group,number,name," << kMeasureColumns << ",change_db,change_rhythm_db," << kHeldColumns
        << ",nearest,nearest_distance_db,nearest_rhythm_db\n";
  }
  auto probe = NewInstrument(settings);
  for (const TSubPresetGroup& group : probe->Synth().SubPresets()->Groups()) {
    if (settings.group >= 0 && group.id != settings.group) continue;
    const fs::path dir = out / "subpresets" / (std::to_string(group.id) + "-" + group.name);
    const TPhrase phrase = TestSoundPhrase(group.id);
    const size_t release = static_cast<size_t>(phrase.LastRelease() * rate);
    auto recall = [&group](int32_t index) {
      return [&group, index](TPreviewInstrument& i) {
        i.UseTestSound(group.id);
        if (index >= 0) i.Synth().SubPresets()->Recall(group.id, index);
      };
    };
    if (settings.heldOnly) {
      // Number 0 is the test sound itself, the level each recall is compared with.
      csv << CsvText(group.name) << ",0," << CsvText("test sound") << HeldMeasures(settings, recall(-1)) << '\n';
      for (int32_t i = 0; i < group.SubPresetCount(); ++i) {
        csv << CsvText(group.name) << ',' << i + 1 << ',' << CsvText(group.presets[static_cast<size_t>(i)].name)
            << HeldMeasures(settings, recall(i)) << '\n';
        std::cerr << "sub-preset " << group.name << " " << i + 1 << "\n";
      }
      continue;
    }
    fs::create_directories(dir);
    TFingerprint plain;
    {
      auto instrument = NewInstrument(settings);
      recall(-1)(*instrument);
      const TStereoAudio audio = instrument->Play(phrase);
      plain = Fingerprint(audio);
      WriteWav(dir / "00-test-sound.wav", audio);
    }
    std::vector<TEntry> entries;
    for (int32_t i = 0; i < group.SubPresetCount(); ++i) {
      auto instrument = NewInstrument(settings);
      recall(i)(*instrument);
      const TStereoAudio audio = instrument->Play(phrase);
      TEntry e;
      char label[16];
      std::snprintf(label, sizeof label, "%02d", i + 1);  // 00 is the test sound itself
      e.label = group.name + " " + label;
      e.name = group.presets[static_cast<size_t>(i)].name;
      e.measures = MeasureSound(audio, release);
      e.fingerprint = Fingerprint(audio);
      e.extra = ',' + Number(FingerprintDistance(plain, e.fingerprint)) + ',' +
                Number(EnvelopeDistance(plain, e.fingerprint)) + HeldMeasures(settings, recall(i));
      WriteWav(dir / FileName(label, e.name), audio);
      std::cerr << "sub-preset " << e.label << " " << e.name << "\n";
      entries.push_back(std::move(e));
    }
    for (size_t k = 0; k < entries.size(); ++k) {
      csv << CsvText(group.name) << ',' << k + 1 << ',' << CsvText(entries[k].name);
      WriteMeasures(csv, entries[k].measures);
      csv << entries[k].extra;
      WriteNearest(csv, entries, k, 0, entries.size());
      csv << '\n';
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Renders every program and sub-preset of the factory bank for review"};
  std::string out;
  double rate = 44100.0;
  std::string range = "0-127";
  bool noPrograms = false, noSubPresets = false;
  app.add_option("OUTDIR", out, "folder for the WAV files and the CSV files")->required();
  app.add_option("-r,--rate", rate, "sample rate")->check(CLI::Range(8000.0, 192000.0));
  app.add_option("--programs", range, "programs to render, FIRST-LAST (0-127)");
  app.add_flag("--no-programs", noPrograms, "render no programs");
  app.add_flag("--no-subpresets", noSubPresets, "render no sub-presets");
  bool heldOnly = false;
  app.add_flag("--held-only", heldOnly,
               "measure only the held notes and chord into programs-held.csv and subpresets-held.csv");
  int32_t group = -1;
  app.add_option("--group", group, "render the sub-presets of this group id only (10 .. 17, 40, 41)");
  std::string bank;
  app.add_option("--bank", bank, "play this bank file instead of the factory bank")->check(CLI::ExistingFile);
  CLI11_PARSE(app, argc, argv);
  try {
    int first = 0, last = 127;
    const int read = std::sscanf(range.c_str(), "%d-%d", &first, &last);
    if (read == 1) last = first;
    if (read < 1 || first < 0 || last > 127 || first > last) {
      throw std::runtime_error("--programs takes FIRST-LAST or N within 0-127");
    }
    TSettings settings;
    settings.rate = rate;
    settings.heldOnly = heldOnly;
    settings.group = group;
    if (!bank.empty()) {
      std::ifstream in(bank, std::ios::binary);
      settings.bank.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!noPrograms) PreviewPrograms(out, settings, first, last);
    if (!noSubPresets) PreviewSubPresets(out, settings);
  } catch (const std::exception& e) {
    std::cerr << "tesmora6-preview: error: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
