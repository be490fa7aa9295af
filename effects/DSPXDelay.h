// The stereo echo: per channel a circular line, set in milliseconds or tempo ticks, that
// stores the channel's input plus its delayed signal scaled by the feedback, optionally
// filtered, plus a share of the other channel's feedback signal. The delayed signal is
// the wet signal of the output law.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp/DSPPrefaultedAllocator.h"
#include "dsp/DSPMultiFilter.h"
#include "effects/DSPStereoEffect.h"

namespace tesmora6 {

class TDSPXDelay : public TDSPStereoEffect {
 public:
  static constexpr int32_t kCapacityMs = 4100;  // samples per line: 4100 M

  // Counts in tempo ticks until "Length Unit" is applied. The lines are allocated for the
  // default context, so the delay can run before its first context change.
  TDSPXDelay();
  ~TDSPXDelay() override;

  // Line length settings in milliseconds or ticks; a changed value recalculates.
  void SetLengthLeft(int32_t length);
  void SetLengthRight(int32_t length);
  // Not limited: a magnitude of 1 or more makes the echoes grow.
  void SetFeedbackLeft(float feedback) { feedbackLeft_ = feedback; }
  void SetFeedbackRight(float feedback) { feedbackRight_ = feedback; }
  // Share of the left feedback signal added to the right line, and the reverse.
  void SetCrossLeftToRight(float cross);
  void SetCrossRightToLeft(float cross);
  void SetFilterLeftOn(bool on) { filterLeftOn_ = on; }
  void SetFilterRightOn(bool on) { filterRightOn_ = on; }

  // The engine sets the filters' type, cutoff, Q and bandwidth directly.
  TDSPMultiFilter& FilterLeft() { return filterLeft_; }
  TDSPMultiFilter& FilterRight() { return filterRight_; }

  // The output law, then the line lengths.
  void Recalculate() override;
  void TempoChanged() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  void Clear() override;
  void ProcessStereo(float* left, float* right) override;

  int32_t Capacity() const { return capacity_; }
  int32_t LineLengthLeft() const { return lineLengthLeft_; }
  int32_t LineLengthRight() const { return lineLengthRight_; }
  int32_t PositionLeft() const { return positionLeft_; }
  int32_t PositionRight() const { return positionRight_; }

 protected:
  // Every context change: both lines at the new capacity, cleared; positions kept when
  // below the capacity.
  void AllocateBuffers() override;

 private:
  // round(length x tick x M) in tick mode, round(M x length) in milliseconds, held
  // within 1 .. capacity - 1; positions beyond a new length restart at 0.
  void ComputeLineLengths();
  int32_t LineLength(int32_t length) const;

  float crossLeftToRight_ = 0.0f;
  float crossRightToLeft_ = 0.0f;
  uint8_t filterRightOn_ = 0, filterLeftOn_ = 0;
  int32_t capacity_ = 0;
  int32_t lineLengthLeft_ = 1, lineLengthRight_ = 1;
  int32_t lengthLeft_ = 100, lengthRight_ = 100;
  std::vector<float, TDSPPrefaultedAllocator<float>> lineLeft_, lineRight_;
  int32_t positionLeft_ = 0, positionRight_ = 0;
  float feedbackLeft_ = 0.1f, feedbackRight_ = 0.1f;
  TDSPMultiFilter filterLeft_, filterRight_;
};

}  // namespace tesmora6
