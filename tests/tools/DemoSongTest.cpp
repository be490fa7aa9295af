// The demo piece: the MIDI files the generator writes, the programs it picks, and the mix of
// rendered parts.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

#include "tools/render/MidiFile.h"
#include "tools/render/MidiSequence.h"

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

int RunDemoSong(const std::string& arguments) {
  const std::string command = std::string(TESMORA6_BINARY_DIR) + "/tesmora6-demo-song " + arguments + " 2>/dev/null";
  return std::system(command.c_str());
}

void WriteStereo(const fs::path& path, float left, float right, int frames) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<float> data;
  for (int i = 0; i < frames; ++i) {
    const float s = std::sin(static_cast<float>(i) * 0.0627f);  // about 440 Hz
    data.push_back(left * s);
    data.push_back(right * s);
  }
  sf_writef_float(f, data.data(), frames);
  sf_close(f);
}

class DemoSong : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tesmora6-demo-" + std::to_string(::getpid()));
    fs::remove_all(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(DemoSong, WritesEveryPartWithAFactoryProgram) {
  ASSERT_EQ(RunDemoSong(dir.string()), 0);
  const TMidiSequence piece = LoadMidiFile((dir / "demo.mid").string());
  EXPECT_NEAR(piece.InitialTempo(), 112.0, 0.01);
  EXPECT_GT(piece.LengthSeconds(), 45.0);
  // The first note comes after the lead-in, not in the first block a host renders.
  ASSERT_FALSE(piece.messages.empty());
  EXPECT_GT(piece.messages.front().seconds, 0.4);
  std::set<int> channels;
  for (const auto& m : piece.messages) channels.insert(m.bytes[0] & 0x0F);
  EXPECT_EQ(channels.size(), 5u);

  std::ifstream list(dir / "parts.txt");
  std::string midi, name;
  int program = -1, parts = 0;
  double level = 0.0;
  while (list >> midi >> program >> level && std::getline(list, name)) {
    SCOPED_TRACE(midi);
    ++parts;
    EXPECT_TRUE(program >= 0 && program < 128);
    EXPECT_LE(level, 0.0);
    const TMidiSequence part = LoadMidiFile((dir / midi).string());
    EXPECT_FALSE(part.messages.empty());
  }
  EXPECT_EQ(parts, 5);
}

TEST_F(DemoSong, MixesThePartsByLoudnessToMinusOneDbfs) {
  fs::create_directories(dir);
  // Two parts of very different levels, asked to sit 6 dB apart.
  std::ofstream(dir / "parts.txt") << "01-a.mid 0 0.0 A\n02-b.mid 1 -6.0 B\n";
  WriteStereo(dir / "01-a.wav", 0.01f, 0.01f, 44100);
  WriteStereo(dir / "02-b.wav", 0.0f, 0.9f, 44100);  // only on the right
  ASSERT_EQ(RunDemoSong("--mix " + dir.string() + " " + (dir / "mix.wav").string()), 0);
  SF_INFO info{};
  SNDFILE* f = sf_open((dir / "mix.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  std::vector<float> data(static_cast<size_t>(info.frames) * 2);
  sf_readf_float(f, data.data(), info.frames);
  sf_close(f);
  float peak = 0.0f, left = 0.0f, right = 0.0f;
  for (size_t i = 0; i < data.size(); i += 2) {
    peak = std::max({peak, std::fabs(data[i]), std::fabs(data[i + 1])});
    left = std::max(left, std::fabs(data[i]));
    right = std::max(right, std::fabs(data[i + 1]));
  }
  EXPECT_NEAR(20.0 * std::log10(peak), -1.0, 0.01);
  // Each part is brought to its loudness: A (on both sides) at 0 dB, B (on the right only,
  // so its amplitude must be sqrt(2) times A's for the same loudness) 6 dB below. The left
  // side holds A alone, the right side A and B in phase.
  const double b = std::pow(10.0, -6.0 / 20.0) * std::sqrt(2.0);
  EXPECT_NEAR(left / right, 1.0 / (1.0 + b), 0.02);
}

}  // namespace
