// The state the LV2 plug-in saves beside its ports: the engine's bank chunk (every program,
// its name, the sub-preset libraries) and the current program's chunk, both in the engine's
// own chunk formats, behind a small header that lets a restore refuse a record that was cut
// short, altered or made up before the engine reads any of it (the engine's chunk reader
// applies what it can of a damaged chunk, which would leave an instance half loaded).
//
// Layout, little-endian: "T6L2", version (u32, 1), current program (i32), bank chunk size
// (u32), program chunk size (u32), FNV-1a 64 of both chunks (u64); then the bank chunk and the
// program chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tesmora6 {

namespace lv2state {

constexpr size_t kHeaderSize = 28;
static_assert(kHeaderSize == 4 + 4 + 4 + 4 + 4 + 8, "the state header's layout");
// Far above any real bank (about 0.5 MB) and below what a host should be asked to hold.
constexpr size_t kMaxChunkSize = 64u << 20;

struct TRecord {
  int32_t program = 0;
  std::span<const uint8_t> bank;
  std::span<const uint8_t> programChunk;
};

std::vector<uint8_t> Pack(int32_t program, std::span<const uint8_t> bank, std::span<const uint8_t> programChunk);
// False, with `record` untouched, when `data` is not a whole, unaltered record.
bool Unpack(std::span<const uint8_t> data, TRecord& record);

}  // namespace lv2state

}  // namespace tesmora6
