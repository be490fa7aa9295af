// The waveform classes, one per waveform number of the member table (DSPWaveformTable):
// closed formulas of the phase, noise sources, the recursive sine pair, the band-limited
// saw and the wave tables.
//
// Notation: φ is the phase, f = φ - ⌊φ⌋ its fractional part, pw the shape (pulse width /
// split point), g the gain. sin, cos and tan take radians. Each class computes its tick
// value in TickValue; the period fill is g x tick value unless FillValue says otherwise.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "dsp/DSPBaseOscillator.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPWaves.h"

namespace tesmora6 {

namespace oscmath {
constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kTwoPi = 2.0L * kPi;

inline long double Clamp(long double x, long double low, long double high) {
  return x < low ? low : (x > high ? high : x);
}
// frac(y) = y - ⌊y⌋.
inline long double Frac(long double y) { return y - std::floor(y); }
// The split value of the tangent waveforms: d = φ - R with R = round(r) (ties to even),
// plus 1 when φ is below R. It compares the phase with a rounded transcendental of the
// phase, not a fraction of the cycle.
inline long double SplitFromRound(float phase, long double r) {
  const long double rounded = std::nearbyint(r);
  const long double d = phase - rounded;
  return phase < rounded ? d + 1.0L : d;
}
// sin(2πφ) and cos(2πφ) of a float phase. Only the fraction of φ matters, and φ - ⌊φ⌋ is
// exact in double for every float. The oscillators carry phases up to 96 cycles, and the
// sine of 2πφ in extended precision then goes through the library's slow argument
// reduction; the double sine of 2π·frac(φ) is many times cheaper. The two agree far below
// a float's resolution, so a stored sample differs at most in its last bit, and that only
// where the value lies almost exactly between two floats (the golden renders count them).
constexpr double kTwoPiD = 6.283185307179586476925286766559;
inline double CycleFraction(float phase) {
  const double p = phase;
  return p - std::floor(p);
}
inline double SinCycle(float phase) { return std::sin(kTwoPiD * CycleFraction(phase)); }
inline double CosCycle(float phase) { return std::cos(kTwoPiD * CycleFraction(phase)); }
// sin(x) and cos(x) in extended precision for |x| up to 2^20 without the library's slow
// argument reduction (every extended sine or cosine beyond π/4 otherwise goes through the
// multi-precision reduction, which dominated the band-limited saw and the formula
// waveforms). |x| is reduced by q·π/2 with π/2 split into three parts: the first two carry
// 32 bits each, so q·P1 and q·P2 are exact, and the remainder r lies within π/4, where the
// library evaluates its kernel directly. r differs from the library's reduced argument by
// about one extended ulp, far below a float's resolution; the golden renders count the
// stored samples that change.
inline long double ReduceQuarterTurns(long double a, int64_t& q) {
  constexpr long double kP1 = 0x1.921fb54400000000p0L;    // π/2, first 32 bits
  constexpr long double kP2 = 0x1.0b4611a600000000p-34L;  // the next 32 bits
  constexpr long double kP3 = 0x1.3198a2e03707344ap-69L;  // the rest, rounded
  constexpr long double kTwoOverPi = 0.636619772367581343075535053490057448L;
  // The nearest quarter turn k (ties to even, in the unit's rounding mode), stored as an
  // integer by the x87 unit itself: the result is exact whatever precision the unit
  // carries (full, or double under valgrind or a caller that set its precision control so).
  // nearbyint would save and restore the floating-point environment and a C++ conversion
  // reloads the control word, on every call; llrint costs a library call. A shifted sum
  // (1.5 x 2^63 added, k read back from the low bits of the significand) rounds to an
  // integer only with a 64-bit significand: at double precision it handed back multiples of
  // 2048 quarter turns, whose remainders the kernels below turned into infinities. Under
  // another rounding mode k may be one off; r then lies within π/2 and the result stays
  // right.
  static_assert(std::numeric_limits<long double>::digits == 64, "long double is the x87 format");
  const long double t = a * kTwoOverPi;
  int64_t turns;
  __asm__("fistpll %0" : "=m"(turns) : "t"(t) : "st");
  q = turns;
  const long double k = static_cast<long double>(turns);
  return ((a - k * kP1) - k * kP2) - k * kP3;
}
// cos r and sin r for |r| up to π/4 (the reduced argument), by their Taylor series
// through r^18 and r^19 in extended precision. The first terms left out are below 4e-21
// there, a tenth of an extended ulp of 1, so the kernels agree with the library's to about
// one extended ulp (OscillatorFormulas.FastSineAndCosineMatchTheLibrary) at a fraction of
// its cost: the band-limited saw evaluates three cosines per sample and voice, "X-Curve"
// four in a row. Each series runs as two interleaved halves in z² (even and odd powers of
// z), which halves the chain of dependent multiply-adds that a call waits for; the
// coefficients of the higher terms are doubles (their rounding moves the sum by less than
// 1e-21), since an extended constant costs a slow 80-bit load on every use.
namespace taylor {
constexpr long double D(double c) { return c; }
}  // namespace taylor
inline long double CosKernel(long double r) {
  using taylor::D;
  const long double z = r * r, w = z * z;
  // Σ (-1)^k z^k / (2k)!, k = 0..9: the even k in w, the odd k in w times z.
  const long double even =
      1.0L + w * (1.0L / 24 + w * (D(1.0 / 40320) + w * (D(1.0 / 479001600) + w * D(1.0 / 20922789888000))));
  const long double odd =
      -0.5L +
      w * (-1.0L / 720 + w * (D(-1.0 / 3628800) + w * (D(-1.0 / 87178291200) + w * D(-1.0 / 6402373705728000))));
  return even + z * odd;
}
inline long double SinKernel(long double r) {
  using taylor::D;
  const long double z = r * r, w = z * z;
  // r + r z Σ (-1)^(j+1) z^j / (2j + 3)!, j = 0..8: the even j in w, the odd j in w times z.
  const long double even =
      -1.0L / 6 + w * (D(-1.0 / 5040) +
                       w * (D(-1.0 / 39916800) + w * (D(-1.0 / 1307674368000) + w * D(-1.0 / 121645100408832000))));
  const long double odd = 1.0L / 120 + w * (D(1.0 / 362880) + w * (D(1.0 / 6227020800) + w * D(1.0 / 355687428096000)));
  return r + (r * z) * (even + z * odd);
}
// Arguments the reduction and the kernels serve: |x| < 2^20 (larger ones and NaN go to the
// library).
inline bool ReducedPathFits(long double a) { return a < 0x1p20L; }
inline long double CosExtended(long double x) {
  const long double a = std::fabs(x);
  if (!ReducedPathFits(a)) return std::cos(x);
  // Below 0.78 the nearest quarter turn is 0 and the reduction would hand back a itself.
  if (a < 0.78L) return CosKernel(a);
  int64_t q = 0;
  const long double r = ReduceQuarterTurns(a, q);
  switch (q & 3) {
    case 0:
      return CosKernel(r);
    case 1:
      return -SinKernel(r);
    case 2:
      return -CosKernel(r);
    default:
      return SinKernel(r);
  }
}
inline long double SinExtended(long double x) {
  const long double a = std::fabs(x);
  if (!ReducedPathFits(a)) return std::sin(x);
  if (a < 0.78L) return std::signbit(x) ? -SinKernel(a) : SinKernel(a);
  int64_t q = 0;
  const long double r = ReduceQuarterTurns(a, q);
  long double s;
  switch (q & 3) {
    case 0:
      s = SinKernel(r);
      break;
    case 1:
      s = CosKernel(r);
      break;
    case 2:
      s = -SinKernel(r);
      break;
    default:
      s = -CosKernel(r);
      break;
  }
  return std::signbit(x) ? -s : s;
}
// One draw from the shared generator, in [0, 1).
inline long double Draw() { return DSPRandom().Next(); }

// sin(2πx) and cos(2πx) of runs of turns x, in double, for the period fills that evaluate
// a whole control period at once. x is reduced by the nearest quarter turn q / 4, which is
// exact in double for every |x| below 2^50 (every phase a float holds, and the product of
// two floats, such as a harmonic number times a phase); the remainder, within an eighth of
// a turn, becomes the angle 2πr (one double rounding) and goes through Taylor series to
// r^17 (sine) and r^16 (cosine), whose first omitted terms are below 1e-17. The values
// agree with the extended reference to about one double ulp (1e-16), far below a float's
// resolution; a stored sample may differ in its last bit where the value lies almost
// exactly between two floats. Both series come from the one reduction, so a sine and a
// cosine cost as much as either. Eight or four turns at a time in AVX-512 or AVX where
// the processor has them (the same operations, no fused multiply-add, so every width gives
// the same doubles). sine or cosine may be null; either may be x itself. width: -1 the
// widest the processor offers, 0 one lane at a time, 1 at most AVX, 2 at most AVX-512.
void SinCosTurns(const double* x, double* sine, double* cosine, int32_t n, int width = -1);
inline void CosTurns(const double* x, double* out, int32_t n) { SinCosTurns(x, nullptr, out, n); }
inline void SinTurns(const double* x, double* out, int32_t n) { SinCosTurns(x, out, nullptr, n); }
// The same for arguments in radians: x is reduced by the nearest quarter turn q π/2 with
// π/2 in three parts (q times the first two exact for |x| below 2^20), to within one
// double rounding of the remainder; larger arguments go to the library.
void SinCosRadians(const double* x, double* sine, double* cosine, int32_t n, int width = -1);
// One lane of the runs.
double CosTurn(double x);
double SinTurn(double x);
// f = φ - ⌊φ⌋ in double (exact, as TDSPBaseOscillator::FractionalPart).
inline double Fraction(float phi) {
  if (!(std::fabs(phi) < 8388608.0f)) return 0.0;
  float whole = static_cast<float>(static_cast<int32_t>(phi));
  if (whole > phi) whole -= 1.0f;
  return static_cast<double>(phi) - whole;
}
}  // namespace oscmath

// ---------------------------------------------------------------------------------
// Closed formulas
// ---------------------------------------------------------------------------------

// The closed formulas whose value needs sines or cosines fill their period in three
// passes: the phases of the period one after the other (with each one's fraction f and the
// argument of the sine and cosine), then the sines and cosines of the whole period in one
// run (oscmath::SinCosTurns or SinCosRadians), then the values in double. W provides,
// beside its extended TickValue (which the single-sample path keeps),
//   static constexpr bool kRadians;              // the argument in radians, not turns
//   static double Argument(float phase, double f);
//   static double Value(float phase, double f, double sine, double cosine, float shape);
// and, where the fill value is not gain x Value,
//   static double Fill(float phase, double f, double sine, double cosine, float shape,
//                      double gain);
template <class W>
class TDSPTurnsOscillator : public TDSPAnalyticOscillator<W> {
 public:
  void FillPeriod(float* out) override {
    constexpr int32_t kRun = 64;
    alignas(64) double f[kRun], x[kRun], sine[kRun], cosine[kRun];
    float phases[kRun];
    const int32_t m = this->context_->samplesPerMs;
    const float shape = this->shape_, increment = this->increment_;
    const float threshold = this->wrapThreshold_, period = this->wrapPeriod_;
    const double gain = this->gain_;
    float phase = this->phase_;
    for (int32_t start = 0; start < m; start += kRun) {
      const int32_t n = std::min(kRun, m - start);
      for (int32_t i = 0; i < n; ++i) {
        phases[i] = phase;
        f[i] = oscmath::Fraction(phase);
        x[i] = W::Argument(phase, f[i]);
        phase = TDSPBaseOscillator::Wrapped(phase + increment, threshold, period);
      }
      if constexpr (W::kRadians) {
        oscmath::SinCosRadians(x, sine, cosine, n);
      } else {
        oscmath::SinCosTurns(x, sine, cosine, n);
      }
      for (int32_t i = 0; i < n; ++i) {
        double v;
        if constexpr (requires { W::Fill(phases[i], f[i], sine[i], cosine[i], shape, gain); }) {
          v = W::Fill(phases[i], f[i], sine[i], cosine[i], shape, gain);
        } else {
          v = gain * W::Value(phases[i], f[i], sine[i], cosine[i], shape);
        }
        out[start + i] = static_cast<float>(v);
      }
    }
    this->phase_ = phase;
  }
};

// "Saw": 2f - 1.
class TSawOsc final : public TDSPAnalyticOscillator<TSawOsc> {
 public:
  static constexpr int kIndex = 0;
  long double TickValue(float& phase, float) const { return 2.0L * FractionalPart(phase) - 1.0L; }
};

// "SoftSaw": the falling edge of a saw around the cycle start, a cosine elsewhere.
class TSoftSawOsc final : public TDSPTurnsOscillator<TSoftSawOsc> {
 public:
  static constexpr int kIndex = 1;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return f; }
  // (No float lies between the double and the extended 0.1 or 0.9.)
  static double Value(float, double f, double, double c, float) { return (f < 0.1 || f > 0.9) ? 1.0 - 2.0 * f : c; }
  long double TickValue(float& phase, float) const {
    const long double f = FractionalPart(phase);
    return (f < 0.1L || f > 0.9L) ? 1.0L - 2.0L * f : oscmath::CosExtended(oscmath::kTwoPi * f);
  }
};

