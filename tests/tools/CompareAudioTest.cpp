// The audio comparison scripts/valgrind-render judges its renders with: it passes a file
// only when every sample is finite and within the tolerance of the reference's.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Writes interleaved float samples as a 44.1 kHz float WAV file.
void WriteWav(const fs::path& path, const std::vector<float>& samples, int channels) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << path;
  sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
  sf_close(file);
}

int Compare(const fs::path& reference, const fs::path& other, const std::string& tolerance) {
  const std::string command = std::string(TESMORA6_BINARY_DIR) + "/tesmora6-compare-audio --tolerance " + tolerance +
                              " '" + reference.string() + "' '" + other.string() + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(CompareAudio, PassesOnlyFiniteSamplesWithinTheTolerance) {
  const fs::path dir = fs::temp_directory_path() / ("tesmora6-compare-audio-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::vector<float> reference(2 * 1000);
  for (size_t i = 0; i < reference.size(); ++i) reference[i] = 0.5f * std::sin(0.01f * static_cast<float>(i));
  WriteWav(dir / "reference.wav", reference, 2);
  struct Case {
    const char* what;
    std::function<void(std::vector<float>&)> change;
    int channels;
    int status;
  };
  const Case cases[] = {
      {"the same samples", [](std::vector<float>&) {}, 2, 0},
      {"one sample 9e-6 off", [](std::vector<float>& v) { v[777] += 9e-6f; }, 2, 0},
      {"one sample 2e-5 off", [](std::vector<float>& v) { v[777] -= 2e-5f; }, 2, 1},
      {"the last sample at the output guard", [](std::vector<float>& v) { v.back() = 64.0f; }, 2, 1},
      {"a NaN", [](std::vector<float>& v) { v[5] = std::numeric_limits<float>::quiet_NaN(); }, 2, 1},
      {"an infinity", [](std::vector<float>& v) { v[6] = -std::numeric_limits<float>::infinity(); }, 2, 1},
      {"a frame short", [](std::vector<float>& v) { v.resize(v.size() - 2); }, 2, 1},
      {"the same samples as one channel", [](std::vector<float>&) {}, 1, 1},
  };
  for (const Case& c : cases) {
    std::vector<float> other = reference;
    c.change(other);
    WriteWav(dir / "other.wav", other, c.channels);
    EXPECT_EQ(Compare(dir / "reference.wav", dir / "other.wav", "1e-5"), c.status) << c.what;
  }
  // A tolerance of 0 asks for the same samples; a file that cannot be read is an error.
  WriteWav(dir / "other.wav", reference, 2);
  EXPECT_EQ(Compare(dir / "reference.wav", dir / "other.wav", "0"), 0);
  std::FILE* text = std::fopen((dir / "text.wav").c_str(), "w");
  std::fputs("not audio", text);
  std::fclose(text);
  EXPECT_EQ(Compare(dir / "reference.wav", dir / "text.wav", "1e-5"), 2);
  fs::remove_all(dir);
}
