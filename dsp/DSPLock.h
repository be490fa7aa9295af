// The re-entrant lock that serialises everything one plug-in instance does that the audio
// path must not see half-done: each host processing call, event queueing, program changes,
// bank and chunk reading and writing, voice-pool rebuilds, component swaps (filter and shaper
// types, reverb rooms), editor-driven parameter changes and the host's reads of values and
// texts. Every instance has its own, so a program change on one instance never holds up the
// audio of another.
//
// Components deep inside an instance (a filter swapping its type, the reverb rebuilding its
// lines) do not know their instance; they take `TDSPLockGuard lock;`, which locks the
// instance this thread is serving now. The instance is made current by the guard that takes
// its lock (and, while it is being built, by its own construction), so the nested guard
// re-enters the same lock. Outside any instance (a component used on its own) the guard
// takes one process-wide lock.
//
// The instance's random generator travels with it for the same reason: the noise sources,
// random shapers and the reverb's line lengths draw from the generator of the instance they
// belong to, which starts from a fixed seed, so rendering the same session twice gives the
// same audio.
#pragma once

#include <mutex>

#include "dsp/DSPMaths.h"

namespace tesmora6 {

// What one instance shares with the components it owns.
struct TDSPInstanceState {
  // The seed every instance's generator starts from.
  static constexpr uint32_t kRandomSeed = 0x7E5A0006u;

  std::recursive_mutex lock;
  TDSPRandom random{kRandomSeed, false};
};

// The instance this thread is serving (null outside every instance).
TDSPInstanceState* CurrentDSPInstance();
// Makes an instance current (or none) and returns the one that was.
TDSPInstanceState* SetCurrentDSPInstance(TDSPInstanceState* instance);

// The lock of the current instance, or the process-wide one outside every instance.
std::recursive_mutex& DSPLock();

// Keeps whichever instance is current now and makes it current again at the end of the
// scope (around code that builds an instance, or calls into another one).
class TDSPInstanceScope {
 public:
  TDSPInstanceScope() : previous_(CurrentDSPInstance()) {}
  explicit TDSPInstanceScope(TDSPInstanceState& instance) : previous_(SetCurrentDSPInstance(&instance)) {}
  ~TDSPInstanceScope() { SetCurrentDSPInstance(previous_); }
  TDSPInstanceScope(const TDSPInstanceScope&) = delete;
  TDSPInstanceScope& operator=(const TDSPInstanceScope&) = delete;

 private:
  TDSPInstanceState* previous_;
};

// Holds a lock for a scope: the current instance's (default), or the given instance's,
// which is then current until the scope ends.
class TDSPLockGuard {
 public:
  TDSPLockGuard() : guard_(DSPLock()) {}
  explicit TDSPLockGuard(TDSPInstanceState& instance) : guard_(instance.lock), scope_(instance) {}

 private:
  std::lock_guard<std::recursive_mutex> guard_;
  TDSPInstanceScope scope_;
};

}  // namespace tesmora6
