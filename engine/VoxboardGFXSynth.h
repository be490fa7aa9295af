// The effects section of the engine: the seven stereo effects, their parameters, the chain with its channel shifts, the FX LFOs and the effect modulation matrix.
#pragma once

#include "framework/DSPPluginX.h"

class TVoxboardGFXSynth : public TDSPPluginX {
 public:
  TVoxboardGFXSynth();
  ~TVoxboardGFXSynth() override;

  void ParameterChanged(int32_t index) override;
};
