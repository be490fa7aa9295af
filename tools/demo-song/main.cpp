// Writes the demo piece that scripts/demo renders, and mixes its rendered parts:
//   tesmora6-demo-song OUTDIR
//   tesmora6-demo-song --mix OUTDIR OUTPUT.wav
// OUTDIR/demo.mid is the whole piece as a type 1 Standard MIDI File (one track and channel
// per part, for a DAW); OUTDIR/NN-PART.mid holds each part alone, and OUTDIR/parts.txt names
// for each part its file, the factory program that plays it and its level in the mix (dB
// relative to the others):
//   01-pad.mid 31 -4.0 PD Warm Analog
// Every part is played by its own instance (the instrument plays one program at a time) into
// OUTDIR/NN-PART.wav; --mix brings each part to its level by loudness, sums them and sets the
// peak of the sum to -1 dBFS. The programs are picked by name from the factory bank, so the
// piece follows the sound design; a name the bank does not hold falls back to a program
// number.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "instrument/Tesmora6.h"
#include "tools/preview/SoundMeasures.h"

// After the C++ headers: glib, which it includes, brings C++ templates when they are not
// yet there, and these must not land in its extern "C" block.
#include <smf.h>
#include <sndfile.h>

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

constexpr int kPpqn = 480;
constexpr int kBpm = 112;
constexpr int kBars = 24;
// The piece starts after one silent beat: an instance builds its voices while it processes
// its first block, and a note that arrives in that very block is not played.
constexpr double kLeadIn = 1.0;

struct TNote {
  double beat;   // from the start of the piece
  double beats;  // length
  int key;
  int velocity;
};

struct TPart {
  const char* file;
  std::vector<const char*> programs;  // names, the first one the bank holds plays the part
  int fallback;                       // program number when none of the names is there
  double levelDb;                     // loudness in the mix, relative to the other parts
  std::vector<TNote> notes;
};

// A minor: Am - F - C - G, two bars each, three times round.
struct TChord {
  int root;      // bass register
  int tones[3];  // pad register
};
constexpr TChord kChords[4] = {{45, {57, 60, 64}}, {41, {57, 60, 65}}, {48, {55, 60, 64}}, {43, {55, 59, 62}}};
const TChord& ChordAtBar(int bar) { return kChords[(bar / 2) % 4]; }

std::vector<TNote> Pad() {
  std::vector<TNote> n;
  for (int bar = 0; bar < kBars - 2; bar += 2) {
    for (int k : ChordAtBar(bar).tones) n.push_back({bar * 4.0, 7.9, k, 76});
  }
  for (int k : {57, 60, 64, 69}) n.push_back({(kBars - 2) * 4.0, 8.0, k, 80});  // the last Am, held
  return n;
}

std::vector<TNote> Bass() {
  std::vector<TNote> n;
  // Eighths from bar 4 to 19: root, root, octave, root ... with accents on the beats.
  const int octave[8] = {0, 0, 12, 0, 0, 12, 0, 12};
  for (int bar = 4; bar < 20; ++bar) {
    const int root = ChordAtBar(bar).root;
    for (int e = 0; e < 8; ++e) n.push_back({bar * 4.0 + e * 0.5, 0.42, root + octave[e], e % 2 ? 84 : 108});
  }
  for (int bar = 20; bar < kBars - 2; bar += 2) n.push_back({bar * 4.0, 7.8, ChordAtBar(bar).root, 100});
  n.push_back({(kBars - 2) * 4.0, 8.0, 45, 100});
  return n;
}

// Held chords an octave up; the arpeggio program's sequencer turns them into runs.
std::vector<TNote> Arpeggio() {
  std::vector<TNote> n;
  for (int bar = 2; bar < 22; bar += 2) {
    for (int k : ChordAtBar(bar).tones) n.push_back({bar * 4.0, 7.9, k + 12, 90});
  }
  return n;
}

// A legato melody over the middle section (notes overlap a little, so a mono lead glides).
std::vector<TNote> Lead() {
  const std::pair<int, double> melody[] = {
      {76, 2}, {74, 1}, {72, 1}, {69, 3},   {72, 1},               // Am
      {72, 2}, {77, 1}, {76, 1}, {77, 1.5}, {76, 0.5}, {74, 2},    // F
      {76, 2}, {79, 2}, {77, 1}, {76, 1},   {74, 1},   {72, 1},    // C
      {74, 2}, {71, 1}, {74, 1}, {79, 3},   {77, 0.5}, {76, 0.5},  // G
      {76, 4},                                                     // Am
  };
  std::vector<TNote> n;
  double beat = 12 * 4.0;
  for (const auto& [key, beats] : melody) {
    n.push_back({beat, beats + 0.06, key, 100});
    beat += beats;
  }
  n.back().beats = 3.8;
  return n;
}