// "XSaw": rises as 2f up to the shape point, then falls as 1 - 2f.
class TAltSawOsc final : public TDSPAnalyticOscillator<TAltSawOsc> {
 public:
  static constexpr int kIndex = 2;
  long double TickValue(float& phase, float shape) const {
    const long double f = FractionalPart(phase);
    return f >= shape ? 1.0L - 2.0L * f : 2.0L * f;
  }
};

// "Triangle": 4f - 1 up to the shape point, 3 - 4f after it.
class TTriangleOsc1 final : public TDSPAnalyticOscillator<TTriangleOsc1> {
 public:
  static constexpr int kIndex = 3;
  long double TickValue(float& phase, float shape) const {
    const long double f = FractionalPart(phase);
    return f >= shape ? 3.0L - 4.0L * f : 4.0L * f - 1.0L;
  }
};

// "Triangle2": (|f - 0.5| - 0.25) x 2.5.
class TTriangleOsc2 final : public TDSPAnalyticOscillator<TTriangleOsc2> {
 public:
  static constexpr int kIndex = 4;
  long double TickValue(float& phase, float) const { return (std::fabs(FractionalPart(phase) - 0.5L) - 0.25L) * 2.5L; }
};

// "Square": +1 before the shape point, -1 from it on.
class TSquareOsc final : public TDSPAnalyticOscillator<TSquareOsc> {
 public:
  static constexpr int kIndex = 5;
  long double TickValue(float& phase, float shape) const { return FractionalPart(phase) >= shape ? -1.0L : 1.0L; }
};

