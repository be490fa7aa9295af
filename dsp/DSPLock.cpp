#include "dsp/DSPLock.h"

namespace tesmora6 {

namespace {
thread_local TDSPInstanceState* currentInstance = nullptr;
}  // namespace

TDSPInstanceState* CurrentDSPInstance() { return currentInstance; }

TDSPInstanceState* SetCurrentDSPInstance(TDSPInstanceState* instance) {
  TDSPInstanceState* previous = currentInstance;
  currentInstance = instance;
  return previous;
}

std::recursive_mutex& DSPLock() {
  if (TDSPInstanceState* instance = currentInstance) return instance->lock;
  static std::recursive_mutex processWide;
  return processWide;
}

}  // namespace tesmora6
