// The EQ effect: a three-band equaliser per channel whose output is the effect's wet signal.
#pragma once

#include "dsp/DSP3BandEQ.h"
#include "effects/DSPStereoEffect.h"

namespace tesmora6 {

class TDSPXEq : public TDSPStereoEffect {
 public:
  TDSPXEq();
  ~TDSPXEq() override;

  // The engine sets band gains, centre frequency and Q on these directly.
  TDSP3BandEQ& EqualiserLeft() { return equaliserLeft_; }
  TDSP3BandEQ& EqualiserRight() { return equaliserRight_; }

  // The base behaviour, then both equalisers follow the context; their coefficients are
  // recomputed at their next setter call.
  void ContextChanged(TDSPProcessInfo* info) override;
  void ProcessStereo(float* left, float* right) override;

 private:
  TDSP3BandEQ equaliserLeft_;
  TDSP3BandEQ equaliserRight_;
};

}  // namespace tesmora6
