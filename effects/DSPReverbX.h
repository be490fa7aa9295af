// The reverb: a mono pre-delay line with feedback, up to two selectable filters, and per
// channel a bank of eight damped combs followed by four all-passes in series. Seven room
// types give the base line lengths, the size scales every line, the time sets the comb
// feedbacks and the damping low-passes the comb loops.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/DSPMultiFilter.h"
#include "effects/DSPStereoEffect.h"

namespace tesmora6 {

// One damped comb: a circular line whose output, scaled by the (negative) feedback, is
// smoothed by the damping into the comb state; the state goes back into the line with
// the input and adds to the bank's wet signal.
struct TReverbComb {
  std::vector<float> line;
  int32_t length = 0;
  int32_t position = 0;
  float feedback = 0.0f;
  float state = 0.0f;

  // A zero-filled line of n samples, position and state back at 0.
  void Build(int32_t n);
  void Clear();
  // s := (1 - d)(line[pos] fb) + d s; line[pos] := in + s; wet += s; for m samples.
  void RunPeriod(const float* in, float* wet, int32_t m, float undamped, float damping);
};

// The eight combs of a bank over one period. The same steps, and the same order of the
// sums into wet, as running each comb over the whole period in turn; but the eight
// recursions advance side by side, so they no longer wait for one another.
void RunCombBank(TReverbComb* combs, const float* in, float* wet, int32_t m, float undamped, float damping);

// One all-pass of the diffusion chain, coefficient 0.7.
struct TReverbAllPass {
  static constexpr float kGain = 0.7f;
  std::vector<float> line;
  int32_t length = 0;
  int32_t position = 0;

  void Build(int32_t n);
  void Clear();
  // c := line[pos]; line[pos] := c 0.7 + x; x := c - line[pos] 0.7; for m samples in place.
  void RunPeriod(float* x, int32_t m);
};

class TDSPReverbX : public TDSPStereoEffect {
 public:
  static constexpr int kCombCount = 16;    // 0 .. 7 left, 8 .. 15 right
  static constexpr int kAllPassCount = 8;  // 0 .. 3 left, 4 .. 7 right
  static constexpr uint8_t kLastRoomType = 6;

  // Builds every line for the default settings and the default context, so the reverb
  // can run before its first context change.
  TDSPReverbX();
  ~TDSPReverbX() override;

  // Decay time 0 .. 127: RT = 60^(T / 127) - 0.97 seconds; recomputes the comb feedbacks.
  void SetTime(float t);
  // 0 .. 127 (127: no damping); d = (1 - damping / 127)^2.
  void SetDamping(float damping);
  // Pre-delay 0 .. 127; replaces the pre-delay line.
  void SetPreDelay(float d);
  // Clamped to [-0.985, 0.985].
  void SetPreDelayFeedback(float feedback);
  // Room type 0 .. 6 (higher values select 6, "Small"); rebuilds the lines and clears.
  void SetRoomType(uint8_t type);
  // Size 0 .. 127, 0 taken as 64; sets the size factor, then rebuilds and clears.
  void SetSize(float s);
  void SetFilter1On(bool on) { filter1On_ = on; }
  void SetFilter2On(bool on) { filter2On_ = on; }

  void Clear() override;
  void ProcessStereo(float* left, float* right) override;
  void ContextChanged(TDSPProcessInfo* info) override;

  // The engine sets the filters' type, cutoff, Q and bandwidth directly.
  TDSPMultiFilter& Filter1() { return filter1_; }
  TDSPMultiFilter& Filter2() { return filter2_; }

  float Time() const { return time_; }
  float PreDelay() const { return preDelay_; }
  float PreDelayFeedback() const { return preDelayFeedback_; }
  float Damping() const { return damping_; }
  float DampingCoefficient() const { return dampingCoefficient_; }
  uint8_t RoomType() const { return roomType_; }
  float Size() const { return size_; }
  float SizeFactor() const { return sizeFactor_; }
  int32_t PreDelayLength() const { return preDelayLength_; }
  bool HasPreDelayLine() const { return preDelayLength_ >= 2; }
  const TReverbComb& Comb(int k) const { return combs_[k]; }
  const TReverbAllPass& AllPass(int j) const { return allPasses_[j]; }
  // Samples held by all lines together (combs, all-passes and pre-delay).
  int64_t LineSamples() const;

 protected:
  // Every context change: the base buffers, the mono work buffer, the pre-delay line and
  // the comb and all-pass lines, all zero-filled and sized for the new rate.
  void AllocateBuffers() override;

 private:
  // Frees the pre-delay line and allocates it for the stored pre-delay.
  void BuildPreDelay();
  // Frees every comb and all-pass line and allocates them for the stored type and size.
  void BuildRoom();
  void ComputeFeedbacks();
  // The length of a line from its base: trunc(R (b Z + extra) / 44100), at least 10.
  int32_t LineLength(int32_t base, bool offset) const;
  bool StateFinite() const;

  uint8_t filter1On_ = 0, filter2On_ = 0;
  float time_ = 30.0f;
  float preDelay_ = 5.0f;
  float preDelayFeedback_ = 0.0f;
  float damping_ = 80.0f;
  uint8_t roomType_ = 2;  // "Medium1"
  float size_ = 64.0f;
  int32_t preDelayLength_ = 0;
  int32_t preDelayPosition_ = 0;
  float dampingCoefficient_ = 0.0f;
  float sizeFactor_ = 1.0f;
  std::array<TReverbComb, kCombCount> combs_;
  std::array<TReverbAllPass, kAllPassCount> allPasses_;
  std::vector<float> preDelayLine_;
  std::vector<float> work_;
  TDSPMultiFilter filter1_, filter2_;
};

}  // namespace tesmora6