// "Sine": sin(2πφ).
class TSineOsc1 final : public TDSPTurnsOscillator<TSineOsc1> {
 public:
  static constexpr int kIndex = 6;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return f; }
  static double Value(float, double, double s, double, float) { return s; }
  long double TickValue(float& phase, float) const { return oscmath::SinCycle(phase); }
};

// "Smooth": a trapezoid: ramps of slope 8 between plateaus at +1 and -1.
class THexOsc final : public TDSPAnalyticOscillator<THexOsc> {
 public:
  static constexpr int kIndex = 7;
  long double TickValue(float& phase, float) const {
    const long double f = FractionalPart(phase);
    if (f < 0.125L) return 8.0L * f;
    if (f < 0.375L) return 1.0L;
    if (f < 0.625L) return 4.0L - 8.0L * f;
    if (f >= 0.875L) return 8.0L * f - 8.0L;
    return -1.0L;
  }
};

// "Glass": two raised-cosine bumps up before the shape point, two down after it.
class TBumpsOsc final : public TDSPTurnsOscillator<TBumpsOsc> {
 public:
  static constexpr int kIndex = 8;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return 2.0 * f; }
  static double Value(float, double f, double, double c, float shape) {
    return f >= shape ? (c - 1.0) * 0.5 : 0.5 * (1.0 - c);
  }
  long double TickValue(float& phase, float shape) const {
    const long double f = FractionalPart(phase);
    const long double c = oscmath::CosExtended(4.0L * oscmath::kPi * f);
    return f >= shape ? (c - 1.0L) * 0.5L : 0.5L * (1.0L - c);
  }
};

// "Glass2": as "Glass" with twice as many bumps (cos 8πf).
class TDoubleBumpsOsc final : public TDSPTurnsOscillator<TDoubleBumpsOsc> {
 public:
  static constexpr int kIndex = 9;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return 4.0 * f; }
  static double Value(float, double f, double, double c, float shape) {
    return f >= shape ? (c - 1.0) * 0.5 : 0.5 * (1.0 - c);
  }
  long double TickValue(float& phase, float shape) const {
    const long double f = FractionalPart(phase);
    const long double c = oscmath::CosExtended(8.0L * oscmath::kPi * f);
    return f >= shape ? (c - 1.0L) * 0.5L : 0.5L * (1.0L - c);
  }
};

// "Glass3": six half-cosine segments, a = 6f, C = cos(πa).
class TAltBumpsOsc1 final : public TDSPTurnsOscillator<TAltBumpsOsc1> {
 public:
  static constexpr int kIndex = 10;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return 3.0 * f; }  // πa = 2π x 3f
  static double Value(float, double f, double, double c, float) {
    const double a = 6.0 * f;
    if (a < 1.0) return 0.25 * (1.0 - c);
    if (a < 2.0) return 0.25 * (c + 3.0);
    if (a < 3.0) return 0.5 * (c + 1.0);
    if (a < 4.0) return 0.25 * (-c - 1.0);
    if (a >= 5.0) return 0.5 * (c - 1.0);
    return 0.25 * (c - 3.0);
  }
  long double TickValue(float& phase, float) const {
    const long double a = 6.0L * FractionalPart(phase);
    const long double c = oscmath::CosExtended(oscmath::kPi * a);
    if (a < 1.0L) return 0.25L * (1.0L - c);
    if (a < 2.0L) return 0.25L * (c + 3.0L);
    if (a < 3.0L) return 0.5L * (c + 1.0L);
    if (a < 4.0L) return 0.25L * (-c - 1.0L);
    if (a >= 5.0L) return 0.5L * (c - 1.0L);
    return 0.25L * (c - 3.0L);
  }
};

