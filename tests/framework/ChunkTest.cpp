// Programs, program and bank chunks, bank files in both forms, the factory bank, and
// readers fed with truncated, mutated and hostile data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

#include "framework/ChunkLayout.h"
#include "framework/PostBack.h"
#include "engine/Tesmora6ParamIds.h"
#include "framework/FloatingPointMode.h"
#include "instrument/Tesmora6Engine.h"
#include "instrument/Tesmora6SubPresetGroups.h"
#include "resources/Resources.h"

using namespace tesmora6;

using namespace layout;

namespace {

// Every program record carries one value per parameter.
constexpr size_t kValues = Param::Count;

// Counts the parameter notifications, to show which readers notify and which do not.
class TCountingSynth : public TTesmora6 {
 public:
  void ParameterChanged(int32_t index) override {
    ++changes;
    TTesmora6::ParameterChanged(index);
  }
  int changes = 0;
};

std::vector<uint8_t> BankChunkHead(int32_t programs) {
  std::vector<uint8_t> out;
  Put(out, "DcHnK");
  PutLe(out, 2, 2);
  PutLe(out, static_cast<uint32_t>(programs), 4);
  return out;
}

// "R7" and the like (spelled out: g++ 12 warns falsely about string + to_string here).
std::string Name(const char* prefix, int32_t n) {
  std::string s = prefix;
  s += std::to_string(n);
  return s;
}

int32_t BigEndianAt(const std::vector<uint8_t>& d, size_t at) {
  TCursor c(d);
  c.pos = at;
  return c.Be32();
}

}  // namespace

// ------------------------------------------------------------------------ chunk layouts

TEST(ProgramChunk, LayoutByteForByte) {
  auto s = NewSynth();
  const int32_t p = FirstProgramParam(*s);
  ASSERT_GE(p, 10);
  s->SetProgramName(0, "  Lead One \t");
  s->Program(0).values[static_cast<size_t>(p)] = 0.25f;
  s->Program(0).values[0] = 0.9f;  // Volume is global: the record carries its global value
  s->ParamInfo(0).globalValue = 0.75f;

  const auto chunk = s->WriteChunk(false);
  ASSERT_EQ(chunk.size(), 4u + 2 + 4 + 8 + 4 + 4u * kValues);
  EXPECT_EQ(std::memcmp(chunk.data(), "PgCn\x02\x00\x08\x00\x00\x00Lead One", 18), 0);
  TCursor c(chunk);
  const TProgram record = ProgramRecord(c);
  EXPECT_TRUE(c.AtEnd());
  EXPECT_EQ(record.name, "Lead One");  // trimmed
  ASSERT_EQ(record.values.size(), kValues);
  EXPECT_EQ(record.values[0], 0.75f);
  EXPECT_EQ(record.values[static_cast<size_t>(p)], 0.25f);
}

// A blank name no longer drops the program's values: hosts save unnamed programs too.
TEST(ProgramChunk, BlankNameStillStoresTheValues) {
  auto s = NewSynth();
  const int32_t p = FirstProgramParam(*s);
  s->Program(0).values[static_cast<size_t>(p)] = 0.625f;
  for (const char* blank : {"", "   ", " \t "}) {
    s->SetProgramName(0, blank);
    const auto chunk = s->WriteChunk(false);
    ASSERT_EQ(chunk.size(), 4u + 2 + 4 + 4 + 4u * kValues) << "name \"" << blank << "\"";
    TCursor c(chunk);
    const TProgram record = ProgramRecord(c);
    EXPECT_EQ(record.name, "");
    ASSERT_EQ(record.values.size(), kValues);
    EXPECT_EQ(record.values[static_cast<size_t>(p)], 0.625f);
  }
}

