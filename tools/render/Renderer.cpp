#include "tools/render/Renderer.h"

#include <algorithm>
#include <cmath>

TRenderedAudio RenderSequence(TVstHost& host, const TMidiSequence& sequence,
                              const TRenderSettings& settings,
                              const std::function<void(double)>& progress) {
  const auto total = static_cast<int64_t>(
      std::ceil((sequence.LengthSeconds() + settings.tailSeconds) * settings.sampleRate));
  TRenderedAudio audio;
  audio.left.assign(static_cast<size_t>(total), 0.0f);
  audio.right.assign(static_cast<size_t>(total), 0.0f);
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
    host.Process(events, audio.left.data() + position, audio.right.data() + position, frames);
    if (progress) progress(static_cast<double>(position + frames) / static_cast<double>(total));
  }
  return audio;
}
