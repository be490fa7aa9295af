#include "instrument/VXInstr6Osc.h"

TVXInstr6Osc::TVXInstr6Osc() {
  productName_ = "Tesmora6";
  description_ = kTesmora6Description;
  vendorString_ = "Tesmora";
  vendorVersion_ = 1;
}

TVXInstr6Osc::~TVXInstr6Osc() = default;

void TVXInstr6Osc::ParameterChanged(int32_t index) { TVXInstr3Osc::ParameterChanged(index); }
