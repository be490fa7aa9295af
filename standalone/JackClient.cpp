#include "standalone/JackClient.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <span>

#include "framework/FloatingPointMode.h"

namespace tesmora6 {

namespace {

// libjack's own messages: none while looking for a server (its absence is reported once,
// plainly), the others marked as JACK's.
void Silent(const char*) {}
void MarkedError(const char* text) { std::fprintf(stderr, "tesmora6: JACK: %s\n", text); }

void ShutdownCallback(jack_status_t, const char* reason, void* self) {
  static_cast<TJackClient*>(self)->ServerEnded(reason);
}

}  // namespace

TJackClient::TJackClient(TSynthEngine& engine, TMidiMerge& merge) : engine_(engine), merge_(merge) {}

TJackClient::~TJackClient() { Close(); }

bool TJackClient::Open(const std::string& name, std::string& why, const std::string& server) {
  jack_status_t status{};
  jack_set_error_function(&Silent);
  jack_set_info_function(&Silent);
  client_ = server.empty()
                ? jack_client_open(name.c_str(), JackNoStartServer, &status)
                : jack_client_open(name.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                                   &status, server.c_str());
  jack_set_error_function(&MarkedError);
  if (!client_) {
    if (status & JackServerFailed) {
      why = "no JACK server is running (start jackd, or PipeWire with its JACK layer)";
    } else if (status & JackNameNotUnique) {
      why = "the JACK client name \"" + name + "\" is taken";
    } else {
      why = "the JACK server refused the client (status " + std::to_string(static_cast<int>(status)) + ")";
    }
    return false;
  }
  jack_set_process_callback(client_, &TJackClient::ProcessCallback, this);
  jack_set_buffer_size_callback(client_, &TJackClient::BufferSizeCallback, this);
  jack_set_sample_rate_callback(client_, &TJackClient::SampleRateCallback, this);
  jack_set_xrun_callback(client_, &TJackClient::XrunCallback, this);
  jack_on_info_shutdown(client_, &ShutdownCallback, this);
  midiIn_ = jack_port_register(client_, kMidiPort, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  left_ = jack_port_register(client_, kLeftPort, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput | JackPortIsTerminal, 0);
  right_ = jack_port_register(client_, kRightPort, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput | JackPortIsTerminal, 0);
  if (!midiIn_ || !left_ || !right_) {
    why = "the JACK server refused to register the ports";
    Close();
    return false;
  }
  Reprepare(jack_get_sample_rate(client_), jack_get_buffer_size(client_));
  return true;
}

bool TJackClient::Activate(std::string& why) {
  if (jack_activate(client_) != 0) {
    why = "the JACK server did not activate the client";
    return false;
  }
  active_ = true;
  return true;
}

std::vector<std::string> TJackClient::ConnectPhysicalPorts() {
  std::vector<std::string> made;
  auto connect = [&](const char* from, const char* to) {
    if (jack_connect(client_, from, to) == 0) made.push_back(std::string(from) + " -> " + to);
  };
  if (const char** playback =
          jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput)) {
    if (playback[0]) {
      connect(jack_port_name(left_), playback[0]);
      connect(jack_port_name(right_), playback[1] ? playback[1] : playback[0]);
    }
    jack_free(static_cast<void*>(playback));
  }
  if (const char** sources =
          jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsPhysical | JackPortIsOutput)) {
    for (const char** p = sources; *p; ++p) connect(*p, jack_port_name(midiIn_));
    jack_free(static_cast<void*>(sources));
  }
  return made;
}

void TJackClient::Close() {
  if (!client_) return;
  // From now on a cycle only writes silence; a cycle in the engine is waited for (a little).
  stopping_.store(true);
  for (int wait = 0; wait < 1000 && inProcess_.load(); ++wait) usleep(1000);
  // A server that has gone answers nothing more: deactivating would only wait for it, and
  // what libjack says about it then is no news.
  if (serverGone_) jack_set_error_function(&Silent);
  if (active_ && !serverGone_) jack_deactivate(client_);
  active_ = false;
  jack_client_close(client_);
  client_ = nullptr;
}

std::string TJackClient::Name() const { return client_ ? jack_get_client_name(client_) : std::string(); }

uint32_t TJackClient::FrameTime() const { return client_ ? jack_frame_time(client_) : 0; }