TEST(BankChunk, LayoutEndsWithTheTenGroupsInTableOrder) {
  auto s = NewSynth();
  s->SubPresets()->Store(14, "Echo");
  const auto chunk = s->WriteChunk(true);
  const TBankChunk bank = BankChunk(chunk);  // throws unless the layout is exact
  ASSERT_EQ(bank.programs.size(), 128u);
  const auto table = Tesmora6SubPresetGroups();
  ASSERT_EQ(bank.groups.size(), table.size());
  for (size_t k = 0; k < table.size(); ++k) EXPECT_EQ(bank.groups[k].id, table[k].id);
  const auto& delay = bank.groups[5];
  ASSERT_EQ(delay.presets.size(), 1u);
  EXPECT_EQ(delay.presets[0].group, 14);
  EXPECT_EQ(delay.presets[0].name, "Echo");
  EXPECT_EQ(delay.presets[0].values.size(), 25u);
}

// ------------------------------------------------------------------ reading and round trips

TEST(BankChunk, RoundTripBetweenInstances) {
  auto a = NewSynth();
  const int32_t p = FirstProgramParam(*a);
  for (int32_t n = 0; n < 128; ++n) {
    a->SetProgramName(n, n == 5 ? "  " : "Patch " + std::to_string(n));
    a->Program(n).values[static_cast<size_t>(p)] = static_cast<float>(n) / 128.0f;
  }
  a->ParamInfo(0).globalValue = 0.3f;
  a->SetProgram(3);
  a->SetNormalized(466, 0.625f);
  ASSERT_EQ(a->SubPresets()->Store(10, "Hall"), 0);
  ASSERT_EQ(a->SubPresets()->Store(40, "Run"), 0);
  const auto chunk = a->WriteChunk(true);

  auto b = NewSynth();
  b->Program(5).values[static_cast<size_t>(p)] = 0.875f;  // the blank-named program's values arrive
  b->SubPresets()->Store(12, "Old");                      // groups in the data are reloaded
  b->ReadChunk(chunk, true);
  for (int32_t n = 0; n < 128; ++n) {
    EXPECT_EQ(b->ProgramName(n), n == 5 ? "" : "Patch " + std::to_string(n));
    EXPECT_EQ(b->Program(n).values[static_cast<size_t>(p)], static_cast<float>(n) / 128.0f);
  }
  EXPECT_EQ(b->ParamInfo(0).globalValue, 0.3f);
  EXPECT_EQ(b->Program(3).values[466], 0.625f);
  ASSERT_EQ(b->SubPresets()->FindGroup(10)->SubPresetCount(), 1);
  EXPECT_EQ(b->SubPresets()->FindGroup(10)->presets[0].name, "Hall");
  EXPECT_EQ(b->SubPresets()->FindGroup(12)->SubPresetCount(), 0);
  // b now writes what a wrote.
  EXPECT_EQ(b->WriteChunk(true), chunk);
}

TEST(BankChunk, GlobalParametersTakeTheLastRecordRead) {
  auto s = NewSynth();
  auto chunk = BankChunkHead(3);
  for (float volume : {0.1f, 0.2f, 0.3f}) {
    std::vector<float> values(kValues, 0.5f);
    values[0] = volume;
    PutProgram(chunk, "P", values);
  }
  s->ReadChunk(chunk, true);
  EXPECT_EQ(s->ParamInfo(0).globalValue, 0.3f);
  EXPECT_EQ(s->Program(0).values[0], 0.1f);  // each record's entry is stored as well
  EXPECT_EQ(s->GetNormalized(0), 0.3f);
}

TEST(BankChunk, RecordsBeyond128AreReadAndDiscarded) {
  auto s = NewSynth();
  const int32_t p = FirstProgramParam(*s);
  auto chunk = BankChunkHead(130);
  for (int32_t n = 0; n < 130; ++n) {
    std::vector<float> values(static_cast<size_t>(p) + 1, 0.0f);
    values[static_cast<size_t>(p)] = static_cast<float>(n) / 256.0f;
    PutProgram(chunk, Name("R", n), values);
  }
  // The section after the extra records is still found.
  Put(chunk, "SuBpRe");
  PutLe(chunk, 2, 2);
  PutLe(chunk, 1, 2);
  Put(chunk, "SpGp");
  PutLe(chunk, 2, 2);
  PutLe(chunk, 16, 2);
  PutLe(chunk, 1, 4);
  PutPreset(chunk, 16, "Bright", std::vector<float>(18, 0.5f));
  s->ReadChunk(chunk, true);
  for (int32_t n = 0; n < 128; ++n) {
    EXPECT_EQ(s->ProgramName(n), Name("R", n));
    EXPECT_EQ(s->Program(n).values[static_cast<size_t>(p)], static_cast<float>(n) / 256.0f);
  }
  ASSERT_EQ(s->SubPresets()->FindGroup(16)->SubPresetCount(), 1);
  EXPECT_EQ(s->SubPresets()->FindGroup(16)->presets[0].name, "Bright");
}

