#include "dsp/DSPShaper.h"

#include <immintrin.h>

#include <numbers>

namespace tesmora6 {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

constexpr float kMinAmount = 0.001f;
constexpr float kMaxAmount = 0.999f;

float ClampToAmountRange(float v) {
  if (!(v >= kMinAmount)) return kMinAmount;  // below, and NaN
  if (v > kMaxAmount) return kMaxAmount;
  return v;
}

// 1 / x worked out in extended precision and stored as a float; 0 for x = 0.
float ExtendedReciprocal(float x) { return x == 0.0f ? 0.0f : static_cast<float>(1.0L / x); }

}  // namespace

// ---- the base ----

void TDSPShaper::SetAmount(float amount) {
  using L = Extended;
  amount_ = ClampToAmountRange(amount);
  // d: how far A lies from the middle of its range, 0 at the middle, 1 at either end.
  const L d = amount_ >= 0.5f ? 2.0L * (L{amount_} - 0.5L) : 1.0L - 2.0L * amount_;
  d_ = ClampToAmountRange(static_cast<float>(d));
  inverseD_ = ExtendedReciprocal(d_);
  k_ = static_cast<float>(100.0L / d_);
  e_ = static_cast<float>(L{d_} * 0.25L * 0.01L);
  Recalculate();
}

void TDSPShaper::SetType(float type) {
  requestedType_ = type;
  // Clamped before rounding so that NaN and huge values never reach the integer
  // conversion; for every other value the result is the same as clamping afterwards.
  float t = type;
  if (!(t >= 0.0f)) t = 0.0f;
  if (t > static_cast<float>(kMaxTypeIndex)) t = static_cast<float>(kMaxTypeIndex);
  typeIndex_ = Round(t);
  Recalculate();
}

// ---- period fills written out by hand ----

void TDSPNullShaper::FillPeriod(float* a) {
  const int32_t n = context_->samplesPerMs;
  for (int32_t i = 0; i < n; ++i) a[i] = Finite(a[i]);
}

void TDSPTestShaper::FillPeriod(float* a) {
  const int32_t n = context_->samplesPerMs;
  for (int32_t i = 0; i < n; ++i) a[i] = 0.0f;
}

// ---- class constants ----

void TDSPEdgeCrushShaper::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(0.75L * d_);
}

void TDSPEdgeCrushShaper2::Recalculate() {
  TDSPEdgeCrushShaper::Recalculate();
  g1_ = static_cast<float>(0.4L * d_);
  g2_ = static_cast<float>(0.6L * d_ / 76.0L);
  g3_ = static_cast<float>(0.75L * d_ / 100.0L);
}

void TDSPSquareShaper5::Recalculate() {
  TDSPShaper::Recalculate();
  const int32_t m = context_->samplesPerMs;
  p_ = static_cast<float>(kPi / m + 0.01L);
  l_ = static_cast<float>(2.0L * std::log2(static_cast<Extended>(m) * amount_));
  g_ = ExtendedReciprocal(l_);
  c1_ = static_cast<float>(0.25L * p_);
  c2_ = static_cast<float>(0.1L * l_);
}

void TDSPSquareShaper::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(0.75L * amount_);
}

void TDSPQuantizeShaper::Recalculate() {
  TDSPShaper::Recalculate();
  q_ = ExtendedReciprocal(amount_);
}

void TDSPPeakInvertShaper1::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(-0.2L * d_);
  g_ = static_cast<float>(0.4L * d_);
  h_ = static_cast<float>(0.004L * d_);
}

void TDSPSqrtShaper1::Recalculate() {
  TDSPShaper::Recalculate();
  r_ = static_cast<float>(std::sqrt(static_cast<Extended>(amount_)));
}

void TDSPPeakInvertShaper2::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(2.0L * amount_);
  up_ = static_cast<float>(1.0L + f_);
  down_ = static_cast<float>(1.0L - f_);
}

