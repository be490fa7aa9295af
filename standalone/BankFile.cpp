#include "standalone/BankFile.h"

#include "framework/DSPByteStream.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"

namespace tesmora6 {

namespace {

// 'CcnK', byteSize, fxMagic, version, fxID, fxVersion, numPrograms: 28 bytes, big-endian.
// A chunk bank then has 128 reserved bytes and the chunk's size at 156; writers put the chunk
// at 160 or, as the plug-in does, at 164: it is the file's last `size` bytes.
constexpr size_t kCommonHeader = 28;
constexpr size_t kChunkSizeOffset = 156;
constexpr size_t kChunkStartMin = 160;
static_assert(kCommonHeader + 128 == kChunkSizeOffset && kChunkSizeOffset + 4 == kChunkStartMin);
constexpr std::string_view kBankChunkTag = "DcHnK";

std::string FourCharacters(int32_t id) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
    s += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return s;
}

}  // namespace

bool LoadBankFile(TTesmora6Engine& engine, std::span<const uint8_t> data, std::string& why) {
  TByteReader r(data);
  int32_t byteSize = 0, version = 0, id = 0, fxVersion = 0, programs = 0;
  std::span<const uint8_t> magic;
  if (!r.ReadTag("CcnK")) {
    why = "not a bank file (it does not start with 'CcnK')";
    return false;
  }
  if (!r.ReadI32BigEndian(byteSize) || !r.ReadBytes(4, magic) || !r.ReadI32BigEndian(version) ||
      !r.ReadI32BigEndian(id) || !r.ReadI32BigEndian(fxVersion) || !r.ReadI32BigEndian(programs)) {
    why = "its header is truncated";
    return false;
  }
  if (id != engine.UniqueId()) {
    why = "a bank of the plug-in '" + FourCharacters(id) + "', not of '" + FourCharacters(engine.UniqueId()) + "'";
    return false;
  }
  if (programs < 0 || programs > engine.ProgramCount()) {
    why = "it holds " + std::to_string(programs) + " programs, the instrument " + std::to_string(engine.ProgramCount());
    return false;
  }
  const std::string form(magic.begin(), magic.end());
  if (form == "FxBk") {
    // The engine's reader stops where the data ends; each program block is as the plug-in
    // writes it.
    engine.Instrument().ReadBankFile(data);
    return true;
  }
  if (form != "FBCh") {
    why = "not a bank ('" + form + "' instead of 'FBCh' or 'FxBk')";
    return false;
  }
  int32_t size = 0;
  if (!r.Skip(kChunkSizeOffset - kCommonHeader) || !r.ReadI32BigEndian(size) || data.size() < kChunkStartMin) {
    why = "its header is truncated";
    return false;
  }
  if (size <= 0 || static_cast<size_t>(size) > data.size() - kChunkStartMin) {
    why = "it is truncated: its chunk has " + std::to_string(size) + " bytes, the file holds " +
          std::to_string(data.size() - kChunkStartMin);
    return false;
  }
  const auto chunk = data.subspan(data.size() - static_cast<size_t>(size));
  if (!TByteReader(chunk).ReadTag(kBankChunkTag)) {
    why = "its chunk is no bank chunk of this instrument";
    return false;
  }
  engine.LoadState(chunk, true);
  return true;
}

}  // namespace tesmora6
