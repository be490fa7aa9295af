// What the sound-quality gates of the factory bank and the sub-preset libraries share: the
// median they judge levels against, a fault list shown whole, and whether the build is
// sanitized (and therefore too slow to render every register and rate).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace tesmora6 {

namespace quality_gates {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // everything runs 3 to 5 times slower: the Release run plays the rest
#else
constexpr bool kSanitized = false;
#endif

// The middle value (the upper one of an even count); 0 for none.
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// Every fault is listed at once, so that a sound designer sees the whole list.
inline void ExpectNone(const std::vector<std::string>& faults, const char* what) {
  constexpr size_t kShown = 60;
  std::ostringstream list;
  for (size_t i = 0; i < std::min(kShown, faults.size()); ++i) list << "\n  " << faults[i];
  if (faults.size() > kShown) list << "\n  ... and " << faults.size() - kShown << " more";
  EXPECT_TRUE(faults.empty()) << faults.size() << " " << what << ":" << list.str();
}

}  // namespace quality_gates

}  // namespace tesmora6
