// The tesmora6 program end to end, against a private JACK server with the dummy driver that
// each test starts (and ends, whatever happens): a test client of its own sends MIDI to the
// program and records what it plays, and compares that with what the engine renders here
// for the same program and note.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "standalone/JackClient.h"
#include "standalone/MidiMerge.h"
#include "standalone/StateStore.h"
#include "tests/support/SignalMeasures.h"

extern char** environ;

using namespace tesmora6;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr uint32_t kRate = 48000;
// Periods of 21 ms: the servers run without realtime scheduling, on machines that may be busy.
constexpr uint32_t kPeriod = 1024;
const char* const kClient = "Tesmora6Test";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && access((fs::path(folder) / program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// A child process with its output in a file; killed and reaped when the object ends, so no
// test leaves one behind.
class TChild {
 public:
  TChild(const std::vector<std::string>& args, const std::vector<std::string>& extraEnvironment, fs::path log)
      : log_(std::move(log)) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      bool replaced = false;
      for (const std::string& extra : extraEnvironment) {
        replaced = replaced || entry.substr(0, entry.find('=') + 1) == extra.substr(0, extra.find('=') + 1);
      }
      if (!replaced) environment.push_back(entry);
    }
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TChild() {
    if (Running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  bool Running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
    return !status_;
  }
  void Signal(int signal) {
    if (Running()) kill(pid_, signal);
  }
  // The exit status once the process has ended within `timeout`; -1 when it has not ended
  // (or a signal ended it).
  int Wait(std::chrono::milliseconds timeout) {
    const auto until = TClock::now() + timeout;
    while (Running() && TClock::now() < until) usleep(20000);
    if (Running() || !status_) return -1;
    return WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
  }
  std::string Output() const { return ReadText(log_); }

 private:
  pid_t pid_ = 0;
  std::optional<int> status_;
  fs::path log_;
};

// The test's own JACK client: a MIDI output whose messages go out at the frames asked for,
// and two audio inputs recorded from its activation on.
class TTestClient {
 public:
  ~TTestClient() { Close(); }

  bool Open(const std::string& server) {
    // libjack's complaints while the server is still starting are no news.
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    jack_status_t status{};
    client_ = jack_client_open("t6-test-client", static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                               &status, server.c_str());
    if (!client_) return false;
    midi_ = jack_port_register(client_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    inputs_[0] = jack_port_register(client_, "in_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    inputs_[1] = jack_port_register(client_, "in_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    for (auto& r : recorded_) r.assign(60 * kRate, 0.0f);
    jack_set_process_callback(client_, &TTestClient::ProcessCallback, this);
    return midi_ && inputs_[0] && inputs_[1] && jack_activate(client_) == 0;
  }
  void Close() {
    if (client_) jack_client_close(client_);
    client_ = nullptr;
  }
  jack_client_t* Client() const { return client_; }

  // Makes this client the timebase master: the transport then carries this tempo and metre.
  bool TellTempo(double bpm, float beatsPerBar, float beatType) {
    tempo_ = bpm;
    beatsPerBar_ = beatsPerBar;
    beatType_ = beatType;
    return jack_set_timebase_callback(client_, 0, &TTestClient::TimebaseCallback, this) == 0;
  }

  // 0 when connected, else JACK's answer.
  int Connect(const std::string& from, const std::string& to) {
    return jack_connect(client_, from.c_str(), to.c_str());
  }
  std::string Port(const char* name) const { return std::string(jack_get_client_name(client_)) + ":" + name; }

  // Sends a message `delay` frames from now; returns its frame.
  uint64_t Send(std::initializer_list<uint8_t> bytes, uint64_t delay) {
    const size_t n = queued_.load();
    TMessage& m = messages_[n];
    m.frame = frames_.load() + delay;
    m.size = bytes.size();
    std::copy(bytes.begin(), bytes.end(), m.bytes);
    queued_.store(n + 1);
    return m.frame;
  }
  uint64_t Frames() const { return frames_.load(); }
  bool WaitForFrame(uint64_t frame, std::chrono::milliseconds timeout) const {
    const auto until = TClock::now() + timeout;
    while (frames_.load() < frame && TClock::now() < until) usleep(10000);
    return frames_.load() >= frame;
  }
  std::vector<float> Recorded(int channel, uint64_t from, uint64_t to) const {
    const auto& r = recorded_[static_cast<size_t>(channel)];
    return {r.begin() + static_cast<std::ptrdiff_t>(from), r.begin() + static_cast<std::ptrdiff_t>(to)};
  }

 private:
  struct TMessage {
    uint64_t frame = 0;
    size_t size = 0;
    uint8_t bytes[3] = {};
  };
  static int ProcessCallback(jack_nframes_t frames, void* self) {
    return static_cast<TTestClient*>(self)->Process(frames);
  }
  int Process(jack_nframes_t frames) {
    const uint64_t start = frames_.load();
    void* midi = jack_port_get_buffer(midi_, frames);
    jack_midi_clear_buffer(midi);
    for (const size_t queued = queued_.load(); sent_ < queued && messages_[sent_].frame < start + frames; ++sent_) {
      const TMessage& m = messages_[sent_];
      const auto at = static_cast<jack_nframes_t>(m.frame > start ? m.frame - start : 0);
      jack_midi_event_write(midi, at, m.bytes, m.size);
    }
    for (size_t c = 0; c < 2; ++c) {
      const auto* in = static_cast<const float*>(jack_port_get_buffer(inputs_[c], frames));
      for (jack_nframes_t i = 0; i < frames && start + i < recorded_[c].size(); ++i) recorded_[c][start + i] = in[i];
    }
    frames_.store(start + frames);
    return 0;
  }

  static void TimebaseCallback(jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void* self) {
    const auto* client = static_cast<TTestClient*>(self);
    position->valid = JackPositionBBT;
    position->bar = 1;
    position->beat = 1;
    position->tick = 0;
    position->bar_start_tick = 0.0;
    position->beats_per_bar = client->beatsPerBar_;
    position->beat_type = client->beatType_;
    position->ticks_per_beat = 1920.0;
    position->beats_per_minute = client->tempo_;
  }

  double tempo_ = 120.0;
  float beatsPerBar_ = 4.0f, beatType_ = 4.0f;
  jack_client_t* client_ = nullptr;
  jack_port_t* midi_ = nullptr;
  jack_port_t* inputs_[2] = {};
  std::vector<float> recorded_[2];
  std::atomic<uint64_t> frames_{0};
  std::array<TMessage, 256> messages_{};
  std::atomic<size_t> queued_{0};
  size_t sent_ = 0;  // the audio thread's
};

// ---- what a held note sounds like ----

struct TNote {
  double frequency = 0.0;
  float peak = 0.0f;
};

// Frequency from the rising zero crossings of s[from, to): the crossings between samples i - 1
// and i for i from from + 1.
double Frequency(const std::vector<float>& s, size_t from, size_t to) {
  return MeasureFrequency(s, kRate, from + 1, to);
}

// The frequency is the median of twelve pieces' (a server late on a busy machine may drop a
// cycle of what the program plays, which throws one piece off); the peak.
TNote Measure(const std::vector<float>& s) {
  TNote note;
  for (float v : s) note.peak = std::max(note.peak, std::fabs(v));
  std::vector<double> pieces;
  for (size_t k = 0; k < 12; ++k) pieces.push_back(Frequency(s, k * s.size() / 12, (k + 1) * s.size() / 12));
  std::nth_element(pieces.begin(), pieces.begin() + 6, pieces.end());
  note.frequency = pieces[6];
  return note;
}

// The part of a held note that is measured: from 0.2 s after its start for 0.6 s.
constexpr uint64_t kMeasureFrom = kRate / 5;
constexpr uint64_t kMeasureLength = kRate * 3 / 5;

// A bank whose programs 1 and 8 (0 and 7) are oscillator 1's sine alone (the amounts range
// symmetrically around 0), the second 18 semitones higher.
std::vector<uint8_t> TwoSineBank() {
  TTesmora6Engine engine;
  for (const int32_t program : {0, 7}) {
    engine.SelectProgram(program);
    for (const char* key : {"Osc2Amount", "Osc3Amount", "Osc4Amount", "Osc5Amount", "Osc6Amount"}) {
      engine.SetParameter(engine.ParameterIndex(key), 0.5f);
    }
    if (program == 7) engine.SetParameter(engine.ParameterIndex("Osc1Tune"), 0.75f);
  }
  return engine.SaveState(true);
}

// What the engine renders here for `key` on `program` of `bank`.
TNote Reference(const std::vector<uint8_t>& bank, int32_t program, uint8_t key) {
  TTesmora6Engine engine;
  engine.Prepare(kRate, kPeriod);
  engine.LoadState(bank, true);
  engine.SelectProgram(program);
  constexpr uint32_t kLength = (kRate + kPeriod - 1) / kPeriod * kPeriod;
  std::vector<float> left(kLength), right(kLength);
  for (uint32_t at = 0; at < kLength; at += kPeriod) {
    std::vector<TMidiMessage> events;
    if (at == 0) events.push_back({0, {0x90, key, 100}});
    engine.Process(events, left.data() + at, right.data() + at, static_cast<int32_t>(kPeriod));
  }
  return Measure({left.begin() + kMeasureFrom, left.begin() + kMeasureFrom + kMeasureLength});
}

void ExpectSameNote(const TNote& played, const TNote& reference) {
  EXPECT_NEAR(played.frequency, reference.frequency, 0.5);
  ASSERT_GT(reference.peak, 0.01f);
  EXPECT_NEAR(20.0 * std::log10(played.peak / reference.peak), 0.0, 0.5) << "peak " << played.peak;
}

std::optional<TStandaloneState> StateIn(const fs::path& file) {
  TStandaloneState state;
  std::string why;
  if (!DecodeStandaloneState(ReadBytes(file), state, why)) return std::nullopt;
  return state;
}

// ---- the fixture: a private server and the test's client ----

class StandaloneProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("jackd")) GTEST_SKIP() << "jackd (Debian's jackd2) is not installed";
    // Named after the test, never after the process: JACK keeps a server's entry in its
    // registry (eight at most) when the server does not end cleanly, and takes the entry back
    // only for a server of the same name. Test names are unique, also among tests running
    // side by side, and the same across runs.
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    server_ = "t6test-" + test;
    folder_ = fs::path(TESMORA6_BINARY_DIR) / "standalone-scratch" / test;
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "config" / "tesmora6");
    // No realtime scheduling: the tests run as any user, and in containers without it.
    jackd_ =
        std::make_unique<TChild>(std::vector<std::string>{"jackd", "--no-realtime", "-n", server_, "-d", "dummy", "-r",
                                                          std::to_string(kRate), "-p", std::to_string(kPeriod)},
                                 std::vector<std::string>{}, folder_ / "jackd.log");
    const auto until = TClock::now() + 10s;
    while (!client_.Open(server_) && TClock::now() < until) usleep(50000);
    ASSERT_NE(client_.Client(), nullptr) << "the test server did not start:\n" << ReadText(folder_ / "jackd.log");
  }

  void TearDown() override {
    program_.reset();
    client_.Close();
    if (jackd_) {
      jackd_->Signal(SIGTERM);
      jackd_->Wait(5s);
      jackd_.reset();
    }
    // What clients of a server that went first leave in /dev/shm, named after the server.
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/dev/shm", error)) {
      if (entry.path().filename().string().find("_" + server_ + "_") != std::string::npos) fs::remove(entry, error);
    }
  }

  fs::path StateFile() const { return folder_ / "config" / "tesmora6" / "standalone.state"; }

  // Starts the program (without its window unless asked) and waits until it is active.
  void Start(const std::vector<std::string>& extra = {}, bool window = false,
             const std::vector<std::string>& environment = {}) {
    program_.reset();
    std::vector<std::string> args = {TESMORA6_STANDALONE_PATH, "--client-name", kClient};
    if (!window) args.push_back("--no-editor");
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<std::string> variables = {"JACK_DEFAULT_SERVER=" + server_,
                                          "XDG_CONFIG_HOME=" + (folder_ / "config").string()};
    variables.insert(variables.end(), environment.begin(), environment.end());
    program_ = std::make_unique<TChild>(args, variables, folder_ / ("tesmora6-" + std::to_string(++starts_) + ".log"));
    const auto until = TClock::now() + 20s;
    const std::string last = std::string(kClient) + ":out_right";
    while (!jack_port_by_name(client_.Client(), last.c_str()) && program_->Running() && TClock::now() < until) {
      usleep(20000);
    }
    ASSERT_NE(jack_port_by_name(client_.Client(), last.c_str()), nullptr) << program_->Output();
    // Active once it says so.
    while (program_->Output().find("JACK client \"") == std::string::npos && program_->Running() &&
           TClock::now() < until) {
      usleep(20000);
    }
    ASSERT_NE(program_->Output().find("JACK client \""), std::string::npos) << program_->Output();
  }

  void ConnectProgram() {
    const std::string c = kClient;
    ASSERT_EQ(client_.Connect(client_.Port("midi_out"), c + ":midi_in"), 0) << client_.Port("midi_out");
    ASSERT_EQ(client_.Connect(c + ":out_left", client_.Port("in_left")), 0);
    ASSERT_EQ(client_.Connect(c + ":out_right", client_.Port("in_right")), 0);
  }

  // Plays `key` for a second and measures it, then silences the program.
  TNote Play(uint8_t key) {
    const uint64_t on = client_.Send({0x90, key, 100}, kRate / 10);
    client_.Send({0x80, key, 0}, kRate / 10 + kRate);
    client_.Send({0xB0, 120, 0}, kRate / 10 + kRate + kRate / 20);  // all sound off
    EXPECT_TRUE(client_.WaitForFrame(on + kRate + kRate / 5, 20s));
    return Measure(client_.Recorded(0, on + kMeasureFrom, on + kMeasureFrom + kMeasureLength));
  }

  // Ends the program with a signal; its exit status.
  int Stop(int signal) {
    program_->Signal(signal);
    return program_->Wait(15s);
  }

  std::string server_;
  fs::path folder_;
  std::unique_ptr<TChild> jackd_;
  TTestClient client_;
  std::unique_ptr<TChild> program_;
  int starts_ = 0;
};

