// The command-line host: block-wise rendering of a third-party instrument, and the render
// tool end to end as a user runs it (formats, state files, parameters, bad input).
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "framework/DSPByteStream.h"
#include "engine/Tesmora6ParamIds.h"
#include "tools/render/ParamArgument.h"
#include "tools/render/Renderer.h"

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

const char* kThirdPartyPlugin = "/usr/lib/vst/amsynth_vst.so";
constexpr int32_t kOwnId = ('t' << 24) | ('S' << 16) | ('m' << 8) | '6';
constexpr int32_t kForeignId = ('a' << 24) | ('b' << 16) | ('c' << 8) | 'd';

bool HaveThirdPartyPlugin() {
  if (fs::exists(kThirdPartyPlugin)) return true;
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

}  // namespace

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
    for (size_t i = audio.left.size() - 100; i < audio.left.size(); ++i)
      tail = std::max(tail, std::fabs(audio.left[i]));
    EXPECT_LT(tail, levels.peak);
  }
  EXPECT_NEAR(peaks[0], peaks[1], 0.25f * peaks[0]);
}

TEST(ParamArgument, RefusesWhatItCannotReadWholly) {
  TVstHost own(std::make_shared<TVstLibrary>(TESMORA6_PLUGIN_PATH));
  TOwnParameterTable table;
  using enum TValueForm;
  const struct {
    const char* argument;
    TValueForm form;
    const char* message;
  } cases[] = {
      {"Volume=nan", kNormalized, "between 0 and 1"},
      {"Volume=inf", kNormalized, "between 0 and 1"},
      {"Volume=1.5", kNormalized, "between 0 and 1"},
      {"Volume=-0.1", kNormalized, "between 0 and 1"},
      {"Volume=0.5x", kNormalized, "neither a number"},
      {"Volume=", kNormalized, "no value"},
      {"=0.5", kNormalized, "no parameter"},
      {"9999=1", kNormalized, "no parameter 9999"},
      {"-1=1", kNormalized, "no parameter is called -1"},
      {"NoSuchKey=0.5", kNormalized, "no parameter is called"},
      {"Volume", kNormalized, "KEY=VALUE"},
      {"Cutoff=0.5", kNormalized, "several parameters are called Cutoff (63 \"Flt1 Cutoff\", 73"},
      {"Voices=8", kNormalized, "--set takes values"},
      {"Voices=80", kPresetText, "outside the range"},
      {"Voices=nan", kPresetText, "not a display text"},
      {"Flt1Type=Nope", kPresetText, "24DB LP"},
  };
  for (const auto& c : cases) {
    try {
      ParseParamArgument(own, c.argument, c.form, table);
      ADD_FAILURE() << c.argument << " was taken";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.argument << ": " << e.what();
    }
  }
  // The names the plug-in reports reach every parameter, the repeated ones too.
  EXPECT_EQ(ParseParamArgument(own, "Flt2 Cutoff=0.5", kNormalized, table).index, Param::Flt2Cutoff);
  EXPECT_EQ(ParseParamArgument(own, "XFltR3 Q=0.5", kNormalized, table).index, Param::XFltR3Q);
  if (!HaveThirdPartyPlugin()) return;
  // Another plug-in takes normalized numbers only.
  TVstHost other(std::make_shared<TVstLibrary>(kThirdPartyPlugin));
  EXPECT_THROW(ParseParamArgument(other, "0=Saw", kNormalized, table), std::runtime_error);
  EXPECT_THROW(ParseParamArgument(other, "0=1", kPresetText, table), std::runtime_error);
  EXPECT_EQ(ParseParamArgument(other, "0=0.25", kNormalized, table).normalized, 0.25f);
}

// ------------------------------------------------------------------- the tool itself