// Sparse high bells: the chord's tones two octaves up, twice a bar, in the second half.
std::vector<TNote> Bells() {
  std::vector<TNote> n;
  for (int bar = 16; bar < kBars; ++bar) {
    const TChord& c = ChordAtBar(bar);
    n.push_back({bar * 4.0, 1.5, c.tones[bar % 3] + 24, 92});
    n.push_back({bar * 4.0 + 2.5, 1.0, c.tones[(bar + 2) % 3] + 24, 80});
  }
  return n;
}

int Pulses(double beats) { return static_cast<int>(beats * kPpqn + 0.5); }

void AddEvent(smf_track_t* track, int pulses, int a, int b, int c) {
  smf_event_t* e = smf_event_new_from_bytes(a, b, c);
  if (!e) throw std::runtime_error("cannot make a MIDI event");
  smf_track_add_event_pulses(track, e, pulses);
}

void AddMeta(smf_track_t* track, int pulses, std::vector<uint8_t> bytes) {
  smf_event_t* e = smf_event_new_from_pointer(bytes.data(), static_cast<int>(bytes.size()));
  if (!e) throw std::runtime_error("cannot make a MIDI meta event");
  smf_track_add_event_pulses(track, e, pulses);
}

// Adds one part's notes to a track on a channel, in time order, named after the part.
void AddPart(smf_track_t* track, const TPart& part, int channel) {
  std::string name = part.file;
  std::vector<uint8_t> meta = {0xFF, 0x03, static_cast<uint8_t>(name.size())};
  meta.insert(meta.end(), name.begin(), name.end());
  AddMeta(track, 0, meta);
  struct TEvent {
    int pulses;
    int status, key, velocity;
  };
  std::vector<TEvent> events;
  for (const TNote& n : part.notes) {
    events.push_back({Pulses(kLeadIn + n.beat), 0x90 | channel, n.key, n.velocity});
    events.push_back({Pulses(kLeadIn + n.beat + n.beats), 0x80 | channel, n.key, 0});
  }
  // Note-offs first at equal times, so a repeated key is released before it sounds again.
  std::stable_sort(events.begin(), events.end(), [](const TEvent& a, const TEvent& b) {
    return a.pulses != b.pulses ? a.pulses < b.pulses : ((a.status & 0xF0) == 0x80 && (b.status & 0xF0) != 0x80);
  });
  for (const TEvent& e : events) AddEvent(track, e.pulses, e.status, e.key, e.velocity);
}

// Writes a file with a tempo track and the given parts (channel = position).
void WriteMidi(const fs::path& path, const std::vector<const TPart*>& parts) {
  std::unique_ptr<smf_t, decltype(&smf_delete)> smf(smf_new(), &smf_delete);
  if (!smf || smf_set_ppqn(smf.get(), kPpqn) != 0) throw std::runtime_error("cannot start a MIDI file");
  smf_track_t* tempo = smf_track_new();
  smf_add_track(smf.get(), tempo);
  const int quarter = 60000000 / kBpm;  // microseconds per quarter note
  AddMeta(tempo, 0,
          {0xFF, 0x51, 0x03, static_cast<uint8_t>(quarter >> 16), static_cast<uint8_t>(quarter >> 8),
           static_cast<uint8_t>(quarter)});
  AddMeta(tempo, 0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});  // 4/4
  for (size_t i = 0; i < parts.size(); ++i) {
    smf_track_t* track = smf_track_new();
    smf_add_track(smf.get(), track);
    AddPart(track, *parts[i], static_cast<int>(i));
  }
  if (smf_save(smf.get(), path.c_str()) != 0) throw std::runtime_error("cannot write " + path.string());
}

// The program a part is played with: the first of its names that the factory bank holds.
int FindProgram(TTesmora6& synth, const TPart& part, std::string& name) {
  for (const char* wanted : part.programs) {
    for (int32_t n = 0; n < synth.ProgramCount(); ++n) {
      if (synth.ProgramName(n) == wanted) {
        name = wanted;
        return n;
      }
    }
  }
  name = synth.ProgramName(part.fallback);
  return part.fallback;
}

