// Plays a MIDI sequence through a hosted instrument block by block and collects the audio.
#pragma once

#include <functional>
#include <vector>

#include "tools/host/VstHost.h"
#include "tools/render/MidiSequence.h"

struct TRenderSettings {
  double sampleRate = 44100.0;
  int32_t blockSize = 512;
  double tailSeconds = 2.0;  // rendered after the last message
};

struct TRenderedAudio {
  std::vector<float> left;
  std::vector<float> right;
};

// Renders the whole sequence plus the tail. progress(fraction) is called after every block.
TRenderedAudio RenderSequence(TVstHost& host, const TMidiSequence& sequence,
                              const TRenderSettings& settings,
                              const std::function<void(double)>& progress = {});
