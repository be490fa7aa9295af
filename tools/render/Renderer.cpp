#include "tools/render/Renderer.h"

#include <algorithm>
#include <cmath>

namespace tesmora6 {

int64_t RenderLength(const TMidiSequence& sequence, const TRenderSettings& settings) {
  return static_cast<int64_t>(std::ceil((sequence.LengthSeconds() + settings.tailSeconds) * settings.sampleRate));
}

void StreamSequence(TVstHost& host, const TMidiSequence& sequence, const TRenderSettings& settings,
                    const TAudioSink& sink, const std::function<void(double)>& progress) {
  const int64_t total = RenderLength(sequence, settings);
  std::vector<float> left(static_cast<size_t>(settings.blockSize));
  std::vector<float> right(static_cast<size_t>(settings.blockSize));
  size_t next = 0;
  std::vector<THostMidiEvent> events;
  for (int64_t position = 0; position < total; position += settings.blockSize) {
    const auto frames = static_cast<int32_t>(std::min<int64_t>(settings.blockSize, total - position));
    events.clear();
    // Every message that falls into this block, at its frame offset.
    while (next < sequence.messages.size()) {
      const auto& m = sequence.messages[next];
      const auto frame = static_cast<int64_t>(std::llround(m.seconds * settings.sampleRate));
      if (frame >= position + frames) break;
      THostMidiEvent e;
      e.deltaFrames = static_cast<int32_t>(std::max<int64_t>(0, frame - position));
      std::copy(std::begin(m.bytes), std::end(m.bytes), e.bytes);
      events.push_back(e);
      ++next;
    }
    // The plug-in asks for the time once per block: it hears the song where the block starts.
    if (settings.followTempoMap) {
      const TSongPosition song = sequence.PositionAt(static_cast<double>(position) / settings.sampleRate);
      host.tempo = song.bpm;
      host.ppqPosition = song.beats;
      host.timeSigNumerator = song.numerator;
      host.timeSigDenominator = song.denominator;
    }
    host.Process(events, left.data(), right.data(), frames);
    sink(left.data(), right.data(), frames);
    if (progress) progress(static_cast<double>(position + frames) / static_cast<double>(total));
  }
}

TRenderedAudio RenderSequence(TVstHost& host, const TMidiSequence& sequence, const TRenderSettings& settings,
                              const std::function<void(double)>& progress) {
  TRenderedAudio audio;
  const auto total = static_cast<size_t>(RenderLength(sequence, settings));
  audio.left.reserve(total);
  audio.right.reserve(total);
  StreamSequence(
      host, sequence, settings,
      [&](const float* left, const float* right, int32_t frames) {
        audio.left.insert(audio.left.end(), left, left + frames);
        audio.right.insert(audio.right.end(), right, right + frames);
      },
      progress);
  return audio;
}

}  // namespace tesmora6
