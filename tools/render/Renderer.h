// Plays a MIDI sequence through a hosted instrument block by block, reporting the
// sequence's tempo map as the host's time, and hands the audio on block by block (or
// collects it).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/host/VstHost.h"
#include "tools/render/MidiSequence.h"

namespace tesmora6 {

struct TRenderSettings {
  double sampleRate = 44100.0;
  int32_t blockSize = 512;
  double tailSeconds = 2.0;  // rendered after the last message
  // Report the sequence's tempo, meter and song position as the host time of every block;
  // off, the host keeps the tempo it was given.
  bool followTempoMap = true;
};

struct TRenderedAudio {
  std::vector<float> left;
  std::vector<float> right;
};

// One rendered block: frames samples of each channel.
using TAudioSink = std::function<void(const float* left, const float* right, int32_t frames)>;

// The length of a render: the sequence plus the tail, in frames.
int64_t RenderLength(const TMidiSequence& sequence, const TRenderSettings& settings);
// Renders the whole sequence plus the tail into sink, one host block at a time.
// progress(fraction) is called after every block.
void StreamSequence(TVstHost& host, const TMidiSequence& sequence, const TRenderSettings& settings,
                    const TAudioSink& sink, const std::function<void(double)>& progress = {});
// The same, collected in memory.
TRenderedAudio RenderSequence(TVstHost& host, const TMidiSequence& sequence, const TRenderSettings& settings,
                              const std::function<void(double)>& progress = {});

}  // namespace tesmora6
