// The one-oscillator layer: the first instrument variant over the modulation layer. It
// provides the two hooks the later layers keep: parameter changes reach the oscillator
// handler after the inherited chain, and parameter definitions the oscillator definitions.
#pragma once

#include "instrument/VoxBoardQRMSynth.h"

class TVXInstr1Osc : public TVoxBoardQRMSynth {
 public:
  TVXInstr1Osc();
  ~TVXInstr1Osc() override;

  void ParameterChanged(int32_t index) override;

 protected:
  void DefineParameters() override;
  // The layer's oscillator parameter definitions (each layer replaces them).
  virtual void DefineOscillatorParameters() {}
};
