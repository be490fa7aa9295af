// The command-line host: MIDI files, the demo phrase, block-wise rendering, and driving a
// third-party instrument (Debian's amsynth VST plug-in) as well as our own.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tools/render/Renderer.h"

namespace {

const char* kThirdPartyPlugin = "/usr/lib/vst/amsynth_vst.so";

bool HaveThirdPartyPlugin() {
  if (std::filesystem::exists(kThirdPartyPlugin)) return true;
  // CI installs it through scripts/install-deps; elsewhere the check is skipped.
  if (std::getenv("CI")) ADD_FAILURE() << kThirdPartyPlugin << " is missing";
  return false;
}

struct TLevels {
  float peak = 0.0f;
  bool finite = true;
};

TLevels Measure(const TRenderedAudio& audio) {
  TLevels levels;
  for (size_t i = 0; i < audio.left.size(); ++i) {
    for (float v : {audio.left[i], audio.right[i]}) {
      if (!std::isfinite(v)) levels.finite = false;
      levels.peak = std::max(levels.peak, std::fabs(v));
    }
  }
  return levels;
}

// A format-0 Standard MIDI File: 480 ticks per beat, tempo 100 BPM, one note for a beat.
std::string WriteSmallMidiFile() {
  const unsigned char bytes[] = {
      'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
      'M', 'T', 'r', 'k', 0, 0, 0, 20,
      0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,  // 600000 us per beat
      0x00, 0x90, 60, 100,
      0x83, 0x60, 0x80, 60, 0,                   // 480 ticks later
      0x00, 0xFF, 0x2F, 0x00};
  const std::string path =
      (std::filesystem::temp_directory_path() / "tesmora6-render-test.mid").string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
  return path;
}

}  // namespace

TEST(MidiSequence, ReadsAStandardMidiFile) {
  const TMidiSequence s = LoadMidiFile(WriteSmallMidiFile());
  ASSERT_EQ(s.messages.size(), 2u);
  EXPECT_NEAR(s.initialTempo, 100.0, 1e-9);
  EXPECT_EQ(s.messages[0].bytes[0], 0x90);
  EXPECT_NEAR(s.messages[1].seconds, 0.6, 1e-9);
  EXPECT_THROW(LoadMidiFile("/nonexistent.mid"), std::runtime_error);
}

TEST(Renderer, DrivesTheThirdPartyInstrument) {
  if (!HaveThirdPartyPlugin()) GTEST_SKIP() << "no third-party plug-in here";
  auto library = std::make_shared<TVstLibrary>(kThirdPartyPlugin);
  TRenderSettings settings;
  settings.tailSeconds = 0.5;
  const TMidiSequence demo = DemoPhrase();
  float peaks[2];
  int k = 0;
  for (int32_t block : {512, 37}) {
    TVstHost host(library);
    host.Start(settings.sampleRate, block);
    settings.blockSize = block;
    const TRenderedAudio audio = RenderSequence(host, demo, settings);
    EXPECT_EQ(audio.left.size(), static_cast<size_t>(std::ceil((demo.LengthSeconds() + 0.5) * 44100.0)));
    const TLevels levels = Measure(audio);
    EXPECT_TRUE(levels.finite);
    EXPECT_GT(levels.peak, 0.01f) << "block " << block;
    peaks[k++] = levels.peak;
    // The last half second after the final note-off has faded.
    float tail = 0.0f;
    for (size_t i = audio.left.size() - 100; i < audio.left.size(); ++i) tail = std::max(tail, std::fabs(audio.left[i]));
    EXPECT_LT(tail, levels.peak);
  }
  EXPECT_NEAR(peaks[0], peaks[1], 0.25f * peaks[0]);
}

TEST(RenderTool, WritesAWavFileAndPrintsInfo) {
  const std::string tool = std::string(TESMORA6_BINARY_DIR) + "/tesmora6-render";
  const auto dir = std::filesystem::temp_directory_path();
  const std::string wav = (dir / "tesmora6-render-test.wav").string();
  const std::string info = (dir / "tesmora6-render-test.txt").string();
  std::filesystem::remove(wav);
  ASSERT_EQ(std::system((tool + " -q --tail 0.25 -b 100 -r 48000 --bits 16 -o " + wav + " " +
                         WriteSmallMidiFile()).c_str()), 0);
  SF_INFO sf{};
  SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &sf);
  ASSERT_NE(file, nullptr);
  sf_close(file);
  EXPECT_EQ(sf.channels, 2);
  EXPECT_EQ(sf.samplerate, 48000);
  EXPECT_EQ(sf.frames, static_cast<sf_count_t>(std::ceil((0.6 + 0.25) * 48000.0)));
  EXPECT_EQ(sf.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);

  ASSERT_EQ(std::system((tool + " --info > " + info).c_str()), 0);
  std::ifstream in(info);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Tesmora6"), std::string::npos);
  EXPECT_NE(text.find("numParams     743"), std::string::npos);
  EXPECT_NE(text.find("  742  "), std::string::npos);
  EXPECT_NE(text.find("  127  "), std::string::npos);
  // Bad input is reported, not crashed on.
  EXPECT_NE(std::system((tool + " -q --param 9999=1 -o " + wav + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((tool + " -q -p /nonexistent.so -o " + wav + " 2>/dev/null").c_str()), 0);
}
