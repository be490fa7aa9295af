// The distortion of the effect chain: per channel a drive-dependent input gain, up to two
// filters before or after the curve, an optional threshold clip before or after it, and
// one of the distortion curves; a surround control cross-mixes the distorted channels.
#pragma once

#include <cstdint>

#include "dsp/DSPMultiFilter.h"
#include "effects/DSPStereoEffect.h"

namespace tesmora6 {

class TDSPXDistortion : public TDSPStereoEffect {
 public:
  TDSPXDistortion();
  ~TDSPXDistortion() override;

  // A changed value is stored clamped to [0, 1].
  void SetSurround(float s);
  void SetDriveLeft(float d);
  void SetDriveRight(float d);
  // Distortion types 1 .. 255 (0 is stored as 1); 17 and above use the logistic curve.
  void SetTypeLeft(uint8_t type);
  void SetTypeRight(uint8_t type);
  // Negates both input gains.
  void SetInputAdjust(bool on);
  // On: the filters run before the curve; off: after it.
  void SetPreFilter(bool on);
  // 1: clip before the curve, 2: after it, anything else: no clip.
  void SetClipMode(uint8_t mode);
  // Stored only; it has no effect on the sound.
  void SetClipType(uint8_t type);
  // A changed value is stored as it is: samples beyond the threshold become the level.
  void SetClipThreshold(float threshold);
  void SetClipLevel(float level);
  void SetLeftFilter1On(bool on) { leftFilter1On_ = on; }
  void SetLeftFilter2On(bool on) { leftFilter2On_ = on; }
  void SetRightFilter1On(bool on) { rightFilter1On_ = on; }
  void SetRightFilter2On(bool on) { rightFilter2On_ = on; }

  // The engine sets type, cutoff, Q and bandwidth on these directly.
  TDSPMultiFilter& LeftFilter1() { return leftFilter1_; }
  TDSPMultiFilter& LeftFilter2() { return leftFilter2_; }
  TDSPMultiFilter& RightFilter1() { return rightFilter1_; }
  TDSPMultiFilter& RightFilter2() { return rightFilter2_; }

  void ContextChanged(TDSPProcessInfo* info) override;
  void ProcessStereo(float* left, float* right) override;

  float Surround() const { return surround_; }
  float DriveLeft() const { return driveLeft_; }
  float DriveRight() const { return driveRight_; }
  uint8_t TypeLeft() const { return typeLeft_; }
  uint8_t TypeRight() const { return typeRight_; }
  uint8_t ClipMode() const { return clipMode_; }
  uint8_t ClipType() const { return clipType_; }
  float ClipThreshold() const { return clipThreshold_; }
  float ClipLevel() const { return clipLevel_; }

 private:
  // Input gain of a drive: 5^((127 d - 32) / 127), 0.667 at drive 0 and 3.333 at drive 1.
  static float InputGain(float drive);
  void Clip(float* a, int32_t n) const;
  void RunFilters(float* wetL, float* wetR);
  // The guard's reset: the filters forget their state.
  void ClearFilters();

  float surround_ = 0.4f;
  float driveLeft_ = 0.0001223f;
  float driveRight_ = 0.0600121f;
  uint8_t typeLeft_ = 1;
  uint8_t typeRight_ = 1;
  uint8_t inputAdjust_ = 0;
  uint8_t preFilter_ = 0;
  float clipLevel_ = 0.5f;
  float clipThreshold_ = 10.0f;
  uint8_t clipMode_ = 0;
  uint8_t clipType_ = 0;
  uint8_t leftFilter1On_ = 0, leftFilter2On_ = 0;
  uint8_t rightFilter1On_ = 0, rightFilter2On_ = 0;
  TDSPMultiFilter leftFilter1_, leftFilter2_, rightFilter1_, rightFilter2_;
};

}  // namespace tesmora6
