#include "engine/VoxboardGFXSynth.h"

TVoxboardGFXSynth::TVoxboardGFXSynth() { editorWidth_ = 774; }

TVoxboardGFXSynth::~TVoxboardGFXSynth() = default;

void TVoxboardGFXSynth::ParameterChanged(int32_t index) { TDSPPluginX::ParameterChanged(index); }
