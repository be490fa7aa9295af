// Counts the heap allocations a test program makes while counting is switched on, by
// replacing the global operators new and delete. Replacements may not be inline, so this
// header defines them: include it in exactly one source file of a test program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace tesmora6 {

inline std::atomic<bool> countAllocations{false};
inline std::atomic<long> allocations{0};

}  // namespace tesmora6

// All out of line: inlined where GCC also sees the other half of the pair, the malloc and
// free look to it like a mismatch with operator new or delete (-Wmismatched-new-delete),
// though both halves are these.
[[gnu::noinline]] void* operator new(std::size_t n) {
  if (tesmora6::countAllocations.load(std::memory_order_relaxed)) tesmora6::allocations.fetch_add(1);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t n) { return operator new(n); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
