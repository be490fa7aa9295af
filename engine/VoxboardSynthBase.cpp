#include "engine/VoxboardSynthBase.h"

TVoxBoardSynthBase::TVoxBoardSynthBase() = default;

TVoxBoardSynthBase::~TVoxBoardSynthBase() = default;

void TVoxBoardSynthBase::ParameterChanged(int32_t index) { TVoxboardGFXSynth::ParameterChanged(index); }
