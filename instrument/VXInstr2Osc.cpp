#include "instrument/VXInstr2Osc.h"

TVXInstr2Osc::TVXInstr2Osc() = default;

TVXInstr2Osc::~TVXInstr2Osc() = default;

void TVXInstr2Osc::ParameterChanged(int32_t index) { TVXInstr1Osc::ParameterChanged(index); }
