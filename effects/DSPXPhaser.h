// The phaser: per channel a chain of 2 to 64 first-order all-pass stages sharing one
// coefficient, swept once per period by a modulator and interpolated across the period.
// The two chains cross-feed, each channel's phased signal feeds back into its own input,
// and a channel-shift ring follows the output law.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effects/DSPShiftRing.h"
#include "effects/DSPStereoEffect.h"
#include "dsp/DSPOscillator.h"

namespace tesmora6 {

class TDSPXPhaser : public TDSPStereoEffect {
 public:
  static constexpr int32_t kStageLimit = 64;
  static constexpr float kShiftLimit = 254.5f;  // milliseconds

  TDSPXPhaser();
  ~TDSPXPhaser() override;

  // A changed value is stored clamped to [0, 1].
  void SetPhaseLeft(float p);
  void SetPhaseRight(float p);
  void SetDepthLeft(float d);
  void SetDepthRight(float d);
  // A changed value is stored clamped to [-1, 1].
  void SetFeedbackLeft(float f);
  void SetFeedbackRight(float f);
  void SetCrossLeftToRight(float c);
  void SetCrossRightToLeft(float c);
  // A changed count is limited to 64, made even (rounding down) and at least 2; then all
  // signal history is cleared, under the DSPLock so that no period is being processed.
  void SetStagesLeft(uint8_t n);
  void SetStagesRight(uint8_t n);
  // Milliseconds, clamped to [-254.5, 254.5]; positive delays the right channel.
  void SetShift(float ms);

  // The engine sets waveform, gain and frequency on these directly.
  TDSPOscillator& ModulatorLeft() { return modulatorLeft_; }
  TDSPOscillator& ModulatorRight() { return modulatorRight_; }

  // Zeroes the previous coefficients, the feedback states, every stage state and both
  // shift rings.
  void Clear() override;
  // The output law, then the shift lengths.
  void Recalculate() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  void ProcessStereo(float* left, float* right) override;

  // Sweep value of a modulator value m: (e^(2m) - 1) / (e^2 - 1), 0 at m = 0 and 1 at m = 1.
  static float SweepValue(float m);
  // Coefficient target 1 - (1 - depth) phase - depth (1 - phase) c, held to [0, 1].
  static float CoefficientTarget(float phase, float depth, float c);

  float PhaseLeft() const { return phaseLeft_; }
  float DepthLeft() const { return depthLeft_; }
  float FeedbackLeft() const { return feedbackLeft_; }
  float CrossLeftToRight() const { return crossLR_; }
  float CrossRightToLeft() const { return crossRL_; }
  int32_t StagesLeft() const { return stagesLeft_; }
  int32_t StagesRight() const { return stagesRight_; }
  float Shift() const { return shift_; }
  float PreviousCoefficientLeft() const { return previousLeft_; }
  float PreviousCoefficientRight() const { return previousRight_; }
  int32_t ShiftCapacity() const { return shiftCapacity_; }
  const TShiftRingCursor& ShiftCursorLeft() const { return shiftLeft_; }
  const TShiftRingCursor& ShiftCursorRight() const { return shiftRight_; }

 protected:
  // The base buffers, then both shift rings (255 ms plus 20 spare, zero-filled).
  void AllocateBuffers() override;

 private:
  void SetStages(int32_t& stages, uint8_t n);
  // Ticks the left modulator, then the right one: m = gain + 0.25 x output each.
  void ModulatorStep(float& left, float& right);
  bool StateFinite() const;

  bool firstPeriod_ = true;
  float phaseLeft_ = 0.0f, phaseRight_ = 0.0f;
  float depthLeft_ = 0.0f, depthRight_ = 0.0f;
  float previousLeft_ = 0.0f, previousRight_ = 0.0f;
  float feedbackStateLeft_ = 0.0f, feedbackStateRight_ = 0.0f;
  float crossLR_ = 0.1f, crossRL_ = 0.1f;
  float feedbackLeft_ = 0.1f, feedbackRight_ = 0.1f;
  int32_t stageLimit_ = kStageLimit;
  int32_t stagesLeft_ = 4, stagesRight_ = 4;
  std::array<float, kStageLimit> statesLeft_{}, statesRight_{};
  float shift_ = 0.0f;
  std::vector<float> shiftRingRight_, shiftRingLeft_;
  TShiftRingCursor shiftRight_, shiftLeft_;
  int32_t shiftCapacity_ = 0;
  TDSPOscillator modulatorLeft_, modulatorRight_;
};

}  // namespace tesmora6
