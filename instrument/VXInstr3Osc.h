// The 3-oscillator layer: a thin level of the chain; its variant's own oscillator
// handling is not part of this product, whose six-oscillator layer replaces it.
#pragma once

#include "instrument/VXInstr2Osc.h"

class TVXInstr3Osc : public TVXInstr2Osc {
 public:
  TVXInstr3Osc();
  ~TVXInstr3Osc() override;
};
