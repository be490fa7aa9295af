// The 2-oscillator layer: a thin level of the chain; its variant's own oscillator
// handling is not part of this product, whose six-oscillator layer replaces it.
#pragma once

#include "instrument/VXInstr1Osc.h"

class TVXInstr2Osc : public TVXInstr1Osc {
 public:
  TVXInstr2Osc();
  ~TVXInstr2Osc() override;
};
