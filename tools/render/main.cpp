// tesmora6-render: plays a Standard MIDI File (or a built-in demo phrase) through a VST 2
// instrument and writes the audio to a WAV file.
#include <sndfile.h>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "tools/render/Renderer.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t BigEndian32(const std::vector<uint8_t>& d, size_t at) {
  return (uint32_t{d[at]} << 24) | (uint32_t{d[at + 1]} << 16) | (uint32_t{d[at + 2]} << 8) | d[at + 3];
}

void SetChunk(TVstHost& host, std::vector<uint8_t> data, bool bank) {
  host.Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(data.size()), data.data());
}

// A bank file of the chunk form: the chunk is the last C bytes (C at offset 156), which
// finds it whether the writer put it at 160 or at 164.
void LoadBankFile(TVstHost& host, const std::string& path) {
  const auto data = ReadFile(path);
  if (data.size() < 160 || std::string(data.begin(), data.begin() + 4) != "CcnK") {
    throw std::runtime_error(path + " is not a bank file");
  }
  const std::string magic(data.begin() + 8, data.begin() + 12);
  if (magic != "FBCh") throw std::runtime_error(path + " is not a chunk bank ('FBCh')");
  const uint32_t size = BigEndian32(data, 156);
  if (size > data.size() - 160) throw std::runtime_error(path + " is truncated");
  SetChunk(host, std::vector<uint8_t>(data.end() - size, data.end()), true);
}

void PrintInfo(TVstHost& host) {
  const vst::AEffect* e = host.Effect();
  const int32_t id = e->uniqueID;
  std::printf("name          %s\n", host.EffectName().c_str());
  std::printf("uniqueID      0x%08X '%c%c%c%c'\n", static_cast<uint32_t>(id), (id >> 24) & 0xFF,
              (id >> 16) & 0xFF, (id >> 8) & 0xFF, id & 0xFF);
  std::printf("version       %d\n", e->version);
  std::printf("flags         0x%X\n", static_cast<unsigned>(e->flags));
  std::printf("numPrograms   %d\n", e->numPrograms);
  std::printf("numParams     %d\n", e->numParams);
  std::printf("numInputs     %d\n", e->numInputs);
  std::printf("numOutputs    %d\n", e->numOutputs);
  std::printf("initialDelay  %d\n", e->initialDelay);
  std::printf("\nparameters\n");
  for (int32_t i = 0; i < e->numParams; ++i) {
    std::printf("%5d  %-24s  %s\n", i, host.ParamName(i).c_str(), host.ParamDisplay(i).c_str());
  }
  std::printf("\nprograms\n");
  for (int32_t i = 0; i < e->numPrograms; ++i) {
    std::printf("%5d  %s\n", i, host.ProgramName(i).c_str());
  }
}

void WriteWav(const std::string& path, const TRenderedAudio& audio, int sampleRate, int bits) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | (bits == 16 ? SF_FORMAT_PCM_16 : bits == 24 ? SF_FORMAT_PCM_24
                                                                             : SF_FORMAT_FLOAT);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
  std::vector<float> interleaved(audio.left.size() * 2);
  for (size_t i = 0; i < audio.left.size(); ++i) {
    interleaved[2 * i] = audio.left[i];
    interleaved[2 * i + 1] = audio.right[i];
  }
  // Integer formats clip instead of wrapping.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const auto frames = static_cast<sf_count_t>(audio.left.size());
  const sf_count_t written = sf_writef_float(file, interleaved.data(), frames);
  sf_close(file);
  if (written != frames) throw std::runtime_error("could not write all of " + path);
}