// "Glass4": the "Glass3" segments with the negative half reshaped.
class TAltBumpsOsc2 final : public TDSPTurnsOscillator<TAltBumpsOsc2> {
 public:
  static constexpr int kIndex = 11;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return 3.0 * f; }  // πa = 2π x 3f
  static double Value(float, double f, double, double c, float) {
    const double a = 6.0 * f;
    if (a < 1.0) return 0.25 * (1.0 - c);
    if (a < 2.0) return 0.25 * (c + 3.0);
    if (a < 3.0) return 0.5 * (c + 1.0);
    if (a < 4.0) return 0.5 * (-c - 1.0);
    if (a >= 5.0) return 0.25 * (c - 1.0);
    return 0.25 * (-c - 3.0);
  }
  long double TickValue(float& phase, float) const {
    const long double a = 6.0L * FractionalPart(phase);
    const long double c = oscmath::CosExtended(oscmath::kPi * a);
    if (a < 1.0L) return 0.25L * (1.0L - c);
    if (a < 2.0L) return 0.25L * (c + 3.0L);
    if (a < 3.0L) return 0.5L * (c + 1.0L);
    if (a < 4.0L) return 0.5L * (-c - 1.0L);
    if (a >= 5.0L) return 0.25L * (c - 1.0L);
    return 0.25L * (-c - 3.0L);
  }
};

// "SquareGls": a square with half-cosine edges, a = 6f, C = cos(πa).
class TSquareBumpsOsc final : public TDSPTurnsOscillator<TSquareBumpsOsc> {
 public:
  static constexpr int kIndex = 12;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return 3.0 * f; }  // πa = 2π x 3f
  static double Value(float, double f, double, double c, float) {
    const double a = 6.0 * f;
    if (a < 1.0) return 0.5 * (1.0 - c);
    if (a < 2.0) return 1.0;
    if (a < 3.0) return 0.5 * (c + 1.0);
    if (a < 4.0) return 0.5 * (-c - 1.0);
    if (a >= 5.0) return 0.5 * (c - 1.0);
    return -1.0;
  }
  long double TickValue(float& phase, float) const {
    const long double a = 6.0L * FractionalPart(phase);
    const long double c = oscmath::CosExtended(oscmath::kPi * a);
    if (a < 1.0L) return 0.5L * (1.0L - c);
    if (a < 2.0L) return 1.0L;
    if (a < 3.0L) return 0.5L * (c + 1.0L);
    if (a < 4.0L) return 0.5L * (-c - 1.0L);
    if (a >= 5.0L) return 0.5L * (c - 1.0L);
    return -1.0L;
  }
};

// "Mixed": eight linear segments of t = 8f, x 0.1.
class TMultiOsc1 final : public TDSPAnalyticOscillator<TMultiOsc1> {
 public:
  static constexpr int kIndex = 13;
  long double TickValue(float& phase, float) const {
    const long double t = 8.0L * FractionalPart(phase);
    long double v;
    if (t < 1.0L)
      v = t;
    else if (t < 2.0L)
      v = 2.0L - t;
    else if (t < 3.0L)
      v = 0.5L * (t - 2.0L);
    else if (t < 5.0L)
      v = 0.5L * (4.0L - t);
    else if (t < 6.0L)
      v = 3.0L * t;
    else if (t < 7.0L)
      v = 6.0L - t;
    else
      v = t - 8.0L;
    return 0.1L * v;
  }
};

// "Mixed2": eight linear segments of t = 8f; the period fill ignores the gain.
class TMultiOsc2 final : public TDSPAnalyticOscillator<TMultiOsc2> {
 public:
  static constexpr int kIndex = 14;
  long double TickValue(float& phase, float) const {
    const long double t = 8.0L * FractionalPart(phase);
    if (t < 1.0L) return t;
    if (t < 2.0L) return 2.0L - t;
    if (t < 3.0L) return t - 2.0L;
    if (t < 5.0L) return 4.0L - t;
    if (t < 6.0L) return t - 6.0L;
    if (t < 7.0L) return 6.0L - t;
    return t - 8.0L;
  }
  long double FillValue(float& phase, float shape, float) const { return TickValue(phase, shape); }
};

// "X-Mix": sin, cos and tan of φ (radians, φ over [0, 4]) picked by tenths of the cycle,
// x 0.25.
class TMultiOsc3 final : public TDSPTurnsOscillator<TMultiOsc3> {
 public:
  static constexpr int kIndex = 15;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return phase; }
  static double Value(float, double f, double s, double c, float) {
    double v;
    if (f > 0.9)
      v = c;
    else if (f > 0.8)
      v = s;
    else if (f > 0.7)
      v = c;
    else if (f > 0.6)
      v = s;
    else if (f > 0.5)
      v = s;
    else if (f > 0.4)
      v = c;
    else if (f > 0.3)
      v = s;
    else if (f > 0.1 && f <= 0.2)
      v = s;
    else
      v = s / c;
    return 0.25 * v;
  }
  long double TickValue(float& phase, float) const {
    const long double f = FractionalPart(phase);
    const long double p = phase;
    long double v;
    if (f > 0.9L)
      v = oscmath::CosExtended(p);
    else if (f > 0.8L)
      v = oscmath::SinExtended(p);
    else if (f > 0.7L)
      v = oscmath::CosExtended(p);
    else if (f > 0.6L)
      v = oscmath::SinExtended(p);
    else if (f > 0.5L)
      v = oscmath::SinExtended(p);
    else if (f > 0.4L)
      v = oscmath::CosExtended(p);
    else if (f > 0.3L)
      v = oscmath::SinExtended(p);
    else if (f > 0.1L && f <= 0.2L)
      v = oscmath::SinExtended(p);
    else
      v = std::tan(p);
    return 0.25L * v;
  }
};

