#include "instrument/VoxBoardArpSynth.h"

TVoxBoardArpSynth::TVoxBoardArpSynth() = default;

TVoxBoardArpSynth::~TVoxBoardArpSynth() = default;

void TVoxBoardArpSynth::ParameterChanged(int32_t index) { TVoxboardSynth::ParameterChanged(index); }
