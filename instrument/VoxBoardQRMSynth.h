// The modulation layer: three LFOs per voice with their envelopes, the envelope settings, the modulation sources and destinations and the 22-slot matrix.
#pragma once

#include "instrument/VoxBoardArpSynth.h"

class TVoxBoardQRMSynth : public TVoxBoardArpSynth {
 public:
  TVoxBoardQRMSynth();
  ~TVoxBoardQRMSynth() override;

  void ParameterChanged(int32_t index) override;
};
