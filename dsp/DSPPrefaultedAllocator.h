// An allocator for the long delay lines of the effects (a delay line of four seconds, the
// chorus lines): blocks of 256 KB and more are mapped with their pages already present.
// Writing a fresh block page by page takes a fault per 4 KB, and creating an instance spent
// several milliseconds on those faults for lines that are then zeroed and wait; mapped
// populated, the kernel hands the pages over in one call, already zero. Smaller blocks come
// from the heap as usual. Lines are allocated only where the design allocates (construction,
// a sample-rate change), never while rendering.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <memory>
#include <new>

namespace tesmora6 {

template <class T>
class TDSPPrefaultedAllocator {
 public:
  using value_type = T;
  static constexpr size_t kMappedFrom = 256 * 1024;  // bytes

  TDSPPrefaultedAllocator() = default;
  template <class U>
  TDSPPrefaultedAllocator(const TDSPPrefaultedAllocator<U>&) {}

  T* allocate(size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < kMappedFrom) return std::allocator<T>().allocate(n);
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < kMappedFrom) {
      std::allocator<T>().deallocate(p, n);
      return;
    }
    munmap(p, bytes);
  }
  template <class U>
  bool operator==(const TDSPPrefaultedAllocator<U>&) const {
    return true;
  }
};

}  // namespace tesmora6
