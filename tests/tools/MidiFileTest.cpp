// Standard MIDI Files: what the bounded reader accepts, what it refuses, the tempo map it
// builds, and the tempo map reaching a hosted instrument as the host's time.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/Tesmora6Vst.h"
#include "instrument/Tesmora6.h"
#include "tools/render/MidiFile.h"
#include "tools/render/Renderer.h"

using namespace tesmora6;

namespace {

using TBytes = std::vector<uint8_t>;

void Append(TBytes& out, std::initializer_list<int> bytes) {
  for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
}
void AppendU32(TBytes& out, uint32_t v) {
  Append(out, {int(v >> 24), int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)});
}

TBytes Track(const TBytes& events) {
  TBytes out;
  Append(out, {'M', 'T', 'r', 'k'});
  AppendU32(out, static_cast<uint32_t>(events.size()));
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

TBytes Smf(int format, int division, const std::vector<TBytes>& tracks) {
  TBytes out;
  Append(out, {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, format, 0, static_cast<int>(tracks.size()), division >> 8,
               division & 255});
  for (const TBytes& t : tracks) {
    const TBytes chunk = Track(t);
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

const TBytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

TBytes Events(std::initializer_list<int> bytes, bool end = true) {
  TBytes out;
  Append(out, bytes);
  if (end) out.insert(out.end(), kEndOfTrack.begin(), kEndOfTrack.end());
  return out;
}

// Format 1 at 480 ticks per beat: a conductor track at 120 BPM in 4/4 that changes to
// 60 BPM in 3/4 at beat 4, and a note track with notes at beats 0, 4 and 5. In seconds
// the notes fall at 0, 2 and 3.
TBytes TempoChangeFile() {
  const TBytes conductor =
      Events({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,                                                     // 500000 us
              0x00, 0xFF, 0x58, 0x04, 4,    2,    24,   8, 0x8F, 0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // +1920
              0x00, 0xFF, 0x58, 0x04, 3,    2,    24,   8});
  const TBytes notes = Events({0x00, 0x90, 60, 100, 0x8F, 0x00, 0x80, 60, 0,  // +1920
                               0x00, 0x90, 62, 100, 0x83, 0x60, 62, 0});      // +480, running status
  return Smf(1, 480, {conductor, notes});
}

}  // namespace

TEST(MidiFile, MergesTracksOnTheTempoMap) {
  const TMidiSequence s = ReadMidiFile(TempoChangeFile());
  ASSERT_EQ(s.messages.size(), 4u);
  const double seconds[] = {0.0, 2.0, 2.0, 3.0};
  const uint8_t statuses[] = {0x90, 0x80, 0x90, 0x90};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(s.messages[i].seconds, seconds[i], 1e-9) << i;
    EXPECT_EQ(s.messages[i].bytes[0], statuses[i]) << i;
  }
  EXPECT_EQ(s.messages[3].bytes[1], 62);
  EXPECT_EQ(s.messages[3].bytes[2], 0);
  EXPECT_DOUBLE_EQ(s.InitialTempo(), 120.0);

  struct TCase {
    double seconds, bpm, beats;
    int numerator;
  } cases[] = {{0.0, 120, 0.0, 4}, {1.0, 120, 2.0, 4}, {1.999, 120, 3.998, 4},
               {2.0, 60, 4.0, 3},  {2.5, 60, 4.5, 3},  {10.0, 60, 12.0, 3}};
  for (const TCase& c : cases) {
    const TSongPosition p = s.PositionAt(c.seconds);
    EXPECT_DOUBLE_EQ(p.bpm, c.bpm) << c.seconds;
    EXPECT_NEAR(p.beats, c.beats, 1e-9) << c.seconds;
    EXPECT_EQ(p.numerator, c.numerator) << c.seconds;
    EXPECT_EQ(p.denominator, 4) << c.seconds;
  }
}

TEST(MidiFile, ReadsSmpteTimeAndSkipsWhatIsNotPlayed) {
  // 25 frames of 40 ticks: a millisecond per tick. A system-exclusive message, a text event
  // and an unknown chunk before the track are passed over; bytes after the end of the
  // track are not read.
  TBytes file = Smf(0, (0xE7 << 8) | 40, {});
  file[11] = 1;  // one track, which follows an unknown chunk
  Append(file, {'X', 'x', 'x', 'x', 0, 0, 0, 2, 1, 2});
  const TBytes track = Track(Events({0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, 0x00, 0xFF,
                                     0x01, 0x02, 'h',  'i',  0x83, 0x74, 0xC0, 5,  // tick 500: program change
                                     0x00, 0xFF, 0x2F, 0x00, 0xF3, 0x99},
                                    false));
  file.insert(file.end(), track.begin(), track.end());
  const TMidiSequence s = ReadMidiFile(file);
  ASSERT_EQ(s.messages.size(), 1u);
  EXPECT_NEAR(s.messages[0].seconds, 0.5, 1e-12);
  EXPECT_EQ(s.messages[0].bytes[0], 0xC0);
  EXPECT_EQ(s.messages[0].bytes[1], 5);
}

TEST(MidiFile, EveryTruncationIsRefused) {
  const TBytes whole = TempoChangeFile();
  for (size_t size = 0; size < whole.size(); ++size) {
    const TBytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_THROW(ReadMidiFile(part), TMidiFileError) << size << " bytes";
  }
}

TEST(MidiFile, MalformedFilesAreRefusedWithTheirFault) {
  const struct {
    const char* what;
    TBytes file;
    const char* message;
  } cases[] = {
      {"not MIDI", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, "MThd"},
      {"format 2", Smf(2, 96, {Events({})}), "format 2"},
      {"no tracks", Smf(0, 96, {}), "no tracks"},
      {"zero division", Smf(0, 0, {Events({})}), "division"},
      {"bad SMPTE rate", Smf(0, (0xE9 << 8) | 10, {Events({})}), "SMPTE"},
      {"track longer than the file",
       [] {
         TBytes f = Smf(0, 96, {Events({0x00, 0x90, 60, 100})});
         f[21] = 0xFF;  // the track's length, low byte
         f[20] = 0xFF;
         return f;
       }(),
       "truncated"},
      {"data byte without status", Smf(0, 96, {Events({0x00, 60, 100})}), "without a status"},
      {"status inside a message", Smf(0, 96, {Events({0x00, 0x90, 60, 0x90})}), "inside a message"},
      {"five-byte delta", Smf(0, 96, {Events({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1})}), "four bytes"},
      {"system common in a track", Smf(0, 96, {Events({0x00, 0xF3, 1})}), "does not belong"},
      {"short tempo", Smf(0, 96, {Events({0x00, 0xFF, 0x51, 0x02, 1, 2})}), "tempo"},
      {"zero tempo", Smf(0, 96, {Events({0x00, 0xFF, 0x51, 0x03, 0, 0, 0})}), "tempo"},
      {"meta longer than the track", Smf(0, 96, {Events({0x00, 0xFF, 0x01, 0x7F, 'a'}, false)}), "declares"},
      {"sysex longer than the track", Smf(0, 96, {Events({0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F}, false)}), "declares"},
  };
  for (const auto& c : cases) {
    try {
      ReadMidiFile(c.file);
      ADD_FAILURE() << c.what << " was read";
    } catch (const TMidiFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
    }
  }
  try {
    LoadMidiFile("/nonexistent.mid");
    ADD_FAILURE();
  } catch (const TMidiFileError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent.mid"), std::string::npos);
  }
}

// ---------------------------------------------------------- the host time of a render

namespace {

TTesmora6* hosted = nullptr;

vst::AEffect* HostedEntry(vst::AudioMasterCallback callback) {
  hosted = new TTesmora6();
  OpenVstPlugin(hosted, callback);
  return VstEffectOf(hosted->Host());
}

}  // namespace

TEST(MidiFile, TheTempoMapReachesTheInstrument) {
  // The delay's line length is in ticks of 1/120 beat, so it follows the host tempo; the
  // tempo changes from 120 to 60 BPM two seconds in.
  const TMidiSequence s = ReadMidiFile(TempoChangeFile());
  TVstHost host(&HostedEntry);
  host.Start(44100.0, 441);
  TRenderSettings settings;
  settings.blockSize = 441;
  settings.tailSeconds = 0.5;
  std::vector<float> tempoPerBlock;
  std::vector<float> lineLengths;
  StreamSequence(host, s, settings, [&](const float*, const float*, int32_t) {
    tempoPerBlock.push_back(hosted->Effects().Delay.Tempo());
    lineLengths.push_back(static_cast<float>(hosted->Effects().Delay.LineLengthLeft()));
  });
  // 10 ms blocks: block k starts at k/100 s and hears the tempo there.
  ASSERT_EQ(tempoPerBlock.size(), 350u);
  for (size_t k = 0; k < tempoPerBlock.size(); ++k) {
    ASSERT_EQ(tempoPerBlock[k], k < 200 ? 120.0f : 60.0f) << "block " << k;
  }
  EXPECT_NEAR(lineLengths[199] * 2.0f, lineLengths[200], 1.0f);
  // Without the map (a constant tempo given) the first tempo stays.
  TVstHost fixed(&HostedEntry);
  fixed.Start(44100.0, 441);
  fixed.tempo = 120.0;
  settings.followTempoMap = false;
  StreamSequence(fixed, s, settings, [](const float*, const float*, int32_t) {});
  EXPECT_EQ(hosted->Effects().Delay.Tempo(), 120.0f);
}