namespace {

class RenderTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tesmora6-render-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }

  // A format-0 file: 480 ticks per beat, 100 BPM, one note for a beat from 0.15 s to 0.75 s.
  std::string SmallMidiFile() const {
    return Write("small.mid", {'M',  'T',  'h',  'd', 0,   0,    0,    6,    0,    0,    0,    1,    0x01, 0xE0,
                               'M',  'T',  'r',  'k', 0,   0,    0,    20,   0x00, 0xFF, 0x51, 0x03, 0x09, 0x27,
                               0xC0, 0x78, 0x90, 60,  100, 0x83, 0x60, 0x80, 60,   0,    0x00, 0xFF, 0x2F, 0x00});
  }

  // Runs the tool with args (from folder cwd when given): exit status and everything printed.
  std::pair<int, std::string> Run(const std::string& args, const std::string& cwd = "") const {
    const std::string tool = std::string(TESMORA6_BINARY_DIR) + "/tesmora6-render";
    const std::string command = (cwd.empty() ? "" : "cd '" + cwd + "' && ") + tool + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
  }

  // The instrument's bank chunk with program 1 named "Render Test" and Volume at 0.25 in it.
  static std::vector<uint8_t> BankChunk() {
    TVstHost host(std::make_shared<TVstLibrary>(TESMORA6_PLUGIN_PATH));
    host.Dispatch(vst::effSetProgram, 0, 1);
    char name[] = "Render Test";
    host.Dispatch(vst::effSetProgramName, 0, 0, name);
    host.Effect()->setParameter(host.Effect(), Param::Volume, 0.25f);
    void* data = nullptr;
    const auto size = host.Dispatch(vst::effGetChunk, 0, 0, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return {bytes, bytes + size};
  }

  // A chunk bank file with the chunk at offset 160 or 164.
  static std::vector<uint8_t> ChunkBankFile(const std::vector<uint8_t>& chunk, int32_t id, size_t at) {
    std::vector<uint8_t> out;
    bytes::Put(out, "CcnK");
    bytes::PutI32BigEndian(out, static_cast<int32_t>(chunk.size() + at - 8));
    bytes::Put(out, "FBCh");
    for (int32_t v : {1, id, 1, 128}) bytes::PutI32BigEndian(out, v);
    bytes::PutZeros(out, 128);
    bytes::PutI32BigEndian(out, static_cast<int32_t>(chunk.size()));
    bytes::PutZeros(out, at - 160);
    out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
  }

  // A value bank of three programs with the first two parameters (Volume, Pan); program 2
  // is "Values" with Volume at 0.125.
  static std::vector<uint8_t> ValueBankFile(size_t header, float volume = 0.125f) {
    std::vector<uint8_t> out;
    bytes::Put(out, "CcnK");
    bytes::PutI32BigEndian(out, 0);
    bytes::Put(out, "FxBk");
    for (int32_t v : {1, kOwnId, 1, 3}) bytes::PutI32BigEndian(out, v);
    bytes::PutZeros(out, header - 28);
    for (int n = 0; n < 3; ++n) {
      bytes::Put(out, "CcnK");
      bytes::PutI32BigEndian(out, 48 + 4 * 2);
      bytes::Put(out, "FxCk");
      for (int32_t v : {1, kOwnId, 1, 2}) bytes::PutI32BigEndian(out, v);
      char name[28] = {};
      std::snprintf(name, sizeof name, "%s", n == 2 ? "Values" : "Other");
      out.insert(out.end(), name, name + 28);
      bytes::PutF32BigEndian(out, n == 2 ? volume : 0.5f);
      bytes::PutF32BigEndian(out, 0.5f);
    }
    return out;
  }

  static std::string ParameterRow(const std::string& info, int index) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "\n%5d  ", index);
    const size_t at = info.find(prefix);
    if (at == std::string::npos) return "";
    return info.substr(at + 1, info.find('\n', at + 1) - at - 1);
  }

  fs::path dir_;
};

}  // namespace