void TDSPPowerShaper::Recalculate() {
  TDSPShaper::Recalculate();
  f_ = static_cast<float>(3.0L * amount_);
  lnA_ = std::log(static_cast<Extended>(amount_));
}

void TDSPFuzzShaper2::Recalculate() {
  TDSPShaper::Recalculate();
  c_ = static_cast<float>(0.064L - 0.125L * amount_);
  k_ = static_cast<float>(2.0L * c_ / (1.0L - c_));
  k1_ = static_cast<float>(k_ + 1.0L);
  gain_ = static_cast<float>(32.0L * amount_);
}

void TDSPFuzzShaper3::Recalculate() {
  TDSPShaper::Recalculate();
  a_ = 100.0f * amount_;
  k_ = static_cast<float>(2.0L * a_ / (100.0L - a_));
  k1_ = static_cast<float>(1.0L + k_);
}

void TDSPFuzzShaper4::Recalculate() {
  TDSPShaper::Recalculate();
  phi_ = static_cast<float>(kPi * amount_);
  g_ = static_cast<float>(1.0L / std::sin(static_cast<Extended>(phi_)));
  t_ = ExtendedReciprocal(amount_);
}

void TDSPFuzzShaper5::Recalculate() {
  TDSPShaper::Recalculate();
  a_ = static_cast<float>(10.0L * amount_);
  a1_ = static_cast<float>(Extended{a_} - 1.0L);
}

// ---- fuzz 1, a period at a time ----
//
// The formula in double, in the order Step writes it: p1 = (s (2|x| - x^2)) A,
// p2 = x (1 - A), y = p1 + p2. x^2 and 1 - A are exact in double; the three other roundings
// put y within 4 x 2^-53 (|p1| + |p2|) of the exact value, and the extended evaluation lies
// within 4 x 2^-64 (|p1| + |p2|) of it. So when y - e and y + e, with e = 2^-48 (|p1| +
// |p2|), round to the same float, the extended result rounds to it as well. A sample where
// they do not (about one in 2^25, or a sum that nearly cancels beyond |x| = 2), whose float
// would be 0, subnormal or beyond the float range, or that is not a number, is worked out
// by Step itself.

namespace {

// Four samples' floats and which of them are settled (bit k for sample k).
struct TFuzzFour {
  __m128 y;
  int settled;
};

// Whether the floats of y - e and y + e agree and are normal and finite.
inline int SettledLanes(__m128 low, __m128 high) {
  const __m128 size = _mm_and_ps(low, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)));
  return _mm_movemask_ps(_mm_and_ps(_mm_cmpeq_ps(low, high), _mm_and_ps(_mm_cmpge_ps(size, _mm_set1_ps(FLT_MIN)),
                                                                        _mm_cmple_ps(size, _mm_set1_ps(FLT_MAX)))));
}

// Two samples per SSE2 register.
struct TFuzzSse2 {
  double amount, rest;
  TFuzzFour operator()(__m128 x4) const {
    __m128d low0, high0, low1, high1;
    const __m128d y0 = Evaluate(x4, low0, high0);
    const __m128d y1 = Evaluate(_mm_movehl_ps(x4, x4), low1, high1);
    return {_mm_movelh_ps(_mm_cvtpd_ps(y0), _mm_cvtpd_ps(y1)),
            SettledLanes(_mm_movelh_ps(_mm_cvtpd_ps(low0), _mm_cvtpd_ps(low1)),
                         _mm_movelh_ps(_mm_cvtpd_ps(high0), _mm_cvtpd_ps(high1)))};
  }
  // y and its bounds y - e, y + e for the two low samples of `pair`.
  __m128d Evaluate(__m128 pair, __m128d& low, __m128d& high) const {
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffffLL));
    const __m128d x = _mm_cvtps_pd(pair);
    const __m128d m = _mm_and_pd(x, magnitude);
    const __m128d positive = _mm_cmpgt_pd(x, _mm_setzero_pd());
    const __m128d s = _mm_or_pd(_mm_and_pd(positive, _mm_set1_pd(1.0)), _mm_andnot_pd(positive, _mm_set1_pd(-1.0)));
    const __m128d p1 = _mm_mul_pd(_mm_mul_pd(s, _mm_sub_pd(_mm_add_pd(m, m), _mm_mul_pd(m, m))), _mm_set1_pd(amount));
    const __m128d p2 = _mm_mul_pd(x, _mm_set1_pd(rest));
    const __m128d y = _mm_add_pd(p1, p2);
    const __m128d e =
        _mm_mul_pd(_mm_add_pd(_mm_and_pd(p1, magnitude), _mm_and_pd(p2, magnitude)), _mm_set1_pd(0x1p-48));
    low = _mm_sub_pd(y, e);
    high = _mm_add_pd(y, e);
    return y;
  }
};

