// The X-filter: a rhythmic filter sequencer. Each channel has up to four taps, each a
// filter with a length in milliseconds or tempo ticks; the lengths add up to one cycle.
// Sequenced, every tap's output is weighted by a window that peaks once per cycle at the
// tap's own place in it, so the sound sweeps from filter to filter; in parallel the tap
// outputs are simply summed. A channel-shift ring follows the output law.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/DSPMultiFilter.h"
#include "effects/DSPShiftRing.h"
#include "effects/DSPStereoEffect.h"

namespace tesmora6 {

class TDSPXXFilter : public TDSPStereoEffect {
 public:
  static constexpr int32_t kSlots = 4;
  static constexpr int32_t kWindowSteps = 4000;  // the shaped window's table resolution

  enum Side { kLeft = 0, kRight = 1 };

  struct TTap {
    TDSPMultiFilter filter;  // follows the shared context
    float share = 0.0f;      // tap samples / cycle
    int32_t tapSamples = 0;
    float tapMs = 0.0f;
    float phase = 0.0f;   // [0, 1)
    float centre = 0.0f;  // start + share / 2
    float start = 0.0f;   // the shares of the earlier taps
    int32_t length = 90;  // milliseconds or ticks
  };

  TDSPXXFilter();
  ~TDSPXXFilter() override;

  // A changed length is stored and the geometry updated (which restarts the sequence).
  void SetTapLength(int32_t side, int32_t tap, int32_t length);
  // A changed count is stored as min(count, 4) and the geometry updated.
  void SetTapCount(int32_t count);
  // 0: parallel; 1: sequenced with the shaped window; other values: sequenced with the
  // triangular window.
  void SetWindowMode(int32_t mode) { windowMode_ = mode; }
  // Milliseconds; positive delays the right channel, negative the left.
  void SetShift(float ms);

  // The engine sets type, cutoff, Q and bandwidth of the tap filters directly.
  TDSPMultiFilter& TapFilter(int32_t side, int32_t tap) { return Taps(side)[tap].filter; }

  // The output law, then the shift lengths.
  void Recalculate() override;
  // The base behaviour, then the geometry update (tick lengths follow the tempo).
  void TempoChanged() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  void ProcessStereo(float* left, float* right) override;

  // Weight of a tap at phase phi with the given share, in a sequenced window mode.
  static float Weight(float phi, float share, int32_t windowMode);
  // The shaped window W(k / 4000) = 1 - (1 - k / 4000)^5 for k = 0 .. 4000, built once.
  static const float* ShapedWindow();

  const TTap& Tap(int32_t side, int32_t tap) const { return Taps(side)[tap]; }
  int32_t TapCount() const { return tapCount_; }
  int32_t WindowMode() const { return windowMode_; }
  float Shift() const { return shift_; }
  int32_t ShiftCapacity() const { return shiftCapacity_; }
  int32_t Cycle(int32_t side) const { return side == kLeft ? cycleLeft_ : cycleRight_; }
  float CycleSum(int32_t side) const { return side == kLeft ? cycleSumLeft_ : cycleSumRight_; }
  float PhaseStep(int32_t side) const { return side == kLeft ? phaseStepLeft_ : phaseStepRight_; }
  const TShiftRingCursor& ShiftCursor(int32_t side) const { return side == kLeft ? shiftLeft_ : shiftRight_; }

 protected:
  // The base buffers, then the shift rings (255 ms, zero-filled) and the tap work buffer.
  void AllocateBuffers() override;

 private:
  std::array<TTap, kSlots>& Taps(int32_t side) { return side == kLeft ? leftTaps_ : rightTaps_; }
  const std::array<TTap, kSlots>& Taps(int32_t side) const { return side == kLeft ? leftTaps_ : rightTaps_; }
  int32_t TapsInUse() const { return tapCount_ < 0 ? 0 : tapCount_; }
  // Tap lengths, cycle, shares and starting phases of both sides; restarts the sequence.
  void UpdateGeometry();
  void UpdateSide(std::array<TTap, kSlots>& taps, float& cycleSum, int32_t& cycle, float& phaseStep);
  // One side's filters over the period, weighted and summed into sum.
  void RunTaps(std::array<TTap, kSlots>& taps, float phaseStep, const float* in, float* sum);
  // The guard's reset: the rings and the tap filters forget their signal.
  void ClearSignal();

  int32_t shiftCapacity_ = 0;   // 255 ms in samples
  int32_t shiftRingBytes_ = 0;  // 4 x capacity
  int32_t windowMode_ = 1;
  float shift_ = 0.0f;
  int32_t tapCount_ = 4;
  float cycleSumLeft_ = 0.0f, cycleSumRight_ = 0.0f;  // milliseconds
  int32_t cycleLeft_ = 1, cycleRight_ = 1;            // samples
  int32_t slots_ = kSlots;
  float phaseStepLeft_ = 1.0f, phaseStepRight_ = 1.0f;
  TShiftRingCursor shiftLeft_, shiftRight_;
  std::vector<float> shiftRingLeft_, shiftRingRight_;
  std::array<TTap, kSlots> leftTaps_, rightTaps_;
  std::vector<float> tapBuffer_;  // one tap's filter output over a period
};

}  // namespace tesmora6
