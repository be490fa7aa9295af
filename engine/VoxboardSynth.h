// The synthesizer level above the voice pool.
#pragma once

#include "engine/VoxboardSynthBase.h"

class TVoxboardSynth : public TVoxBoardSynthBase {
 public:
  TVoxboardSynth();
  ~TVoxboardSynth() override;

  void ParameterChanged(int32_t index) override;
};
