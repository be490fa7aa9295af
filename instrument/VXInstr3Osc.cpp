#include "instrument/VXInstr3Osc.h"

TVXInstr3Osc::TVXInstr3Osc() = default;

TVXInstr3Osc::~TVXInstr3Osc() = default;

void TVXInstr3Osc::ParameterChanged(int32_t index) { TVXInstr2Osc::ParameterChanged(index); }
