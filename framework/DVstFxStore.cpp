// The stored forms of the program store: program and bank chunks (what hosts save through
// effGetChunk/effSetChunk) and bank files in their two forms, 'FBCh' (the bank chunk behind
// a 164-byte header: what this plug-in writes, and what the factory bank is) and 'FxBk'
// (one block of big-endian values per program, for hosts and tools that do not use chunks).
//
// Every reader is bounded by the data it is given: it reads the fields that are there,
// leaves everything that is missing as it was, skips extra data, and never trusts a count
// or a length further than the bytes that remain.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/DSPBasePlugin.h"
#include "framework/DSPByteStream.h"
#include "dsp/DSPLock.h"
#include "framework/PostBack.h"

namespace tesmora6 {

namespace {

constexpr std::string_view kChunkTag = "DcHnK";
constexpr std::string_view kProgramTag = "PgCn";
constexpr int16_t kChunkVersion = 2;

// Bank files: 'CcnK' and a big-endian header; the chunk form's chunk starts at 164.
constexpr int32_t kBankFileVersion = 1;
constexpr size_t kChunkBankHeaderSize = 164;
constexpr size_t kChunkSizeOffset = 156;
constexpr size_t kValueBankHeaderSize = 212;
constexpr size_t kCommonHeaderSize = 28;  // up to and including numPrograms
constexpr size_t kNumProgramsOffset = 24;
constexpr size_t kProgramBlockHeaderSize = 56;
constexpr size_t kProgramBlockNumParamsOffset = 24;
constexpr size_t kProgramBlockNameOffset = 28;
constexpr size_t kProgramNameField = 28;
constexpr size_t kProgramNameChars = 26;
constexpr size_t kFormSelectorOffset = 9;  // the 'x' of 'FxBk'
static_assert(kCommonHeaderSize + 128 + 4 + 4 == kChunkBankHeaderSize);
static_assert(kCommonHeaderSize + 184 == kValueBankHeaderSize);
static_assert(kProgramBlockNameOffset + kProgramNameField == kProgramBlockHeaderSize);

int32_t BigEndianAt(std::span<const uint8_t> data, size_t offset) {
  int32_t v = 0;
  TByteReader r(data.subspan(offset, 4));
  r.ReadI32BigEndian(v);
  return v;
}

// The stored value of parameter j in program n: a global parameter carries its global value.
float StoredValue(const TDSPBasePlugin& plugin, const TDSPPluginProgram& program, int32_t j) {
  const auto& info = plugin.ParamInfo(j);
  if (info.global) return info.globalValue;
  const auto k = static_cast<size_t>(j);
  return k < program.values.size() ? program.values[k] : info.globalValue;
}

// "PgCn", version, the trimmed name, then every value. A program with a blank name keeps
// its values too: leaving them out lost every unnamed program a host saved (the readers
// take a count of values whatever the name).
void WriteProgramRecord(const TDSPBasePlugin& plugin, int32_t n, std::vector<uint8_t>& out) {
  bytes::Put(out, kProgramTag);
  bytes::PutI16(out, kChunkVersion);
  const bool valid = n >= 0 && n < TDSPBasePlugin::kProgramCount;
  const std::string name = valid ? bytes::TrimBlanks(plugin.ProgramName(n)) : std::string();
  bytes::PutI32(out, static_cast<int32_t>(name.size()));
  bytes::Put(out, name);
  const int32_t count = valid ? plugin.ParamCount() : 0;
  bytes::PutI32(out, count);
  for (int32_t j = 0; j < count; ++j) bytes::PutF32(out, StoredValue(plugin, plugin.Program(n), j));
}

// A stored value made safe where it enters: every value is normalized, so anything outside
// 0 .. 1 is clamped, and a value that is not a number at all takes the parameter's default.
// Stored data is not trusted further than that: a NaN volume used to make every later sample
// NaN, and values far outside the range reached conversions and table lookups that assume it.
float SafeStoredValue(const TDSPPluginParamInfo& info, float v) {
  if (std::isnan(v)) return info.defaultValue;
  return std::clamp(v, 0.0f, 1.0f);
}

// Reads one program record into program n (n outside the programs: read and discarded).
// Values are stored as read (made safe, above); a global parameter takes the value as its
// global value too, so the last record read decides it.
void ReadProgramRecord(TDSPBasePlugin& plugin, TByteReader& r, int32_t n) {
  TDSPPluginProgram* program = n >= 0 && n < TDSPBasePlugin::kProgramCount ? &plugin.Program(n) : nullptr;
  if (!r.Skip(kProgramTag.size()) || !r.Skip(sizeof(int16_t))) return;
  int32_t length = 0;
  if (!r.ReadI32(length)) return;
  // A negative length is an empty name; a length beyond the data ends the data.
  std::span<const uint8_t> name;
  if (!r.ReadBytes(static_cast<size_t>(std::max(length, 0)), name)) return;
  if (program) program->name.assign(name.begin(), name.end());
  int32_t count = 0;
  if (!r.ReadI32(count)) return;
  const int32_t params = plugin.ParamCount();
  for (int32_t j = 0; j < count; ++j) {
    float v = 0.0f;
    if (!r.ReadF32(v)) return;
    if (j >= params || !plugin.ValidParam(j)) continue;
    v = SafeStoredValue(plugin.ParamInfo(j), v);
    if (program && static_cast<size_t>(j) < program->values.size()) {
      program->values[static_cast<size_t>(j)] = v;
    }
    auto& info = plugin.ParamInfo(j);
    if (info.global) info.globalValue = v;
  }
}

// Bank-file headers: 'CcnK', byteSize, fxMagic, version, fxID, fxVersion, numPrograms or
// numParams.
void PutBankHeaderStart(std::vector<uint8_t>& out, int32_t byteSize, std::string_view magic, int32_t fxId,
                        int32_t fxVersion, int32_t count) {
  bytes::Put(out, "CcnK");
  bytes::PutI32BigEndian(out, byteSize);
  bytes::Put(out, magic);
  bytes::PutI32BigEndian(out, kBankFileVersion);
  bytes::PutI32BigEndian(out, fxId);
  bytes::PutI32BigEndian(out, fxVersion);
  bytes::PutI32BigEndian(out, count);
}

// The framework's notification sink ignores bank-loaded in this product.
void BankLoadedDelivered(void*, const TPostBackEntry&) {}

// Raises the bank-operation depth for a scope.
class TBankOperation {
 public:
  explicit TBankOperation(int32_t& depth) : depth_(depth) { ++depth_; }
  ~TBankOperation() { --depth_; }
  TBankOperation(const TBankOperation&) = delete;
  TBankOperation& operator=(const TBankOperation&) = delete;