// Four samples in one AVX register (the same operations; no fused multiply-add).
struct TFuzzAvx2 {
  double amount, rest;
  [[gnu::target("avx2")]] TFuzzFour operator()(__m128 x4) const {
    const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
    const __m256d x = _mm256_cvtps_pd(x4);
    const __m256d m = _mm256_and_pd(x, magnitude);
    const __m256d s =
        _mm256_blendv_pd(_mm256_set1_pd(-1.0), _mm256_set1_pd(1.0), _mm256_cmp_pd(x, _mm256_setzero_pd(), _CMP_GT_OQ));
    const __m256d p1 = _mm256_mul_pd(_mm256_mul_pd(s, _mm256_sub_pd(_mm256_add_pd(m, m), _mm256_mul_pd(m, m))),
                                     _mm256_set1_pd(amount));
    const __m256d p2 = _mm256_mul_pd(x, _mm256_set1_pd(rest));
    const __m256d y = _mm256_add_pd(p1, p2);
    const __m256d e = _mm256_mul_pd(_mm256_add_pd(_mm256_and_pd(p1, magnitude), _mm256_and_pd(p2, magnitude)),
                                    _mm256_set1_pd(0x1p-48));
    return {_mm256_cvtpd_ps(y),
            SettledLanes(_mm256_cvtpd_ps(_mm256_sub_pd(y, e)), _mm256_cvtpd_ps(_mm256_add_pd(y, e)))};
  }
};

template <class Four>
[[gnu::always_inline]] inline void FuzzRun(const TDSPFuzzShaper1& shaper, const Four& four, float* a, int32_t n) {
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const TFuzzFour r = four(_mm_loadu_ps(a + i));
    if (r.settled == 0xf) [[likely]] {
      _mm_storeu_ps(a + i, r.y);
    } else {
      for (int32_t k = i; k < i + 4; ++k) a[k] = TDSPShaper::Finite(shaper.Step(a[k]));
    }
  }
  for (; i < n; ++i) a[i] = TDSPShaper::Finite(shaper.Step(a[i]));
}

void FuzzRunSse2(const TDSPFuzzShaper1& shaper, float* a, int32_t n, double amount) {
  FuzzRun(shaper, TFuzzSse2{amount, 1.0 - amount}, a, n);
}

[[gnu::target("avx2")]] void FuzzRunAvx2(const TDSPFuzzShaper1& shaper, float* a, int32_t n, double amount) {
  FuzzRun(shaper, TFuzzAvx2{amount, 1.0 - amount}, a, n);
}

}  // namespace

void TDSPFuzzShaper1::FillPeriod(float* a) {
  const int32_t n = context_->samplesPerMs;
  ExamineLast(a, n);
  // The processor's widest lanes, chosen once per process.
  static const bool wide = __builtin_cpu_supports("avx2");
  if (wide && wideLanes_) {
    FuzzRunAvx2(*this, a, n, amount_);
  } else {
    FuzzRunSse2(*this, a, n, amount_);
  }
}

}  // namespace tesmora6