void ShowProgress(double fraction) {
  const int width = 40;
  const int filled = static_cast<int>(fraction * width);
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "========================================",
               width - filled, "", static_cast<int>(fraction * 100.0 + 0.5));
  if (fraction >= 1.0) std::fprintf(stderr, "\n");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Renders MIDI through a VST 2 instrument into a WAV file."};
  std::string plugin = TESMORA6_DEFAULT_PLUGIN;
  std::string midi;
  std::string output = "tesmora6-demo.wav";
  double rate = 44100.0;
  int32_t block = 512;
  double tempo = 0.0;
  double tail = 2.0;
  int program = -1;
  int bits = 32;
  std::vector<std::string> params;
  std::string bankChunk, programChunk, bankFile;
  bool info = false;
  bool quiet = false;
  app.add_option("midi", midi, "Standard MIDI File to play (default: a built-in demo phrase)")
      ->check(CLI::ExistingFile);
  app.add_option("-p,--plugin", plugin, "VST 2 library to load")->capture_default_str();
  app.add_option("-o,--output", output, "WAV file to write")->capture_default_str();
  app.add_option("-r,--rate", rate, "sample rate in Hz")->capture_default_str()->check(CLI::Range(8000.0, 384000.0));
  app.add_option("-b,--block", block, "host block size in frames")->capture_default_str()->check(CLI::Range(1, 1 << 20));
  app.add_option("-t,--tempo", tempo, "tempo reported to the plug-in (default: the file's, else 120)");
  app.add_option("--tail", tail, "seconds rendered after the last MIDI message")->capture_default_str()->check(CLI::Range(0.0, 600.0));
  app.add_option("--program", program, "program to select before playing")->check(CLI::Range(0, 127));
  app.add_option("--param", params, "set a parameter: INDEX=VALUE (normalized 0..1); repeatable");
  app.add_option("--bank-chunk", bankChunk, "load a bank chunk (raw bytes) with effSetChunk")->check(CLI::ExistingFile);
  app.add_option("--program-chunk", programChunk, "load a program chunk (raw bytes) with effSetChunk")->check(CLI::ExistingFile);
  app.add_option("--fxb", bankFile, "load a bank file of the chunk form")->check(CLI::ExistingFile);
  app.add_option("--bits", bits, "WAV sample format: 16, 24 or 32 (float)")->capture_default_str()->check(CLI::IsMember({16, 24, 32}));
  app.add_flag("--info", info, "print the plug-in's values, parameters and programs, then stop");
  app.add_flag("-q,--quiet", quiet, "no progress bar");
  CLI11_PARSE(app, argc, argv);

  try {
    auto library = std::make_shared<TVstLibrary>(plugin);
    TVstHost host(library);
    const TMidiSequence sequence = midi.empty() ? DemoPhrase() : LoadMidiFile(midi);
    host.tempo = tempo > 0.0 ? tempo : sequence.initialTempo;
    host.Start(rate, block);
    if (info) {
      PrintInfo(host);
      return 0;
    }
    if (!bankFile.empty()) LoadBankFile(host, bankFile);
    if (!bankChunk.empty()) SetChunk(host, ReadFile(bankChunk), true);
    if (!programChunk.empty()) SetChunk(host, ReadFile(programChunk), false);
    if (program >= 0) host.Dispatch(vst::effSetProgram, 0, program);
    for (const std::string& p : params) {
      const auto eq = p.find('=');
      if (eq == std::string::npos) throw std::runtime_error("--param wants INDEX=VALUE, got " + p);
      const int index = std::stoi(p.substr(0, eq));
      const float value = std::stof(p.substr(eq + 1));
      if (index < 0 || index >= host.Effect()->numParams) {
        throw std::runtime_error("no parameter " + std::to_string(index));
      }
      host.Effect()->setParameter(host.Effect(), index, value);
    }
    TRenderSettings settings;
    settings.sampleRate = rate;
    settings.blockSize = block;
    settings.tailSeconds = tail;
    const bool bar = !quiet && isatty(STDERR_FILENO);
    const TRenderedAudio audio =
        RenderSequence(host, sequence, settings, bar ? ShowProgress : std::function<void(double)>{});
    WriteWav(output, audio, static_cast<int>(std::lround(rate)), bits);
    float peak = 0.0f;
    for (size_t i = 0; i < audio.left.size(); ++i) {
      peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    }
    if (!quiet) {
      std::printf("%s: %.2f s at %.0f Hz, peak %.1f dBFS%s\n", output.c_str(),
                  static_cast<double>(audio.left.size()) / rate, rate,
                  peak > 0 ? 20.0 * std::log10(peak) : -INFINITY, peak > 0 ? "" : " (silent)");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesmora6-render: %s\n", e.what());
    return 1;
  }
  return 0;
}
