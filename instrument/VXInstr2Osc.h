// The two-oscillator layer.
#pragma once

#include "instrument/VXInstr1Osc.h"

class TVXInstr2Osc : public TVXInstr1Osc {
 public:
  TVXInstr2Osc();
  ~TVXInstr2Osc() override;

  void ParameterChanged(int32_t index) override;
};
