// Byte streams of the stored formats (chunks, bank files, sub-preset files): a reader that
// never looks outside the bytes it was given, and append helpers for the writers. Inside a
// chunk every field is little-endian; bank-file headers are big-endian. Floats travel as
// their raw IEEE single-precision bits.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tesmora6 {

static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559,
              "the stored formats carry IEEE single-precision floats");

// A bounded reader over a byte span. A read that would pass the end of the data reads
// nothing, leaves its destination as it was, moves the position to the end (the data has
// run out: every later read fails too) and returns false.
class TByteReader {
 public:
  explicit TByteReader(std::span<const uint8_t> data) : data_(data) {}

  size_t Position() const { return position_; }
  size_t Size() const { return data_.size(); }
  size_t Remaining() const { return data_.size() - position_; }
  bool AtEnd() const { return position_ >= data_.size(); }

  // Skips n bytes; false (at the end) when fewer remain.
  bool Skip(size_t n) {
    if (n > Remaining()) return Exhaust();
    position_ += n;
    return true;
  }
  // The next n bytes as a view; false (at the end) when fewer remain.
  bool ReadBytes(size_t n, std::span<const uint8_t>& out) {
    if (n > Remaining()) return Exhaust();
    out = data_.subspan(position_, n);
    position_ += n;
    return true;
  }
  // True, and consumes the tag, when the next bytes are exactly tag; otherwise the position
  // stays where it was.
  bool ReadTag(std::string_view tag) {
    if (tag.size() > Remaining()) return false;
    if (std::memcmp(data_.data() + position_, tag.data(), tag.size()) != 0) return false;
    position_ += tag.size();
    return true;
  }

  bool ReadU16(uint16_t& v) { return ReadLittle(v); }
  bool ReadI16(int16_t& v) { return ReadLittle(v); }
  bool ReadI32(int32_t& v) { return ReadLittle(v); }
  bool ReadF32(float& v) {
    uint32_t bits = 0;
    if (!ReadLittle(bits)) return false;
    v = std::bit_cast<float>(bits);
    return true;
  }
  bool ReadI32BigEndian(int32_t& v) {
    uint32_t u = 0;
    if (!ReadBig(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool ReadF32BigEndian(float& v) {
    uint32_t bits = 0;
    if (!ReadBig(bits)) return false;
    v = std::bit_cast<float>(bits);
    return true;
  }

 private:
  bool Exhaust() {
    position_ = data_.size();
    return false;
  }
  template <typename T>
  bool ReadLittle(T& v) {
    if (sizeof(T) > Remaining()) return Exhaust();
    uint64_t u = 0;
    for (size_t i = 0; i < sizeof(T); ++i) u |= static_cast<uint64_t>(data_[position_ + i]) << (8 * i);
    position_ += sizeof(T);
    v = static_cast<T>(u);
    return true;
  }
  template <typename T>
  bool ReadBig(T& v) {
    if (sizeof(T) > Remaining()) return Exhaust();
    uint64_t u = 0;
    for (size_t i = 0; i < sizeof(T); ++i) u = (u << 8) | data_[position_ + i];
    position_ += sizeof(T);
    v = static_cast<T>(u);
    return true;
  }

  std::span<const uint8_t> data_;
  size_t position_ = 0;
};

// Append helpers of the writers.
namespace bytes {

inline void Put(std::vector<uint8_t>& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<uint8_t>(c));
}
inline void PutZeros(std::vector<uint8_t>& out, size_t n) { out.insert(out.end(), n, 0); }
inline void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutI16(std::vector<uint8_t>& out, int16_t v) { PutU16(out, static_cast<uint16_t>(v)); }
inline void PutI32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}
inline void PutF32(std::vector<uint8_t>& out, float v) {
  PutI32(out, static_cast<int32_t>(std::bit_cast<uint32_t>(v)));
}
inline void PutI32BigEndian(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}
inline void PutF32BigEndian(std::vector<uint8_t>& out, float v) {
  PutI32BigEndian(out, static_cast<int32_t>(std::bit_cast<uint32_t>(v)));
}
// Overwrites four bytes at offset with a big-endian value (sizes known only at the end).
inline void PatchI32BigEndian(std::vector<uint8_t>& out, size_t offset, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(u >> (8 * (3 - i)));
}

// Names are stored with leading and trailing blanks (spaces and control characters)
// removed.
inline std::string TrimBlanks(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace bytes

}  // namespace tesmora6
