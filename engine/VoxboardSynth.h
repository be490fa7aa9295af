// The synthesizer level above the voice pool: the hook through which the oscillator
// layers receive the parameter changes of their oscillators.
#pragma once

#include "engine/VoxboardSynthBase.h"

class TVoxboardSynth : public TVoxBoardSynthBase {
 public:
  TVoxboardSynth();
  ~TVoxboardSynth() override;

  void ParameterChanged(int32_t index) override;

 protected:
  // The oscillator layer's own parameter handler (the layers fill it).
  virtual void OscillatorParameterChanged(int32_t) {}
};
