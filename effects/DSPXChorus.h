// The chorus/flanger: per channel a circular line read at two points whose delays are
// swept by two modulator oscillators. The average of the two taps is the channel's wet
// signal; it is fed back into the same line, and each line also takes a share of the
// other one (cross-feed). Lengths and base delays count milliseconds or tempo ticks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp/DSPPrefaultedAllocator.h"
#include "effects/DSPStereoEffect.h"
#include "dsp/DSPOscillator.h"

namespace tesmora6 {

class TDSPXChorus : public TDSPStereoEffect {
 public:
  static constexpr int32_t kCapacityMs = 1050;  // samples per line: 1050 M
  // The four modulators, in the order they are ticked.
  enum TModulator { kMod1Left, kMod2Left, kMod1Right, kMod2Right, kModulatorCount };

  // The lines are allocated for the default context, so the chorus can run before its
  // first context change.
  TDSPXChorus();
  ~TDSPXChorus() override;

  // Line length and base delay settings in milliseconds or ticks; each recomputes the
  // lengths (also when unchanged).
  void SetLengthLeft(float length);
  void SetLengthRight(float length);
  void SetSizeLeft(float size);
  void SetSizeRight(float size);
  // A changed value is stored clamped to [-1, 1].
  void SetFeedbackLeft(float feedback);
  void SetFeedbackRight(float feedback);
  void SetCrossLeftToRight(float cross);
  void SetCrossRightToLeft(float cross);

  // The engine sets the modulators' waveform, gain and frequency directly.
  TDSPOscillator& Modulator(int k) { return modulators_[k]; }

  // The output law, then the lengths.
  void Recalculate() override;
  void TempoChanged() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  void Clear() override;
  void ProcessStereo(float* left, float* right) override;

  // A read point moved into [0, length) by whole line lengths. The result is the one of
  // adding or subtracting the length as often as needed (each step but a final
  // addition is exact there), found in one step; NaN and infinities read position 0.
  static float WrapIntoLine(float s, int32_t length);

  int32_t Capacity() const { return capacity_; }
  int32_t LineLengthLeft() const { return lineLengthLeft_; }
  int32_t LineLengthRight() const { return lineLengthRight_; }
  float OffsetLeft() const { return offsetLeft_; }
  float OffsetRight() const { return offsetRight_; }
  int32_t WritePositionLeft() const { return writePositionLeft_; }
  int32_t WritePositionRight() const { return writePositionRight_; }
  float ModulatorValue(int k) const { return values_[k]; }
  float FeedbackLeft() const { return feedbackLeft_; }
  float CrossLeftToRight() const { return crossLeftToRight_; }

 protected:
  // Every context change: both lines at the new capacity, zero-filled.
  void AllocateBuffers() override;

 private:
  // Line lengths and offsets from the settings (round half to even), limited to the
  // capacity and below the line length; write positions beyond a new length restart at 0.
  void ComputeLengths();
  // Ticks the four modulators; each value := gain + 0.25 output, a delay in milliseconds
  // swept by +-25 % around the gain.
  void ModulatorStep();

  std::array<float, kModulatorCount> values_{};  // m1L, m2L, m1R, m2R
  float crossLeftToRight_ = 0.1f, crossRightToLeft_ = 0.1f;
  float feedbackLeft_ = 0.1f, feedbackRight_ = 0.1f;
  std::array<float, kModulatorCount> previous_{};
  std::array<float, kModulatorCount> outputs_{};
  float lengthLeft_ = 5.0f, lengthRight_ = 5.0f;
  int32_t lineLengthLeft_ = 1, lineLengthRight_ = 1;
  int32_t writePositionLeft_ = 0, writePositionRight_ = 0;
  int32_t capacity_ = 0;
  std::vector<float, TDSPPrefaultedAllocator<float>> lineLeft_, lineRight_;
  float offsetLeft_ = 0.0f, offsetRight_ = 0.0f;
  float sizeLeft_ = 0.0f, sizeRight_ = 0.0f;
  std::array<TDSPOscillator, kModulatorCount> modulators_;
  bool firstPeriod_ = true;
  // The tap delays of the current period, per modulator (padded block entries each).
  std::array<std::vector<float>, kModulatorCount> delays_;
};

}  // namespace tesmora6
