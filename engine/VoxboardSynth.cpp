#include "engine/VoxboardSynth.h"

TVoxboardSynth::TVoxboardSynth() = default;

TVoxboardSynth::~TVoxboardSynth() = default;

void TVoxboardSynth::ParameterChanged(int32_t index) { TVoxBoardSynthBase::ParameterChanged(index); }