 private:
  int32_t& depth_;
};

}  // namespace

// ------------------------------------------------------------------------------- chunks

std::vector<uint8_t> TDSPBasePlugin::WriteChunk(bool bank) {
  std::vector<uint8_t> out;
  if (!bank) {
    WriteProgramRecord(*this, currentProgram_, out);
    return out;
  }
  const int32_t programs = std::min<int32_t>(programCount_, kProgramCount);
  out.reserve(16 + static_cast<size_t>(programs) * (64 + 4 * static_cast<size_t>(paramCount_)));
  bytes::Put(out, kChunkTag);
  bytes::PutI16(out, kChunkVersion);
  bytes::PutI32(out, programs);
  for (int32_t n = 0; n < programs; ++n) WriteProgramRecord(*this, n, out);
  WriteSubPresetSection(out);
  return out;
}

void TDSPBasePlugin::ReadChunk(std::span<const uint8_t> data, bool bank) {
  TDSPLockGuard lock(Instance());
  TByteReader r(data);
  if (bank) {
    // The tag and the version word are not checked: the chunk is read by position.
    if (!r.Skip(kChunkTag.size()) || !r.Skip(sizeof(int16_t))) return;
    int32_t programs = 0;
    if (!r.ReadI32(programs)) return;
    // Records beyond the 128 programs are read and discarded; a count larger than the
    // data ends with the data.
    for (int32_t n = 0; n < programs && !r.AtEnd(); ++n) ReadProgramRecord(*this, r, n);
  } else {
    ReadProgramRecord(*this, r, currentProgram_);
  }
  // The optional sub-preset section is recognised by its tag.
  if (!r.AtEnd()) ReadSubPresetSection(r);
}

// --------------------------------------------------------------------------- bank files

std::vector<uint8_t> TDSPBasePlugin::WriteBankFile() {
  EnsureProgramName();
  std::vector<uint8_t> out;
  const int32_t programs = std::min<int32_t>(programCount_, kProgramCount);
  if (programsAreChunks_) {
    const std::vector<uint8_t> chunk = WriteChunk(true);
    const auto size = static_cast<int32_t>(chunk.size());
    out.reserve(kChunkBankHeaderSize + chunk.size());
    PutBankHeaderStart(out, size + static_cast<int32_t>(kChunkBankHeaderSize), "FBCh", uniqueId_, vendorVersion_,
                       programs);
    bytes::PutZeros(out, 128);
    bytes::PutI32BigEndian(out, size);
    bytes::PutZeros(out, 4);
    out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
  }
  // Value form: the exported parameters of every program as big-endian floats.
  const int32_t exported = std::max(paramCount_ - firstExportedParam_, 0);
  const int32_t blockSize = 4 * exported + static_cast<int32_t>(kProgramBlockHeaderSize);
  PutBankHeaderStart(out, programs * blockSize + static_cast<int32_t>(kValueBankHeaderSize), "FxBk", uniqueId_,
                     vendorVersion_, programs);
  bytes::PutZeros(out, kValueBankHeaderSize - kCommonHeaderSize);
  for (int32_t n = 0; n < programs; ++n) {
    PutBankHeaderStart(out, blockSize - 8, "FxCk", uniqueId_, vendorVersion_, exported);
    char name[kProgramNameField] = {};
    const std::string& programName = ProgramName(n);
    std::memcpy(name, programName.data(), std::min(programName.size(), kProgramNameChars));
    out.insert(out.end(), name, name + kProgramNameField);
    for (int32_t k = 0; k < exported; ++k) {
      bytes::PutF32BigEndian(out, StoredValue(*this, Program(n), firstExportedParam_ + k));
    }
  }
  return out;
}

void TDSPBasePlugin::ReadBankFile(std::span<const uint8_t> data) {
  // Neither form checks 'CcnK', fxMagic, fxID, fxVersion or the byte counts.
  const bool valueForm = data.size() > kFormSelectorOffset && data[kFormSelectorOffset] == 'x';
  if (!valueForm) {
    if (data.size() < kChunkBankHeaderSize) return;
    // The chunk is C bytes from 164 on, or as much of it as the file holds.
    const int32_t size = BigEndianAt(data, kChunkSizeOffset);
    const size_t available = data.size() - kChunkBankHeaderSize;
    const size_t n = size > 0 ? std::min(static_cast<size_t>(size), available) : 0;
    ReadChunk(data.subspan(kChunkBankHeaderSize, n), true);
  } else {
    if (data.size() < kValueBankHeaderSize) return;
    const int32_t programs = BigEndianAt(data, kNumProgramsOffset);
    TDSPLockGuard lock(Instance());
    TBankOperation operation(bankOperationDepth_);
    // One update around the whole file: what needs every value of a program (the effect
    // order) is settled once at the end, not value by value against the chain before.
    struct TUpdate {
      TDSPBasePlugin& plugin;
      explicit TUpdate(TDSPBasePlugin& p) : plugin(p) { plugin.BeginParameterUpdate(); }
      ~TUpdate() { plugin.EndParameterUpdate(); }
    } update(*this);
    const int32_t previous = currentProgram_;
    TByteReader r(data.subspan(kValueBankHeaderSize));
    for (int32_t n = 0; n < programs && !r.AtEnd(); ++n) {
      std::span<const uint8_t> header;
      if (!r.ReadBytes(kProgramBlockHeaderSize, header)) break;
      const int32_t count = BigEndianAt(header, kProgramBlockNumParamsOffset);
      const bool kept = n < kProgramCount;
      if (kept) {
        SetProgram(n);
        // The name field is zero-terminated within its 28 bytes, or fills them.
        const auto field = header.subspan(kProgramBlockNameOffset, kProgramNameField);
        const auto end = std::find(field.begin(), field.end(), uint8_t{0});
        SetProgramName(n, std::string(field.begin(), end));
      }
      for (int32_t k = 0; k < count; ++k) {
        float v = 0.0f;
        if (!r.ReadF32BigEndian(v)) break;
        if (kept && k < paramCount_ - firstExportedParam_) SetNormalized(firstExportedParam_ + k, v);
      }
    }
    SetProgram(previous);
  }
  programsDirty = true;
  // Repeated bank loads without an editor to deliver them leave one entry, not one each.
  PostBackOnce({&BankLoadedDelivered, this, kPostBackBankLoaded, 0, 0, 0.0f});
}

}  // namespace tesmora6
