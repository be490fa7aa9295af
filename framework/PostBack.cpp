#include "framework/PostBack.h"

#include <algorithm>
#include <deque>
#include <mutex>

namespace tesmora6 {

namespace {

struct TPostBackQueue {
  std::mutex lock;
  std::deque<TPostBackEntry> entries;
};

TPostBackQueue& Queue() {
  static TPostBackQueue queue;
  return queue;
}

}  // namespace

void PostBack(const TPostBackEntry& entry) {
  auto& q = Queue();
  std::lock_guard<std::mutex> guard(q.lock);
  q.entries.push_back(entry);
}

void PostBackOnce(const TPostBackEntry& entry) {
  auto& q = Queue();
  std::lock_guard<std::mutex> guard(q.lock);
  for (const TPostBackEntry& e : q.entries) {
    if (e.handler == entry.handler && e.object == entry.object && e.code == entry.code) return;
  }
  q.entries.push_back(entry);
}

void RemovePostBacksOf(const void* object) {
  auto& q = Queue();
  std::lock_guard<std::mutex> guard(q.lock);
  std::erase_if(q.entries, [object](const TPostBackEntry& e) { return e.object == object; });
}

int DeliverPostBacks() {
  auto& q = Queue();
  int delivered = 0;
  // Only what is pending now: entries posted by a handler wait for the next delivery.
  size_t budget;
  {
    std::lock_guard<std::mutex> guard(q.lock);
    budget = q.entries.size();
  }
  while (budget-- > 0) {
    TPostBackEntry entry;
    {
      std::lock_guard<std::mutex> guard(q.lock);
      if (q.entries.empty()) break;
      entry = q.entries.front();
      q.entries.pop_front();
    }
    // The handler runs outside the queue's lock.
    if (entry.handler) {
      entry.handler(entry.object, entry);
      ++delivered;
    }
  }
  return delivered;
}

int PendingPostBacks() {
  auto& q = Queue();
  std::lock_guard<std::mutex> guard(q.lock);
  return static_cast<int>(q.entries.size());
}

}  // namespace tesmora6
