// A three-band equaliser in one biquad section: a gain below the centre frequency, a gain
// around it with a width Q, and a gain above it.
#pragma once

#include "dsp/DSPControl.h"

namespace tesmora6 {

class TDSP3BandEQ : public TDSPControl {
 public:
  struct TCoefficients {
    float b0, b1, b2, a1, a2;
  };

  TDSP3BandEQ() = default;

  // Each setter stores its value clamped to its range and recomputes the coefficients,
  // even when the value did not change (so re-applying a setting follows a new rate).
  void SetCentreFrequency(float hz);  // 1 .. 32767 Hz, used at most up to R / 2.01
  void SetHighGain(float dB);         // -15 .. 15
  void SetLowGain(float dB);          // -15 .. 15
  void SetMidGain(float dB);          // -15 .. 15
  void SetQ(float q);                 // 0.01 .. 0.99

  void Tick() override;
  // One control period in place.
  void FillPeriod(float* a) override;
  // Forgets the filter history (registers included); settings and coefficients stay.
  void Reset() {
    ClearRegisters();
    x0_ = x1_ = x2_ = y1_ = y2_ = 0.0f;
  }

  float CentreFrequency() const { return centre_; }
  float HighGain() const { return highGain_; }
  float LowGain() const { return lowGain_; }
  float MidGain() const { return midGain_; }
  float Q() const { return q_; }
  TCoefficients Coefficients() const { return {b0_, b1_, b2_, a1_, a2_}; }

 private:
  void UpdateCoefficients();
  // y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, with zero and denormal results flushed to 0
  // so that a decaying tail ends in exact silence.
  static float Section(const TCoefficients& c, float x, float x1, float x2, float y1, float y2) {
    return FlushDenormal(c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2);
  }

  // Coefficients stay 0, and the output with them, until the first setter runs.
  float a1_ = 0.0f, a2_ = 0.0f, b0_ = 0.0f, b1_ = 0.0f, b2_ = 0.0f;
  float x0_ = 0.0f, x1_ = 0.0f, x2_ = 0.0f;
  float y1_ = 0.0f, y2_ = 0.0f;
  float highGain_ = 1.0f;   // dB
  float lowGain_ = 3.0f;    // dB
  float midGain_ = 2.0f;    // dB
  float centre_ = 1000.0f;  // Hz
  float q_ = 0.01f;
};

}  // namespace tesmora6
