// libFuzzer target for every reader of stored data: bank and program chunks (through the
// engine interface every host adapter loads state with), bank files in both forms, .spi and .spf files and the
// sub-preset section. The first byte of an input picks the reader (and the group for the file readers); the rest is the
// data. After every input the instance must still answer, and the bank chunk it then writes must read back to itself.
//
// With TESMORA6_FUZZ_SEEDS=DIR set, the target writes a seed corpus of real stored data
// into DIR and exits (scripts/fuzz-readers does this before fuzzing).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "framework/DSPByteStream.h"
#include "framework/DSPSubPresets.h"
#include "framework/PostBack.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"

using namespace tesmora6;

namespace {

enum TReader : uint8_t { kBankChunk, kProgramChunk, kBankFile, kSubPresetFile, kGroupFile, kSection, kReaderCount };

TTesmora6Engine& Engine() {
  static TTesmora6Engine* engine = new TTesmora6Engine();
  return *engine;
}

TTesmora6& Synth() { return Engine().Instrument(); }

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

int32_t GroupOf(uint8_t selector) {
  const auto& groups = Synth().SubPresets()->Groups();
  return groups[(selector / kReaderCount) % groups.size()].id;
}

uint8_t Selector(TReader reader, size_t group = 0) { return static_cast<uint8_t>(reader + kReaderCount * group); }

// ------------------------------------------------------------------------ the seed corpus

void WriteSeed(const std::filesystem::path& dir, const std::string& name, uint8_t selector,
               std::span<const uint8_t> data) {
  std::ofstream out(dir / name, std::ios::binary);
  out.put(static_cast<char>(selector));
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

void PatchBigEndian(std::vector<uint8_t>& d, size_t at, int32_t v) { bytes::PatchI32BigEndian(d, at, v); }

void WriteSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  TTesmora6 s;
  s.Initialise();
  auto& presets = *s.SubPresets();
  // A few sub-presets in groups of every size.
  for (const auto& g : std::vector<int32_t>{10, 16, 17, 40}) {
    const auto* group = presets.FindGroup(g);
    for (int k = 0; k < 2; ++k) {
      for (size_t i = 0; i < group->items.size(); ++i) {
        s.SetNormalized(group->items[i], static_cast<float>((i * 7 + static_cast<size_t>(k) * 3) % 11) / 10.0f);
      }
      presets.Store(g, k == 0 ? "First Light" : "Second");
    }
  }
  s.SetProgramName(0, "Seed Program");
  for (int32_t j = 10; j < s.ParamCount(); j += 17) s.SetNormalized(j, 0.25f);

  // A small bank chunk: two real program records and the real sub-preset section.
  const std::vector<uint8_t> program = s.WriteChunk(false);
  std::vector<uint8_t> bank;
  bytes::Put(bank, "DcHnK");
  bytes::PutI16(bank, 2);
  bytes::PutI32(bank, 3);
  bank.insert(bank.end(), program.begin(), program.end());
  s.SetProgramName(0, "");
  const std::vector<uint8_t> blank = s.WriteChunk(false);
  bank.insert(bank.end(), blank.begin(), blank.end());
  std::vector<uint8_t> shortProgram;
  bytes::Put(shortProgram, "PgCn");
  bytes::PutI16(shortProgram, 2);
  bytes::PutI32(shortProgram, 5);
  bytes::Put(shortProgram, "Short");
  bytes::PutI32(shortProgram, 12);
  for (int j = 0; j < 12; ++j) bytes::PutF32(shortProgram, static_cast<float>(j) / 12.0f);
  bank.insert(bank.end(), shortProgram.begin(), shortProgram.end());
  std::vector<uint8_t> section;
  s.WriteSubPresetSection(section);
  bank.insert(bank.end(), section.begin(), section.end());
  WriteSeed(dir, "bank-chunk", Selector(kBankChunk), bank);
  WriteSeed(dir, "program-chunk", Selector(kProgramChunk), program);
  WriteSeed(dir, "program-chunk-short", Selector(kProgramChunk), shortProgram);
  WriteSeed(dir, "section", Selector(kSection), section);

  // Bank files: the chunk form around the small chunk, and a value form cut down to two
  // programs of sixteen values.
  std::vector<uint8_t> chunkFile = s.WriteBankFile();
  chunkFile.resize(164);
  PatchBigEndian(chunkFile, 4, static_cast<int32_t>(164 + bank.size()));
  PatchBigEndian(chunkFile, 156, static_cast<int32_t>(bank.size()));
  chunkFile.insert(chunkFile.end(), bank.begin(), bank.end());
  WriteSeed(dir, "bank-file-chunk", Selector(kBankFile), chunkFile);
  s.SetProgramsAreChunks(false);
  const std::vector<uint8_t> full = s.WriteBankFile();
  std::vector<uint8_t> valueFile(full.begin(), full.begin() + 212);
  PatchBigEndian(valueFile, 24, 2);
  const size_t block = 56 + 4 * static_cast<size_t>(s.ParamCount());
  for (size_t n = 0; n < 2; ++n) {
    const auto* at = full.data() + 212 + n * block;
    std::vector<uint8_t> head(at, at + 56 + 4 * 16);
    PatchBigEndian(head, 24, 16);
    valueFile.insert(valueFile.end(), head.begin(), head.end());
  }
  WriteSeed(dir, "bank-file-values", Selector(kBankFile), valueFile);

  // Sub-preset files of real groups.
  const auto& groups = presets.Groups();
  for (size_t k = 0; k < groups.size(); ++k) {
    if (groups[k].presets.empty()) continue;
    const std::string name = std::to_string(groups[k].id);
    WriteSeed(dir, "spi-" + name, Selector(kSubPresetFile, k), presets.WriteSubPresetFile(groups[k].id, 0));
    WriteSeed(dir, "spf-" + name, Selector(kGroupFile, k), presets.WriteGroupFile(groups[k].id));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("TESMORA6_FUZZ_SEEDS")) {
    WriteSeeds(dir);
    std::exit(0);
  }
  Synth();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TTesmora6& s = Synth();
  const uint8_t selector = data[0];
  const std::span<const uint8_t> body(data + 1, size - 1);
  auto& presets = *s.SubPresets();

  switch (selector % kReaderCount) {
    case kBankChunk:
      Engine().LoadState(body, true);
      break;
    case kProgramChunk:
      Engine().LoadState(body, false);
      break;
    case kBankFile:
      s.ReadBankFile(body);
      break;
    case kSubPresetFile:
      presets.LoadSubPresetFile(GroupOf(selector), body);
      break;
    case kGroupFile:
      presets.LoadGroupFile(GroupOf(selector), body, (selector & 0x80) != 0);
      break;
    case kSection: {
      TByteReader reader(body);
      s.ReadSubPresetSection(reader);
      break;
    }
  }

  // Still answering: what it writes now reads back to the same bytes. The program chunk
  // and the sub-preset section are checked every time, the whole bank chunk (slow to
  // write at this size under the sanitizers) now and then.
  const std::vector<uint8_t> program = Engine().SaveState(false);
  if (program.empty()) std::abort();
  s.ReadChunk(program, false);
  if (s.WriteChunk(false) != program) Fail("a written program chunk does not read back to itself");
  std::vector<uint8_t> section;
  s.WriteSubPresetSection(section);
  TByteReader reader(section);
  s.ReadSubPresetSection(reader);
  std::vector<uint8_t> again;
  s.WriteSubPresetSection(again);
  if (!reader.AtEnd() || again != section) Fail("a written sub-preset section does not read back to itself");
  static unsigned runs = 0;
  if (++runs % 256 == 0) {
    const std::vector<uint8_t> bank = s.WriteChunk(true);
    s.ReadChunk(bank, true);
    if (s.WriteChunk(true) != bank) Fail("a written bank chunk does not read back to itself");
  }

  // The libraries start empty for every input: they grow with each appended record, and
  // an input that frees what it allocated spares the fuzzer a leak scan of the whole heap.
  for (const auto& g : presets.Groups()) presets.Clear(g.id);
  DeliverPostBacks();
  return 0;
}