TEST(ProgramChunk, FromABuildWithFewerParametersKeepsTheRest) {
  auto s = NewSynth();
  s->SetProgram(7);
  auto& values = s->Program(7).values;
  std::fill(values.begin(), values.end(), 0.125f);
  std::vector<uint8_t> chunk;
  PutProgram(chunk, "Older", std::vector<float>(300, 0.75f));
  s->ReadChunk(chunk, false);
  EXPECT_EQ(s->ProgramName(7), "Older");
  for (size_t j = 10; j < kValues; ++j) ASSERT_EQ(values[j], j < 300 ? 0.75f : 0.125f) << j;
  EXPECT_EQ(s->ProgramName(6), "Program 7");  // other programs untouched
}

// The reader stores values without notifying (applying them is the dispatcher's step after
// it), made safe: clamped to 0 .. 1, and NaN as the parameter's default.
TEST(ProgramChunk, ValuesAreStoredSafelyWithoutNotifying) {
  TCountingSynth s;
  s.Initialise();
  const int32_t p = FirstProgramParam(s);
  s.programsDirty = false;
  s.changes = 0;
  std::vector<float> values(static_cast<size_t>(p) + 3, 0.0f);
  values[static_cast<size_t>(p)] = 1.5f;
  values[static_cast<size_t>(p) + 1] = -0.25f;
  values[static_cast<size_t>(p) + 2] = std::nanf("");
  std::vector<uint8_t> chunk;
  PutProgram(chunk, "Raw", values);
  s.ReadChunk(chunk, false);
  EXPECT_EQ(s.GetNormalized(p), 1.0f);
  EXPECT_EQ(s.GetNormalized(p + 1), 0.0f);
  EXPECT_EQ(s.GetNormalized(p + 2), s.ParamInfo(p + 2).defaultValue);
  EXPECT_EQ(s.changes, 0);
  EXPECT_FALSE(s.programsDirty);
}

// --------------------------------------------------------------------------- bank files