// "SinExp": 1.2 x sin(exp(φ) + 0.1), φ over [0, 1.5].
class TSinExpOsc final : public TDSPTurnsOscillator<TSinExpOsc> {
 public:
  static constexpr int kIndex = 16;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return std::exp(static_cast<double>(phase)) + 0.1; }
  static double Value(float, double, double s, double, float) { return 1.2 * s; }
  long double TickValue(float& phase, float) const {
    return 1.2L * oscmath::SinExtended(std::exp(static_cast<long double>(phase)) + 0.1L);
  }
};

// "SinCos": sin(πφ), minus cos(πφ) after the shape point.
class TSinCosOsc final : public TDSPTurnsOscillator<TSinCosOsc> {
 public:
  static constexpr int kIndex = 17;
  static constexpr bool kRadians = false;
  static double Argument(float phase, double) { return 0.5 * phase; }  // πφ = 2π x φ / 2
  static double Value(float, double f, double s, double c, float shape) { return f > shape ? s - c : s; }
  long double TickValue(float& phase, float shape) const {
    const long double s = oscmath::SinExtended(oscmath::kPi * phase);
    return FractionalPart(phase) > shape ? s - oscmath::CosExtended(oscmath::kPi * phase) : s;
  }
};

// "SinCosTan": 0.5 sin(0.05488615 φ) or 0.5 cos(πφ), split by d against the shape. The
// tick takes d from R = round(tan(sin φ)); the period fill splits on
// d = frac(tan(sin φ)) instead.
class TSinCosTanOsc1 final : public TDSPAnalyticOscillator<TSinCosTanOsc1> {
 public:
  void FillPeriod(float* out) override;
  static constexpr int kIndex = 18;
  static long double Branch(float phase, long double d, float shape) {
    return d > shape ? 0.5L * oscmath::SinExtended(0.05488615L * phase)
                     : 0.5L * oscmath::CosExtended(oscmath::kPi * phase);
  }
  long double TickValue(float& phase, float shape) const {
    const long double r = std::tan(oscmath::SinExtended(static_cast<long double>(phase)));
    return Branch(phase, oscmath::SplitFromRound(phase, r), shape);
  }
  long double FillValue(float& phase, float shape, float gain) const {
    const long double r = std::tan(oscmath::SinExtended(static_cast<long double>(phase)));
    return gain * Branch(phase, oscmath::Frac(r), shape);
  }
};

// "SinCosTan2": as "SinCosTan" with d from R in both paths and without the factor 0.5.
class TSinCosTanOsc2 final : public TDSPAnalyticOscillator<TSinCosTanOsc2> {
 public:
  void FillPeriod(float* out) override;
  static constexpr int kIndex = 19;
  long double TickValue(float& phase, float shape) const {
    const long double r = std::tan(oscmath::SinExtended(static_cast<long double>(phase)));
    return oscmath::SplitFromRound(phase, r) > shape ? oscmath::SinExtended(0.05488615L * phase)
                                                     : oscmath::CosExtended(oscmath::kPi * phase);
  }
};

// "SinCosSqrt": 0.25 x (sin φ over the last quarter, cos φ over the middle half, √φ over
// the first quarter of each cycle).
class TSinCosSqrtOsc final : public TDSPTurnsOscillator<TSinCosSqrtOsc> {
 public:
  static constexpr int kIndex = 20;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return phase; }
  static double Value(float phase, double f, double s, double c, float) {
    return 0.25 * (f > 0.75 ? s : (f > 0.25 ? c : std::sqrt(static_cast<double>(phase))));
  }
  long double TickValue(float& phase, float) const {
    const long double f = FractionalPart(phase);
    const long double p = phase;
    const long double v = f > 0.75L ? oscmath::SinExtended(p) : (f > 0.25L ? oscmath::CosExtended(p) : std::sqrt(p));
    return 0.25L * v;
  }
};

// "CosExp": cos(exp(φ) - 9), φ over [0, 2π]; the period fill is 0.6 g x the same.
class TCosExpOsc final : public TDSPTurnsOscillator<TCosExpOsc> {
 public:
  static constexpr int kIndex = 21;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return std::exp(static_cast<double>(phase)) - 9.0; }
  static double Value(float, double, double, double c, float) { return c; }
  static double Fill(float, double, double, double c, float, double gain) { return 0.6 * gain * c; }
  long double TickValue(float& phase, float) const {
    return oscmath::CosExtended(std::exp(static_cast<long double>(phase)) - 9.0L);
  }
  long double FillValue(float& phase, float shape, float gain) const { return 0.6L * gain * TickValue(phase, shape); }
};

// "CosSqrtTan": 0.25 x (cos φ over the last quarter, √φ over the middle half, tan φ over
// the first quarter of each cycle).
class TCosSqrtTanOsc final : public TDSPTurnsOscillator<TCosSqrtTanOsc> {
 public:
  static constexpr int kIndex = 22;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return phase; }
  static double Value(float phase, double f, double s, double c, float) {
    return 0.25 * (f > 0.75 ? c : (f > 0.25 ? std::sqrt(static_cast<double>(phase)) : s / c));
  }
  long double TickValue(float& phase, float) const {
    const long double f = FractionalPart(phase);
    const long double p = phase;
    const long double v = f > 0.75L ? oscmath::CosExtended(p) : (f > 0.25L ? std::sqrt(p) : std::tan(p));
    return 0.25L * v;
  }
};

// "SqrtExp": 0.2 x (√exp(φ) - 4), φ over [0, 4].
class TSqrtExpOsc final : public TDSPAnalyticOscillator<TSqrtExpOsc> {
 public:
  static constexpr int kIndex = 23;
  long double TickValue(float& phase, float) const {
    return 0.2L * (std::sqrt(std::exp(static_cast<long double>(phase))) - 4.0L);
  }
  // The fill in double: the extended exponential costs several times the double one, and
  // the two agree far below a float's resolution.
  long double FillValue(float& phase, float, float gain) const {
    return static_cast<double>(gain) * (0.2 * (std::sqrt(std::exp(static_cast<double>(phase))) - 4.0));
  }
};

