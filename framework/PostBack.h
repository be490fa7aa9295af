// The process-wide queue of deferred calls. Code on any thread posts an entry; the host's
// UI thread delivers the entries later (from the editor's idle call, since Linux hosts
// give the plug-in no window of its own to receive messages on). An entry whose object is
// being destroyed is removed before it can be delivered.
#pragma once

#include <cstdint>

namespace tesmora6 {

struct TPostBackEntry;
using TPostBackHandler = void (*)(void* object, const TPostBackEntry& entry);

struct TPostBackEntry {
  TPostBackHandler handler = nullptr;
  void* object = nullptr;
  int32_t code = 0;
  int32_t a = 0;
  int32_t b = 0;
  float f = 0.0f;
};

// Codes of the framework; a code means something only together with its handler.
constexpr int32_t kPostBackProgramChanged = 1000;
constexpr int32_t kPostBackBankLoaded = 1001;
constexpr int32_t kPostBackRefreshParameter = 10001;

void PostBack(const TPostBackEntry& entry);
// Posts unless an entry with the same handler, object and code is already waiting (for
// notifications where one pending delivery says all).
void PostBackOnce(const TPostBackEntry& entry);
// Drops every pending entry of an object (called when it is destroyed).
void RemovePostBacksOf(const void* object);
// Delivers every entry pending now, in posting order; returns how many ran.
int DeliverPostBacks();
// Entries waiting (for tests).
int PendingPostBacks();

}  // namespace tesmora6
