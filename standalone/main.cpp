// tesmora6: the instrument as a JACK program, to play with a MIDI keyboard without a DAW.
// It plays what reaches its JACK MIDI port and its ALSA sequencer port, shows the editor in
// a window of its own (or none with --no-editor), and keeps its whole state between runs.
#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dsp/DSPLock.h"
#include "framework/FloatingPointMode.h"
#include "gui/Tesmora6Editor.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "standalone/AlsaSeqInput.h"
#include "standalone/BankFile.h"
#include "standalone/JackClient.h"
#include "standalone/MidiMerge.h"
#include "standalone/Options.h"
#include "standalone/ProgramWindow.h"
#include "standalone/StateStore.h"

using namespace tesmora6;

namespace {

std::atomic<bool> quitRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnQuitSignal(int) { quitRequested.store(true); }

// What the engine asks of its host: the JACK transport as time, the window for its size.
class TStandaloneHostLink : public THostLink {
 public:
  TJackClient* jack = nullptr;
  TProgramWindow* window = nullptr;
  bool ReadTime(THostTime& time) override { return jack && jack->ReadTransport(time); }
  bool ResizeEditor(int32_t width, int32_t height) override { return window && window->ResizeEditor(width, height); }
};

uint32_t JackFrameTime(void* jack) { return static_cast<TJackClient*>(jack)->FrameTime(); }

void Say(const std::string& text) {
  std::fprintf(stderr, "tesmora6: %s\n", text.c_str());
  std::fflush(stderr);
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

void SleepMilliseconds(long ms) {
  const timespec pause{0, ms * 1000000L};
  nanosleep(&pause, nullptr);  // a signal ends it early, which is what the loop wants
}

enum class TEnd { kSignal, kWindowClosed, kServerGone };

}  // namespace

int main(int argc, char** argv) {
  // SIGINT and SIGTERM end the program with its state saved. They are held back while the
  // JACK and sequencer threads start (which keep them blocked, so that no call of theirs is
  // interrupted) and reach the main thread once it runs its loop; one that came during
  // start-up ends the program right after it. System calls they interrupt are restarted.
  struct sigaction quit {};
  quit.sa_handler = &OnQuitSignal;
  quit.sa_flags = SA_RESTART;
  sigemptyset(&quit.sa_mask);
  sigaction(SIGINT, &quit, nullptr);
  sigaction(SIGTERM, &quit, nullptr);
  sigset_t quitSignals;
  sigemptyset(&quitSignals);
  sigaddset(&quitSignals, SIGINT);
  sigaddset(&quitSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &quitSignals, nullptr);

  TStandaloneOptions options;
  std::string text;
  const int status = ParseStandaloneOptions(argc, argv, options, text);
  if (status >= 0) {
    std::fputs(text.c_str(), status == 0 ? stdout : stderr);
    return status;
  }
  std::vector<uint8_t> bankFile;
  if (!options.fxb.empty() && !ReadFile(options.fxb, bankFile)) {
    Say(options.fxb + ": " + std::strerror(errno));
    return 1;
  }

  // The main thread loads programs and state and runs the editor: the engine's parameter
  // handlers there compute in the engine's floating-point mode, as in a plug-in host.
  TFPUModeGuard engineMode;
  TTesmora6Engine engine;
  TTesmora6& instrument = engine.Instrument();
  if (!options.noEditor) instrument.SetEditorFactory(&CreateTesmora6Editor);
  TStandaloneHostLink link;
  engine.SetHostLink(&link);
  TMidiMerge merge;
  TJackClient jack(engine, merge);
  std::string why;
  if (!jack.Open(options.clientName, why)) {
    Say(why);
    return 1;
  }
  link.jack = &jack;

  // The state of the last run, then what the command line asks for.
  const TStateStore store(TStateStore::DefaultFolder());
  TStandaloneState state;
  std::string message;
  switch (store.Load(state, message)) {
    case TStateStore::TLoad::kLoaded:
      engine.LoadState(state.bankChunk, true);
      engine.SelectProgram(std::min(state.currentProgram, engine.ProgramCount() - 1));
      break;
    case TStateStore::TLoad::kDamaged:
      Say(message + "; starting with the factory bank");
      break;
    case TStateStore::TLoad::kNone:
      if (!message.empty()) Say(message + "; starting with the factory bank");
      break;
  }
  if (!bankFile.empty() && !LoadBankFile(engine, bankFile, why)) {
    Say(options.fxb + ": " + why);
    return 1;
  }
  if (options.program > 0) engine.SelectProgram(options.program - 1);

  TAlsaSeqInput sequencer(merge, &JackFrameTime, &jack);
  const bool withSequencer = sequencer.Open(jack.Name(), why);
  if (!withSequencer) Say(why + ": MIDI reaches only the JACK port");

  // From here on the program ends through the same steps, which save the state.
  const bool active = jack.Activate(why);
  if (!active) Say(why);
  sequencer.Start();
  if (active && options.connect) {
    for (const std::string& connection : jack.ConnectPhysicalPorts()) Say("connected " + connection);
    for (const std::string& source : sequencer.ConnectHardwareSources()) Say("connected " + source);
  }
  const std::string name = jack.Name();
  if (active) {
    std::printf("tesmora6: JACK client \"%s\" at %u Hz, %u frames: %s:%s, %s:%s, %s:%s", name.c_str(),
                jack.SampleRate(), jack.BufferSize(), name.c_str(), TJackClient::kMidiPort, name.c_str(),
                TJackClient::kLeftPort, name.c_str(), TJackClient::kRightPort);
    if (withSequencer) std::printf("; ALSA sequencer port %s", sequencer.Address().c_str());
    std::printf("\n");
    std::fflush(stdout);
  }

  pthread_sigmask(SIG_UNBLOCK, &quitSignals, nullptr);

  TProgramWindow window(engine);
  bool withWindow = false;
  if (active && !options.noEditor) {
    int32_t width = 0, height = 0;
    {
      TDSPLockGuard lock(instrument.Instance());
      instrument.EditorSize(width, height);
    }
    if (window.Open(name, width, height, why)) {
      withWindow = true;
      link.window = &window;
      if (!instrument.EditorOpen(reinterpret_cast<void*>(window.EditorParent()))) Say("the editor did not open");
    } else {
      Say(why + ": running without the editor, as with --no-editor");
    }
  }

  // The main thread: the window's events and the editor's idle calls (which also deliver
  // what the audio thread posts for the UI), about 60 times a second.
  TEnd end = TEnd::kSignal;
  // Xruns are told as they happen, at most every few seconds.
  uint64_t xrunsTold = 0;
  int ticksSinceXrunTold = 1000;
  while (active) {
    if (quitRequested.load()) {
      end = TEnd::kSignal;
      break;
    }
    if (jack.ServerGone()) {
      end = TEnd::kServerGone;
      break;
    }
    if (withWindow && !window.Idle()) {
      end = TEnd::kWindowClosed;
      break;
    }
    instrument.EditorIdle();
    ++ticksSinceXrunTold;
    if (const uint64_t xruns = jack.Xruns(); xruns != xrunsTold && ticksSinceXrunTold >= 300) {
      Say(std::to_string(xruns - xrunsTold) + (xruns - xrunsTold == 1 ? " xrun" : " xruns") + " (" +
          std::to_string(xruns) + " since the start)");
      xrunsTold = xruns;
      ticksSinceXrunTold = 0;
    }
    SleepMilliseconds(16);
  }

  if (withWindow) {
    instrument.EditorClose();
    link.window = nullptr;
    window.Close();
  }
  sequencer.Close();
  if (end == TEnd::kServerGone) {
    const std::string reason = jack.ServerGoneReason();
    Say("the JACK server has gone" + (reason.empty() ? std::string() : " (" + reason + ")") + "; saving and ending");
  }
  jack.Close();
  link.jack = nullptr;

  state.currentProgram = engine.CurrentProgram();
  state.bankChunk = engine.SaveState(true);
  const bool saved = store.Save(state, message);
  if (!saved) Say("the state was not saved: " + message);
  if (jack.Xruns() > 0) Say(std::to_string(jack.Xruns()) + " xruns in all");
  if (merge.Dropped() > 0) Say(std::to_string(merge.Dropped()) + " MIDI messages were dropped (too many at once)");
  return !active || end == TEnd::kServerGone || !saved ? 1 : 0;
}
