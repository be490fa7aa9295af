// Two filters of one design side by side in the lanes of an SSE register: a stage's left
// and right units run one recursion each in lanes 0 and 1 (lanes 2 and 3 carry zeros).
//
// A design writes its per-sample step once, as a kernel templated on the number type:
// with `float` it is the filter's own scalar step, with `TFilterLanes` the same
// operations run in both lanes at once. Every lane operation is the single-precision
// IEEE operation of the scalar code (add, subtract, multiply, compare), applied in the
// same order, so each lane's samples and state are bit for bit those of the scalar step;
// only the instruction count halves. The kernel lists its fields once (`Fields`), which
// is all the pairing needs to move two scalar kernels into lanes and back.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>

namespace tesmora6 {

class TFilterLanes {
 public:
  TFilterLanes() : v_(_mm_setzero_ps()) {}
  explicit TFilterLanes(__m128 v) : v_(v) {}
  // A constant of the formulas, the same in every lane (implicit, so that `0.3f * s`
  // reads as in the scalar step).
  TFilterLanes(float all) : v_(_mm_set1_ps(all)) {}  // NOLINT(google-explicit-constructor)
  static TFilterLanes Pair(float left, float right) {
    return TFilterLanes(_mm_unpacklo_ps(_mm_set_ss(left), _mm_set_ss(right)));
  }
  float Left() const { return _mm_cvtss_f32(v_); }
  float Right() const { return _mm_cvtss_f32(_mm_shuffle_ps(v_, v_, _MM_SHUFFLE(1, 1, 1, 1))); }
  __m128 V() const { return v_; }
  // All four lanes to p[0] ... p[3].
  void Store(float* p) const { _mm_storeu_ps(p, v_); }

  friend TFilterLanes operator+(TFilterLanes a, TFilterLanes b) { return TFilterLanes(_mm_add_ps(a.v_, b.v_)); }
  friend TFilterLanes operator-(TFilterLanes a, TFilterLanes b) { return TFilterLanes(_mm_sub_ps(a.v_, b.v_)); }
  friend TFilterLanes operator*(TFilterLanes a, TFilterLanes b) { return TFilterLanes(_mm_mul_ps(a.v_, b.v_)); }

 private:
  __m128 v_;
};

// The comparisons the kernels use, written once for a scalar and once for lanes; each
// lane version returns in every lane what the scalar version returns for it, NaN
// included (MINPS and MAXPS return their second operand when the comparison fails).
namespace filter_lanes {

// y below `low` becomes `low`; NaN stays.
inline float RaiseTo(float y, float low) { return y < low ? low : y; }
inline TFilterLanes RaiseTo(TFilterLanes y, TFilterLanes low) {
  return TFilterLanes(_mm_max_ps(low.V(), y.V()));  // low > y ? low : y
}
// y above `high` becomes `high`; NaN stays.
inline float LowerTo(float y, float high) { return y > high ? high : y; }
inline TFilterLanes LowerTo(TFilterLanes y, TFilterLanes high) {
  return TFilterLanes(_mm_min_ps(high.V(), y.V()));  // high < y ? high : y
}
// Zeros and denormals (all exponent bits zero) become +0.
inline float FlushSubnormal(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return (bits & 0x7F800000u) == 0 ? 0.0f : x;
}
inline TFilterLanes FlushSubnormal(TFilterLanes x) {
  const __m128i exponent = _mm_and_si128(_mm_castps_si128(x.V()), _mm_set1_epi32(0x7F800000));
  const __m128 none = _mm_castsi128_ps(_mm_cmpeq_epi32(exponent, _mm_setzero_si128()));
  return TFilterLanes(_mm_andnot_ps(none, x.V()));
}
// y within [-eps, eps] becomes +0.
inline float ZeroWithin(float y, float eps) { return (y >= -eps && y <= eps) ? 0.0f : y; }
inline TFilterLanes ZeroWithin(TFilterLanes y, float eps) {
  const __m128 inside = _mm_and_ps(_mm_cmpge_ps(y.V(), _mm_set1_ps(-eps)), _mm_cmple_ps(y.V(), _mm_set1_ps(eps)));
  return TFilterLanes(_mm_andnot_ps(inside, y.V()));
}

// Joining and splitting are inlined into the period loop, so the lanes kernel stays in
// registers (a call would keep it in memory, and every sample would wait for its
// state to come back from a store).
#define TESMORA6_LANES_INLINE [[gnu::always_inline]] inline

template <class To, class From, std::size_t... I>
TESMORA6_LANES_INLINE void JoinFields(To to, From a, From b, std::index_sequence<I...>) {
  ((std::get<I>(to) = TFilterLanes::Pair(std::get<I>(a), std::get<I>(b))), ...);
}
template <class From, class To, std::size_t... I>
TESMORA6_LANES_INLINE void SplitFields(From from, To a, To b, std::index_sequence<I...>) {
  ((std::get<I>(a) = std::get<I>(from).Left(), std::get<I>(b) = std::get<I>(from).Right()), ...);
}

// The kernel K<TFilterLanes> holding `left` in lane 0 and `right` in lane 1.
template <template <class> class K>
TESMORA6_LANES_INLINE K<TFilterLanes> Join(const K<float>& left, const K<float>& right) {
  K<TFilterLanes> lanes;
  // A design mode is the same on both sides (both are of one class).
  if constexpr (requires { left.mode; }) lanes.mode = left.mode;
  auto to = K<TFilterLanes>::Fields(lanes);
  JoinFields(to, K<float>::Fields(left), K<float>::Fields(right),
             std::make_index_sequence<std::tuple_size_v<decltype(to)>>{});
  return lanes;
}
// Lane 0 back into `left`, lane 1 into `right`.
template <template <class> class K>
TESMORA6_LANES_INLINE void Split(const K<TFilterLanes>& lanes, K<float>& left, K<float>& right) {
  const auto from = K<TFilterLanes>::Fields(lanes);
  SplitFields(from, K<float>::Fields(left), K<float>::Fields(right),
              std::make_index_sequence<std::tuple_size_v<decltype(from)>>{});
}

#undef TESMORA6_LANES_INLINE

}  // namespace filter_lanes

}  // namespace tesmora6
