#include "effects/DSPDistortionCurves.h"

#include <array>
#include <cmath>

namespace tesmora6 {

namespace {

using K = TDistortionConstants;

// 1 / x, and 0 for x = 0: a curve whose divisor vanishes gives 0.
float Inverse(float x) { return x == 0.0f ? 0.0f : 1.0f / x; }
float Square(float x) { return x * x; }
float Cube(float x) { return x * x * x; }

// ---- the curves; d is the channel's drive in [0, 1], x the sample ----

// "OldValves": a hard clip at t = 2^(-8 d^2); inside it the signal is scaled up by 1 / t,
// so the clip point always reaches full scale.  a = t, b = 1 / t.
struct TOldValves {
  static K Prepare(float d) {
    const float t = std::exp2(-8.0f * Square(d));
    return {t, Inverse(t), 0.0f};
  }
  static float Shape(float x, const K& k) {
    if (std::fabs(x) > k.a) return x >= 0.0f ? 1.0f : -1.0f;
    return x * k.b;
  }
};

// "TubeScream1": a sine of G x with G = 32 d^3 + 0.0001, normalised by sin G while G stays
// below a quarter turn.  a = G, b = 1 / m.
struct TTubeScream1 {
  static K Prepare(float d) {
    const float g = 32.0f * Cube(d) + 0.0001f;
    const float m = g < 1.57f ? std::sin(g) : 1.0f;
    return {g, Inverse(m), 0.0f};
  }
  static float Shape(float x, const K& k) { return std::sin(k.a * x) * k.b; }
};

// "SynthValve": a sine whose argument bends with the sample, x (0.1 + D - D x), with
// D = 32 d^2 + 0.0001: the two half-waves distort differently.  a = D, b = 1 / l.
struct TSynthValve {
  static K Prepare(float d) {
    const float dd = 32.0f * Square(d) + 0.0001f;
    const float l = dd < 1.0f ? std::sin(dd) + 0.1f : 1.1f;
    return {dd, Inverse(l), 0.0f};
  }
  static float Shape(float x, const K& k) { return std::sin(x * (0.1f + k.a - k.a * x)) * k.b; }
};

// "Grunge": a quantiser with the step L = d^2 + 0.000001.  a = L, b = 1 / L.
struct TGrunge {
  static K Prepare(float d) {
    const float l = Square(d) + 0.000001f;
    return {l, Inverse(l), 0.0f};
  }
  static float Shape(float x, const K& k) { return k.a * std::floor(x * k.b + 0.5f); }
};

// "FbkValve": an arctangent soft clip, atan(k x) / atan(k), k = 10^(3 d^2) - 1 + 0.001.
// a = k, b = 1 / atan(k).
struct TFbkValve {
  static K Prepare(float d) {
    const float k = std::pow(10.0f, 3.0f * Square(d)) - 1.0f + 0.001f;
    return {k, Inverse(std::atan(k)), 0.0f};
  }
  static float Shape(float x, const K& k) { return std::atan(k.a * x) * k.b; }
};

// "TubeScream2": arcsin(sin(G x)), a triangular fold of G x, G = 32 d^3 + 0.0001,
// normalised by sin G below G = 1.  a = G, b = 1 / h.
struct TTubeScream2 {
  static K Prepare(float d) {
    const float g = 32.0f * Cube(d) + 0.0001f;
    const float h = g < 1.0f ? std::sin(g) : 1.0f;
    return {g, Inverse(h), 0.0f};
  }
  static float Shape(float x, const K& k) { return std::asin(std::sin(k.a * x)) * k.b; }
};

// "FbkScream": a sawtooth fold: q = (u + 0.5) x 0.9999 with u = 5^(d^2) - 1 loses its
// nearest integer, and the rest, in [-0.5, 0.5], is scaled to [-0.8, 0.8].  a = u + 0.5.
struct TFbkScream {
  static K Prepare(float d) {
    const float u = std::pow(5.0f, Square(d)) - 1.0f;
    return {u + 0.5f, 0.0f, 0.0f};
  }
  static float Shape(float x, const K& k) {
    const float q = k.a * x * 0.9999f;
    return (q - std::floor(q + 0.5f)) * 1.6f;
  }
};

// "Bass1": doubles the signal but holds the negative side at -v, v = 2^(-8 d^2).  a = v.
struct TBass1 {
  static K Prepare(float d) { return {std::exp2(-8.0f * Square(d)), 0.0f, 0.0f}; }
  static float Shape(float x, const K& k) { return x < -k.a ? -k.a : 2.0f * x; }
};

// "Rain": doubles the signal but holds the positive side at 2 w, w = 2^(-8 d^2).  a = w.
struct TRain {
  static K Prepare(float d) { return {std::exp2(-8.0f * Square(d)), 0.0f, 0.0f}; }
  static float Shape(float x, const K& k) { return x > k.a ? 2.0f * k.a : 2.0f * x; }
};

// "Bass2": the cubic N (1 - N)(N + 2) of N = I x, I = 30 d^3 + 0.001, between its outer
// zeros -2 and 1 and silent outside them; normalised by I while I < 0.3.
// a = I, b = 1 / J.
struct TBass2 {
  static K Prepare(float d) {
    const float i = 30.0f * Cube(d) + 0.001f;
    const float j = i < 0.3f ? i : 1.0f;
    return {i, Inverse(j), 0.0f};
  }
  static float Shape(float x, const K& k) {
    const float n = k.a * x;
    if (n > -2.0f && n < 1.0f) return n * (1.0f - n) * (n + 2.0f) * k.b;
    return 0.0f;
  }
};

// "Bass3": the parabola N (1 - N) of N = G x, G = 32 d^3 + 0.0001, on (-1, 1.618034) and
// steps of -1 (above) and -2 (below) outside it; normalised by G (1 + G) / 2 while G < 1.
// a = G, b = 1 / H.
struct TBass3 {
  static K Prepare(float d) {
    const float g = 32.0f * Cube(d) + 0.0001f;
    const float h = g < 1.0f ? g * (1.0f + g) / 2.0f : 1.0f;
    return {g, Inverse(h), 0.0f};
  }
  static float Shape(float x, const K& k) {
    const float n = k.a * x;
    if (n > -1.0f && n < 1.618034f) return n * (1.0f - n) * k.b;
    return n > 0.0f ? -1.0f : -2.0f;
  }
};

// "Rock": a dead zone of half-width N = (2^(6 d) - 1) / 64; outside it the signal moves
// towards zero by N.  a = N.
struct TRock {
  static K Prepare(float d) { return {(std::exp2(6.0f * d) - 1.0f) / 64.0f, 0.0f, 0.0f}; }
  static float Shape(float x, const K& k) {
    if (std::fabs(x) > k.a) return x >= 0.0f ? x - k.a : x + k.a;
    return 0.0f;
  }
};

// "SynDist": x d^2 inside |x| <= 1 - d, 4 x^2 d outside.  a = 1 - d, b = d^2, c = d.
struct TSynDist {
  static K Prepare(float d) { return {1.0f - d, Square(d), d}; }
  static float Shape(float x, const K& k) {
    if (std::fabs(x) <= k.a) return x * k.b;
    return 4.0f * x * x * k.c;
  }
};

// "SynDist2": N = 1.2 x times 2 d from N = d upward, times -d below; results under -1.5
// drop to -2.  a = d.
struct TSynDist2 {
  static K Prepare(float d) { return {d, 0.0f, 0.0f}; }
  static float Shape(float x, const K& k) {
    const float n = 1.2f * x;
    float y = n >= k.a ? 2.0f * k.a * n : -k.a * n;
    if (y < -1.5f) y = -2.0f;
    return y;
  }
};

// "SynDist3": x^3 inside |x| <= 1 - d, |x| d x outside; results beyond 3 d fall to a
// tenth.  a = 1 - d, b = d, c = 3 d.
struct TSynDist3 {
  static K Prepare(float d) { return {1.0f - d, d, 3.0f * d}; }
  static float Shape(float x, const K& k) {
    float y = std::fabs(x) <= k.a ? x * x * x : std::fabs(x) * k.b * x;
    if (std::fabs(y) > k.c) y = 0.1f * y;
    return y;
  }
};

// Curve 16: the cubic 3 (N - N^3) of N = E x, E = 20 d^3 + 0.0001, on |N| < 1 and silent
// outside; divided by E while E < 1, and held at most at 10 (the negative side is not
// held).  a = E, b = 1 / E when E < 1, else 1.
struct TCubic16 {
  static K Prepare(float d) {
    const float e = 20.0f * Cube(d) + 0.0001f;
    return {e, e < 1.0f ? Inverse(e) : 1.0f, 0.0f};
  }
  static float Shape(float x, const K& k) {
    const float n = k.a * x;
    if (std::fabs(n) >= 1.0f) return 0.0f;
    const float y = 3.0f * (n - n * n * n) * k.b;
    return y > 10.0f ? 10.0f : y;
  }
};

// Types 17 and above: the logistic curve 0.5 - 1 / (e^q + 1) of q = N x (held to
// [-10, 10]), N = 80 d^5 + 0.0001, normalised by its value O at x = 1 (0.5 once N > 10).
// a = N, b = 1 / O.
struct TLogistic {
  static K Prepare(float d) {
    const float n = 80.0f * Square(d) * Cube(d) + 0.0001f;
    const float o = n > 10.0f ? 0.5f : 0.5f - 1.0f / (std::exp(n) + 1.0f);
    return {n, Inverse(o), 0.0f};
  }
  static float Shape(float x, const K& k) {
    float q = k.a * x;
    if (q < -10.0f) q = -10.0f;
    if (q > 10.0f) q = 10.0f;
    return (0.5f - 1.0f / (std::exp(q) + 1.0f)) * k.b;
  }
};

// The period loop of a curve: its constants once, then the curve inlined per sample.
template <class C>
void Apply(float* a, int32_t n, float drive) {
  const K k = C::Prepare(drive);
  for (int32_t i = 0; i < n; ++i) a[i] = C::Shape(a[i], k);
}

template <class C>
constexpr TDistortionCurve Row(int32_t type, const char* name) {
  return {type, name, &C::Prepare, &C::Shape, &Apply<C>};
}

// Row<curve>(type, display name): the distortion types in list order.
constexpr std::array<TDistortionCurve, kDistortionCurveCount> kCurves = {{
    Row<TOldValves>(1, "OldValves"),
    Row<TTubeScream1>(2, "TubeScream1"),
    Row<TSynthValve>(3, "SynthValve"),
    Row<TGrunge>(4, "Grunge"),
    Row<TFbkValve>(5, "FbkValve"),
    Row<TTubeScream2>(6, "TubeScream2"),
    Row<TFbkScream>(7, "FbkScream"),
    Row<TBass1>(8, "Bass1"),
    Row<TRain>(9, "Rain"),
    Row<TBass2>(10, "Bass2"),
    Row<TBass3>(11, "Bass3"),
    Row<TRock>(12, "Rock"),
    Row<TSynDist>(13, "SynDist"),
    Row<TSynDist2>(14, "SynDist2"),
    Row<TSynDist3>(15, "SynDist3"),
    Row<TCubic16>(16, ""),
    Row<TLogistic>(17, ""),
}};

constexpr bool TypesInOrder() {
  for (int32_t i = 0; i < kDistortionCurveCount; ++i)
    if (kCurves[i].type != i + 1) return false;
  return true;
}
static_assert(TypesInOrder(), "the curve table runs from type 1 to 17 in order");

}  // namespace

const TDistortionCurve& DistortionCurve(int32_t type) {
  if (type < 1) type = 1;
  if (type > kDistortionCurveCount) type = kDistortionCurveCount;
  return kCurves[type - 1];
}

}  // namespace tesmora6
