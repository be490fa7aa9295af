// Measuring filters from outside: sine gain, analytic responses of bilinear second-order
// prototypes, and noise runs.
#pragma once

#include <cmath>
#include <complex>
#include <vector>

#include "dsp/DSPFilter.h"
#include "dsp/DSPMaths.h"

namespace tesmora6 {

namespace filter_test {

constexpr double kPi = 3.14159265358979323846;

// Steady-state gain at hz: a 0.1 sine settles for a quarter second, then its
// fundamental is measured over two seconds (whole cycles for every whole or half hertz).
inline double MeasureGain(TDSPFilter& f, double hz, double fs, float amplitude = 0.1f) {
  f.Reset();
  const int settle = static_cast<int>(fs / 4), n = static_cast<int>(2 * fs);
  double s = 0, c = 0;
  for (int i = 0; i < settle + n; ++i) {
    const double phase = 2 * kPi * hz * i / fs;
    f.In = amplitude * static_cast<float>(std::sin(phase));
    f.Tick();
    if (i >= settle) {
      s += f.Out * std::sin(phase);
      c += f.Out * std::cos(phase);
    }
  }
  return 2 * std::hypot(s, c) / n / amplitude;
}

// |H| of the analog prototype (n2 s^2 + n1 s + n0) / (d2 s^2 + d1 s + d0) taken through the
// bilinear transform prewarped at f0, evaluated at hz.
struct TPrototype {
  double n2, n1, n0, d2, d1, d0;
};
inline double BilinearGain(const TPrototype& p, double f0, double hz, double fs) {
  const double x = std::tan(kPi * hz / fs) / std::tan(kPi * f0 / fs);
  const std::complex<double> s(0.0, x);
  return std::abs((p.n2 * s * s + p.n1 * s + p.n0) / (p.d2 * s * s + p.d1 * s + p.d0));
}

// Period-sized runs of the shared noise table (values in (-1, 1)) times a gain.
inline std::vector<float> Noise(int count, float gain = 1.0f, int offset = 0) {
  std::vector<float> v(count);
  for (int i = 0; i < count; ++i) v[i] = gain * DSPNoiseTable()[(i + offset) % kNoiseTableLength];
  return v;
}

}  // namespace filter_test

}  // namespace tesmora6
