#include "standalone/StateStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

#include "framework/DSPByteStream.h"

namespace tesmora6 {

namespace {

namespace fs = std::filesystem;

// Layout, little-endian: magic (8 bytes), format version, current program, chunk size,
// CRC-32 of the chunk (4 bytes each), then the chunk.
constexpr std::string_view kMagic = "Tsm6Stat";
constexpr int32_t kFormatVersion = 1;
constexpr size_t kHeaderSize = 24;
static_assert(kHeaderSize == 8 + 4 * 4, "magic, version, program, size, CRC");
constexpr const char* kFileName = "standalone.state";

// CRC-32 (the polynomial of zlib and PNG, reflected).
constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint32_t Crc32(std::span<const uint8_t> data) {
  uint32_t c = 0xFFFFFFFFu;
  for (uint8_t b : data) c = kCrcTable[(c ^ b) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string Describe(int error) { return std::strerror(error); }

// Writes all of data to fd; false on any error.
bool WriteAll(int fd, std::span<const uint8_t> data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeStandaloneState(const TStandaloneState& state) {
  std::vector<uint8_t> out;
  out.reserve(kHeaderSize + state.bankChunk.size());
  bytes::Put(out, kMagic);
  bytes::PutI32(out, kFormatVersion);
  bytes::PutI32(out, state.currentProgram);
  bytes::PutI32(out, static_cast<int32_t>(state.bankChunk.size()));
  bytes::PutI32(out, static_cast<int32_t>(Crc32(state.bankChunk)));
  out.insert(out.end(), state.bankChunk.begin(), state.bankChunk.end());
  return out;
}

bool DecodeStandaloneState(std::span<const uint8_t> data, TStandaloneState& state, std::string& why) {
  TByteReader r(data);
  int32_t version = 0, program = 0, size = 0, crc = 0;
  if (!r.ReadTag(kMagic)) {
    why = data.size() < kMagic.size() ? "it is too short to be a state file" : "it is no state file of Tesmora6";
    return false;
  }
  if (!r.ReadI32(version) || !r.ReadI32(program) || !r.ReadI32(size) || !r.ReadI32(crc)) {
    why = "its header is truncated";
    return false;
  }
  if (version != kFormatVersion) {
    why = "it has format version " + std::to_string(version) + ", this program reads " + std::to_string(kFormatVersion);
    return false;
  }
  const size_t available = data.size() - kHeaderSize;
  if (size <= 0 || static_cast<size_t>(size) != available) {
    why = "it should hold " + std::to_string(size) + " bytes of state and holds " + std::to_string(available);
    return false;
  }
  const auto chunk = data.subspan(kHeaderSize);
  if (Crc32(chunk) != static_cast<uint32_t>(crc)) {
    why = "its checksum does not match its contents";
    return false;
  }
  if (program < 0) {
    why = "it names program " + std::to_string(program);
    return false;
  }
  state.currentProgram = program;
  state.bankChunk.assign(chunk.begin(), chunk.end());
  return true;
}

TStateStore::TStateStore(fs::path folder) : folder_(std::move(folder)), path_(folder_ / kFileName) {}

fs::path TStateStore::DefaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config) return fs::path(config) / "tesmora6";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : ".") / ".config" / "tesmora6";
}

TStateStore::TLoad TStateStore::Load(TStandaloneState& state, std::string& message, fs::path* setAside) const {
  std::error_code missing;
  if (!fs::exists(path_, missing)) return TLoad::kNone;
  std::ifstream in(path_, std::ios::binary);
  if (!in) {
    // Unreadable is not damaged: the file stays where it is, and the factory bank plays.
    message = path_.string() + ": " + Describe(errno);
    return TLoad::kNone;
  }
  const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string why;
  if (DecodeStandaloneState(data, state, why)) return TLoad::kLoaded;

  // Set aside under a name with the time, so that one damaged file never replaces another.
  char stamp[32] = {};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  fs::path aside = path_;
  aside += std::string(".damaged-") + stamp;
  for (int n = 2; fs::exists(aside); ++n) {
    aside = path_;
    aside += std::string(".damaged-") + stamp + "-" + std::to_string(n);
  }
  std::error_code error;
  fs::rename(path_, aside, error);
  message = path_.string() + " is damaged (" + why + "); ";
  if (error) {
    message += "it could not be set aside (" + error.message() + ")";
  } else {
    message += "it was set aside as " + aside.filename().string();
    if (setAside) *setAside = aside;
  }
  return TLoad::kDamaged;
}

bool TStateStore::Save(const TStandaloneState& state, std::string& message) const {
  std::error_code error;
  fs::create_directories(folder_, error);
  if (error) {
    message = folder_.string() + ": " + error.message();
    return false;
  }
  const std::vector<uint8_t> data = EncodeStandaloneState(state);
  fs::path temporary = path_;
  temporary += ".new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    message = temporary.string() + ": " + Describe(errno);
    return false;
  }
  // Synced before the rename: after a crash the new name never points at unwritten data.
  const bool written = WriteAll(fd, data) && ::fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    message = temporary.string() + ": " + Describe(written ? errno : writeError);
    ::unlink(temporary.c_str());
    return false;
  }
  if (::rename(temporary.c_str(), path_.c_str()) != 0) {
    message = path_.string() + ": " + Describe(errno);
    ::unlink(temporary.c_str());
    return false;
  }
  // The rename itself is made durable with the folder.
  const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace tesmora6
