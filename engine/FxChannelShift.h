// The channel shift before or after the effect chain: each channel passes through a ring of
// its own, so a ring of length L delays its channel by exactly L samples. A positive shift
// delays the right channel, a negative one the left; the unshifted channel keeps a ring
// of one sample, so the channels end up (length - 1) samples apart.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/DSPShiftRing.h"

namespace tesmora6 {

class TFxChannelShift {
 public:
  static constexpr int32_t kGuard = 16;  // spare entries beyond the longest shift

  // Zero-filled rings for shifts of up to maxShift - 1 samples; both channels unshifted.
  void Allocate(int32_t maxShift) {
    maxShift_ = maxShift < 2 ? 2 : maxShift;
    ringLeft_.assign(static_cast<size_t>(maxShift_ + kGuard), 0.0f);
    ringRight_.assign(static_cast<size_t>(maxShift_ + kGuard), 0.0f);
    left_ = TShiftRingCursor{};
    right_ = TShiftRingCursor{};
  }

  // A shift of ms milliseconds at m samples per millisecond: below 0.05 ms in magnitude
  // neither channel is shifted; otherwise the shifted ring holds round(|ms| m) samples,
  // at most maxShift - 1. The ring contents are kept.
  void SetShift(float ms, int32_t m) { SetShiftLengths(ms, m, maxShift_, left_, right_); }

  // The shift runs only while one of the rings is longer than one sample.
  bool Active() const { return left_.length > 1 || right_.length > 1; }

  // n samples of both channels in place: each sample is exchanged with the ring entry at
  // its channel's position, which then advances.
  void Process(float* left, float* right, int32_t n) {
    Run(ringLeft_.data(), left_, left, n);
    Run(ringRight_.data(), right_, right, n);
  }

  const TShiftRingCursor& Left() const { return left_; }
  const TShiftRingCursor& Right() const { return right_; }
  int32_t MaxShift() const { return maxShift_; }

 private:
  static void Run(float* ring, TShiftRingCursor& c, float* x, int32_t n) {
    int32_t p = c.position;
    const int32_t length = c.length;
    for (int32_t i = 0; i < n; ++i) {
      const float t = ring[p];
      ring[p] = x[i];
      x[i] = t;
      if (++p >= length) p = 0;
    }
    c.position = p;
  }

  int32_t maxShift_ = 2;
  std::vector<float> ringLeft_, ringRight_;
  TShiftRingCursor left_, right_;
};

}  // namespace tesmora6
