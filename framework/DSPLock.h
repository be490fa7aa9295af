// The one process-wide re-entrant lock that serialises each host processing call, event
// queueing, program changes, bank and chunk reading, voice-pool rebuilds, component swaps
// (filter and shaper types, reverb rooms) and editor-driven parameter changes.
#pragma once

#include <mutex>

std::recursive_mutex& DSPLock();

// Holds the DSPLock for a scope.
class TDSPLockGuard {
 public:
  TDSPLockGuard() : guard_(DSPLock()) {}

 private:
  std::lock_guard<std::recursive_mutex> guard_;
};