TEST(BankFile, ChunkFormHeaderAndRoundTrip) {
  auto a = NewSynth();
  for (int32_t n = 0; n < 128; ++n) a->SetProgramName(n, "");
  const auto file = a->WriteBankFile();
  EXPECT_EQ(a->ProgramName(0), "Default");  // a bank never goes out without a name
  const auto chunk = a->WriteChunk(true);
  ASSERT_EQ(file.size(), chunk.size() + 164);
  EXPECT_EQ(std::memcmp(file.data(), "CcnK", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 4), static_cast<int32_t>(file.size()));
  EXPECT_EQ(std::memcmp(file.data() + 8, "FBCh", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 12), 1);
  EXPECT_EQ(std::memcmp(file.data() + 16, "tSm6", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 20), 1);
  EXPECT_EQ(BigEndianAt(file, 24), 128);
  EXPECT_TRUE(std::all_of(file.begin() + 28, file.begin() + 156, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(BigEndianAt(file, 156), static_cast<int32_t>(chunk.size()));
  EXPECT_EQ(BigEndianAt(file, 160), 0);
  EXPECT_TRUE(std::equal(chunk.begin(), chunk.end(), file.begin() + 164));

  TCountingSynth b;
  b.Initialise();
  b.programsDirty = false;
  DeliverPostBacks();  // the factory bank's own notification
  const int pending = PendingPostBacks();
  b.ReadBankFile(file);
  EXPECT_EQ(b.ProgramName(0), "Default");
  EXPECT_EQ(b.ProgramName(1), "");
  EXPECT_TRUE(b.programsDirty);
  EXPECT_EQ(PendingPostBacks(), pending + 1);  // bank loaded
  EXPECT_EQ(b.WriteChunk(true), chunk);
}

TEST(BankFile, ValueFormLayoutAndRoundTrip) {
  auto a = NewSynth();
  const int32_t p = FirstProgramParam(*a);
  a->SetProgramsAreChunks(false);
  a->SetProgramName(1, "A name longer than twenty-six characters");
  a->Program(1).values[static_cast<size_t>(p)] = 0.5f;
  a->SetProgram(4);
  const auto file = a->WriteBankFile();
  EXPECT_EQ(a->CurrentProgram(), 4);
  constexpr size_t kBlock = 56 + 4 * kValues;
  ASSERT_EQ(file.size(), 212 + 128 * kBlock);
  EXPECT_EQ(std::memcmp(file.data() + 8, "FxBk", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 4), static_cast<int32_t>(128 * kBlock + 212));
  EXPECT_EQ(BigEndianAt(file, 24), 128);
  EXPECT_TRUE(std::all_of(file.begin() + 28, file.begin() + 212, [](uint8_t b) { return b == 0; }));
  const size_t block1 = 212 + kBlock;
  EXPECT_EQ(std::memcmp(file.data() + block1, "CcnK", 4), 0);
  EXPECT_EQ(BigEndianAt(file, block1 + 4), static_cast<int32_t>(4 * kValues + 48));
  EXPECT_EQ(std::memcmp(file.data() + block1 + 8, "FxCk", 4), 0);
  EXPECT_EQ(BigEndianAt(file, block1 + 12), 1);
  EXPECT_EQ(std::memcmp(file.data() + block1 + 16, "tSm6", 4), 0);
  EXPECT_EQ(BigEndianAt(file, block1 + 24), Param::Count);
  const std::string nameField(reinterpret_cast<const char*>(file.data() + block1 + 28), 28);
  EXPECT_EQ(nameField, std::string("A name longer than twenty-") + std::string(2, '\0'));
  EXPECT_EQ(std::bit_cast<float>(static_cast<uint32_t>(BigEndianAt(file, block1 + 56 + 4 * static_cast<size_t>(p)))),
            0.5f);

  auto b = NewSynth();
  b->SetProgram(9);
  b->ReadBankFile(file);
  EXPECT_EQ(b->CurrentProgram(), 9);
  EXPECT_EQ(b->ProgramName(1), "A name longer than twenty-");
  EXPECT_EQ(b->Program(1).values[static_cast<size_t>(p)], 0.5f);
  EXPECT_EQ(b->ProgramName(127), "Program 128");
  EXPECT_TRUE(b->programsDirty);
}

TEST(BankFile, ValueFormClampsThroughTheParameterSetter) {
  auto a = NewSynth();
  a->SetProgramsAreChunks(false);
  auto file = a->WriteBankFile();
  const int32_t p = FirstProgramParam(*a);
  // Program 0's value of parameter p becomes 3.0 (big-endian), read back clamped to 1.
  const uint32_t bits = std::bit_cast<uint32_t>(3.0f);
  const size_t at = 212 + 56 + 4 * static_cast<size_t>(p);
  for (int i = 0; i < 4; ++i) file[at + static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (24 - 8 * i));
  auto b = NewSynth();
  b->ReadBankFile(file);
  EXPECT_EQ(b->Program(0).values[static_cast<size_t>(p)], 1.0f);
}

// -------------------------------------------------------------------------- factory bank

TEST(FactoryBank, ParsesExactly) {
  // This program links a plain bank (its tests start from the defaults): read the file the
  // build embeds in the plug-in. That every new instance loads it is the bank tests' part.
  std::ifstream in(TESMORA6_BINARY_DIR "/resources/FACTORYBANKFXB.fxb", std::ios::binary);
  ASSERT_TRUE(in.good());
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(file.size(), 164u);
  EXPECT_EQ(std::memcmp(file.data(), "CcnK", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 4), static_cast<int32_t>(file.size()));
  EXPECT_EQ(std::memcmp(file.data() + 8, "FBCh", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 12), 1);
  EXPECT_EQ(std::memcmp(file.data() + 16, "tSm6", 4), 0);
  EXPECT_EQ(BigEndianAt(file, 20), 1);
  EXPECT_EQ(BigEndianAt(file, 24), 128);
  EXPECT_EQ(BigEndianAt(file, 156), static_cast<int32_t>(file.size() - 164));

  const TBankChunk bank = BankChunk(std::span(file).subspan(164));
  ASSERT_EQ(bank.programs.size(), 128u);
  for (const auto& program : bank.programs) {
    EXPECT_FALSE(program.name.empty());
    EXPECT_EQ(program.values.size(), kValues) << program.name;
  }
  const auto table = Tesmora6SubPresetGroups();
  ASSERT_EQ(bank.groups.size(), 10u);
  for (size_t k = 0; k < table.size(); ++k) {
    EXPECT_EQ(bank.groups[k].id, table[k].id);
    for (const auto& preset : bank.groups[k].presets) {
      EXPECT_EQ(preset.group, table[k].id);
      EXPECT_EQ(preset.values.size(), static_cast<size_t>(table[k].ItemCount())) << preset.name;
    }
  }

  // Read into an instance, the bank writes back unchanged.
  auto s = NewSynth();
  s->ReadBankFile(file);
  for (int32_t n = 0; n < 128; ++n) EXPECT_EQ(s->ProgramName(n), bank.programs[static_cast<size_t>(n)].name);
  EXPECT_EQ(s->WriteBankFile(), file);
}

// ----------------------------------------------------- truncated, mutated and hostile data

namespace {

// A small bank chunk with every kind of field: two named programs, a blank one, and a
// sub-preset section with two groups.
std::vector<uint8_t> SmallBankChunk() {
  auto chunk = BankChunkHead(3);
  PutProgram(chunk, "One", std::vector<float>(kValues, 0.25f));
  PutProgram(chunk, "", {});
  PutProgram(chunk, "Three", std::vector<float>(kValues, 0.75f));
  Put(chunk, "SuBpRe");
  PutLe(chunk, 2, 2);
  PutLe(chunk, 2, 2);
  for (int16_t id : std::initializer_list<int16_t>{10, 41}) {
    Put(chunk, "SpGp");
    PutLe(chunk, 2, 2);
    PutLe(chunk, static_cast<uint16_t>(id), 2);
    PutLe(chunk, 2, 4);
    PutPreset(chunk, id, "First", std::vector<float>(id == 10 ? 23 : 69, 0.5f));
    PutPreset(chunk, id, "Second", {0.125f});
  }
  return chunk;
}

// The instance still answers: it writes a chunk that reads back to the same chunk.
void ExpectAlive(TTesmora6& s) {
  const auto chunk = s.WriteChunk(true);
  EXPECT_NO_THROW(BankChunk(chunk));
  s.ReadChunk(chunk, true);
  EXPECT_EQ(s.WriteChunk(true), chunk);
}

}  // namespace

TEST(HostileData, EveryPrefixLoadsItsCompleteFields) {
  const auto full = SmallBankChunk();
  auto s = NewSynth();
  for (size_t n = 0; n <= full.size(); ++n) {
    s->ReadChunk(std::span(full).first(n), true);
    // Program 0's name is there once its record's name is complete; its values as far as
    // they go.
    if (n >= 11 + 10 + 3) {
      ASSERT_EQ(s->ProgramName(0), "One") << n;
    }
  }
  ExpectAlive(*s);
  // The complete chunk gives the complete state.
  auto t = NewSynth();
  t->ReadChunk(full, true);
  EXPECT_EQ(t->Program(0).values[742], 0.25f);
  EXPECT_EQ(t->Program(2).values[742], 0.75f);
  EXPECT_EQ(t->ProgramName(1), "");
  EXPECT_EQ(t->SubPresets()->FindGroup(41)->SubPresetCount(), 2);
  // A short record is filled from the current values.
  EXPECT_EQ(t->SubPresets()->FindGroup(41)->presets[1].values.size(), 69u);

  // Cut inside program 2's values: those read are stored, the rest keep their values.
  auto u = NewSynth();
  std::fill(u->Program(2).values.begin(), u->Program(2).values.end(), 0.375f);
  const size_t program2Values = 11 + (14 + 3 + 4 * kValues) + 14 + (14 + 5);
  u->ReadChunk(std::span(full).first(program2Values + 4 * 100 + 2), true);
  EXPECT_EQ(u->ProgramName(2), "Three");
  EXPECT_EQ(u->Program(2).values[99], 0.75f);
  EXPECT_EQ(u->Program(2).values[100], 0.375f);
}

TEST(HostileData, HugeAndNegativeCountsAndLengths) {
  constexpr uint32_t kHuge = 0x7FFFFFFF;
  constexpr uint32_t kNegative = 0x80000000;
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    bool bank;
  };
  std::vector<Case> cases;
  for (uint32_t count : {kHuge, kNegative, 0xFFFFFFFFu}) {
    auto c = BankChunkHead(static_cast<int32_t>(count));
    PutProgram(c, "X", {0.5f});
    cases.push_back({"program count", c, true});
  }
  for (uint32_t length : {kHuge, kNegative, 0xFFFFFFFFu, 1000u}) {
    std::vector<uint8_t> c;
    Put(c, "PgCn");
    PutLe(c, 2, 2);
    PutLe(c, length, 4);
    Put(c, "abc");
    cases.push_back({"name length", c, false});
  }
  for (uint32_t values : {kHuge, kNegative}) {
    std::vector<uint8_t> c;
    PutProgram(c, "V", {});
    c.resize(c.size() - 4);
    PutLe(c, values, 4);
    PutF(c, 0.5f);
    cases.push_back({"value count", c, false});
  }
  for (uint32_t groups : {0x7FFFu, 0x8000u}) {
    std::vector<uint8_t> c;
    PutProgram(c, "", {});
    Put(c, "SuBpRe");
    PutLe(c, 2, 2);
    PutLe(c, groups, 2);
    Put(c, "SpGp");
    PutLe(c, 2, 2);
    PutLe(c, 10, 2);
    PutLe(c, kHuge, 4);
    PutPreset(c, 10, "Only", {0.5f});
    cases.push_back({"group and sub-preset counts", c, false});
  }
  {
    std::vector<uint8_t> c;
    PutProgram(c, "", {});
    Put(c, "SuBpRe");
    PutLe(c, 2, 2);
    PutLe(c, 1, 2);
    Put(c, "SpGp");
    PutLe(c, 2, 2);
    PutLe(c, 10, 2);
    PutLe(c, 1, 4);
    Put(c, "sPsT");
    PutLe(c, 2, 2);
    PutLe(c, 10, 2);
    PutLe(c, 0xFFFF, 2);  // a name field of 65535 bytes that is not there
    cases.push_back({"sub-preset name field", c, false});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = NewSynth();
    s->ReadChunk(c.data, c.bank);
    ExpectAlive(*s);
  }
  // A 65535-byte name field holding a 200-character name: at most 35 are kept.
  auto s = NewSynth();
  std::vector<uint8_t> c;
  PutProgram(c, "", {});
  Put(c, "SuBpRe");
  PutLe(c, 2, 2);
  PutLe(c, 1, 2);
  Put(c, "SpGp");
  PutLe(c, 2, 2);
  PutLe(c, 16, 2);
  PutLe(c, 1, 4);
  Put(c, "sPsT");
  PutLe(c, 2, 2);
  PutLe(c, 16, 2);
  PutLe(c, 0xFFFF, 2);
  c.push_back(200);
  c.insert(c.end(), 0xFFFE, 'n');
  PutLe(c, 0, 4);
  s->ReadChunk(c, false);
  ASSERT_EQ(s->SubPresets()->FindGroup(16)->SubPresetCount(), 1);
  EXPECT_EQ(s->SubPresets()->FindGroup(16)->presets[0].name, std::string(35, 'n'));
}

TEST(HostileData, BankFileHeadersThatLie) {
  auto a = NewSynth();
  const auto good = a->WriteBankFile();
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
  };
  for (const Case& c : {Case{"chunk size huge", 156, 0x7FFFFFFF}, Case{"chunk size negative", 156, 0x80000000},
                        Case{"chunk size zero", 156, 0}, Case{"byte size", 4, 0xFFFFFFFF}}) {
    SCOPED_TRACE(c.what);
    auto file = good;
    for (int i = 0; i < 4; ++i) file[c.offset + static_cast<size_t>(i)] = static_cast<uint8_t>(c.value >> (24 - 8 * i));
    auto s = NewSynth();
    s->ReadBankFile(file);
    s->ReadBankFile(std::span(file).first(file.size() / 2));
    ExpectAlive(*s);
  }
  // Only C bytes from 164 on are the chunk: what follows is not read.
  {
    auto source = NewSynth();
    source->SetProgramName(0, "Named");
    source->SubPresets()->Store(10, "Beyond");
    auto file = source->WriteBankFile();
    const auto chunk = source->WriteChunk(true);
    const size_t section = chunk.size() - (6 + 2 + 2 + 10 * 12 + 14 + 6 + 4 + 4 * 23);
    for (int i = 0; i < 4; ++i) file[156 + static_cast<size_t>(i)] = static_cast<uint8_t>(section >> (24 - 8 * i));
    auto s = NewSynth();
    s->SubPresets()->Store(10, "Mine");
    s->ReadBankFile(file);
    EXPECT_EQ(s->ProgramName(0), "Named");
    EXPECT_EQ(s->SubPresets()->FindGroup(10)->presets.at(0).name, "Mine");
    for (int i = 0; i < 4; ++i) file[156 + static_cast<size_t>(i)] = 0;
    s->SetProgramName(0, "Kept");
    s->ReadBankFile(file);
    EXPECT_EQ(s->ProgramName(0), "Kept");
  }
  // Value form: huge program and parameter counts, and files cut anywhere.
  a->SetProgramsAreChunks(false);
  auto values = a->WriteBankFile();
  for (size_t at : {size_t{24}, size_t{212 + 24}}) {
    auto file = values;
    file[at] = 0x7F;
    auto s = NewSynth();
    s->ReadBankFile(file);
    ExpectAlive(*s);
  }
  auto s = NewSynth();
  for (size_t n : {size_t{0}, size_t{9}, size_t{10}, size_t{211}, size_t{212}, size_t{212 + 55}, size_t{212 + 57},
                   values.size() - 1}) {
    s->ReadBankFile(std::span(values).first(n));
  }
  ExpectAlive(*s);
}