std::string TJackClient::ServerGoneReason() const { return serverGone_ ? std::string(goneReason_) : std::string(); }

bool TJackClient::ReadTransport(THostTime& time) const {
  if (!transportRead_) return false;
  time = transport_;
  return true;
}

void TJackClient::Reprepare(uint32_t rate, uint32_t frames) {
  if (rate == 0 || frames == 0) return;
  if (rate == sampleRate_ && frames == bufferSize_) return;
  sampleRate_ = rate;
  bufferSize_ = frames;
  engine_.Prepare(static_cast<double>(rate), static_cast<int32_t>(frames));
}

int TJackClient::Process(uint32_t frames) {
  // libjack's thread keeps the mode its creator gave it; the engine renders in its own.
  TFPUModeGuard mode;
  // Marked before the check, as Close raises its flag before looking at the mark: one of
  // the two always sees the other.
  inProcess_.store(true);
  if (stopping_.load()) {
    for (jack_port_t* port : {left_, right_}) {
      auto* out = static_cast<float*>(jack_port_get_buffer(port, frames));
      std::fill(out, out + frames, 0.0f);
    }
    inProcess_.store(false);
    return 0;
  }

  // The transport as host time: the position counts while it rolls; tempo and metre only
  // when a timebase master gives them.
  jack_position_t position{};
  const jack_transport_state_t state = jack_transport_query(client_, &position);
  transport_ = THostTime{};
  transport_.playing = state == JackTransportRolling;
  transport_.samplePosition = static_cast<double>(position.frame);
  if (position.valid & JackPositionBBT) {
    transport_.tempoValid = position.beats_per_minute > 0.0;
    transport_.tempo = position.beats_per_minute;
    transport_.timeSignatureValid = position.beats_per_bar >= 1.0f && position.beat_type >= 1.0f;
    transport_.timeSigNumerator = static_cast<int32_t>(position.beats_per_bar);
    transport_.timeSigDenominator = static_cast<int32_t>(position.beat_type);
  }
  transportRead_ = true;

  // The port's channel messages; system exclusive, common and real-time messages (clock,
  // active sensing) mean nothing to the instrument.
  size_t count = 0;
  void* midi = jack_port_get_buffer(midiIn_, frames);
  const uint32_t available = jack_midi_get_event_count(midi);
  for (uint32_t i = 0; i < available && count < portEvents_.size(); ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, midi, i) != 0) continue;
    if (event.size < 1 || event.size > 3 || event.buffer[0] < 0x80 || event.buffer[0] >= 0xF0) continue;
    TMidiMessage& m = portEvents_[count++];
    m.frame = static_cast<int32_t>(event.time);
    m.bytes[0] = event.buffer[0];
    m.bytes[1] = event.size > 1 ? event.buffer[1] : 0;
    m.bytes[2] = event.size > 2 ? event.buffer[2] : 0;
  }
  const size_t merged = merge_.Collect(jack_last_frame_time(client_), frames,
                                       std::span<const TMidiMessage>(portEvents_.data(), count), events_);
  auto* left = static_cast<float*>(jack_port_get_buffer(left_, frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(right_, frames));
  engine_.Process(std::span<const TMidiMessage>(events_.data(), merged), left, right, static_cast<int32_t>(frames));
  inProcess_.store(false);
  return 0;
}

int TJackClient::ProcessCallback(uint32_t frames, void* self) {
  return static_cast<TJackClient*>(self)->Process(frames);
}

int TJackClient::BufferSizeCallback(uint32_t frames, void* self) {
  auto* client = static_cast<TJackClient*>(self);
  client->Reprepare(client->sampleRate_, frames);
  return 0;
}

int TJackClient::SampleRateCallback(uint32_t rate, void* self) {
  auto* client = static_cast<TJackClient*>(self);
  client->Reprepare(rate, client->bufferSize_);
  return 0;
}

int TJackClient::XrunCallback(void* self) {
  static_cast<TJackClient*>(self)->xruns_.fetch_add(1);
  return 0;
}

void TJackClient::ServerEnded(const char* reason) {
  // Copies the reason and raises the flag, nothing more.
  size_t n = 0;
  if (reason) {
    for (; reason[n] && n + 1 < sizeof goneReason_; ++n) goneReason_[n] = reason[n];
  }
  goneReason_[n] = '\0';
  serverGone_.store(true);
}

}  // namespace tesmora6
