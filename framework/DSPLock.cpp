#include "framework/DSPLock.h"

std::recursive_mutex& DSPLock() {
  static std::recursive_mutex lock;
  return lock;
}
