#include "instrument/VoxBoardQRMSynth.h"

TVoxBoardQRMSynth::TVoxBoardQRMSynth() = default;

TVoxBoardQRMSynth::~TVoxBoardQRMSynth() = default;

void TVoxBoardQRMSynth::ParameterChanged(int32_t index) { TVoxBoardArpSynth::ParameterChanged(index); }