TEST(HostileData, MutatedChunksLeaveThePluginAlive) {
  auto source = NewSynth();
  source->SubPresets()->Store(10, "Hall");
  source->SubPresets()->Store(41, "Steps");
  std::vector<std::vector<uint8_t>> seeds = {SmallBankChunk(), source->WriteChunk(false), source->WriteBankFile()};
  std::mt19937 random(20240611);
  // Loaded as a host loads state: through the engine, in the mode every adapter gives it.
  TFPUModeGuard mode;
  TTesmora6Engine engine;
  TTesmora6* s = &engine.Instrument();
  for (int round = 0; round < 600; ++round) {
    auto data = seeds[static_cast<size_t>(round) % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % data.size();
      switch (random() % 4) {
        case 0:
          data[at] = static_cast<uint8_t>(random());
          break;
        case 1:
          data[at] = 0xFF;
          break;
        case 2:
          data[at] ^= 0x80;
          break;
        case 3:
          data.resize(at);
          break;
      }
      if (data.empty()) break;
    }
    switch (round % 3) {
      case 0:
        engine.LoadState(data, true);
        break;
      case 1:
        engine.LoadState(data, false);
        break;
      case 2:
        s->ReadBankFile(data);
        break;
    }
    ASSERT_FALSE(engine.SaveState(true).empty());
  }
  ExpectAlive(*s);
  DeliverPostBacks();
}