// "SqrtTan": 0.25 x (√(πφ) when d > pw, else tan(πφ)), d from R = round(tan φ). Near
// φ = 0.5 the tangent grows without bound, so the period fill, 0.0625 g x the same
// bracket, is clamped to [-3, 3].
class TSqrtTanOsc final : public TDSPAnalyticOscillator<TSqrtTanOsc> {
 public:
  void FillPeriod(float* out) override;
  static constexpr int kIndex = 24;
  static long double Bracket(float phase, float shape) {
    const long double d = oscmath::SplitFromRound(phase, std::tan(static_cast<long double>(phase)));
    const long double x = oscmath::kPi * phase;
    return d > shape ? std::sqrt(x) : std::tan(x);
  }
  long double TickValue(float& phase, float shape) const { return 0.25L * Bracket(phase, shape); }
  long double FillValue(float& phase, float shape, float gain) const {
    return oscmath::Clamp(0.0625L * gain * Bracket(phase, shape), -3.0L, 3.0L);
  }
};

// "Exp": 0.004 x (exp(φ) - 9), φ over [0, 2π].
class TExpOsc final : public TDSPAnalyticOscillator<TExpOsc> {
 public:
  static constexpr int kIndex = 25;
  long double TickValue(float& phase, float) const {
    return 0.004L * (std::exp(static_cast<long double>(phase)) - 9.0L);
  }
  // The fill in double (see "SqrtExp").
  long double FillValue(float& phase, float, float gain) const {
    return static_cast<double>(gain) * (0.004 * (std::exp(static_cast<double>(phase)) - 9.0));
  }
};

// "TanExp": v = 0.5 tan(exp(φ) - 0.26) clamped to [-2, 2], then x 0.25; the period fill
// applies the gain inside the clamp.
class TTanExpOsc final : public TDSPTurnsOscillator<TTanExpOsc> {
 public:
  static constexpr int kIndex = 26;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return std::exp(static_cast<double>(phase)) - 0.26; }
  static double Value(float, double, double s, double c, float) { return std::clamp(0.5 * (s / c), -2.0, 2.0) * 0.25; }
  static double Fill(float, double, double s, double c, float, double gain) {
    return std::clamp(0.5 * gain * (s / c), -2.0, 2.0) * 0.25;
  }
  static long double Tangent(float phase) { return std::tan(std::exp(static_cast<long double>(phase)) - 0.26L); }
  long double TickValue(float& phase, float) const {
    return oscmath::Clamp(0.5L * Tangent(phase), -2.0L, 2.0L) * 0.25L;
  }
  long double FillValue(float& phase, float, float gain) const {
    return oscmath::Clamp(0.5L * gain * Tangent(phase), -2.0L, 2.0L) * 0.25L;
  }
};

// "CotanExp": 1.2 x cot(exp(φ) + 0.26); the period fill is 0.6 g x cot(...).
class TCoTanExpOsc final : public TDSPTurnsOscillator<TCoTanExpOsc> {
 public:
  static constexpr int kIndex = 27;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return std::exp(static_cast<double>(phase)) + 0.26; }
  static double Value(float, double, double s, double c, float) { return 1.2 * (c / s); }
  static double Fill(float, double, double s, double c, float, double gain) { return 0.6 * gain * (c / s); }
  static long double Cotangent(float phase) {
    return 1.0L / std::tan(std::exp(static_cast<long double>(phase)) + 0.26L);
  }
  long double TickValue(float& phase, float) const { return 1.2L * Cotangent(phase); }
  long double FillValue(float& phase, float, float gain) const { return 0.6L * gain * Cotangent(phase); }
};

// "Cosine": cos(2πφ).
class TCosineOsc1 final : public TDSPTurnsOscillator<TCosineOsc1> {
 public:
  static constexpr int kIndex = 30;
  static constexpr bool kRadians = false;
  static double Argument(float, double f) { return f; }
  static double Value(float, double, double, double c, float) { return c; }
  long double TickValue(float& phase, float) const { return oscmath::CosCycle(phase); }
};

// "SawSin": c = frac(φ x 0.15915494) (φ / 2π): the saw 2c - 1 up to the shape point,
// then -sin φ.
class TSawSinOsc final : public TDSPTurnsOscillator<TSawSinOsc> {
 public:
  static constexpr int kIndex = 32;
  static constexpr bool kRadians = true;
  static double Argument(float phase, double) { return phase; }
  static double Value(float phase, double, double s, double, float shape) {
    const double p = phase * 0.15915494;
    const double c = p - std::floor(p);
    return c > shape ? -s : 2.0 * c - 1.0;
  }
  long double TickValue(float& phase, float shape) const {
    const long double c = oscmath::Frac(phase * 0.15915494L);
    return c > shape ? -oscmath::SinExtended(static_cast<long double>(phase)) : 2.0L * c - 1.0L;
  }
};

// "ParaSine": φ x (1 + (1 - |φ|)) with φ over (-2, 2]: a parabola pair that is heard as a
// sine-like wave with a period of 4 in phase.
class TParabolaOsc final : public TDSPAnalyticOscillator<TParabolaOsc> {
 public:
  static constexpr int kIndex = 45;
  long double TickValue(float& phase, float) const {
    const long double p = phase;
    return p * (1.0L + (1.0L - std::fabs(p)));
  }
};

// "X-Curve": θ = sin(5φ), φ over [0, 2π];
// 6 x (1 / (1 + sin²θ + (cos θ + 2)²) + cos(sin θ x cos θ) - 1.03).
class TRoseCurveOsc final : public TDSPAnalyticOscillator<TRoseCurveOsc> {
 public:
  void FillPeriod(float* out) override;
  static constexpr int kIndex = 48;
  long double TickValue(float& phase, float) const {
    const long double theta = oscmath::SinExtended(5.0L * phase);
    const long double s = oscmath::SinExtended(theta), c = oscmath::CosExtended(theta);
    return 6.0L * (1.0L / (1.0L + s * s + (c + 2.0L) * (c + 2.0L)) + oscmath::CosExtended(s * c) - 1.03L);
  }
};

// ---------------------------------------------------------------------------------
// Noise sources (all draw from the one shared generator)
// ---------------------------------------------------------------------------------

