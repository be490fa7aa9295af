// tesmora6-render: plays a Standard MIDI File (or a built-in demo phrase) through a VST 2
// instrument and writes the audio to a WAV, FLAC, Ogg Vorbis or AIFF file.
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tools/render/AudioFileWriter.h"
#include "tools/render/MidiFile.h"
#include "tools/render/ParamArgument.h"
#include "tools/render/Renderer.h"
#include "tools/render/StateFiles.h"

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

// The longest render: a MIDI file whose times run further is refused, not played for days.
constexpr double kLongestRenderSeconds = 24 * 3600.0;

// The instrument beside the tool (the build tree), else where the install put it.
std::string DefaultPlugin() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return TESMORA6_PLUGIN_FILE;
  const fs::path beside = self.parent_path() / TESMORA6_PLUGIN_FILE;
  if (fs::exists(beside)) return beside.string();
  return (self.parent_path() / TESMORA6_INSTALLED_PLUGIN).lexically_normal().string();
}

// A plug-in named without a folder is looked for in the current folder, then in the VST
// folders ($VST_PATH, ~/.vst, /usr/local/lib/vst, /usr/lib/vst); the loader itself would only
// search the system's library path.
std::string FindPlugin(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  std::vector<fs::path> folders{fs::current_path()};
  if (const char* path = std::getenv("VST_PATH")) {
    std::string list = path;
    for (size_t start = 0; start <= list.size();) {
      const size_t end = std::min(list.find(':', start), list.size());
      if (end > start) folders.emplace_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  if (const char* home = std::getenv("HOME")) folders.push_back(fs::path(home) / ".vst");
  folders.emplace_back("/usr/local/lib/vst");
  folders.emplace_back("/usr/lib/vst");
  for (const fs::path& folder : folders) {
    const fs::path candidate = folder / name;
    if (fs::is_regular_file(candidate)) return candidate.string();
  }
  throw std::runtime_error("cannot find the plug-in " + name + " in the current folder or a VST folder");
}

// The output must be creatable before anything is rendered.
void CheckOutput(const std::string& output) {
  const fs::path path(output);
  if (fs::is_directory(path)) throw std::runtime_error(output + " is a folder, not a file name");
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!fs::is_directory(folder)) throw std::runtime_error("the folder " + folder.string() + " does not exist");
  if (access(folder.c_str(), W_OK) != 0) throw std::runtime_error("cannot write into " + folder.string());
}

void PrintInfo(TVstHost& host) {
  const vst::AEffect* e = host.Effect();
  const int32_t id = e->uniqueID;
  const auto current = static_cast<int32_t>(host.Dispatch(vst::effGetProgram));
  std::printf("name          %s\n", host.EffectName().c_str());
  std::printf("uniqueID      0x%08X '%s'\n", static_cast<uint32_t>(id), FourCharacters(id).c_str());
  std::printf("version       %d\n", e->version);
  std::printf("flags         0x%X\n", static_cast<unsigned>(e->flags));
  std::printf("numPrograms   %d\n", e->numPrograms);
  std::printf("numParams     %d\n", e->numParams);
  std::printf("numInputs     %d\n", e->numInputs);
  std::printf("numOutputs    %d\n", e->numOutputs);
  std::printf("initialDelay  %d\n", e->initialDelay);
  std::printf("program       %d  %s\n", current, host.ProgramName(current).c_str());
  std::printf("\nparameters\n");
  for (int32_t i = 0; i < e->numParams; ++i) {
    std::printf("%5d  %-24s  %-24s  %.6g\n", i, host.ParamName(i).c_str(), host.ParamDisplay(i).c_str(),
                static_cast<double>(e->getParameter(const_cast<vst::AEffect*>(e), i)));
  }
  std::printf("\nprograms\n");
  for (int32_t i = 0; i < e->numPrograms; ++i) {
    std::printf("%5d  %s\n", i, host.ProgramName(i).c_str());
  }
}

void ShowProgress(double fraction) {
  const int width = 40;
  const int filled = static_cast<int>(fraction * width);
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "========================================", width - filled, "",
               static_cast<int>(fraction * 100.0 + 0.5));
  if (fraction >= 1.0) std::fprintf(stderr, "\n");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Renders MIDI through a VST 2 instrument into an audio file."};
  app.set_version_flag("--version", "tesmora6-render " TESMORA6_VERSION);
  std::string plugin;
  std::string midi;
  std::string output = "tesmora6-demo.wav";
  double rate = 44100.0;
  int32_t block = 512;
  double tempo = 0.0;
  double tail = 2.0;
  int program = -1;
  int bits = 0;
  std::vector<std::string> params, sets;
  std::string bankChunk, programChunk, bankFile;
  bool info = false;
  bool quiet = false;
  app.add_option("midi", midi, "Standard MIDI File to play (default: a built-in demo phrase)")
      ->check(CLI::ExistingFile);
  app.add_option("-p,--plugin", plugin,
                 "VST 2 library to load (default: Tesmora6.so); a bare name is looked for in "
                 "the current folder, then in $VST_PATH, ~/.vst and the system's VST folders");
  app.add_option("-o,--output", output, "audio file to write; .wav, .flac, .ogg or .aiff chooses the format")
      ->capture_default_str();
  app.add_option("-r,--rate", rate, "sample rate in Hz")->capture_default_str()->check(CLI::Range(8000.0, 384000.0));
  app.add_option("-b,--block", block, "host block size in frames")
      ->capture_default_str()
      ->check(CLI::Range(1, 1 << 20));
  app.add_option("-t,--tempo", tempo,
                 "constant tempo reported to the plug-in (default: the MIDI file's tempo map, else 120)")
      ->check(CLI::Range(1.0, 1000.0));
  app.add_option("--tail", tail, "seconds rendered after the last MIDI message")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 600.0));
  app.add_option("--program", program, "program to select before playing")->check(CLI::NonNegativeNumber);
  CLI::Option* paramOption =
      app.add_option("--param", params,
                     "set a parameter: KEY=VALUE, KEY an index, a parameter key or a parameter name, VALUE a "
                     "normalized number 0..1 (or for Tesmora6 any value --set takes that is not a plain "
                     "number); repeatable, applied in order after the program");
  CLI::Option* setOption =
      app.add_option("--set", sets,
                     "set a Tesmora6 parameter as a preset source does: KEY=VALUE, VALUE in the parameter's "
                     "units (8, 1200, 5ms, 1.5s, -6dB), a display text (Saw, '\"24DB LP\"') or =N normalized; "
                     "repeatable, applied in order with --param");
  app.add_option("--bank-chunk", bankChunk, "load a bank chunk (raw bytes) with effSetChunk")->check(CLI::ExistingFile);
  app.add_option("--program-chunk", programChunk, "load a program chunk (raw bytes) with effSetChunk")
      ->check(CLI::ExistingFile);
  app.add_option("--fxb", bankFile, "load a bank file ('FBCh' chunk bank or 'FxBk' value bank)")
      ->check(CLI::ExistingFile);
  app.add_option("--bits", bits, "sample size: 16, 24 or 32 (float); default 32 for WAV and AIFF, 24 for FLAC")
      ->check(CLI::IsMember({16, 24, 32}));
  app.add_flag("--info", info,
               "print the plug-in's values, parameters and programs after the options are applied, then stop");
  app.add_flag("-q,--quiet", quiet, "no progress bar and no summary");
  CLI11_PARSE(app, argc, argv);

  try {
    // Everything that can be checked before the plug-in runs is checked first.
    TAudioFormat format;
    if (!info) {
      CheckOutput(output);
      format = AudioFormatFor(output, bits);
    }
    const TMidiSequence sequence = midi.empty() ? DemoPhrase() : LoadMidiFile(midi);
    TRenderSettings settings;
    settings.sampleRate = rate;
    settings.blockSize = block;
    settings.tailSeconds = tail;
    settings.followTempoMap = tempo <= 0.0;
    if (!info && sequence.LengthSeconds() + tail > kLongestRenderSeconds) {
      throw std::runtime_error(midi + " lasts " + std::to_string(std::lround(sequence.LengthSeconds() / 3600.0)) +
                               " hours; the longest render is 24 hours");
    }

    auto library = std::make_shared<TVstLibrary>(plugin.empty() ? DefaultPlugin() : FindPlugin(plugin));
    TVstHost host(library);
    host.tempo = tempo > 0.0 ? tempo : sequence.InitialTempo();
    host.Start(rate, block);
    if (!bankFile.empty()) LoadBankFile(host, bankFile);
    if (!bankChunk.empty()) LoadChunkFile(host, bankChunk, true);
    if (!programChunk.empty()) LoadChunkFile(host, programChunk, false);
    if (program >= 0) {
      if (program >= host.Effect()->numPrograms) {
        throw std::runtime_error("--program " + std::to_string(program) + ": the plug-in has programs 0 to " +
                                 std::to_string(host.Effect()->numPrograms - 1));
      }
      host.Dispatch(vst::effSetProgram, 0, program);
    }
    // --param and --set in the order they were given.
    TOwnParameterTable table;
    size_t nextParam = 0, nextSet = 0;
    for (const CLI::Option* option : app.parse_order()) {
      const bool isParam = option == paramOption;
      if (!isParam && option != setOption) continue;
      const std::string& argument = isParam ? params.at(nextParam++) : sets.at(nextSet++);
      const TParamSetting setting =
          ParseParamArgument(host, argument, isParam ? TValueForm::kNormalized : TValueForm::kPresetText, table);
      host.Effect()->setParameter(host.Effect(), setting.index, setting.normalized);
    }
    if (info) {
      PrintInfo(host);
      return 0;
    }

    TAudioFileWriter writer(output, format, static_cast<int>(std::lround(rate)));
    const bool bar = !quiet && isatty(STDERR_FILENO);
    StreamSequence(
        host, sequence, settings,
        [&](const float* left, const float* right, int32_t frames) { writer.Write(left, right, frames); },
        bar ? ShowProgress : std::function<void(double)>{});
    writer.Finish();
    if (!quiet) {
      const float peak = writer.Peak();
      std::printf("%s: %s, %.2f s at %.0f Hz, peak %.1f dBFS%s\n", output.c_str(), format.name.c_str(),
                  static_cast<double>(RenderLength(sequence, settings)) / rate, rate,
                  peak > 0 ? 20.0 * std::log10(peak) : -INFINITY, peak > 0 ? "" : " (silent)");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesmora6-render: %s\n", e.what());
    return 1;
  }
  return 0;
}
