// The one-oscillator layer.
#pragma once

#include "instrument/VoxBoardQRMSynth.h"

class TVXInstr1Osc : public TVoxBoardQRMSynth {
 public:
  TVXInstr1Osc();
  ~TVXInstr1Osc() override;

  void ParameterChanged(int32_t index) override;
};