TEST_F(StandaloneProgram, OffersItsPortsAndPlaysNotesAtTheEnginesPitchAndLevel) {
  const std::vector<uint8_t> bank = TwoSineBank();
  std::string message;
  ASSERT_TRUE(TStateStore(StateFile().parent_path()).Save({7, bank}, message)) << message;
  Start();
  struct TPort {
    const char* name;
    const char* type;
    int direction;
  };
  for (const TPort& p : {TPort{"midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput},
                         TPort{"out_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput},
                         TPort{"out_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput}}) {
    const std::string name = std::string(kClient) + ":" + p.name;
    jack_port_t* port = jack_port_by_name(client_.Client(), name.c_str());
    ASSERT_NE(port, nullptr) << name;
    EXPECT_STREQ(jack_port_type(port), p.type) << name;
    EXPECT_TRUE(jack_port_flags(port) & p.direction) << name;
  }
  const char** ports = jack_get_ports(client_.Client(), (std::string("^") + kClient + ":").c_str(), nullptr, 0);
  size_t count = 0;
  while (ports && ports[count]) ++count;
  jack_free(ports);
  EXPECT_EQ(count, 3u) << "one MIDI input and two audio outputs";

  ASSERT_NO_FATAL_FAILURE(ConnectProgram());
  const TNote a4 = Play(69), a3 = Play(57);
  ExpectSameNote(a4, Reference(bank, 7, 69));
  ExpectSameNote(a3, Reference(bank, 7, 57));
  EXPECT_NEAR(a4.frequency / a3.frequency, 2.0, 0.005);
  // SIGTERM saves the state as it is.
  EXPECT_EQ(Stop(SIGTERM), 0) << program_->Output();
  const auto saved = StateIn(StateFile());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->currentProgram, 7);
}

TEST_F(StandaloneProgram, KeepsAProgramChangeAcrossARestart) {
  const std::vector<uint8_t> bank = TwoSineBank();
  const TNote first = Reference(bank, 0, 69), eighth = Reference(bank, 7, 69);
  ASSERT_GT(std::fabs(first.frequency / eighth.frequency - 1.0), 0.05) << "the two programs sound alike";
  std::string message;
  ASSERT_TRUE(TStateStore(StateFile().parent_path()).Save({7, bank}, message)) << message;
  Start();
  ASSERT_NO_FATAL_FAILURE(ConnectProgram());
  ExpectSameNote(Play(69), eighth);
  client_.Send({0xC0, 0}, 0);
  ExpectSameNote(Play(69), first);
  EXPECT_EQ(Stop(SIGTERM), 0) << program_->Output();
  ASSERT_TRUE(StateIn(StateFile()));
  EXPECT_EQ(StateIn(StateFile())->currentProgram, 0);

  Start();
  ASSERT_NO_FATAL_FAILURE(ConnectProgram());
  ExpectSameNote(Play(69), first);
  EXPECT_EQ(Stop(SIGINT), 0) << program_->Output();
  ASSERT_TRUE(StateIn(StateFile()));
  EXPECT_EQ(StateIn(StateFile())->currentProgram, 0);
}

TEST_F(StandaloneProgram, LoadsABankFileAndStartsAtTheProgramAskedForWithoutADisplay) {
  TTesmora6Engine source;
  source.SetProgramName(2, "From The Bank");
  const fs::path bankFile = folder_ / "mine.fxb";
  WriteBytes(bankFile, source.Instrument().WriteBankFile());
  // Without --no-editor, but without a display either: it runs all the same.
  Start({"--fxb", bankFile.string(), "--program", "3"}, true, {"DISPLAY="});
  EXPECT_EQ(Stop(SIGTERM), 0) << program_->Output();
  EXPECT_NE(program_->Output().find("running without the editor"), std::string::npos) << program_->Output();
  const auto saved = StateIn(StateFile());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->currentProgram, 2);
  TTesmora6Engine check;
  check.LoadState(saved->bankChunk, true);
  EXPECT_EQ(check.ProgramName(2), "From The Bank");

  // A file that is no bank is reported, and the program does not start.
  const fs::path notABank = folder_ / "not-a-bank.fxb";
  WriteBytes(notABank, std::vector<uint8_t>(300, 'x'));
  TChild refused({TESMORA6_STANDALONE_PATH, "--no-editor", "--fxb", notABank.string()},
                 {"JACK_DEFAULT_SERVER=" + server_, "XDG_CONFIG_HOME=" + (folder_ / "config").string()},
                 folder_ / "refused.log");
  EXPECT_EQ(refused.Wait(15s), 1);
  EXPECT_NE(refused.Output().find("not-a-bank.fxb: not a bank file"), std::string::npos) << refused.Output();
}

TEST_F(StandaloneProgram, SetsADamagedStateAsideAndStartsWithTheFactoryBank) {
  std::vector<uint8_t> damaged = EncodeStandaloneState({7, TwoSineBank()});
  damaged[damaged.size() / 2] ^= 0x40;
  WriteBytes(StateFile(), damaged);
  Start();
  EXPECT_EQ(Stop(SIGTERM), 0);
  const std::string output = program_->Output();
  EXPECT_NE(output.find("is damaged"), std::string::npos) << output;
  EXPECT_NE(output.find("factory bank"), std::string::npos) << output;
  std::vector<fs::path> aside;
  for (const auto& entry : fs::directory_iterator(StateFile().parent_path())) {
    if (entry.path().filename().string().starts_with("standalone.state.damaged-")) aside.push_back(entry.path());
  }
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(ReadBytes(aside[0]), damaged);
  const auto saved = StateIn(StateFile());
  ASSERT_TRUE(saved) << "the state saved at the end is whole";
  EXPECT_EQ(saved->currentProgram, 0);
  TTesmora6Engine check;
  check.LoadState(saved->bankChunk, true);
  EXPECT_NE(check.ProgramName(0), "Program 1") << "the factory bank's first program";
}

TEST_F(StandaloneProgram, SavesAndEndsWhenTheServerGoes) {
  Start();
  client_.Close();
  jackd_->Signal(SIGTERM);
  EXPECT_EQ(program_->Wait(15s), 1) << program_->Output();
  EXPECT_NE(program_->Output().find("the JACK server has gone"), std::string::npos) << program_->Output();
  EXPECT_TRUE(StateIn(StateFile())) << "the state was saved";
}

TEST(StandaloneProgramAlone, ReportsThatNoServerRuns) {
  const fs::path folder = fs::path(TESMORA6_BINARY_DIR) / "standalone-scratch" / "no-server";
  fs::remove_all(folder);
  fs::create_directories(folder);
  TChild program({TESMORA6_STANDALONE_PATH, "--no-editor"},
                 {"JACK_DEFAULT_SERVER=t6-none-" + std::to_string(getpid()), "XDG_CONFIG_HOME=" + folder.string()},
                 folder / "tesmora6.log");
  EXPECT_EQ(program.Wait(15s), 1);
  EXPECT_NE(program.Output().find("no JACK server"), std::string::npos) << program.Output();
  EXPECT_FALSE(fs::exists(folder / "tesmora6")) << "nothing saved";
}

// The JACK client itself, in this process: what the engine hears of the transport, and a
// new buffer size.
TEST_F(StandaloneProgram, ClientHearsTheTransportAndFollowsTheBufferSize) {
  struct TLink : THostLink {
    TJackClient* jack = nullptr;
    std::atomic<int> reads{0};
    std::atomic<bool> playing{false};
    std::atomic<double> position{0.0}, tempo{0.0};
    std::atomic<int32_t> numerator{0}, denominator{0};
    bool ReadTime(THostTime& time) override {
      if (!jack->ReadTransport(time)) return false;
      playing = time.playing;
      position = time.samplePosition;
      tempo = time.tempoValid ? time.tempo : 0.0;
      numerator = time.timeSignatureValid ? time.timeSigNumerator : 0;
      denominator = time.timeSignatureValid ? time.timeSigDenominator : 0;
      ++reads;
      return true;
    }
  } link;
  TTesmora6Engine engine;
  TMidiMerge merge;
  TJackClient jack(engine, merge);
  link.jack = &jack;
  engine.SetHostLink(&link);
  std::string why;
  ASSERT_TRUE(jack.Open("t6-in-process", why, server_)) << why;
  EXPECT_EQ(jack.SampleRate(), kRate);
  EXPECT_EQ(jack.BufferSize(), kPeriod);
  ASSERT_TRUE(jack.Activate(why)) << why;
  auto waitFor = [](auto condition) {
    const auto until = TClock::now() + 10s;
    while (!condition() && TClock::now() < until) usleep(10000);
    return condition();
  };
  EXPECT_TRUE(waitFor([&] { return link.reads > 10; }));
  EXPECT_FALSE(link.playing);
  EXPECT_EQ(link.tempo, 0.0) << "no tempo without a timebase master";

  ASSERT_TRUE(client_.TellTempo(137.0, 7.0f, 8.0f));
  jack_transport_start(client_.Client());
  EXPECT_TRUE(waitFor([&] { return link.playing && link.position > kRate / 10; }));
  EXPECT_EQ(link.tempo, 137.0);
  EXPECT_EQ(link.numerator, 7);
  EXPECT_EQ(link.denominator, 8);
  jack_transport_stop(client_.Client());
  EXPECT_TRUE(waitFor([&] { return !link.playing; }));

  ASSERT_EQ(jack_set_buffer_size(client_.Client(), 2 * kPeriod), 0);
  EXPECT_TRUE(waitFor([&] { return jack.BufferSize() == 2 * kPeriod; }));
  const int before = link.reads;
  EXPECT_TRUE(waitFor([&] { return link.reads > before + 10; })) << "it goes on playing";
  jack.Close();
}

// ---- the window (under xvfb-run: the CTest test StandaloneWindowUnderXvfb) ----

class StandaloneWindow : public StandaloneProgram {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    if (!display_) GTEST_SKIP() << "no X display";
    StandaloneProgram::SetUp();
  }
  void TearDown() override {
    StandaloneProgram::TearDown();
    if (display_) XCloseDisplay(display_);
  }

  // The program's top-level window, by its title.
  Window FindWindow() {
    const auto until = TClock::now() + 20s;
    while (TClock::now() < until) {
      Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      Window found = 0;
      if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
          char* name = nullptr;
          XWindowAttributes attributes;
          if (XFetchName(display_, children[i], &name) && name && std::string(name) == kClient &&
              XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable) {
            found = children[i];
          }
          if (name) XFree(name);
        }
        if (children) XFree(children);
      }
      if (found) return found;
      usleep(50000);
    }
    return 0;
  }

  void Click(Window window, int x, int y) {
    XEvent e{};
    e.xbutton.type = ButtonPress;
    e.xbutton.display = display_;
    e.xbutton.window = window;
    e.xbutton.root = DefaultRootWindow(display_);
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = Button1;
    e.xbutton.same_screen = True;
    XSendEvent(display_, window, False, ButtonPressMask, &e);
    XFlush(display_);
  }

  void Key(Window window, KeySym key) {
    XEvent e{};
    e.xkey.type = KeyPress;
    e.xkey.display = display_;
    e.xkey.window = window;
    e.xkey.root = DefaultRootWindow(display_);
    e.xkey.keycode = XKeysymToKeycode(display_, key);
    e.xkey.same_screen = True;
    XSendEvent(display_, window, False, KeyPressMask, &e);
    XFlush(display_);
  }

  // What the window manager sends when the user closes the window.
  void CloseFromWindowManager(Window window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &e);
    XFlush(display_);
  }

  Display* display_ = nullptr;
};