TStereoAudio ReadWav(const fs::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) throw std::runtime_error(path.string() + ": " + sf_strerror(nullptr));
  if (info.channels != 2) {
    sf_close(file);
    throw std::runtime_error(path.string() + ": not a stereo file");
  }
  std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
  sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  TStereoAudio a;
  a.rate = info.samplerate;
  for (size_t i = 0; i < frames.size(); i += 2) {
    a.left.push_back(frames[i]);
    a.right.push_back(frames[i + 1]);
  }
  return a;
}

// Sums the rendered parts, each at its level by loudness, with the peak at -1 dBFS.
void Mix(const fs::path& dir, const fs::path& output) {
  std::ifstream list(dir / "parts.txt");
  if (!list) throw std::runtime_error((dir / "parts.txt").string() + ": cannot be read");
  TStereoAudio sum;
  std::string midi, program;
  double levelDb = 0.0;
  while (list >> midi >> program >> levelDb) {
    std::string rest;
    std::getline(list, rest);
    const fs::path wav = dir / (midi.substr(0, midi.size() - 4) + ".wav");
    const TStereoAudio part = ReadWav(wav);
    const double loudness = LoudnessLufs(part);
    if (loudness <= kSilentDb) {
      std::cerr << "tesmora6-demo-song: " << wav.string() << " is silent\n";
      continue;
    }
    const double gain = std::pow(10.0, (levelDb - 20.0 - loudness) / 20.0);  // part at -20 LUFS + level
    sum.rate = part.rate;
    if (sum.left.size() < part.Frames()) {
      sum.left.resize(part.Frames());
      sum.right.resize(part.Frames());
    }
    for (size_t i = 0; i < part.Frames(); ++i) {
      sum.left[i] += static_cast<float>(gain * part.left[i]);
      sum.right[i] += static_cast<float>(gain * part.right[i]);
    }
  }
  float peak = 0.0f;
  for (size_t i = 0; i < sum.Frames(); ++i) peak = std::max({peak, std::fabs(sum.left[i]), std::fabs(sum.right[i])});
  if (peak <= 0.0f) throw std::runtime_error("the mix is silent");
  const float scale = static_cast<float>(std::pow(10.0, -1.0 / 20.0)) / peak;
  std::vector<float> frames;
  for (size_t i = 0; i < sum.Frames(); ++i) {
    frames.push_back(sum.left[i] * scale);
    frames.push_back(sum.right[i] * scale);
  }
  SF_INFO info{};
  info.samplerate = static_cast<int>(sum.rate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_open(output.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error(output.string() + ": " + sf_strerror(nullptr));
  sf_writef_float(file, frames.data(), static_cast<sf_count_t>(sum.Frames()));
  sf_close(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--mix") {
    try {
      Mix(argv[2], argv[3]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tesmora6-demo-song: error: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n       %s --mix OUTDIR OUTPUT.wav\n", argv[0], argv[0]);
    return 2;
  }
  try {
    const fs::path out = argv[1];
    fs::create_directories(out);
    const std::vector<TPart> parts = {
        {"01-pad", {"PD Warm Analog", "PD Tesmora Horizon", "PD Slow Strings Pad"}, 31, -5.0, Pad()},
        {"02-bass", {"BA Acid Squelch", "BA Deep Sub", "BA Rubber Synth"}, 2, 0.0, Bass()},
        {"03-arpeggio", {"ARP Classic Up 3 Oct", "ARP UpDown Chord", "SQ Glass Ostinato"}, 97, -6.0, Arpeggio()},
        {"04-lead", {"LD Mono Glide Saw", "LD Supersaw Six", "LD Soft Sine Solo"}, 16, -1.0, Lead()},
        {"05-bells", {"BL Celesta Sparkle", "BL FM Glock", "BL Crystal Bowl"}, 65, -8.0, Bells()},
    };
    auto synth = std::make_unique<TTesmora6>();
    synth->Initialise();
    std::ofstream list(out / "parts.txt");
    std::vector<const TPart*> all;
    for (const TPart& part : parts) {
      WriteMidi(out / (std::string(part.file) + ".mid"), {&part});
      std::string name;
      const int program = FindProgram(*synth, part, name);
      char level[16];
      std::snprintf(level, sizeof level, "%.1f", part.levelDb);
      list << part.file << ".mid " << program << ' ' << level << ' ' << name << '\n';
      std::cerr << "tesmora6-demo-song: " << part.file << ": program " << program << " \"" << name << "\"\n";
      all.push_back(&part);
    }
    WriteMidi(out / "demo.mid", all);
    if (!list) throw std::runtime_error((out / "parts.txt").string() + ": cannot be written");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesmora6-demo-song: error: %s\n", e.what());
    return 1;
  }
  return 0;
}
