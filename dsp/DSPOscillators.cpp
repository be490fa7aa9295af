#include "dsp/DSPOscillators.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cmath>

namespace tesmora6 {

// ---- sine and cosine of runs of turns ----

namespace {

constexpr double kTwoPiTurn = 6.283185307179586476925286766559;
// Taylor coefficients of sin a (a^3 ... a^17) and cos a (a^2 ... a^16).
constexpr double kS3 = -1.0 / 6, kS5 = 1.0 / 120, kS7 = -1.0 / 5040, kS9 = 1.0 / 362880, kS11 = -1.0 / 39916800,
                 kS13 = 1.0 / 6227020800, kS15 = -1.0 / 1307674368000, kS17 = 1.0 / 355687428096000;
constexpr double kC2 = -0.5, kC4 = 1.0 / 24, kC6 = -1.0 / 720, kC8 = 1.0 / 40320, kC10 = -1.0 / 3628800,
                 kC12 = 1.0 / 479001600, kC14 = -1.0 / 87178291200, kC16 = 1.0 / 20922789888000;

// One lane: the quarter turn q, the series of the remainder, then the quadrant's choice
// and sign (sine: s, c, -s, -c by quadrant; cosine: c, -s, -c, s). The AVX lanes below
// repeat exactly these operations.
// π/2 in three parts for the reduction of radians: the first two carry 33 bits, so q times
// either is exact for every |q| below 2^20.
constexpr double kHalfPi1 = 0x1.921fb544p0, kHalfPi2 = 0x1.0b4611a6p-34, kHalfPi3 = 0x1.3198a2e037073p-69,
                 kTwoOverPi = 0x1.45f306dc9c883p-1;

template <bool Radians>
void TurnLane(double x, double* sine, double* cosine) {
  double q, a;
  if (Radians) {
    q = std::nearbyint(x * kTwoOverPi);
    a = ((x - q * kHalfPi1) - q * kHalfPi2) - q * kHalfPi3;
  } else {
    q = std::nearbyint(x * 4.0);
    a = (x - q * 0.25) * kTwoPiTurn;  // the difference is exact
  }
  const double z = a * a;
  const double s =
      a + (a * z) * (kS3 + z * (kS5 + z * (kS7 + z * (kS9 + z * (kS11 + z * (kS13 + z * (kS15 + z * kS17)))))));
  const double c =
      1.0 + z * (kC2 + z * (kC4 + z * (kC6 + z * (kC8 + z * (kC10 + z * (kC12 + z * (kC14 + z * kC16)))))));
  const double quadrant = q - 4.0 * std::floor(q * 0.25);  // 0 … 3, exact
  const bool odd = quadrant == 1.0 || quadrant == 3.0;
  if (sine) {
    const double v = odd ? c : s;
    *sine = quadrant >= 2.0 ? -v : v;
  }
  if (cosine) {
    const double v = odd ? s : c;
    *cosine = (quadrant == 1.0 || quadrant == 2.0) ? -v : v;
  }
}

#define T6_STEP(acc, k) add(set(k), mul(z, acc))
// The lanes of one register of type V: the same text for AVX (4 lanes) and AVX-512 (8).
#define T6_TURNS_BODY                                                                                             \
  const auto q = Radians ? round(mul(xv, set(kTwoOverPi))) : round(mul(xv, set(4.0)));                            \
  const auto a = Radians ? sub(sub(sub(xv, mul(q, set(kHalfPi1))), mul(q, set(kHalfPi2))), mul(q, set(kHalfPi3))) \
                         : mul(sub(xv, mul(q, set(0.25))), set(kTwoPiTurn));                                      \
  const auto z = mul(a, a);                                                                                       \
  auto ps = T6_STEP(set(kS17), kS15);                                                                             \
  ps = T6_STEP(ps, kS13);                                                                                         \
  ps = T6_STEP(ps, kS11);                                                                                         \
  ps = T6_STEP(ps, kS9);                                                                                          \
  ps = T6_STEP(ps, kS7);                                                                                          \
  ps = T6_STEP(ps, kS5);                                                                                          \
  ps = T6_STEP(ps, kS3);                                                                                          \
  const auto s = add(a, mul(mul(a, z), ps));                                                                      \
  auto pc = T6_STEP(set(kC16), kC14);                                                                             \
  pc = T6_STEP(pc, kC12);                                                                                         \
  pc = T6_STEP(pc, kC10);                                                                                         \
  pc = T6_STEP(pc, kC8);                                                                                          \
  pc = T6_STEP(pc, kC6);                                                                                          \
  pc = T6_STEP(pc, kC4);                                                                                          \
  pc = T6_STEP(pc, kC2);                                                                                          \
  const auto c = add(set(1.0), mul(z, pc));                                                                       \
  const auto quadrant = sub(q, mul(set(4.0), floor(mul(q, set(0.25)))));                                          \
  const auto is1 = equal(quadrant, set(1.0));                                                                     \
  const auto is2 = equal(quadrant, set(2.0));                                                                     \
  const auto is3 = equal(quadrant, set(3.0));                                                                     \
  if (sine) store(sine + k, negateWhere(choose(s, c, is1 | is3), is2 | is3));                                     \
  if (cosine) store(cosine + k, negateWhere(choose(c, s, is1 | is3), is1 | is2));

template <bool Radians>
[[gnu::target("avx2")]] void TurnsAvx2(const double* x, double* sine, double* cosine, int32_t n) {
  using V = __m256d;
  int32_t k = 0;
  for (; k + 4 <= n; k += 4) {
#define add(a, b) _mm256_add_pd(a, b)
#define sub(a, b) _mm256_sub_pd(a, b)
#define mul(a, b) _mm256_mul_pd(a, b)
#define set(v) _mm256_set1_pd(v)
#define round(v) _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC)
#define floor(v) _mm256_floor_pd(v)
#define equal(a, b) _mm256_castpd_si256(_mm256_cmp_pd(a, b, _CMP_EQ_OQ))
#define choose(a, b, m) _mm256_blendv_pd(a, b, _mm256_castsi256_pd(m))
#define negateWhere(v, m) _mm256_xor_pd(v, _mm256_and_pd(_mm256_castsi256_pd(m), _mm256_set1_pd(-0.0)))
#define store(p, v) _mm256_storeu_pd(p, v)
    const V xv = _mm256_loadu_pd(x + k);
    T6_TURNS_BODY
#undef add
#undef sub
#undef mul
#undef set
#undef round
#undef floor
#undef equal
#undef choose
#undef negateWhere
#undef store
  }
  for (; k < n; ++k) {
    TurnLane<Radians>(x[k], sine ? sine + k : nullptr, cosine ? cosine + k : nullptr);
  }
}

template <bool Radians>
[[gnu::target("avx512f")]] void TurnsAvx512(const double* x, double* sine, double* cosine, int32_t n) {
  using V = __m512d;
  int32_t k = 0;
  for (; k + 8 <= n; k += 8) {
#define add(a, b) _mm512_add_pd(a, b)
#define sub(a, b) _mm512_sub_pd(a, b)
#define mul(a, b) _mm512_mul_pd(a, b)
#define set(v) _mm512_set1_pd(v)
#define round(v) _mm512_maskz_roundscale_pd(0xff, v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC)
#define floor(v) _mm512_maskz_roundscale_pd(0xff, v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)
#define equal(a, b) _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ)
#define choose(a, b, m) _mm512_mask_blend_pd(static_cast<__mmask8>(m), a, b)
#define negateWhere(v, m)                                                                                             \
  _mm512_castsi512_pd(_mm512_mask_xor_epi64(_mm512_castpd_si512(v), static_cast<__mmask8>(m), _mm512_castpd_si512(v), \
                                            _mm512_set1_epi64(INT64_MIN)))
#define store(p, v) _mm512_storeu_pd(p, v)
    const V xv = _mm512_loadu_pd(x + k);
    T6_TURNS_BODY
#undef add
#undef sub
#undef mul
#undef set
#undef round
#undef floor
#undef equal
#undef choose
#undef negateWhere
#undef store
  }
  if (k < n) TurnsAvx2<Radians>(x + k, sine ? sine + k : nullptr, cosine ? cosine + k : nullptr, n - k);
}

#undef T6_TURNS_BODY
#undef T6_STEP

enum class TWidth { kLane, kAvx2, kAvx512 };
TWidth Width() {
  static const TWidth width = __builtin_cpu_supports("avx512f") ? TWidth::kAvx512
                              : __builtin_cpu_supports("avx2")  ? TWidth::kAvx2
                                                                : TWidth::kLane;
  return width;
}

}  // namespace

namespace oscmath {

double CosTurn(double x) {
  double c;
  TurnLane<false>(x, nullptr, &c);
  return c;
}
double SinTurn(double x) {
  double s;
  TurnLane<false>(x, &s, nullptr);
  return s;
}

namespace {
template <bool Radians>
void SinCosRun(const double* x, double* sine, double* cosine, int32_t n, int width) {
  const TWidth w = width < 0 ? Width() : std::min(Width(), static_cast<TWidth>(width));
  switch (w) {
    case TWidth::kAvx512:
      return TurnsAvx512<Radians>(x, sine, cosine, n);
    case TWidth::kAvx2:
      return TurnsAvx2<Radians>(x, sine, cosine, n);
    default:
      for (int32_t k = 0; k < n; ++k) {
        TurnLane<Radians>(x[k], sine ? sine + k : nullptr, cosine ? cosine + k : nullptr);
      }
  }
}
}  // namespace

void SinCosTurns(const double* x, double* sine, double* cosine, int32_t n, int width) {
  SinCosRun<false>(x, sine, cosine, n, width);
}

void SinCosRadians(const double* x, double* sine, double* cosine, int32_t n, int width) {
  // Beyond 2^20 the reduction no longer holds (a phase set far outside its waveform's
  // range, until its first wrap): the library's functions take those arguments, one lane
  // at a time.
  bool far = false;
  for (int32_t k = 0; k < n; ++k) far |= !(std::fabs(x[k]) < 0x1p20);
  if (!far) [[likely]]
    return SinCosRun<true>(x, sine, cosine, n, width);
  for (int32_t k = 0; k < n; ++k) {
    const double xk = x[k];
    if (std::fabs(xk) < 0x1p20) {
      TurnLane<true>(xk, sine ? sine + k : nullptr, cosine ? cosine + k : nullptr);
    } else {
      if (sine) sine[k] = std::sin(xk);
      if (cosine) cosine[k] = std::cos(xk);
    }
  }
}

}  // namespace oscmath

// ---- formula waveforms in several runs of sines and cosines ----

namespace {

constexpr int32_t kFormulaRun = 64;

// The phases of a run of samples, each then advanced by the increment with the wrap rule.
struct TPhaseRun {
  float phase[kFormulaRun];
  alignas(64) double value[kFormulaRun];  // the same phases in double
};

// Round to nearest, ties to even, for |r| below 2^51 (the tangents here stay within 2):
// adding and taking away 1.5 x 2^52 leaves no fraction, without the library call.
double RoundNearest(double r) {
  constexpr double kShift = 0x1.8p52;
  return (r + kShift) - kShift;
}
// ⌊r⌋ for the same r.
double FloorNearest(double r) {
  const double rounded = RoundNearest(r);
  return rounded > r ? rounded - 1.0 : rounded;
}

// The split value of the tangent waveforms in double (oscmath::SplitFromRound).
double SplitFromRound(float phase, double r) {
  const double rounded = RoundNearest(r);
  const double d = phase - rounded;
  return phase < rounded ? d + 1.0 : d;
}

}  // namespace

// The phases of the run of n samples from phase_, which advances past them.
#define T6_PHASE_RUN(run, n)               \
  for (int32_t i = 0; i < (n); ++i) {      \
    (run).phase[i] = phase_;               \
    (run).value[i] = phase_;               \
    phase_ = Wrapped(phase_ + increment_); \
  }

void TSinCosTanOsc1::FillPeriod(float* out) {
  TPhaseRun run;
  alignas(64) double a[kFormulaRun], b[kFormulaRun], c[kFormulaRun], d[kFormulaRun];
  const int32_t m = context_->samplesPerMs;
  const double gain = gain_;
  const float shape = shape_;
  for (int32_t start = 0; start < m; start += kFormulaRun) {
    const int32_t n = std::min(kFormulaRun, m - start);
    T6_PHASE_RUN(run, n)
    oscmath::SinCosRadians(run.value, a, nullptr, n);  // sin φ
    oscmath::SinCosRadians(a, b, c, n);                // tan(sin φ) = b / c
    for (int32_t i = 0; i < n; ++i) {
      a[i] = 0.05488615 * run.value[i];
      d[i] = 0.5 * run.value[i];  // πφ in turns
    }
    oscmath::SinCosRadians(a, a, nullptr, n);
    oscmath::SinCosTurns(d, nullptr, d, n);
    for (int32_t i = 0; i < n; ++i) {
      const double r = b[i] / c[i];
      // The fill splits on the fraction of the tangent.
      const double split = r - FloorNearest(r);
      out[start + i] = static_cast<float>(gain * (split > shape ? 0.5 * a[i] : 0.5 * d[i]));
    }
  }
}

void TSinCosTanOsc2::FillPeriod(float* out) {
  TPhaseRun run;
  alignas(64) double a[kFormulaRun], b[kFormulaRun], c[kFormulaRun], d[kFormulaRun];
  const int32_t m = context_->samplesPerMs;
  const double gain = gain_;
  const float shape = shape_;
  for (int32_t start = 0; start < m; start += kFormulaRun) {
    const int32_t n = std::min(kFormulaRun, m - start);
    T6_PHASE_RUN(run, n)
    oscmath::SinCosRadians(run.value, a, nullptr, n);
    oscmath::SinCosRadians(a, b, c, n);
    for (int32_t i = 0; i < n; ++i) {
      a[i] = 0.05488615 * run.value[i];
      d[i] = 0.5 * run.value[i];
    }
    oscmath::SinCosRadians(a, a, nullptr, n);
    oscmath::SinCosTurns(d, nullptr, d, n);
    for (int32_t i = 0; i < n; ++i) {
      const double split = tesmora6::SplitFromRound(run.phase[i], b[i] / c[i]);
      out[start + i] = static_cast<float>(gain * (split > shape ? a[i] : d[i]));
    }
  }
}

void TSqrtTanOsc::FillPeriod(float* out) {
  TPhaseRun run;
  alignas(64) double a[kFormulaRun], b[kFormulaRun], c[kFormulaRun], d[kFormulaRun];
  const int32_t m = context_->samplesPerMs;
  const double gain = gain_;
  const float shape = shape_;
  for (int32_t start = 0; start < m; start += kFormulaRun) {
    const int32_t n = std::min(kFormulaRun, m - start);
    T6_PHASE_RUN(run, n)
    oscmath::SinCosRadians(run.value, a, b, n);  // tan φ = a / b
    for (int32_t i = 0; i < n; ++i) d[i] = 0.5 * run.value[i];
    oscmath::SinCosTurns(d, c, d, n);  // tan πφ = c / d
    for (int32_t i = 0; i < n; ++i) {
      const double split = tesmora6::SplitFromRound(run.phase[i], a[i] / b[i]);
      const double bracket = split > shape ? std::sqrt(3.14159265358979323846 * run.value[i]) : c[i] / d[i];
      out[start + i] = static_cast<float>(std::clamp(0.0625 * gain * bracket, -3.0, 3.0));
    }
  }
}

void TRoseCurveOsc::FillPeriod(float* out) {
  TPhaseRun run;
  alignas(64) double a[kFormulaRun], s[kFormulaRun], c[kFormulaRun];
  const int32_t m = context_->samplesPerMs;
  const double gain = gain_;
  for (int32_t start = 0; start < m; start += kFormulaRun) {
    const int32_t n = std::min(kFormulaRun, m - start);
    T6_PHASE_RUN(run, n)
    for (int32_t i = 0; i < n; ++i) a[i] = 5.0 * run.value[i];  // exact
    oscmath::SinCosRadians(a, a, nullptr, n);                   // θ = sin 5φ
    oscmath::SinCosRadians(a, s, c, n);
    for (int32_t i = 0; i < n; ++i) a[i] = s[i] * c[i];
    oscmath::SinCosRadians(a, nullptr, a, n);
    for (int32_t i = 0; i < n; ++i) {
      const double v = 6.0 * (1.0 / (1.0 + s[i] * s[i] + (c[i] + 2.0) * (c[i] + 2.0)) + a[i] - 1.03);
      out[start + i] = static_cast<float>(gain * v);
    }
  }
}

// φ + (2 r1 - 1)(r2 - 0.5) 0.2 as the tick rounds it: evaluated in extended precision and
// stored as a float. The draws are exact in double, and the double evaluation differs from
// the extended one by less than 2^-50 (|φ| + 0.1): four roundings of 2^-53 each, and the
// constant 0.2 rounded to 53 instead of 64 bits. Where both ends of that interval round to
// the same float, so does the extended value; only a sum that close to the middle between
// two floats (about one in 2^20) takes the extended evaluation, which is several times
// dearer and sits on the chain of phases that one sample waits for.
float TNoiseOsc4::JitteredPhase(float phase, double r1, double r2) {
  const double sum = static_cast<double>(phase) + (2.0 * r1 - 1.0) * ((r2 - 0.5) * 0.2);
  const double bound = 0x1p-50 * (std::fabs(sum) + 0.1);
  const float low = static_cast<float>(sum - bound), high = static_cast<float>(sum + bound);
  if (low == high) return low;
  const long double l1 = r1, l2 = r2;
  return static_cast<float>(phase + (2.0L * l1 - 1.0L) * ((l2 - 0.5L) * 0.2L));
}

void TNoiseOsc4::FillPeriod(float* out) {
  TPhaseRun run;
  alignas(64) double s[kFormulaRun];
  const int32_t m = context_->samplesPerMs;
  const double gain = gain_;
  for (int32_t start = 0; start < m; start += kFormulaRun) {
    const int32_t n = std::min(kFormulaRun, m - start);
    // The shared generator's seed in a register for the run (its draws, one after the
    // other, go through memory).
    TDSPRandom& generator = DSPRandom();
    uint32_t seed = generator.Seed();
    for (int32_t i = 0; i < n; ++i) {
      // The jitter stays in the phase, so the phase must be the float the tick computes.
      seed = seed * 134775813u + 1u;
      const double r1 = static_cast<double>(seed) / 4294967296.0;
      seed = seed * 134775813u + 1u;
      const double r2 = static_cast<double>(seed) / 4294967296.0;
      phase_ = JitteredPhase(phase_, r1, r2);
      run.value[i] = phase_;
      phase_ = Wrapped(phase_ + increment_);
    }
    generator.SetSeed(seed);
    oscmath::SinCosTurns(run.value, s, nullptr, n);
    for (int32_t i = 0; i < n; ++i) out[start + i] = static_cast<float>(gain * s[i]);
  }
}

#undef T6_PHASE_RUN

// The generator's steps seed := 134775813 seed + 1 (mod 2^32) j at a time: seed_j =
// A_j seed + C_j, so the eight draws of one sample need only the first seed, and only
// the step from sample to sample waits for the one before.
struct TGeneratorSteps {
  uint32_t a[9], c[9];
  constexpr TGeneratorSteps() : a{}, c{} {
    a[0] = 1u;
    c[0] = 0u;
    for (int j = 1; j <= 8; ++j) {
      a[j] = a[j - 1] * 134775813u;
      c[j] = c[j - 1] * 134775813u + 1u;
    }
  }
};

void TGaussianNoiseOsc::FillPeriod(float* out) {
  // The same draws as the tick's, from a copy of the shared seed: every draw is a 32-bit
  // integer over 2^32, and the sum of eight of them is exact in double as in extended
  // precision, so the values are the tick's to the bit.
  static constexpr TGeneratorSteps kSteps;
  TDSPRandom& generator = DSPRandom();
  uint32_t seed = generator.Seed();
  const double gain = gain_;
  const int32_t m = context_->samplesPerMs;
  for (int32_t i = 0; i < m; ++i) {
    double sum = 0.0;
    for (int j = 1; j <= 8; ++j) {
      sum += static_cast<double>(kSteps.a[j] * seed + kSteps.c[j]) / 4294967296.0;
    }
    seed = kSteps.a[8] * seed + kSteps.c[8];
    out[i] = static_cast<float>(gain * ((sum / 8.0) * 2.0 - 1.0));
    phase_ = Wrapped(phase_ + increment_);
  }
  generator.SetSeed(seed);
}

// ---- recursive sine pair ----

void TSineCosineOsc::UpdateCoefficient() {
  // k = 2 sin(π x increment) turns the pair by one increment of phase per sample.
  k_ = static_cast<float>(2.0L * std::sin(oscmath::kPi * increment_));
}

void TSineCosineOsc::SetPitch(float semitones) {
  TDSPBaseOscillator::SetPitch(semitones);
  UpdateCoefficient();
}

void TSineCosineOsc::SetFrequency(float hz) {
  if (hz == frequency_) return;
  TDSPBaseOscillator::SetFrequency(hz);
  // The pair turns at the rate of k alone, so a new frequency needs a new k too.
  UpdateCoefficient();
}

void TSineCosineOsc::ResetPhase() {
  u_ = 0.5f;
  v_ = 0.0f;
}

void TSineOsc3::Tick() {
  Step();
  Out = u_;
}

namespace {

// The pair's turns, one after the other: each new value is the exact u - k v (or v + k u)
// rounded once to a float. Step rounds the exact value to extended precision first and
// then to a float, which gives another float only where the extended rounding lands
// exactly on the midpoint between two floats. A fused multiply-add rounds once, and takes
// half the time of a product and a sum in a chain where every step waits for the one
// before; without one, double arithmetic (exact product, a sum rounded to 53 bits).
[[gnu::target("fma")]] void TurnPairFused(float k, float& u, float& v, float* us, float* vs, int32_t n) {
  const __m128 kk = _mm_set_ss(k);
  __m128 uu = _mm_set_ss(u), vv = _mm_set_ss(v);
  for (int32_t i = 0; i < n; ++i) {
    uu = _mm_fnmadd_ss(kk, vv, uu);
    vv = _mm_fmadd_ss(kk, uu, vv);
    us[i] = _mm_cvtss_f32(uu);
    vs[i] = _mm_cvtss_f32(vv);
  }
  u = _mm_cvtss_f32(uu);
  v = _mm_cvtss_f32(vv);
}

void TurnPairDouble(float k, float& u, float& v, float* us, float* vs, int32_t n) {
  const double kk = k;
  float uu = u, vv = v;
  for (int32_t i = 0; i < n; ++i) {
    uu = static_cast<float>(uu - kk * vv);
    vv = static_cast<float>(vv + kk * uu);
    us[i] = uu;
    vs[i] = vv;
  }
  u = uu;
  v = vv;
}

}  // namespace

void TSineCosineOsc::Turn(float* us, float* vs, int32_t n) {
  static const bool fused = __builtin_cpu_supports("fma");
  if (fused) {
    TurnPairFused(k_, u_, v_, us, vs, n);
  } else {
    TurnPairDouble(k_, u_, v_, us, vs, n);
  }
  // The ordinary phase runs on as well, although the pair does not read it.
  phase_ = AdvancedPhase(phase_, increment_, n, wrapThreshold_, wrapPeriod_);
}

void TSineOsc3::FillPeriod(float* out) {
  constexpr int32_t kRun = 64;
  float us[kRun], vs[kRun];
  // The fill scales with the square of the gain (exact in double).
  const double g2 = static_cast<double>(gain_) * gain_;
  const int32_t m = context_->samplesPerMs;
  for (int32_t start = 0; start < m; start += kRun) {
    const int32_t n = std::min(kRun, m - start);
    Turn(us, vs, n);
    for (int32_t i = 0; i < n; ++i) out[start + i] = static_cast<float>(g2 * us[i]);
  }
}

void TCosineOsc2::Tick() {
  Step();
  Out = v_;
}

void TCosineOsc2::FillPeriod(float* out) {
  constexpr int32_t kRun = 64;
  float us[kRun], vs[kRun];
  const double gain = gain_;
  const int32_t m = context_->samplesPerMs;
  for (int32_t start = 0; start < m; start += kRun) {
    const int32_t n = std::min(kRun, m - start);
    Turn(us, vs, n);
    for (int32_t i = 0; i < n; ++i) out[start + i] = static_cast<float>(gain * vs[i]);
  }
}

// ---- band-limited saw ----

TDSPBlitOscillator::TDSPBlitOscillator() {
  ports_[1] = DSPConstSignals().Buffer(TDSPConstSignals::kThree);
  // The integrator's corner at 0.0001 of the sample rate: t = tan(π x 0.0001).
  const long double t = std::tan(oscmath::kPi * 0.0001L);
  c1_ = static_cast<float>(-(1.0L - t) / (1.0L + t));
  c0_ = 0.5f;
}

void TDSPBlitOscillator::SetGain(float gain) { gain_ = static_cast<float>(3.0L * gain); }

void TBlitSawOsc::StartCycle() {
  if (dsfPhase_ >= 1.0f) dsfPhase_ -= 1.0f;
  storedIncrement_ = increment_;
  // A held pitch starts every cycle with the same increment and the same cycle values.
  if (storedIncrement_ == cycleIncrement_) return;
  cycleIncrement_ = storedIncrement_;
  period_ = static_cast<float>(1.0L / storedIncrement_);
  // M = ⌊P / 2⌋ + 1 harmonics (written as round(P x 0.5 - 0.5) + 1). Rounded in floating
  // point, so that the very long periods of near-zero frequencies do not overflow an
  // integer; P x 0.5 - 0.5 is exact in double.
  harmonics_ = static_cast<float>(std::nearbyint(period_ * 0.5 - 0.5) + 1.0);
  // b = a^(1 / (P x 0.5)): the roll-off per harmonic that reaches a at the last one. The
  // powers in double round to the same floats as in extended precision but for a value
  // within 1e-16 of the midpoint between two floats, and cost a fraction of the extended
  // power, which a pitch that moves (vibrato, glide) pays at every cycle.
  b_ = rolloff_ == 0.0f ? 0.0f : static_cast<float>(std::pow(static_cast<double>(rolloff_), 1.0 / (period_ * 0.5)));
  bPowM_ = b_ == 0.0f ? 0.0f : static_cast<float>(std::pow(static_cast<double>(b_), static_cast<double>(harmonics_)));
}

float TBlitSawOsc::Step() {
  if (dsfPhase_ >= 1.0f || storedIncrement_ == 0.0f) StartCycle();
  const long double theta = oscmath::kTwoPi * dsfPhase_;
  const long double b = b_, bm = bPowM_, p = period_, inc = storedIncrement_;
  const long double c1 = oscmath::CosExtended(theta);
  const long double cm = oscmath::CosExtended(harmonics_ * theta);
  const long double cm1 = oscmath::CosExtended(harmonics_ * theta - theta);
  dsfPhase_ = dsfPhase_ + storedIncrement_;
  // Σ_{k=0}^{M-1} b^k cos(kθ) in closed form, over P, less its mean.
  const long double numerator = 1.0L - bm * cm - (c1 - cm1 * bm) * b;
  const long double denominator = (b * (b - 2.0L * c1) + 1.0L) * p;
  long double s;
  if (denominator != 0.0L) {
    s = numerator / denominator - inc;
  } else {
    // b has rounded to 1 (a period of tens of millions of samples) and θ = 0: the sum is
    // then M terms of 1.
    s = harmonics_ / p - inc;
  }
  return Integrate(s);
}

namespace {

// One cycle's values of the band-limited impulse train.
struct TSawCycle {
  double b, bm, p, increment, harmonics;
};

// The closed form of the band-limited impulse train for samples from … to - 1 of a run of
// n, all in one cycle, from the sines and cosines of θ (first n) and of Mθ (next n), less
// the stored increment; then the integrator's input a_i = (s_i + x1) c0, with x1 the float
// of the sample before (x1 for the first). Answers the float of the last s. Compiled for
// AVX-512 and AVX as well as for the baseline, with the same operations (no fused
// multiply-add), so every processor gets the same doubles.
[[gnu::always_inline]] inline float SawClosedFormBody(const double* sine, const double* cosine, int32_t from,
                                                      int32_t to, int32_t n, const TSawCycle& cycle, float x1,
                                                      double c0, double* s, double* a) {
  const double b = cycle.b, bm = cycle.bm, p = cycle.p;
  // (b rounded to 1 and θ = 0: the sum is M terms of 1.)
  const double flat = cycle.harmonics / p;
  for (int32_t i = from; i < to; ++i) {
    const double c1 = cosine[i], cm = cosine[n + i];
    const double cm1 = cm * c1 + sine[n + i] * sine[i];
    const double numerator = 1.0 - bm * cm - (c1 - cm1 * bm) * b;
    const double denominator = (b * (b - 2.0 * c1) + 1.0) * p;
    const double sum = denominator != 0.0 ? numerator / (denominator != 0.0 ? denominator : 1.0) : flat;
    s[i] = sum - cycle.increment;
  }
  a[from] = (s[from] + x1) * c0;
  for (int32_t i = from + 1; i < to; ++i) a[i] = (s[i] + static_cast<float>(s[i - 1])) * c0;
  return static_cast<float>(s[to - 1]);
}
[[gnu::target("avx512f")]] float SawClosedFormAvx512(const double* sine, const double* cosine, int32_t from, int32_t to,
                                                     int32_t n, const TSawCycle& cycle, float x1, double c0, double* s,
                                                     double* a) {
  return SawClosedFormBody(sine, cosine, from, to, n, cycle, x1, c0, s, a);
}
[[gnu::target("avx2")]] float SawClosedFormAvx2(const double* sine, const double* cosine, int32_t from, int32_t to,
                                                int32_t n, const TSawCycle& cycle, float x1, double c0, double* s,
                                                double* a) {
  return SawClosedFormBody(sine, cosine, from, to, n, cycle, x1, c0, s, a);
}
// The widest form the processor has, chosen at the call: the compiler's target clones would
// choose through an ifunc resolver, which runs while the program is being loaded, before a
// sanitizer's runtime is ready (ThreadSanitizer crashed there).
float SawClosedForm(const double* sine, const double* cosine, int32_t from, int32_t to, int32_t n,
                    const TSawCycle& cycle, float x1, double c0, double* s, double* a) {
  switch (Width()) {
    case TWidth::kAvx512:
      return SawClosedFormAvx512(sine, cosine, from, to, n, cycle, x1, c0, s, a);
    case TWidth::kAvx2:
      return SawClosedFormAvx2(sine, cosine, from, to, n, cycle, x1, c0, s, a);
    default:
      return SawClosedFormBody(sine, cosine, from, to, n, cycle, x1, c0, s, a);
  }
}

// How many of the phases φ, φ + δ, φ + 2δ, … (at most `most`) lie below `top`.
inline int32_t StepsBelow(double phase, double delta, double top, int32_t most) {
  // A first guess from one division (truncated), then put right by whole steps.
  const double guess = (top - phase) / delta;
  int32_t k = guess >= most ? most : (guess > 0.0 ? static_cast<int32_t>(guess) : 0);
  while (k > 0 && phase + (k - 1) * delta >= top) --k;
  while (k < most && phase + k * delta < top) ++k;
  return k;
}

// The step δ that φ + increment takes in φ's binade [2^e, 2^(e+1)): within the binade every
// float is a multiple of one ulp u, so each addition that stays inside it rounds to the
// same δ (the increment rounded to a multiple of u), unless the increment lies exactly
// halfway between two multiples (then the rounding depends on φ's last bit). Answers 0
// where no such step holds (φ not a positive normal, a halfway increment); `top` gets the
// binade's end.
inline float BinadeStep(float phase, float increment, float& top) {
  const float binade = std::bit_cast<float>(std::bit_cast<uint32_t>(phase) & 0x7f800000u);
  top = 2.0f * binade;
  if (!(binade >= 0x1p-100f) || !(increment > 0.0f) || !(binade < 0x1p100f)) return 0.0f;
  const float delta = (phase + increment) - phase;  // exact: both multiples of u
  const float error = increment - delta;            // exact: the rounding of the addition
  return std::fabs(error) == binade * 0x1p-24f ? 0.0f : delta;
}

}  // namespace

// φ after `count` advances φ := φ + increment with the wrap rule: the same float as the
// additions one after the other, found a binade at a time (see BinadeStep).
float TDSPBaseOscillator::AdvancedPhase(float phase, float increment, int32_t count, float threshold, float period) {
  while (count > 0) {
    float top;
    const float delta = BinadeStep(phase, increment, top);
    if (delta > 0.0f) {
      // The phases that stay inside the binade and do not pass the threshold.
      const double limit = std::min<double>(top, std::nextafter(threshold, 1e30f));
      const int32_t k = StepsBelow(phase, delta, limit, count + 1) - 1;
      if (k >= 2) {
        phase = static_cast<float>(phase + static_cast<double>(k) * delta);
        count -= k;
        continue;
      }
    }
    phase = Wrapped(phase + increment, threshold, period);
    --count;
  }
  return phase;
}

void TBlitSawOsc::FillPeriod(float* out) {
  // Step's sequence, a run of samples at a time. First the cycle bookkeeping and the DSF
  // phases: within a binade the phases are φ + kδ exactly (BinadeStep), so those of long
  // cycles are written without waiting for one addition after the other. Then sine and cosine of θ and of Mθ
  // for the whole run (θ = 2π x DSF phase, in turns: M x phase is an exact product of two
  // floats), with cos (M - 1)θ = cos Mθ cos θ + sin Mθ sin θ; then the closed form in double:
  // extended precision moves no stored float there, the sum keeps about 1e-12 of relative
  // accuracy even at the lowest pitches, where the denominator (1 - b)² is smallest.
  //
  // Last the integrator y := (s + x1) c0 - y1 c1. Step rounds y to a float every sample, and
  // that rounding sits in a chain of dependent operations that alone costs more than
  // everything else together. Here it runs in double through the run and rounds only the
  // stored output and, at the run's end, its state: a scan four samples wide, in which
  // each group of four needs only the last output of the group before. The outputs differ
  // from Step's by Step's own roundings, which the integrator (gain 1 / (1 + c1), about
  // 1600) gathers: some float steps of the saw's level, up to about 1e-6 (-120 dBFS) of full
  // scale at the lowest pitches; against the closed form with an unrounded integrator the
  // fill stays within 2e-7.
  constexpr int32_t kRun = 64;
  // The cycle length (samples) from which the phases are written a binade at a time.
  constexpr float kBinadeCycle = 96.0f;
  alignas(64) double turns[2 * kRun];
  alignas(64) double sine[2 * kRun];
  alignas(64) double cosine[2 * kRun];
  alignas(64) double s[kRun];
  alignas(64) double a[kRun];
  int32_t cycleStart[kRun + 1];
  TSawCycle cycles[kRun];
  const int32_t m = context_->samplesPerMs;
  const double c0 = c0_, c = -static_cast<double>(c1_);
  const double c2 = c * c, c3 = c2 * c, c4 = c2 * c2;
  const float gain = gain_;
  // The ordinary phase runs on as well, although the saw does not read it.
  phase_ = AdvancedPhase(phase_, increment_, m, wrapThreshold_, wrapPeriod_);
  for (int32_t start = 0; start < m; start += kRun) {
    const int32_t n = std::min(kRun, m - start);
    int32_t cycleCount = 0;
    float phase = dsfPhase_;
    for (int32_t i = 0; i < n;) {
      if (phase >= 1.0f || storedIncrement_ == 0.0f || i == 0) {
        if (phase >= 1.0f || storedIncrement_ == 0.0f) {
          dsfPhase_ = phase;
          StartCycle();
          phase = dsfPhase_;
        }
        cycleStart[cycleCount] = i;
        cycles[cycleCount++] = {b_, bPowM_, period_, storedIncrement_, harmonics_};
      }
      const float stored = storedIncrement_;
      const double harmonics = harmonics_;
      if (phase >= 1.0f) {
        // A cycle shorter than a sample (an increment above 1): the phase stays at 1 or
        // beyond, and every sample starts a cycle of its own.
        turns[i] = phase;
        turns[n + i] = harmonics * phase;
        phase = phase + stored;
        ++i;
        continue;
      }
      if (period_ < kBinadeCycle) {
        // Short cycles cross a binade every few samples: the additions one after the
        // other cost less than finding each binade's step.
        for (; i < n && phase < 1.0f; ++i) {
          turns[i] = phase;
          turns[n + i] = harmonics * phase;
          phase = phase + stored;
        }
        continue;
      }
      float top;
      const float delta = BinadeStep(phase, stored, top);
      // Phases below the binade's end (at most 1, where the next cycle starts).
      const int32_t k = delta > 0.0f ? std::max(StepsBelow(phase, delta, top, n - i), 1) : 1;
      for (int32_t j = 0; j < k; ++j) {
        const double p = phase + static_cast<double>(j) * delta;
        turns[i + j] = p;
        turns[n + i + j] = harmonics * p;
      }
      phase = static_cast<float>(turns[i + k - 1]) + stored;
      i += k;
    }
    cycleStart[cycleCount] = n;
    dsfPhase_ = phase;
    oscmath::SinCosTurns(turns, sine, cosine, 2 * n);
    float x1 = x1_;
    for (int32_t k = 0; k < cycleCount; ++k) {
      x1 = SawClosedForm(sine, cosine, cycleStart[k], cycleStart[k + 1], n, cycles[k], x1, c0, s, a);
    }
    x1_ = x1;
    // y_i = a_i + c y_(i-1): within a group of four the partial sums of the a alone, then
    // the group's outputs from the last output of the group before.
    double y = y1_;
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
      const double l0 = a[i], l1 = a[i + 1] + c * l0, l2 = a[i + 2] + c * l1, l3 = a[i + 3] + c * l2;
      out[start + i] = static_cast<float>(l0 + c * y) * gain;
      out[start + i + 1] = static_cast<float>(l1 + c2 * y) * gain;
      out[start + i + 2] = static_cast<float>(l2 + c3 * y) * gain;
      y = l3 + c4 * y;
      out[start + i + 3] = static_cast<float>(y) * gain;
    }
    for (; i < n; ++i) {
      y = a[i] + c * y;
      out[start + i] = static_cast<float>(y) * gain;
    }
    y1_ = static_cast<float>(y);
  }
}

}  // namespace tesmora6
