// The voice pool: voice allocation and stealing, note-on and note-off, glide and pitch bend.
#pragma once

#include "engine/VoxboardGFXSynth.h"

class TVoxBoardSynthBase : public TVoxboardGFXSynth {
 public:
  TVoxBoardSynthBase();
  ~TVoxBoardSynthBase() override;

  void ParameterChanged(int32_t index) override;
};
