#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "dsp/DSPLock.h"

namespace tesmora6 {

namespace dsp_tables {

// A process-wide set of read-only float tables, one per index. A table is either carried
// (data made at build time, published once when the set is made) or computed on its first
// request, once per process on whichever thread asks first, and then published whole, so
// a reader that sees one sees all of it. Tables live until the library is unloaded.
template <size_t Count>
class TSharedTables {
 public:
  // Makes a carried table visible to every reader.
  void Publish(size_t index, const float* table) { published_[index].store(table, std::memory_order_release); }

  // The table of `index`; when it does not exist yet, `compute(table)` fills `length`
  // new floats first.
  template <class Compute>
  const float* Get(size_t index, size_t length, Compute&& compute) {
    if (const float* table = published_[index].load(std::memory_order_acquire)) return table;
    return Build(index, length, compute);
  }

  // Tables computed in this process so far, and of those the ones computed while a plug-in
  // instance was current on the computing thread.
  int Computed() const { return computed_.load(); }
  int ComputedInsideInstances() const { return computedInsideInstances_.load(); }

 private:
  template <class Compute>
  [[gnu::noinline]] const float* Build(size_t index, size_t length, Compute& compute) {
    std::lock_guard<std::mutex> lock(building_);
    if (const float* table = published_[index].load(std::memory_order_relaxed)) return table;
    std::unique_ptr<float[]> table(new float[length]);
    compute(table.get());
    ++computed_;
    if (CurrentDSPInstance()) ++computedInsideInstances_;
    owned_[index] = std::move(table);
    published_[index].store(owned_[index].get(), std::memory_order_release);
    return owned_[index].get();
  }

  std::array<std::atomic<const float*>, Count> published_{};
  std::array<std::unique_ptr<float[]>, Count> owned_;
  std::mutex building_;
  std::atomic<int> computed_{0}, computedInsideInstances_{0};
};

}  // namespace dsp_tables

}  // namespace tesmora6
