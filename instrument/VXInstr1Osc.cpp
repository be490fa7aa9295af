#include "instrument/VXInstr1Osc.h"

TVXInstr1Osc::TVXInstr1Osc() = default;

TVXInstr1Osc::~TVXInstr1Osc() = default;

void TVXInstr1Osc::ParameterChanged(int32_t index) {
  TVoxBoardQRMSynth::ParameterChanged(index);
  OscillatorParameterChanged(index);
}

void TVXInstr1Osc::DefineParameters() {
  TVoxBoardQRMSynth::DefineParameters();
  DefineOscillatorParameters();
}
