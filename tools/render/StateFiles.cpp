#include "tools/render/StateFiles.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "framework/DSPByteStream.h"

namespace tesmora6 {

namespace {

[[noreturn]] void Refuse(const std::string& name, const std::string& why) {
  throw std::runtime_error(name + ": " + why);
}

// Chunks of this instrument start with a tag; a file without it is no chunk of ours
// (the plug-in itself reads chunks by position and would take anything).
constexpr int32_t kOwnId = ('t' << 24) | ('S' << 16) | ('m' << 8) | '6';
constexpr std::string_view kOwnBankChunkTag = "DcHnK";
constexpr std::string_view kOwnProgramChunkTag = "PgCn";

// Bank-file layout: 'CcnK', byteSize, fxMagic, version, fxID, fxVersion, numPrograms (28
// bytes, big-endian), then 128 reserved bytes and, for a chunk bank, the chunk size at 156.
// Writers put the chunk at 160 or, as this instrument does, at 164: it is the last C bytes.
constexpr size_t kCommonHeader = 28;
constexpr size_t kChunkSizeOffset = 156;
constexpr size_t kChunkStartMin = 160;
// Value banks: the program blocks start after 156 or 212 header bytes, depending on the
// writer; each is 'CcnK', byteSize, 'FxCk', version, fxID, fxVersion, numParams, a 28-byte
// name, then numParams big-endian floats.
constexpr size_t kValueBankHeaders[] = {156, 212};
constexpr size_t kProgramBlockHeader = 56;
constexpr size_t kProgramNameField = 28;

void ApplyChunk(TVstHost& host, std::span<const uint8_t> chunk, bool bank, const std::string& name) {
  if (!(host.Effect()->flags & vst::effFlagsProgramChunks)) {
    Refuse(name, "the plug-in does not take chunks");
  }
  // A zero byte after the data (not counted in the size): some plug-ins read their text
  // chunks as C strings.
  std::vector<uint8_t> copy(chunk.size() + 1, 0);
  std::copy(chunk.begin(), chunk.end(), copy.begin());
  const intptr_t taken =
      host.Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(chunk.size()), copy.data());
  // This instrument answers with the size it took; other plug-ins answer anything (some 0
  // to every chunk), so only ours can say no this way.
  if (host.Effect()->uniqueID == kOwnId && taken == 0) Refuse(name, "the plug-in refused the chunk");
}

void LoadValueBank(TVstHost& host, std::span<const uint8_t> data, int32_t programs, const std::string& name) {
  size_t start = 0;
  for (size_t header : kValueBankHeaders) {
    if (data.size() >= header + 4 && std::memcmp(data.data() + header, "CcnK", 4) == 0) {
      start = header;
      break;
    }
  }
  if (start == 0) Refuse(name, "no program block where a value bank has its first one");
  vst::AEffect* effect = host.Effect();
  if (programs < 0 || programs > effect->numPrograms) {
    Refuse(name, "holds " + std::to_string(programs) + " programs, the plug-in " + std::to_string(effect->numPrograms));
  }
  // Every block is checked before the first value reaches the plug-in.
  struct TBlock {
    std::string programName;
    std::vector<float> values;
  };
  std::vector<TBlock> blocks;
  TByteReader r(data.subspan(start));
  for (int32_t n = 0; n < programs; ++n) {
    const std::string where = "program block " + std::to_string(n);
    std::span<const uint8_t> header;
    if (!r.ReadBytes(kProgramBlockHeader, header)) Refuse(name, where + " is truncated");
    TByteReader h(header);
    int32_t size = 0, version = 0, id = 0, fxVersion = 0, count = 0;
    if (!h.ReadTag("CcnK") || !h.ReadI32BigEndian(size) || !h.ReadTag("FxCk") || !h.ReadI32BigEndian(version) ||
        !h.ReadI32BigEndian(id) || !h.ReadI32BigEndian(fxVersion) || !h.ReadI32BigEndian(count)) {
      Refuse(name, where + " is not a program ('FxCk')");
    }
    if (count < 0 || count > effect->numParams) {
      Refuse(name, where + " holds " + std::to_string(count) + " values, the plug-in has " +
                       std::to_string(effect->numParams) + " parameters");
    }
    TBlock block;
    const auto field = header.subspan(header.size() - kProgramNameField);
    block.programName.assign(field.begin(), std::find(field.begin(), field.end(), uint8_t{0}));
    for (int32_t k = 0; k < count; ++k) {
      float v = 0.0f;
      if (!r.ReadF32BigEndian(v)) Refuse(name, where + " is truncated");
      if (!std::isfinite(v)) Refuse(name, where + ", value " + std::to_string(k) + " is not a number");
      block.values.push_back(v);
    }
    blocks.push_back(std::move(block));
  }
  const intptr_t current = host.Dispatch(vst::effGetProgram);
  for (int32_t n = 0; n < programs; ++n) {
    host.Dispatch(vst::effSetProgram, 0, n);
    std::string programName = blocks[static_cast<size_t>(n)].programName;
    host.Dispatch(vst::effSetProgramName, 0, 0, programName.data());
    const auto& values = blocks[static_cast<size_t>(n)].values;
    for (size_t k = 0; k < values.size(); ++k) {
      effect->setParameter(effect, static_cast<int32_t>(k), values[k]);
    }
  }
  host.Dispatch(vst::effSetProgram, 0, current);
}

}  // namespace

