// The last stage before the host: a stereo-linked peak limiter with instant attack.
//
// Every gain law of the instrument reaches +30 dB (an oscillator amount, an LFO's amplitude
// depth, each effect's wet and dry gain), and those stages multiply: a few legal settings
// together ask for +30 dBFS and more. Such a level is never a sound a musician wants to
// hear through monitors, so the instance bounds what it hands the host at kCeiling:
//
// - While no sample exceeds the ceiling the gain is exactly 1 and the output is the input,
//   bit for bit: every patch that plays below +12 dBFS is untouched (all stored test
//   renders among them: the loudest, a shaper test patch, peaks at +11.7 dBFS).
// - A louder sample sets the gain at once to ceiling / peak (no look-ahead, so no added
//   latency); both channels share the gain, so the stereo image stays.
// - The gain then recovers toward 1 with a time constant of kReleaseMs and snaps to exactly
//   1 once it is within kUnitySnap of it, so the limiter leaves no trace after the burst.
//
// The ceiling, +12 dBFS, is 24 dB below the old hard guard of 64 and about 10 dB above the
// loudest held four-note chord of a factory program at velocity 127 (+2.2 dBTP); floating-
// point hosts carry it without clipping, and the host's fader brings it down.
#pragma once

#include <cmath>
#include <cstdint>

namespace tesmora6 {

class TOutputSafetyLimiter {
 public:
  static constexpr float kCeiling = 4.0f;  // +12 dBFS
  static constexpr float kReleaseMs = 100.0f;
  static constexpr float kUnitySnap = 1.0e-6f;

  void SetSampleRate(float rate) {
    // One-pole recovery: the distance to unity shrinks by this factor every sample.
    const float samples = rate > 0.0f ? rate * kReleaseMs * 0.001f : 4410.0f;
    recovery_ = std::exp(-1.0f / samples);
  }
  void Reset() { reduction_ = 0.0f; }
  float Gain() const { return 1.0f - reduction_; }

  // One stereo frame in place; a non-finite sample leaves as silence.
  void Process(float& left, float& right) {
    if (!std::isfinite(left)) left = 0.0f;
    if (!std::isfinite(right)) right = 0.0f;
    const float peak = std::fmax(std::fabs(left), std::fabs(right));
    if (peak * (1.0f - reduction_) > kCeiling) reduction_ = 1.0f - kCeiling / peak;
    if (reduction_ != 0.0f) {
      const float gain = 1.0f - reduction_;
      left = Bound(left * gain);
      right = Bound(right * gain);
      // The state is the distance to unity: near 1 a gain would stop moving once a step
      // falls below half its rounding unit, while the distance keeps its precision.
      reduction_ *= recovery_;
      if (reduction_ < kUnitySnap) reduction_ = 0.0f;
    }
  }

 private:
  // ceiling / peak * sample can round one step above the ceiling.
  static float Bound(float v) { return v > kCeiling ? kCeiling : (v < -kCeiling ? -kCeiling : v); }

  float reduction_ = 0.0f;        // 1 - gain
  float recovery_ = 0.99977327f;  // 100 ms at 44.1 kHz until the rate is known
};

}  // namespace tesmora6
