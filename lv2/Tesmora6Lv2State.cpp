#include "lv2/Tesmora6Lv2State.h"

#include <cstring>

namespace tesmora6 {

namespace lv2state {
namespace {

constexpr uint8_t kTag[4] = {'T', '6', 'L', '2'};
constexpr uint32_t kVersion = 1;

uint64_t Fnv1a(uint64_t h, std::span<const uint8_t> bytes) {
  for (const uint8_t b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h;
}

uint64_t Digest(std::span<const uint8_t> bank, std::span<const uint8_t> programChunk) {
  return Fnv1a(Fnv1a(14695981039346656037ull, bank), programChunk);
}

void Put(uint8_t* p, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t Get(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  return v;
}

}  // namespace

std::vector<uint8_t> Pack(int32_t program, std::span<const uint8_t> bank, std::span<const uint8_t> programChunk) {
  std::vector<uint8_t> out(kHeaderSize + bank.size() + programChunk.size());
  uint8_t* h = out.data();
  std::memcpy(h, kTag, 4);
  Put(h + 4, kVersion, 4);
  Put(h + 8, static_cast<uint32_t>(program), 4);
  Put(h + 12, bank.size(), 4);
  Put(h + 16, programChunk.size(), 4);
  Put(h + 20, Digest(bank, programChunk), 8);
  if (!bank.empty()) std::memcpy(h + kHeaderSize, bank.data(), bank.size());
  if (!programChunk.empty()) std::memcpy(h + kHeaderSize + bank.size(), programChunk.data(), programChunk.size());
  return out;
}

bool Unpack(std::span<const uint8_t> data, TRecord& record) {
  if (data.size() < kHeaderSize || std::memcmp(data.data(), kTag, 4) != 0) return false;
  const uint8_t* h = data.data();
  if (Get(h + 4, 4) != kVersion) return false;
  const auto program = static_cast<int32_t>(static_cast<uint32_t>(Get(h + 8, 4)));
  const uint64_t bankSize = Get(h + 12, 4);
  const uint64_t programSize = Get(h + 16, 4);
  if (bankSize > kMaxChunkSize || programSize > kMaxChunkSize) return false;
  if (data.size() != kHeaderSize + bankSize + programSize) return false;
  const auto bank = data.subspan(kHeaderSize, bankSize);
  const auto programChunk = data.subspan(kHeaderSize + bankSize, programSize);
  if (Get(h + 20, 8) != Digest(bank, programChunk)) return false;
  record = {program, bank, programChunk};
  return true;
}

}  // namespace lv2state

}  // namespace tesmora6