TEST_F(StandaloneWindow, StepsThroughProgramsAndEndsWhenClosed) {
  std::string message;
  ASSERT_TRUE(TStateStore(StateFile().parent_path()).Save({7, TwoSineBank()}, message)) << message;
  Start({}, true);
  const Window window = FindWindow();
  ASSERT_NE(window, 0u) << program_->Output();
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display_, window, &attributes));
  EXPECT_GT(attributes.height, 32 + 400) << "the strip and the editor below it";
  // ">" twice (8 -> 10), then Page Up (-> 9), each handled before the next arrives.
  for (int i = 0; i < 2; ++i) {
    Click(window, 48, 16);
    usleep(200000);
  }
  Key(window, XK_Page_Up);
  usleep(200000);
  CloseFromWindowManager(window);
  EXPECT_EQ(program_->Wait(15s), 0) << program_->Output();
  const auto saved = StateIn(StateFile());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->currentProgram, 8);
}

TEST_F(StandaloneWindow, SavesAndEndsWhenItsWindowIsDestroyed) {
  Start({"--program", "5"}, true);
  const Window window = FindWindow();
  ASSERT_NE(window, 0u) << program_->Output();
  XDestroyWindow(display_, window);
  XFlush(display_);
  EXPECT_EQ(program_->Wait(15s), 0) << program_->Output();
  const auto saved = StateIn(StateFile());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->currentProgram, 4);
}

}  // namespace
