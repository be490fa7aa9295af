// Measures of rendered signals shared by the tests (no engine or host code, so that the
// headless tests can use them too).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesmora6 {

struct TStereo {
  std::vector<float> left, right;
};

inline float Peak(const std::vector<float>& s, size_t from = 0, size_t to = SIZE_MAX) {
  float peak = 0.0f;
  for (size_t i = from; i < std::min(to, s.size()); ++i) peak = std::max(peak, std::fabs(s[i]));
  return peak;
}
inline float PeakOf(const TStereo& s) { return std::max(Peak(s.left), Peak(s.right)); }

inline bool AllFinite(const TStereo& s) {
  for (const auto* ch : {&s.left, &s.right}) {
    for (float v : *ch) {
      if (!std::isfinite(v)) return false;
    }
  }
  return true;
}

// Frequency from the rising zero crossings of a signal (linear interpolation between
// samples), over the part of the signal from `from` up to `to`; 0 with fewer than two
// crossings.
inline double MeasureFrequency(const std::vector<float>& s, double rate, size_t from = 0, size_t to = SIZE_MAX) {
  double first = -1.0, last = -1.0;
  int crossings = 0;
  const size_t end = std::min(to, s.size());
  for (size_t i = std::max<size_t>(from, 1); i < end; ++i) {
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
      const double t = static_cast<double>(i - 1) + s[i - 1] / static_cast<double>(s[i - 1] - s[i]);
      if (first < 0)
        first = t;
      else
        ++crossings;
      last = t;
    }
  }
  if (crossings < 1) return 0.0;
  return crossings * rate / (last - first);
}

}  // namespace tesmora6
