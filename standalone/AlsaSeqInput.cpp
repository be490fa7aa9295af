#include "standalone/AlsaSeqInput.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

namespace tesmora6 {

namespace {

// alsa-lib prints its own complaint when there is no sequencer; the program says it once.
void Silent(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

TAlsaEventDecoder::TAlsaEventDecoder() {
  if (snd_midi_event_new(16, &decoder_) < 0) {
    decoder_ = nullptr;
    return;
  }
  // Every message whole, with its status byte (no running status).
  snd_midi_event_no_status(decoder_, 1);
}

TAlsaEventDecoder::~TAlsaEventDecoder() {
  if (decoder_) snd_midi_event_free(decoder_);
}

size_t TAlsaEventDecoder::Decode(const snd_seq_event_t& event, uint8_t (&bytes)[3]) {
  if (!decoder_) return 0;
  unsigned char decoded[16];
  // alsa-lib reads the event without changing it, but does not say so in its signature.
  const long n = snd_midi_event_decode(decoder_, decoded, sizeof decoded, const_cast<snd_seq_event_t*>(&event));
  if (n < 1 || n > 3 || decoded[0] < 0x80 || decoded[0] >= 0xF0) return 0;
  for (long i = 0; i < n; ++i) bytes[i] = decoded[i];
  return static_cast<size_t>(n);
}

TAlsaSeqInput::TAlsaSeqInput(TMidiMerge& merge, TClock clock, void* context)
    : merge_(merge), clock_(clock), context_(context) {}

TAlsaSeqInput::~TAlsaSeqInput() { Close(); }

bool TAlsaSeqInput::Open(const std::string& name, std::string& why) {
  snd_lib_error_set_handler(&Silent);
  const int opened = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
  snd_lib_error_set_handler(nullptr);
  if (opened < 0) {
    seq_ = nullptr;
    why = std::string("no ALSA sequencer (") + snd_strerror(opened) + ")";
    return false;
  }
  snd_seq_set_client_name(seq_, name.c_str());
  port_ = snd_seq_create_simple_port(seq_, "midi_in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (port_ < 0 || pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    why = std::string("the ALSA sequencer refused the port (") + snd_strerror(port_ < 0 ? port_ : -errno) + ")";
    Close();
    return false;
  }
  return true;
}

std::vector<std::string> TAlsaSeqInput::ConnectHardwareSources() {
  std::vector<std::string> made;
  if (!seq_) return made;
  const int self = snd_seq_client_id(seq_);
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(seq_, client) >= 0) {
    const int id = snd_seq_client_info_get_client(client);
    if (id == self || id == SND_SEQ_CLIENT_SYSTEM) continue;
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq_, port) >= 0) {
      const unsigned caps = snd_seq_port_info_get_capability(port);
      const unsigned type = snd_seq_port_info_get_type(port);
      const unsigned readable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
      if ((caps & readable) != readable || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
      if (!(type & SND_SEQ_PORT_TYPE_HARDWARE) || !(type & SND_SEQ_PORT_TYPE_MIDI_GENERIC)) continue;
      if (snd_seq_connect_from(seq_, port_, id, snd_seq_port_info_get_port(port)) == 0) {
        made.push_back(std::string(snd_seq_client_info_get_name(client)) + ":" + snd_seq_port_info_get_name(port));
      }
    }
  }
  return made;
}

std::string TAlsaSeqInput::Address() const {
  if (!seq_) return {};
  return std::to_string(snd_seq_client_id(seq_)) + ":" + std::to_string(port_);
}

void TAlsaSeqInput::Start() {
  if (seq_ && !thread_.joinable()) thread_ = std::thread(&TAlsaSeqInput::Run, this);
}

void TAlsaSeqInput::Close() {
  if (thread_.joinable()) {
    const char stop = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_[1], &stop, 1);
    thread_.join();
  }
  for (int& fd : wake_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  if (seq_) snd_seq_close(seq_);
  seq_ = nullptr;
}

void TAlsaSeqInput::Run() {
  TAlsaEventDecoder decoder;
  const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
  std::vector<pollfd> fds(static_cast<size_t>(count) + 1);
  snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(count), POLLIN);
  fds.back() = {wake_[0], POLLIN, 0};
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) break;
    if (fds.back().revents) break;
    snd_seq_event_t* event = nullptr;
    while (snd_seq_event_input(seq_, &event) >= 0 && event) {
      uint8_t bytes[3];
      if (const size_t n = decoder.Decode(*event, bytes))
        merge_.Push(clock_(context_), std::span<const uint8_t>(bytes, n));
    }
  }
}

}  // namespace tesmora6