// "Noise": 2r - 1.
class TNoiseOsc1 final : public TDSPAnalyticOscillator<TNoiseOsc1> {
 public:
  static constexpr int kIndex = 28;
  long double TickValue(float&, float) const { return 2.0L * oscmath::Draw() - 1.0L; }
};

// "Gaussian": the mean of eight draws, mapped to [-1, 1): (s / 8) x 2 - 1.
class TGaussianNoiseOsc final : public TDSPAnalyticOscillator<TGaussianNoiseOsc> {
 public:
  void FillPeriod(float* out) override;
  static constexpr int kIndex = 29;
  long double TickValue(float&, float) const {
    long double s = 0.0L;
    for (int k = 0; k < 8; ++k) s += oscmath::Draw();
    return (s / 8.0L) * 2.0L - 1.0L;
  }
};

// "PNoise1": a random level held for a part of the cycle; a new level (2r - 1) starts
// whenever f crosses the shape point and at every cycle start.
class TNoiseOsc2 final : public TDSPAnalyticOscillator<TNoiseOsc2> {
 public:
  static constexpr int kIndex = 31;
  long double TickValue(float& phase, float shape) {
    const int8_t sign = FractionalPart(phase) > shape ? 1 : -1;
    if (sign != sign_) {
      held_ = static_cast<float>(2.0L * oscmath::Draw() - 1.0L);
      sign_ = sign;
    }
    return held_;
  }
  float Held() const { return held_; }

 private:
  int8_t sign_ = 0;  // the half of the cycle of the last sample, +1 or -1
  float held_ = 0.0f;
};

// "Noise4": a sine whose phase is jittered by (2r1 - 1) x ((r2 - 0.5) x 0.2) every sample
// (the jitter stays in the phase).
class TNoiseOsc4 final : public TDSPAnalyticOscillator<TNoiseOsc4> {
 public:
  void FillPeriod(float* out) override;
  // The jittered phase of a tick from its two draws, as the tick rounds it.
  static float JitteredPhase(float phase, double r1, double r2);
  static constexpr int kIndex = 43;
  long double TickValue(float& phase, float) const {
    const long double r1 = oscmath::Draw();
    const long double r2 = oscmath::Draw();
    phase = static_cast<float>(phase + (2.0L * r1 - 1.0L) * ((r2 - 0.5L) * 0.2L));
    return oscmath::SinExtended(oscmath::kTwoPi * phase);
  }
};

// "Noise5": r x (1 + (1 - |r|)), a one-sided noise in [0, 1) bent upward.
class TNoiseOsc5 final : public TDSPAnalyticOscillator<TNoiseOsc5> {
 public:
  static constexpr int kIndex = 44;
  long double TickValue(float&, float) const {
    const long double r = oscmath::Draw();
    return r * (1.0L + (1.0L - std::fabs(r)));
  }
};

// ---------------------------------------------------------------------------------
// Recursive sine pair
// ---------------------------------------------------------------------------------

// A sine/cosine pair turned by k = 2 sin(π x increment) every sample:
// u := u - k v; v := v + k u (with the new u). Starts at (u, v) = (0.5, 0), so the
// amplitude stays near 0.5.
class TSineCosineOsc : public TDSPBaseOscillator {
 public:
  void SetPitch(float semitones) override;
  void SetFrequency(float hz) override;
  void ResetPhase() override;
  float K() const { return k_; }
  float U() const { return u_; }
  float V() const { return v_; }

 protected:
  void Step() {
    u_ = static_cast<float>(u_ - static_cast<long double>(k_) * v_);
    v_ = static_cast<float>(v_ + static_cast<long double>(k_) * u_);
  }
  void UpdateCoefficient();
  // n steps of the pair for a period fill, u and v of each step into us and vs; the
  // ordinary phase advances n times as well.
  void Turn(float* us, float* vs, int32_t n);

  float k_ = 0.0f;
  float u_ = 0.5f;
  float v_ = 0.0f;
};

// "Sine3": outputs u; the period fill is g² x u.
class TSineOsc3 final : public TSineCosineOsc {
 public:
  static constexpr int kIndex = 46;
  TSineOsc3() { UseMemberPhaseRange(kIndex); }
  void Tick() override;
  void FillPeriod(float* out) override;
};

// "Cosine2": outputs v.
class TCosineOsc2 final : public TSineCosineOsc {
 public:
  static constexpr int kIndex = 47;
  TCosineOsc2() { UseMemberPhaseRange(kIndex); }
  void Tick() override;
  void FillPeriod(float* out) override;
};

// ---------------------------------------------------------------------------------
// Band-limited saw
// ---------------------------------------------------------------------------------

// A band-limited impulse train (a closed-form sum of cosines with roll-off a, the DSF)
// fed through a leaky integrator. Stores three times the requested gain; its amplitude
// input defaults to 3.0 and every block-mode output is scaled by a further 3.
class TDSPBlitOscillator : public TDSPBaseOscillator {
 public:
  TDSPBlitOscillator();
  void SetGain(float gain) override;
  float DsfPhase() const { return dsfPhase_; }
  float StoredIncrement() const { return storedIncrement_; }
  float PeriodSamples() const { return period_; }

 protected:
  float BlockOutputScale() const override { return 3.0f; }
  // Leaky trapezoid integrator: y := (s + x1) c0 - y1 c1.
  float Integrate(long double s) {
    const float y = static_cast<float>((s + x1_) * c0_ - static_cast<long double>(y1_) * c1_);
    x1_ = static_cast<float>(s);
    y1_ = y;
    return y;
  }

  float dsfPhase_ = 0.0f;         // cycles
  float rolloff_ = 0.5f;          // a
  float storedIncrement_ = 0.0f;  // the increment of the cycle being played
  float period_ = 0.0f;           // P, samples per cycle
  float x1_ = 0.0f, y1_ = 0.0f, c1_ = 0.0f, c0_ = 0.0f;
};

// "Saw AA": the integrated band-limited impulse train. Pitch changes take effect at the
// start of the next cycle.
class TBlitSawOsc final : public TDSPBlitOscillator {
 public:
  static constexpr int kIndex = 38;
  TBlitSawOsc() { UseMemberPhaseRange(kIndex); }
  void Tick() override { Out = Step(); }
  void FillPeriod(float* out) override;
  float Harmonics() const { return harmonics_; }