std::string FourCharacters(int32_t id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
    s += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return s;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": " + std::strerror(errno));
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void LoadBankData(TVstHost& host, std::span<const uint8_t> data, const std::string& name) {
  TByteReader r(data);
  int32_t byteSize = 0, version = 0, id = 0, fxVersion = 0, programs = 0;
  std::span<const uint8_t> magic;
  if (!r.ReadTag("CcnK")) Refuse(name, "not a bank file (it does not start with 'CcnK')");
  if (!r.ReadI32BigEndian(byteSize) || !r.ReadBytes(4, magic) || !r.ReadI32BigEndian(version) ||
      !r.ReadI32BigEndian(id) || !r.ReadI32BigEndian(fxVersion) || !r.ReadI32BigEndian(programs)) {
    Refuse(name, "the bank header is truncated");
  }
  static_assert(kCommonHeader == 7 * 4);
  const int32_t ownId = host.Effect()->uniqueID;
  if (id != ownId) {
    Refuse(name, "a bank of the plug-in '" + FourCharacters(id) + "', not of '" + FourCharacters(ownId) + "'");
  }
  const std::string form(magic.begin(), magic.end());
  if (form == "FxBk") return LoadValueBank(host, data, programs, name);
  if (form != "FBCh") Refuse(name, "not a bank ('" + form + "' instead of 'FBCh' or 'FxBk')");
  int32_t size = 0;
  if (!r.Skip(kChunkSizeOffset - kCommonHeader) || !r.ReadI32BigEndian(size) || data.size() < kChunkStartMin) {
    Refuse(name, "the bank header is truncated");
  }
  if (size <= 0 || static_cast<size_t>(size) > data.size() - kChunkStartMin) {
    Refuse(name, "the bank is truncated: its chunk has " + std::to_string(size) + " bytes, the file holds " +
                     std::to_string(data.size() - kChunkStartMin));
  }
  LoadChunkData(host, data.subspan(data.size() - static_cast<size_t>(size)), true, name);
}

void LoadChunkData(TVstHost& host, std::span<const uint8_t> data, bool bank, const std::string& name) {
  if (data.empty()) Refuse(name, "the chunk is empty");
  if (host.Effect()->uniqueID == kOwnId) {
    const std::string_view tag = bank ? kOwnBankChunkTag : kOwnProgramChunkTag;
    if (!TByteReader(data).ReadTag(tag)) {
      Refuse(name, std::string("not a ") + (bank ? "bank" : "program") +
                       " chunk of this instrument (it does not start with '" + std::string(tag) + "')");
    }
  }
  ApplyChunk(host, data, bank, name);
}

void LoadBankFile(TVstHost& host, const std::string& path) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  LoadBankData(host, data, path);
}

void LoadChunkFile(TVstHost& host, const std::string& path, bool bank) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  LoadChunkData(host, data, bank, path);
}

}  // namespace tesmora6
