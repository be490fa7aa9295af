// The channel-shift rule shared by the X-filter and the phaser: one channel runs through a
// ring of one sample, the other through a ring of the shift in samples, so the second
// arrives (length - 1) samples after the first.
#pragma once

#include <cmath>
#include <cstdint>

namespace tesmora6 {

struct TShiftRingCursor {
  int32_t length = 1;
  int32_t position = 0;
};

// Ring lengths for a shift of a milliseconds at m samples per millisecond and a ring of
// `capacity` samples: below 0.05 ms in magnitude neither channel is shifted beyond its
// one-sample ring; a positive shift delays the right channel, a negative one the left.
// The shifted ring holds round(|a| m) samples (half to even), at least 1 and at most
// capacity - 1; its position restarts when it is not below the new length. NaN changes
// nothing.
inline void SetShiftLengths(float a, int32_t m, int32_t capacity, TShiftRingCursor& left, TShiftRingCursor& right) {
  auto place = [&](float ms, TShiftRingCursor& still, TShiftRingCursor& shifted) {
    still.length = 1;
    still.position = 0;
    // Held in float before the conversion, so no shift can overflow the integer.
    float samples = std::nearbyint(ms * static_cast<float>(m));
    const float most = static_cast<float>(capacity - 1);
    if (samples > most) samples = most;
    if (samples < 1.0f) samples = 1.0f;
    shifted.length = static_cast<int32_t>(samples);
    if (shifted.position >= shifted.length) shifted.position = 0;
  };
  if (std::fabs(a) < 0.05f) {
    left = TShiftRingCursor{};
    right = TShiftRingCursor{};
  } else if (a >= 0.05f) {
    place(a, left, right);
  } else if (a <= -0.05f) {
    place(-a, right, left);
  }
}

}  // namespace tesmora6
