// The sequencer layer: the two step sequencers' parameters pushed into every voice.
#pragma once

#include "engine/VoxboardSynth.h"

class TVoxBoardArpSynth : public TVoxboardSynth {
 public:
  TVoxBoardArpSynth();
  ~TVoxBoardArpSynth() override;

  void ParameterChanged(int32_t index) override;
};
