// The three-oscillator layer.
#pragma once

#include "instrument/VXInstr2Osc.h"

class TVXInstr3Osc : public TVXInstr2Osc {
 public:
  TVXInstr3Osc();
  ~TVXInstr3Osc() override;

  void ParameterChanged(int32_t index) override;
};