TEST_F(RenderTool, WritesTheFormatOfTheExtension) {
  const std::string midi = SmallMidiFile();
  const sf_count_t frames = static_cast<sf_count_t>(std::ceil((0.75 + 0.25) * 48000.0));
  const struct {
    const char* name;
    const char* options;
    int format;
  } cases[] = {
      {"a.wav", "--bits 16", SF_FORMAT_WAV | SF_FORMAT_PCM_16},   {"b.wav", "", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
      {"c.flac", "", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},          {"d.ogg", "", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {"e.AIFF", "--bits 24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
  };
  for (const auto& c : cases) {
    const auto [status, text] =
        Run("-q --tail 0.25 -b 100 -r 48000 " + std::string(c.options) + " -o " + Path(c.name) + " " + midi);
    ASSERT_EQ(status, 0) << c.name << ": " << text;
    SF_INFO sf{};
    SNDFILE* file = sf_open(Path(c.name).c_str(), SFM_READ, &sf);
    ASSERT_NE(file, nullptr) << c.name;
    std::vector<float> samples(static_cast<size_t>(sf.frames) * 2);
    sf_readf_float(file, samples.data(), sf.frames);
    sf_close(file);
    EXPECT_EQ(sf.format, c.format) << c.name;
    EXPECT_EQ(sf.channels, 2);
    EXPECT_EQ(sf.samplerate, 48000);
    EXPECT_EQ(sf.frames, frames) << c.name;
    float peak = 0.0f;
    for (float v : samples) peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.01f) << c.name << " is silent";
  }
}

TEST_F(RenderTool, AppliesStateAndParametersBeforeInfo) {
  const std::vector<uint8_t> chunk = BankChunk();
  const struct {
    std::string options;
    int program;
    const char* name;
    const char* volume;
  } cases[] = {
      {"--fxb " + Write("164.fxb", ChunkBankFile(chunk, kOwnId, 164)), 1, "Render Test", "0.25"},
      {"--fxb " + Write("160.fxb", ChunkBankFile(chunk, kOwnId, 160)), 1, "Render Test", "0.25"},
      {"--bank-chunk " + Write("bank.chunk", chunk), 1, "Render Test", "0.25"},
      {"--fxb " + Write("values.fxb", ValueBankFile(156)), 2, "Values", "0.125"},
      {"--fxb " + Write("values212.fxb", ValueBankFile(212)), 2, "Values", "0.125"},
      {"--param Volume=0.375 --param " + std::to_string(Param::Pan) + "=1", 0, "", "0.375"},
  };
  for (const auto& c : cases) {
    const auto [status, info] = Run(c.options + " --program " + std::to_string(c.program) + " --info");
    ASSERT_EQ(status, 0) << c.options << ": " << info;
    EXPECT_NE(info.find("program       " + std::to_string(c.program) + "  " + c.name), std::string::npos) << c.options;
    const std::string volume = ParameterRow(info, Param::Volume);
    EXPECT_EQ(volume.substr(volume.rfind(' ') + 1), c.volume) << c.options << ": " << volume;
  }
  // Keys reach the parameters whose names repeat; --set reads units, times and display
  // texts as preset sources do, and --param texts the same way; both apply in their order.
  const auto [status, info] =
      Run("--param Flt2Cutoff=0.5 --set Voices=8 --param Voices=0 --set Voices=4 --set "
          "'Flt1Type=\"24DB LP\"' --param Env1Attack=5ms --param Osc1Waveform=Saw --info");
  ASSERT_EQ(status, 0) << info;
  const struct {
    Param::Id id;
    const char* shown;
  } rows[] = {{Param::Flt2Cutoff, "0.5"},
              {Param::Voices, "  4  "},
              {Param::Flt1Type, "  24DB LP  "},
              {Param::Env1Attack, "  0.005  "},
              {Param::Osc1Waveform, "  Saw  "}};
  for (const auto& r : rows) {
    const std::string row = ParameterRow(info, r.id);
    EXPECT_NE(row.find(r.shown), std::string::npos) << row;
  }
}

TEST_F(RenderTool, RefusesBadInputBeforeWritingAnything) {
  const std::string midi = SmallMidiFile();
  std::ifstream in(midi, std::ios::binary);
  std::vector<uint8_t> truncated{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  truncated.resize(truncated.size() - 6);
  std::vector<uint8_t> programChunk(BankChunk());
  programChunk.erase(programChunk.begin(), programChunk.begin() + 11);  // a "PgCn" record first
  std::vector<uint8_t> shortBank = ChunkBankFile(BankChunk(), kOwnId, 164);
  shortBank.resize(shortBank.size() - 100);
  std::vector<uint8_t> nanBank = ValueBankFile(156, NAN);

  struct TCase {
    std::string options;
    const char* message;
  };
  std::vector<TCase> cases = {
      {Write("truncated.mid", truncated), "truncated"},
      {"-o /nonexistent-folder/x.wav", "does not exist"},
      {"-o " + Path("x.mp3"), "cannot tell the audio format"},
      {"--bits 32 -o " + Path("x.flac"), "16 or 24"},
      {"--program 500", "programs 0 to 127"},
      {"-p NoSuchPlugin.so", "cannot find the plug-in"},
      {"--fxb " + midi, "not a bank file"},
      {"--fxb " + Write("foreign.fxb", ChunkBankFile(BankChunk(), kForeignId, 164)), "not of 'tSm6'"},
      {"--fxb " + Write("short.fxb", shortBank), "truncated"},
      {"--fxb " + Write("nan.fxb", nanBank), "not a number"},
      {"--bank-chunk " + Write("program.chunk", programChunk), "not a bank chunk"},
      {"--bank-chunk " + Write("empty.chunk", {}), "empty"},
      {"--param Volume=nan", "--param Volume=nan: a normalized value lies between 0 and 1"},
      {"--set Voices=80", "--set Voices=80: 80 is outside the range"},
  };
  const std::string output = Path("out.wav");
  for (const auto& c : cases) {
    const std::string options = c.options.find("-o ") == std::string::npos ? c.options + " -o " + output : c.options;
    const auto [status, text] = Run("-q --tail 0.1 " + options);
    EXPECT_NE(status, 0) << c.options;
    EXPECT_NE(text.find(c.message), std::string::npos) << c.options << ": " << text;
    EXPECT_FALSE(fs::exists(output)) << c.options;
  }
}

TEST_F(RenderTool, VersionAndAPluginInTheCurrentFolder) {
  const auto [status, text] = Run("--version");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(text, "tesmora6-render 1.0\n");
  fs::create_symlink(TESMORA6_PLUGIN_PATH, dir_ / "Here.so");
  const auto [found, info] = Run("--plugin Here.so --info", dir_.string());
  EXPECT_EQ(found, 0) << info;
  EXPECT_NE(info.find("numParams     " + std::to_string(Param::Count)), std::string::npos);
}

TEST_F(RenderTool, HandsAThirdPartyPluginItsOwnChunk) {
  if (!HaveThirdPartyPlugin()) GTEST_SKIP() << "no third-party plug-in here";
  // The plug-in is found by name in the system's VST folder, and its chunk goes through
  // although it answers 0 to effSetChunk.
  TVstHost host(std::make_shared<TVstLibrary>(kThirdPartyPlugin));
  void* data = nullptr;
  const auto size = host.Dispatch(vst::effGetChunk, 0, 0, &data);
  ASSERT_GT(size, 0);
  const auto* bytes = static_cast<const uint8_t*>(data);
  const std::string chunk = Write("third-party.chunk", {bytes, bytes + size});
  const auto [status, text] = Run("-q --tail 0.1 -p " + fs::path(kThirdPartyPlugin).filename().string() +
                                  " --bank-chunk " + chunk + " -o " + Path("third-party.wav"));
  EXPECT_EQ(status, 0) << text;
  EXPECT_TRUE(fs::exists(Path("third-party.wav")));
}