 private:
  float Step();
  void StartCycle();

  float harmonics_ = 0.0f;       // M
  float b_ = 0.0f;               // a^(2 / P)
  float bPowM_ = 0.0f;           // b^M
  float cycleIncrement_ = 0.0f;  // the increment P, M, b and b^M were computed for
};

// ---------------------------------------------------------------------------------
// Wave tables
// ---------------------------------------------------------------------------------

// A table waveform whose length, shape, smoothing and scale are the member-table row of
// waveform number Index.
template <int Index>
class TDSPWaveTable : public TDSPTableOscillator {
 public:
  static constexpr int kIndex = Index;
  TDSPWaveTable() { SetTableLength(FixedTableLength()); }

 protected:
  int16_t FixedTableLength() const override { return WaveformMember(Index).table.length; }
  void BuildTable() override { table_ = waves::SharedWaveTable(Index); }
};

class TImpulse20Osc final : public TDSPWaveTable<33> {};      // "Impulse2"
class TImpulse10Osc final : public TDSPWaveTable<34> {};      // "Impulse"
class THalfSinOsc final : public TDSPWaveTable<35> {};        // "HalfSin"
class TSineOsc2 final : public TDSPWaveTable<36> {};          // "Sine2"
class THalfWaveOsc final : public TDSPWaveTable<37> {};       // "1/2 Wave"
class TMixOsc1 final : public TDSPWaveTable<39> {};           // "Mix"
class TMixOsc2 final : public TDSPWaveTable<40> {};           // "Mix2"
class TSin3OctOsc final : public TDSPWaveTable<41> {};        // "Mix3"
class TNoiseOsc3 final : public TDSPWaveTable<42> {};         // "PNoise2" (512 entries)
class THarmSaw1Osc final : public TDSPWaveTable<49> {};       // "HarmSaw1"
class THarmSaw2Osc final : public TDSPWaveTable<50> {};       // "HarmSaw2"
class THarmSaw3Osc final : public TDSPWaveTable<51> {};       // "HarmSaw3"
class THarmSaw4Osc final : public TDSPWaveTable<52> {};       // "HarmSaw4"
class THarmTri1Osc final : public TDSPWaveTable<53> {};       // "HarmTri1"
class THarmTri2Osc final : public TDSPWaveTable<54> {};       // "HarmTri2"
class THarmTri3Osc final : public TDSPWaveTable<55> {};       // "HarmTri3"
class THarmTri4Osc final : public TDSPWaveTable<56> {};       // "HarmTri4"
class THarmTri5Osc final : public TDSPWaveTable<57> {};       // "HarmTri5"
class THarmTri6Osc final : public TDSPWaveTable<58> {};       // "HarmTri6"
class TCurveSaw1Osc final : public TDSPWaveTable<59> {};      // "Curved1"
class TCurveSaw2Osc final : public TDSPWaveTable<60> {};      // "Curved2"
class TCurveSaw3Osc final : public TDSPWaveTable<61> {};      // "Curved3"
class TCurveSaw4Osc final : public TDSPWaveTable<62> {};      // "Curved4"
class TCurveSaw5Osc final : public TDSPWaveTable<63> {};      // "Curved5"
class TWavyOsc final : public TDSPWaveTable<64> {};           // "GlisHarm"
class TBassSaw1Osc final : public TDSPWaveTable<65> {};       // "Bass1"
class TBassSaw2Osc final : public TDSPWaveTable<66> {};       // "Bass2"
class TBassSaw3Osc final : public TDSPWaveTable<67> {};       // "Bass3"
class TBassSaw4Osc final : public TDSPWaveTable<68> {};       // "Bass4"
class TBassSaw5Osc final : public TDSPWaveTable<69> {};       // "Bass5"
class TBassSaw6Osc final : public TDSPWaveTable<70> {};       // "Bass6"
class TBassSaw7Osc final : public TDSPWaveTable<71> {};       // "Bass7"
class TBassSaw8Osc final : public TDSPWaveTable<72> {};       // "Bass8"
class TSmoothSquare1Osc final : public TDSPWaveTable<73> {};  // "SmoothSqr1"
class TSmoothSquare2Osc final : public TDSPWaveTable<74> {};  // "SmoothSqr2"
class TSmoothSquare3Osc final : public TDSPWaveTable<75> {};  // "SmoothSqr3"
class TSmoothSquare4Osc final : public TDSPWaveTable<76> {};  // "SmoothSqr4"
class TSmoothSquare5Osc final : public TDSPWaveTable<77> {};  // "SmoothSqr5"
class TSmoothSquare6Osc final : public TDSPWaveTable<78> {};  // "SmoothSqr6"
class TSmoothSquare7Osc final : public TDSPWaveTable<79> {};  // "SmoothSqr7"
class TSmoothSquare8Osc final : public TDSPWaveTable<80> {};  // "SmoothSqr8"
class TSawOrgan1Osc final : public TDSPWaveTable<81> {};      // "SawOrgan1"
class TSawOrgan2Osc final : public TDSPWaveTable<82> {};      // "SawOrgan2"
class TSawOrgan3Osc final : public TDSPWaveTable<83> {};      // "SawOrgan3"
class TSawOrgan4Osc final : public TDSPWaveTable<84> {};      // "SawOrgan4"
class TSmoothNoise1Osc final : public TDSPWaveTable<85> {};   // "SmRND1"
class TSmoothNoise2Osc final : public TDSPWaveTable<86> {};   // "SmRND2"
class TSmoothNoise3Osc final : public TDSPWaveTable<87> {};   // "SmRND3"
class TSmoothNoise4Osc final : public TDSPWaveTable<88> {};   // "SmRND4"
class TSmoothNoise5Osc final : public TDSPWaveTable<89> {};   // "SmRND5"
class TSmoothNoise6Osc final : public TDSPWaveTable<90> {};   // "SmRND6"
class TSmoothNoise7Osc final : public TDSPWaveTable<91> {};   // "SmRND7"
class TSmoothNoise8Osc final : public TDSPWaveTable<92> {};   // "SmRND8"

}  // namespace tesmora6
