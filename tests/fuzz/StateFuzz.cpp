// libFuzzer target for state that then plays: a mutated chunk is loaded through effSetChunk
// (a bank chunk, or a program chunk into the current program), a program change follows,
// a few notes are played and a few blocks rendered through processReplacing, as a host
// would. Every sample must be finite and within +-64.
//
// Input: byte 0 picks the chunk form (even: bank, odd: program), byte 1 the program to
// change to, byte 2 the host block size (16 .. 1039 frames); the rest is the chunk.
//
// With TESMORA6_FUZZ_SEEDS=DIR set, the target writes a seed corpus (program and small bank
// chunks of real programs) into DIR and exits (scripts/fuzz-state does this first).
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "framework/DSPByteStream.h"
#include "framework/OutputSafetyLimiter.h"
#include "framework/PostBack.h"
#include "host/Tesmora6Vst.h"
#include "host/VstAbi.h"
#include "tests/TestVstMidi.h"
#include "tests/support/FakeHost.h"

using namespace tesmora6;

namespace {

// The host of the session: 133 bpm in 3/4.
TFakeHost fuzzHost = [] {
  TFakeHost host;
  host.tempo = 133.0;
  host.numerator = 3;
  return host;
}();

// One long-lived instance, as in a host session: state built up by earlier inputs stays.
vst::AEffect* Instance() {
  static vst::AEffect* effect = [] {
    vst::AEffect* e = Tesmora6PluginMain(&FakeHostCallback<&fuzzHost>);
    if (!e) std::abort();
    e->dispatcher(e, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    return e;
  }();
  return effect;
}

intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
  vst::AEffect* e = Instance();
  return e->dispatcher(e, opcode, index, value, ptr, 0.0f);
}

void Render(int32_t frames, int32_t block) {
  vst::AEffect* e = Instance();
  std::vector<float> left(static_cast<size_t>(block)), right(static_cast<size_t>(block));
  float* outs[2] = {left.data(), right.data()};
  for (int32_t done = 0; done < frames; done += block) {
    e->processReplacing(e, nullptr, outs, block);
    for (const auto* ch : {&left, &right}) {
      for (float v : *ch) {
        if (!std::isfinite(v) || std::fabs(v) > TOutputSafetyLimiter::kCeiling) {
          std::fprintf(stderr, "sample %g out of bounds\n", static_cast<double>(v));
          std::abort();
        }
      }
    }
  }
}

void WriteSeed(const std::filesystem::path& dir, const std::string& name, uint8_t form, uint8_t program, uint8_t block,
               std::span<const uint8_t> chunk) {
  std::ofstream out(dir / name, std::ios::binary);
  out.put(static_cast<char>(form));
  out.put(static_cast<char>(program));
  out.put(static_cast<char>(block));
  out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
}

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (int32_t n : {0, 5, 17, 42, 99, 127}) {
    Dispatch(vst::effSetProgram, 0, n);
    void* data = nullptr;
    const intptr_t size = Dispatch(vst::effGetChunk, 1, 0, &data);
    const std::span<const uint8_t> program(static_cast<const uint8_t*>(data), static_cast<size_t>(size));
    WriteSeed(dir, "program-" + std::to_string(n), 1, static_cast<uint8_t>(n), 240, program);
    // A bank chunk of two programs: this one twice.
    std::vector<uint8_t> bank;
    bytes::Put(bank, "DcHnK");
    bytes::PutI16(bank, 2);
    bytes::PutI32(bank, 2);
    bank.insert(bank.end(), program.begin(), program.end());
    bank.insert(bank.end(), program.begin(), program.end());
    WriteSeed(dir, "bank-" + std::to_string(n), 0, 1, 112, bank);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Instance();
  if (const char* dir = std::getenv("TESMORA6_FUZZ_SEEDS")) {
    WriteSeeds(dir);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool bank = (data[0] & 1) == 0;
  const int32_t program = data[1] & 0x7F;
  const int32_t block = 16 + ((data[2] * 4) & 0x3FF);
  std::vector<uint8_t> chunk(data + 3, data + size);
  if (!chunk.empty()) {
    Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(chunk.size()), chunk.data());
  }
  Dispatch(vst::effSetProgram, 0, program);
  SendTestMidi(Instance(), {{0, {0x90, 48, 100}}, {3, {0x90, 55, 127}}, {7, {0x90, 64, 90}}, {11, {0xE0, 0x00, 0x70}}});
  Render(2048, block);
  SendTestMidi(Instance(), {{0, {0x80, 48, 0}}, {1, {0x80, 55, 0}}, {2, {0x80, 64, 0}}, {3, {0x90, 72, 60}}});
  Render(2048, block);
  SendTestMidi(Instance(), {{0, {0x80, 72, 0}}, {0, {0xE0, 0x00, 0x40}}});
  Render(1024, block);
  DeliverPostBacks();
  return 0;
}
