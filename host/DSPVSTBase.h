// Bridges the VST layer and the framework: names and texts for the host, the queue of
// pending MIDI events, the output rings, and the host-time state.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/DAudioEffectX.h"
#include "host/MidiMessageHandler1.h"

// One output's ring of rendered frames waiting for the host.
struct TOutputRing {
  static constexpr int32_t kLength = 8096;
  std::vector<float> frames;
  int32_t writePosition = 0;
  int32_t readPosition = 0;

  void Reset() {
    frames.assign(kLength, 0.0f);
    writePosition = 0;
    readPosition = 0;
  }
};

class TDSPVSTBase : public AudioEffectX {
 public:
  TDSPVSTBase();
  ~TDSPVSTBase() override;

  bool Suspended() const { return suspended_; }
  float Tempo() const { return tempo_; }
  float TickLength() const { return tickLength_; }
  bool TempoValid() const { return tempoValid_; }
  bool TimeSignatureValid() const { return timeSigValid_; }
  // Where the host's timeline stands at the first frame of the current call, valid while
  // its transport plays (-1 otherwise, or when the host reports no usable position).
  int64_t PlayingSamplePosition() const { return playingSamplePos_; }
  int8_t TimeSigNumerator() const { return timeSigNumerator_; }
  int8_t TimeSigDenominator() const { return timeSigDenominator_; }
  const std::string& PluginPath() const { return pluginPath_; }
  int32_t BufferedFrames() const { return bufferedFrames_; }
  const std::vector<TOutputRing>& Rings() const { return rings_; }
  size_t QueuedEvents() const { return pending_.size(); }

  // Reads tempo and time signature from the host (once per processed host block).
  void ReadHostTime();
  // Hands every queued event whose deltaFrames lies in [from, to) to the MIDI decoder,
  // in queue order.
  void ReleaseEvents(int32_t from, int32_t to);

 protected:
  std::string ParamNameText(int32_t index) const override;
  intptr_t QueueEvents(const vst::VstEvents* events) override;
  void Suspend() override { suspended_ = true; }
  void Resume() override;
  // Allocates one ring per output and resets them.
  void AllocateRings(int32_t outputCount);
  void FreeQueuedEvents() { pending_.clear(); }
  // Events before the call are played at its first frame; events so far beyond it that the
  // release after rendering (64000 frames from where rendering stopped, at least one block
  // before the end of the call) might not reach them are played where it surely does.
  void ClampQueuedEvents(int32_t sampleFrames) {
    const int32_t last = sampleFrames + 32000;
    for (auto& e : pending_) e.deltaFrames = std::clamp(e.deltaFrames, 0, last);
  }
  // A finished MIDI event from the decoder.
  static void DecodedEventSink(void* owner, const TEventRecord& event);

  bool suspended_ = false;
  bool timeInfoFetched_ = false;
  float tempo_ = 120.0f;
  float tickLength_ = 60000.0f / 120.0f / 120.0f;
  bool tempoValid_ = false;
  bool timeSigValid_ = false;
  int8_t timeSigNumerator_ = 4;
  int8_t timeSigDenominator_ = 4;
  int64_t playingSamplePos_ = -1;
  std::vector<TOutputRing> rings_;
  int32_t bufferedFrames_ = 0;
  std::unique_ptr<TMidiMessageHandler> midiHandler_;
  // Copies of the queued events; the capacity reserved up front covers any realistic
  // burst so queueing does not allocate on the audio thread (it grows, rather than drop
  // an event, if a burst is larger still).
  std::vector<vst::VstMidiEvent> pending_;
  static constexpr size_t kEventPoolSize = 4096;
};
