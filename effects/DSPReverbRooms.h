// The reverb's seven room types: base line lengths in samples at 44,100 Hz of the eight
// combs and four all-passes of a bank. "Big1" has no fixed lengths: each line draws a
// random base within its range at every rebuild.
#pragma once

#include <array>
#include <cstdint>

namespace tesmora6 {

struct TReverbRoom {
  const char* name;
  bool random;                     // draw every base length instead of reading the table
  std::array<int16_t, 8> comb;     // comb bases, c = 0 .. 7
  std::array<int16_t, 4> allPass;  // all-pass bases, c = 0 .. 3
};

constexpr int kReverbRoomCount = 7;
extern const std::array<TReverbRoom, kReverbRoomCount> kReverbRooms;

// The random bases of "Big1": lowest + trunc(r x span), r in [0, 1).
constexpr int32_t kRandomCombLowest = 800, kRandomCombSpan = 1400;       // 800 .. 2199
constexpr int32_t kRandomAllPassLowest = 500, kRandomAllPassSpan = 500;  // 500 .. 999

}  // namespace tesmora6
