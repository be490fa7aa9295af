// The instrument as a host adapter sees it: sound only, no plug-in format, no editor. A VST 2
// plug-in, an LV2 plug-in or a standalone program each drive one of these: they prepare it for
// a sample rate, hand it MIDI and ask for audio, set and read parameters by index or key,
// choose programs, save and restore its state, and tell it the host's time through the
// THostLink they give it (framework/HostLink.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/HostLink.h"

namespace tesmora6 {

// One MIDI message at a frame of the next Process call.
struct TMidiMessage {
  int32_t frame = 0;
  uint8_t bytes[3] = {0, 0, 0};
};

class TSynthEngine {
 public:
  virtual ~TSynthEngine() = default;

  // ---- set-up (any thread but the audio thread's call in progress) ----
  // The host behind the engine; none (nullptr) answers "no time" and drops notifications.
  virtual void SetHostLink(THostLink* link) = 0;
  // Sample rate and the largest block the host will ask for; the engine is then running.
  virtual void Prepare(double sampleRate, int32_t maxBlockFrames) = 0;
  // The same one at a time, as hosts that tell them apart send them (rates below 1 kHz or
  // not a number are refused).
  virtual void SetSampleRate(double sampleRate) = 0;
  virtual void SetMaxBlockSize(int32_t frames) = 0;
  // Stops and restarts processing (a host's suspend and resume).
  virtual void Suspend() = 0;
  virtual void Resume() = 0;

  // ---- the audio thread ----
  // Queues a message for the next Process call (for hosts that deliver MIDI apart from audio).
  virtual void QueueMidi(const TMidiMessage& message) = 0;
  // Renders `frames` frames into left and right (either may be null), replacing what they
  // hold or adding to it, with the queued messages and `events` each at its frame (frames
  // outside the call are played at its nearest end). Takes the instance's lock; allocates
  // nothing.
  virtual void Process(std::span<const TMidiMessage> events, float* left, float* right, int32_t frames,
                       bool addToOutput = false) = 0;

  // ---- parameters: normalized 0 .. 1, in host order ----
  virtual int32_t ParameterCount() const = 0;
  // The index of a parameter key ("RvbTime"), or -1.
  virtual int32_t ParameterIndex(std::string_view key) const = 0;
  virtual std::string_view ParameterKey(int32_t index) const = 0;
  // The name hosts show, and the value as text ("-6.0 dB").
  virtual std::string ParameterName(int32_t index) const = 0;
  virtual std::string ParameterText(int32_t index) = 0;
  virtual float Parameter(int32_t index) = 0;
  virtual void SetParameter(int32_t index, float normalized) = 0;
  virtual float DefaultParameter(int32_t index) const = 0;

  // ---- programs ----
  virtual int32_t ProgramCount() const = 0;
  virtual int32_t CurrentProgram() const = 0;
  virtual void SelectProgram(int32_t program) = 0;
  virtual std::string ProgramName(int32_t program) const = 0;
  virtual void SetProgramName(int32_t program, std::string_view name) = 0;
  // Copies the current program into `program` and makes that one current; false when there
  // is no such program.
  virtual bool CopyCurrentProgramTo(int32_t program) = 0;

  // ---- identity ----
  virtual std::string ProductName() const = 0;
  virtual std::string VendorName() const = 0;
  virtual int32_t VendorVersion() const = 0;
  // The four-character id of stored state (chunks and banks carry it).
  virtual int32_t UniqueId() const = 0;

  // ---- state: the instrument's own chunk formats, byte for byte as the plug-in stores them ----
  // The whole bank (every program, the sub-preset libraries) or the current program only.
  virtual std::vector<uint8_t> SaveState(bool wholeBank) = 0;
  virtual void LoadState(std::span<const uint8_t> state, bool wholeBank) = 0;
};

}  // namespace tesmora6
