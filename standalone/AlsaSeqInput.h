// An ALSA sequencer input port, so that a USB keyboard can be connected with aconnect or a
// patchbay without a bridge to JACK. A thread of its own waits for the sequencer's events,
// turns each into MIDI bytes, stamps it with the JACK frame clock and pushes it into the
// merge queue the audio thread empties (standalone/MidiMerge.h).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "standalone/MidiMerge.h"

typedef struct _snd_seq snd_seq_t;
typedef struct snd_seq_event snd_seq_event_t;
typedef struct snd_midi_event snd_midi_event_t;

namespace tesmora6 {

// Turns sequencer events into whole channel messages, status byte first (no running
// status); system exclusive, common and real-time messages mean nothing to the instrument
// and give none.
class TAlsaEventDecoder {
 public:
  TAlsaEventDecoder();
  ~TAlsaEventDecoder();
  TAlsaEventDecoder(const TAlsaEventDecoder&) = delete;
  TAlsaEventDecoder& operator=(const TAlsaEventDecoder&) = delete;

  // The message of `event` in `bytes`; its length, or 0 when it is none.
  size_t Decode(const snd_seq_event_t& event, uint8_t (&bytes)[3]);

 private:
  snd_midi_event_t* decoder_ = nullptr;
};

class TAlsaSeqInput {
 public:
  // The clock the messages are stamped with (the JACK client's frame time).
  using TClock = uint32_t (*)(void* context);
  TAlsaSeqInput(TMidiMerge& merge, TClock clock, void* context);
  ~TAlsaSeqInput();
  TAlsaSeqInput(const TAlsaSeqInput&) = delete;
  TAlsaSeqInput& operator=(const TAlsaSeqInput&) = delete;

  // Opens a sequencer client of this name with one writable port; false with the reason
  // (no sequencer on this machine, say).
  bool Open(const std::string& name, std::string& why);
  // Subscribes the port to every hardware MIDI source; returns their names.
  std::vector<std::string> ConnectHardwareSources();
  // The port's address as aconnect names it ("128:0").
  std::string Address() const;
  void Start();
  // Ends the thread and the client.
  void Close();

 private:
  void Run();

  TMidiMerge& merge_;
  TClock clock_;
  void* context_;
  snd_seq_t* seq_ = nullptr;
  int port_ = -1;
  int wake_[2] = {-1, -1};  // a pipe that ends the thread's wait
  std::thread thread_;
};

}  // namespace tesmora6
