// The engine as a JACK client: one MIDI input port and two audio output ports. The process
// callback reads the transport, gathers the port's MIDI and the ALSA sequencer's (through
// TMidiMerge) into a fixed array and calls the engine's Process, nothing else: no
// allocation, and no lock but the engine's own instance lock. Sample-rate and buffer-size
// changes prepare the engine again; the server's end only raises a flag the main thread
// watches.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/HostLink.h"
#include "framework/SynthEngine.h"
#include "standalone/MidiMerge.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace tesmora6 {

class TJackClient {
 public:
  static constexpr const char* kMidiPort = "midi_in";
  static constexpr const char* kLeftPort = "out_left";
  static constexpr const char* kRightPort = "out_right";

  TJackClient(TSynthEngine& engine, TMidiMerge& merge);
  ~TJackClient();
  TJackClient(const TJackClient&) = delete;
  TJackClient& operator=(const TJackClient&) = delete;

  // Connects to the running server (never starts one): the one named `server`, else the
  // default one (JACK_DEFAULT_SERVER picks a named one); registers the ports and prepares
  // the engine for the server's rate and buffer size. False with the reason.
  bool Open(const std::string& name, std::string& why, const std::string& server = {});
  bool Activate(std::string& why);
  // Outputs to the first physical playback ports, every physical MIDI source to the input;
  // returns what was connected, as "from -> to".
  std::vector<std::string> ConnectPhysicalPorts();
  // Deactivates and leaves the server (only leaves it once it has gone).
  void Close();

  std::string Name() const;
  uint32_t SampleRate() const { return sampleRate_.load(); }
  uint32_t BufferSize() const { return bufferSize_.load(); }
  // The server's frame clock now (jack_frame_time), from any thread; what the sequencer's
  // messages are stamped with.
  uint32_t FrameTime() const;
  bool ServerGone() const { return serverGone_.load(); }
  // Why the server ended the client (valid once ServerGone is true).
  std::string ServerGoneReason() const;
  uint64_t Xruns() const { return xruns_.load(); }

  // The transport at the start of the current cycle, for the engine's host link; called on
  // the audio thread during Process.
  bool ReadTransport(THostTime& time) const;

  // The server ended the client (its shutdown callback, which runs like a signal handler):
  // keeps the reason and raises the flag the main thread watches.
  void ServerEnded(const char* reason);

 private:
  static int ProcessCallback(uint32_t frames, void* self);
  static int BufferSizeCallback(uint32_t frames, void* self);
  static int SampleRateCallback(uint32_t rate, void* self);
  static int XrunCallback(void* self);
  int Process(uint32_t frames);
  void Reprepare(uint32_t rate, uint32_t frames);

  TSynthEngine& engine_;
  TMidiMerge& merge_;
  jack_client_t* client_ = nullptr;
  jack_port_t* midiIn_ = nullptr;
  jack_port_t* left_ = nullptr;
  jack_port_t* right_ = nullptr;
  bool active_ = false;
  std::atomic<uint32_t> sampleRate_{0};
  std::atomic<uint32_t> bufferSize_{0};
  std::atomic<uint64_t> xruns_{0};
  std::atomic<bool> serverGone_{false};
  // Closing: libjack ends the audio thread by cancelling it wherever it is, so the thread
  // is first brought to rest outside the engine (a cancellation inside it would end the
  // process).
  std::atomic<bool> stopping_{false};
  std::atomic<bool> inProcess_{false};
  char goneReason_[256] = {};
  // The audio thread's own: the cycle's transport and MIDI.
  THostTime transport_;
  bool transportRead_ = false;
  static constexpr size_t kMaxEvents = 1024;
  std::array<TMidiMessage, kMaxEvents> portEvents_{};
  std::array<TMidiMessage, 2 * kMaxEvents> events_{};
};

}  // namespace tesmora6
