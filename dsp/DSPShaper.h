// Wave shapers: curves that bend the sample values of a voice's mixed oscillator signal,
// one class per characteristic. Most are memoryless functions of the current sample;
// square 1, square 2 and square 5 keep a little state, random 1 and random 2 draw from
// the process-wide generator.
//
// Every shaper class writes its per-sample formula once, as `Step`, next to its state.
// `TDSPShaperLoop` builds `Tick` and the period fill `FillPeriod` from that one step, so
// the two always give the same samples and leave the same state behind.
//
// Numbers: amounts, constants and states are floats; each formula is evaluated in
// extended precision (long double) and its result stored as a float, except where a
// class says otherwise (square 5 works in single precision throughout).
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "dsp/DSPMaths.h"
#include "dsp/DSPControl.h"

namespace tesmora6 {

class TDSPShaper : public TDSPControl {
 public:
  using Extended = long double;

  static constexpr int32_t kMaxTypeIndex = 50;

  // Stores the amount A clamped to [0.001, 0.999], then derives d, 1/d, K and E from it
  // (in that order) and the class constants (`Recalculate`). A NaN amount counts as the
  // lower bound.
  void SetAmount(float amount);
  // Stores the requested type and its index (rounded half to even, clamped to [0, 50]),
  // then recalculates.
  virtual void SetType(float type);
  // Set type from a referenced value.
  virtual void SetTypeFrom(const float* type) { SetType(*type); }

  float RequestedType() const { return requestedType_; }
  int32_t TypeIndex() const { return typeIndex_; }
  float Amount() const { return amount_; }
  float K() const { return k_; }
  float D() const { return d_; }
  float InverseD() const { return inverseD_; }
  float E() const { return e_; }
  // Sign (+1 or -1) and magnitude of the last nonzero sample the shaper examined.
  int8_t LastSign() const { return s_; }
  float LastMagnitude() const { return m_; }

  // The output guard of every shaper. Some curves are meant to reach huge values ("Fuzz2"
  // near its pole, "Exp1" and "Power1" on large inputs), and that is their sound; but a
  // value beyond the float range, or a non-finite input, must not leave the shaper as
  // infinity or NaN and poison the filters and the mix behind it. Infinity saturates at
  // the largest float of its sign, NaN becomes 0; every finite value passes unchanged.
  static float Finite(float y) {
    if (std::isfinite(y)) [[likely]]
      return y;
    return std::isnan(y) ? 0.0f : std::copysign(FLT_MAX, y);
  }
  // +1 for x > 0, -1 otherwise (so zero counts as negative).
  static float SignOf(float x) { return x > 0 ? 1.0f : -1.0f; }

 protected:
  // Records sign and magnitude of a nonzero sample; zero leaves both as they were.
  void Examine(float x) {
    if (x != 0) {
      s_ = x > 0 ? 1 : -1;
      m_ = std::fabs(x);
    }
  }
  // Examines the last nonzero sample among the first n of a period: the same record a
  // sample-by-sample run over the period leaves, taken before the period is overwritten.
  void ExamineLast(const float* a, int32_t n) {
    for (int32_t i = n - 1; i >= 0; --i) {
      if (a[i] != 0) {
        Examine(a[i]);
        return;
      }
    }
  }

  float requestedType_ = 0.0f;
  int32_t typeIndex_ = 0;
  float amount_ = 0.0f;    // A
  float k_ = 0.0f;         // K = 100 / d
  float d_ = 0.0f;         // distance of A from the middle, clamped to [0.001, 0.999]
  float inverseD_ = 0.0f;  // 1 / d
  float e_ = 0.0f;         // E = 0.0025 d
  int8_t s_ = 0;
  float m_ = 0.0f;
};

// Tick and FillPeriod of a shaper class built from its `Step(x)`. A class whose
// kZeroStaysZero is set passes zero samples through untouched, state and record
// included. Every output passes the guard `Finite`.
template <class Derived, class Base = TDSPShaper>
class TDSPShaperLoop : public Base {
 public:
  void Tick() override {
    const float x = this->In;
    if constexpr (Derived::kZeroStaysZero) {
      if (x == 0) {
        this->Out = x;
        return;
      }
    }
    this->Examine(x);
    this->Out = TDSPShaper::Finite(static_cast<Derived*>(this)->Step(x));
  }

  void FillPeriod(float* a) override {
    const int32_t n = this->context_->samplesPerMs;
    this->ExamineLast(a, n);
    Derived& self = static_cast<Derived&>(*this);
    for (int32_t i = 0; i < n; ++i) {
      const float x = a[i];
      if constexpr (Derived::kZeroStaysZero) {
        if (x == 0) continue;
      }
      a[i] = TDSPShaper::Finite(self.Step(x));
    }
  }
};

// ---------------------------------------------------------------------------------------
// Shape off: y = x.
class TDSPNullShaper final : public TDSPShaper {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Tick() override { Out = Finite(In); }
  void FillPeriod(float* a) override;
};

// Test shaper: silences the period; Tick writes nothing.
class TDSPTestShaper final : public TDSPShaper {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Tick() override {}
  void FillPeriod(float* a) override;
};

// ---------------------------------------------------------------------------------------
// Edge-crush group: bends the region below d; the half of the amount range A lies in
// chooses the curve.
class TDSPEdgeCrushShaper : public TDSPShaper {
 public:
  void Recalculate() override;

 protected:
  float f_ = 0.0f;  // F = 0.75 d
};

class TDSPPulseWidthShaper final : public TDSPShaperLoop<TDSPPulseWidthShaper, TDSPEdgeCrushShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    const float m = std::fabs(x);
    if (!(m < d_)) return x;
    const Extended s = SignOf(x);
    // Upper half: a square-root bend 0.01 m sqrt(m K); lower half: a ramp m K E lifted by F.
    if (amount_ >= 0.5f) return static_cast<float>(s * 0.01L * m * std::sqrt(Extended{m} * k_));
    return static_cast<float>(s * (Extended{m} * k_ * e_ + f_));
  }
};

class TDSPEdgeCrushShaper1 final : public TDSPShaperLoop<TDSPEdgeCrushShaper1, TDSPEdgeCrushShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    const float m = std::fabs(x);
    if (!(m < d_)) return x;
    const Extended s = SignOf(x);
    // Upper half: a parabola 0.02 m^2 K; lower half: a ramp 2 m K E lifted by F.
    if (amount_ >= 0.5f) return static_cast<float>(s * m * (2.0L * m * k_) * 0.01L);
    return static_cast<float>(s * (2.0L * m * k_ * e_ + f_));
  }
};

class TDSPEdgeCrushShaper2 final : public TDSPShaperLoop<TDSPEdgeCrushShaper2, TDSPEdgeCrushShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  void Recalculate() override;
  float Step(float x) const {
    const float m = std::fabs(x);
    if (!(m < d_)) return x;
    const Extended s = SignOf(x);
    if (amount_ >= 0.5f) return static_cast<float>(s * (Extended{m} * k_ * g3_ + f_));
    return static_cast<float>(s * (Extended{m} * k_ * 4.3L * g2_ + g1_) * 0.2L);
  }

 private:
  float g1_ = 0.0f;  // 0.4 d
  float g2_ = 0.0f;  // 0.6 d / 76
  float g3_ = 0.0f;  // 0.75 d / 100
};

// ---------------------------------------------------------------------------------------
// Square shapers with state.

// A square of +-1 carrying a ripple 0.3 |sin(ph)| whose phase step grows by 0.01 with
// every sample spent on one side, and restarts from 0 after every change of side.
class TDSPSquareShaper1 final : public TDSPShaperLoop<TDSPSquareShaper1> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) {
    phase_ = static_cast<float>(Extended{phase_} + 0.01L * count_);
    const Extended ripple = std::fabs(0.3L * std::sin(Extended{phase_}));
    float y;
    if (std::fabs(x) >= amount_) {
      y = static_cast<float>(1.0L - ripple);
      if (below_) count_ = 0;
      below_ = false;
    } else {
      y = static_cast<float>(ripple - 1.0L);
      if (!below_) count_ = 0;
      below_ = true;
    }
    // The count saturates instead of overflowing on a side held for 2^31 samples.
    if (count_ < INT32_MAX) ++count_;
    return y;
  }
  float Phase() const { return phase_; }
  int32_t Count() const { return count_; }

 private:
  float phase_ = 0.0f;
  int32_t count_ = 0;
  bool below_ = false;
};

// A square of +-1 with a ripple 0.3 |sin(ph)| of steady phase step 0.03; the phase
// stands still on the very first sample.
//
// The phase walks one fixed sequence whatever the input (0, 0.03, 0.06 ... in single
// precision, until at 524288 a step no longer moves it), and the extended-precision sine
// there costs an argument reduction of many words once the phase is large. The sine is
// taken in double precision instead: over every phase of the sequence both give the same
// two outputs, bit for bit (the shaper tests walk the whole sequence).
class TDSPSquareShaper2 final : public TDSPShaperLoop<TDSPSquareShaper2> {
 public:
  static constexpr bool kZeroStaysZero = false;
  // The ripple at a phase of the sequence.
  static Extended Ripple(float phase) { return std::fabs(0.3L * Extended{std::sin(static_cast<double>(phase))}); }
  float Step(float x) {
    phase_ = static_cast<float>(Extended{phase_} + 0.03L * step_);
    step_ = 1;
    const Extended ripple = Ripple(phase_);
    if (std::fabs(x) > amount_) return static_cast<float>(1.0L - ripple);
    return static_cast<float>(ripple - 1.0L);
  }
  float Phase() const { return phase_; }

 private:
  float phase_ = 0.0f;
  int32_t step_ = 0;
};

// Square 5: a smoothed square of height about c2 with a small trace of the input, a
// one-pole average z := (x c1 g - s c2 + z) / 2 computed in single precision, every
// bracket rounded. Its constants follow the samples per millisecond M, read when the
// amount is set.
class TDSPSquareShaper5 final : public TDSPShaperLoop<TDSPSquareShaper5> {
 public:
  static constexpr bool kZeroStaysZero = true;
  void Recalculate() override;
  float Step(float x) {
    const float s = SignOf(x);
    float t = x * c1_;
    t = t * g_;
    t = t - s * c2_;
    t = t + z_;
    // The state is guarded here so that an infinite or NaN input cannot leave it stuck.
    z_ = Finite(t * 0.5f);
    return z_;
  }
  float State() const { return z_; }
  float P() const { return p_; }
  float L() const { return l_; }
  float G() const { return g_; }
  float C1() const { return c1_; }
  float C2() const { return c2_; }

 private:
  float p_ = 0.0f;   // pi / M + 0.01
  float l_ = 0.0f;   // 2 log2(M A)
  float g_ = 0.0f;   // 1 / L, 0 when L = 0
  float c1_ = 0.0f;  // 0.25 P
  float c2_ = 0.0f;  // 0.1 L
  float z_ = 0.0f;
};

// Square 3 and 4 share F = 0.75 A.
class TDSPSquareShaper : public TDSPShaper {
 public:
  void Recalculate() override;

 protected:
  float f_ = 0.0f;
};

// Above A the sample becomes +-F.
class TDSPSquareShaper3 final : public TDSPShaperLoop<TDSPSquareShaper3, TDSPSquareShaper> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const { return std::fabs(x) > amount_ ? SignOf(x) * f_ : x; }
};

// Below A the sample becomes +-F (zero gives -F).
class TDSPSquareShaper4 final : public TDSPShaperLoop<TDSPSquareShaper4, TDSPSquareShaper> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const { return std::fabs(x) < amount_ ? SignOf(x) * f_ : x; }
};

// ---------------------------------------------------------------------------------------
// Clipping, quantising and random shapers.

// y = round(x / A) A, rounded half to even: a staircase of step A.
class TDSPQuantizeShaper final : public TDSPShaperLoop<TDSPQuantizeShaper> {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Recalculate() override;
  float Step(float x) const {
    // Rounded half to even as a floating value, so that huge inputs cannot overflow an
    // integer; rint gives the same value as nearbyint without saving the FPU environment.
    return static_cast<float>(std::rint(Extended{x} * q_) * amount_);
  }

 private:
  float q_ = 0.0f;  // 1 / A
};

// Limits the magnitude to A.
class TDSPMinimumShaper final : public TDSPShaperLoop<TDSPMinimumShaper> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const { return std::fabs(x) > amount_ ? SignOf(x) * amount_ : x; }
};

// Raises the magnitude to at least A (zero gives -A).
class TDSPMaximumShaper final : public TDSPShaperLoop<TDSPMaximumShaper> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const { return std::fabs(x) < amount_ ? SignOf(x) * amount_ : x; }
};

// Adds uniform noise of depth A: y = x + (2r - 1) A, a new draw for every sample.
class TDSPRandomShaper1 final : public TDSPShaperLoop<TDSPRandomShaper1> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) {
    const Extended r = random_.Next();
    return static_cast<float>(x + (2.0L * r - 1.0L) * amount_);
  }

 private:
  TDSPRandom& random_ = DSPRandom();
};

// Limits the magnitude to A and roughens the clipped part with noise of depth 0.1; the
// generator is drawn only for clipped samples.
class TDSPRandomShaper2 final : public TDSPShaperLoop<TDSPRandomShaper2> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) {
    if (!(std::fabs(x) > amount_)) return x;
    const Extended r = random_.Next();
    return static_cast<float>(Extended{SignOf(x)} * amount_ + (2.0L * r - 1.0L) * 0.1L);
  }

 private:
  TDSPRandom& random_ = DSPRandom();
};

// ---------------------------------------------------------------------------------------
// Peak inverters and root shapers.

class TDSPPeakInvertShaper1 final : public TDSPShaperLoop<TDSPPeakInvertShaper1> {
 public:
  static constexpr bool kZeroStaysZero = true;
  void Recalculate() override;
  float Step(float x) const {
    const float m = std::fabs(x);
    const Extended s = SignOf(x);
    // Upper half: the region below d folds over; lower half: the region above d does.
    if (amount_ >= 0.5f) {
      if (m < d_) return static_cast<float>(s * (f_ - 30.0L * m * k_ * h_) * 0.1L);
    } else if (m > d_) {
      return static_cast<float>(s * (f_ - 30.0L * m * k_ * g_) * 0.001L);
    }
    return x;
  }

 private:
  float f_ = 0.0f;  // -0.2 d
  float g_ = 0.0f;  // 0.4 d
  float h_ = 0.0f;  // 0.004 d
};

// Above A: y = 0.5 x + s sqrt(A).
class TDSPSqrtShaper1 final : public TDSPShaperLoop<TDSPSqrtShaper1> {
 public:
  static constexpr bool kZeroStaysZero = true;
  void Recalculate() override;
  float Step(float x) const {
    if (!(std::fabs(x) > amount_)) return x;
    return static_cast<float>(0.5L * x + Extended{SignOf(x)} * r_);
  }

 private:
  float r_ = 0.0f;  // sqrt(A)
};

// y = sign(x) sqrt(|x|) A.
class TDSPSqrtShaper2 final : public TDSPShaperLoop<TDSPSqrtShaper2> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const {
    return static_cast<float>(Extended{SignOf(x)} * std::sqrt(Extended{std::fabs(x)}) * amount_);
  }
};

// |x| >= A: y = x (1 - 2A); below: y = x (1 + 2A).
class TDSPPeakInvertShaper2 final : public TDSPShaperLoop<TDSPPeakInvertShaper2> {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Recalculate() override;
  float Step(float x) const { return static_cast<float>(Extended{x} * (std::fabs(x) >= amount_ ? down_ : up_)); }

 private:
  float f_ = 0.0f;     // 2 A
  float up_ = 0.0f;    // U = 1 + F
  float down_ = 0.0f;  // D = 1 - F
};

// ---------------------------------------------------------------------------------------
// Exponential and logarithmic shapers.

// y = e^x A + 0.4 x (zero gives A).
class TDSPExpShaper1 final : public TDSPShaperLoop<TDSPExpShaper1> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const { return static_cast<float>(std::exp(Extended{x}) * amount_ + 0.4L * x); }
};

// An inverting soft saturation: y = -sign(x) (1 - e^(-k|x|)), k = 0.2 + A.
class TDSPExpShaper2 final : public TDSPShaperLoop<TDSPExpShaper2> {
 public:
  static constexpr bool kZeroStaysZero = false;
  float Step(float x) const {
    const Extended k = 0.2L + amount_;
    return static_cast<float>(-Extended{SignOf(x)} * (1.0L - std::exp(-k * std::fabs(Extended{x}))));
  }
};

// y = s A ln(m).
class TDSPLnShaper1 final : public TDSPShaperLoop<TDSPLnShaper1> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    const Extended s = SignOf(x);
    return static_cast<float>(s * amount_ * std::log(Extended{std::fabs(x)}));
  }
};

// y = 0.3 ln(m) A s + x.
class TDSPLnShaper2 final : public TDSPShaperLoop<TDSPLnShaper2> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    const Extended s = SignOf(x);
    return static_cast<float>(0.3L * std::log(Extended{std::fabs(x)}) * amount_ * s + x);
  }
};

// y = x - 0.5 ln(m) s A.
class TDSPLnShaper3 final : public TDSPShaperLoop<TDSPLnShaper3> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    const Extended s = SignOf(x);
    return static_cast<float>(x - 0.5L * std::log(Extended{std::fabs(x)}) * s * amount_);
  }
};

// y = 0.5 ln(m) s A + x + x s / 44, with 1/44 taken as its float value.
class TDSPLnShaper4 final : public TDSPShaperLoop<TDSPLnShaper4> {
 public:
  static constexpr bool kZeroStaysZero = true;
  static constexpr float kOneFortyFourth = 0.022727273f;
  static_assert(kOneFortyFourth == 1.0f / 44.0f, "the float value of 1/44");
  float Step(float x) const {
    const Extended s = SignOf(x);
    return static_cast<float>(0.5L * std::log(Extended{std::fabs(x)}) * s * amount_ + x + x * s * kOneFortyFourth);
  }
};

// y = (A^x - 1.05) 3A, with A^x = e^(x ln A).
class TDSPPowerShaper final : public TDSPShaperLoop<TDSPPowerShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  void Recalculate() override;
  float Step(float x) const { return static_cast<float>((std::exp(x * lnA_) - 1.05L) * f_); }

 private:
  float f_ = 0.0f;       // 3 A
  Extended lnA_ = 0.0L;  // ln A, kept in extended precision as the formula uses it
};

// ---------------------------------------------------------------------------------------
// Trigonometric shapers.

// y = x - tan(x) A; not limited.
class TDSPTanShaper final : public TDSPShaperLoop<TDSPTanShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const { return static_cast<float>(x - std::tan(Extended{x}) * amount_); }
};

// y = x - cot(x) A / 10, limited to [-3, 3].
class TDSPCoTanShaper final : public TDSPShaperLoop<TDSPCoTanShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    Extended y = x - (1.0L / std::tan(Extended{x})) * amount_ * 0.1L;
    if (y < -3.0L)
      y = -3.0L;
    else if (y > 3.0L)
      y = 3.0L;
    return static_cast<float>(y);
  }
};

// y = (x - sin(x) A)(A + 1).
//
// The extended-precision sine costs about ten double-precision ones. The formula is
// worked out first on the double sine, which lies within a few units of its last place of
// the extended one; the error that can leave in y is far below `bound`, so when y - bound
// and y + bound round to the same float, every value between them does, and that float is
// the one the extended sine gives. Only where y lies that close to the middle between two
// floats (a few samples in a million), and for tiny, huge or non-finite inputs, is the
// extended sine taken.
class TDSPSinShaper final : public TDSPShaperLoop<TDSPSinShaper> {
 public:
  static constexpr bool kZeroStaysZero = true;
  float Step(float x) const {
    const float size = std::fabs(x);
    if (size >= 0x1p-20f && size <= 0x1p20f) {  // NaN is neither
      const Extended s{std::sin(static_cast<double>(x))};
      const Extended gain = Extended{amount_} + 1.0L;
      const Extended y = (x - s * amount_) * gain;
      const Extended bound = (Extended{size} + std::fabs(s)) * gain * 0x1p-44L;
      const float f = static_cast<float>(y);
      if (static_cast<float>(y - bound) == f && static_cast<float>(y + bound) == f) return f;
    }
    return ExtendedStep(x);
  }
  // The formula on the extended-precision sine.
  float ExtendedStep(float x) const {
    return static_cast<float>((x - std::sin(Extended{x}) * amount_) * (Extended{amount_} + 1.0L));
  }
};

// ---------------------------------------------------------------------------------------
// Fuzz shapers.

// y = s (2|x| - x^2) A + x (1 - A): a parabolic drive mixed with the dry signal.
class TDSPFuzzShaper1 final : public TDSPShaperLoop<TDSPFuzzShaper1> {
 public:
  static constexpr bool kZeroStaysZero = false;
  // The same samples as a run of Step, mostly through a double evaluation (see there), in
  // AVX lanes on processors that have them, else in SSE2 lanes.
  void FillPeriod(float* a) override;
  // false: SSE2 lanes even where AVX is present (the two give the same samples).
  void UseWideLanes(bool wide) { wideLanes_ = wide; }
  float Step(float x) const {
    const Extended s = SignOf(x);
    const Extended v = x;
    return static_cast<float>(s * (2.0L * std::fabs(v) - v * v) * amount_ + v * (1.0L - amount_));
  }

 private:
  bool wideLanes_ = true;
};

// y = k1 x / (|x| k + 1) V + x (1 - A). For A above 0.512 k is negative and the curve has
// a pole at |x| = -1/k; the output is not limited there.
class TDSPFuzzShaper2 final : public TDSPShaperLoop<TDSPFuzzShaper2> {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Recalculate() override;
  float Step(float x) const {
    const Extended v = x;
    return static_cast<float>(k1_ * v / (std::fabs(v) * k_ + 1.0L) * gain_ + v * (1.0L - amount_));
  }

 private:
  float c_ = 0.0f;     // 0.064 - 0.125 A
  float k_ = 0.0f;     // 2c / (1 - c)
  float k1_ = 0.0f;    // k + 1
  float gain_ = 0.0f;  // V = 32 A
};

// y = k1 x / (|x| k + 1): a soft saturation reaching k1/k.
class TDSPFuzzShaper3 final : public TDSPShaperLoop<TDSPFuzzShaper3> {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Recalculate() override;
  float Step(float x) const {
    const Extended v = x;
    return static_cast<float>(k1_ * v / (std::fabs(v) * k_ + 1.0L));
  }

 private:
  float a_ = 0.0f;   // 100 A, single precision
  float k_ = 0.0f;   // 2a / (100 - a)
  float k1_ = 0.0f;  // 1 + k
};

// y = sin(phi x) / sin(phi), phi = pi A; inputs above 1/A are pinned at 1 (only positive
// ones: x itself is compared).
class TDSPFuzzShaper4 final : public TDSPShaperLoop<TDSPFuzzShaper4> {
 public:
  static constexpr bool kZeroStaysZero = false;
  void Recalculate() override;
  float Step(float x) const {
    if (x > t_) return 1.0f;
    return static_cast<float>(std::sin(Extended{phi_} * x) * g_);
  }

 private:
  float phi_ = 0.0f;  // pi A
  float g_ = 0.0f;    // 1 / sin(phi)
  float t_ = 0.0f;    // 1 / A
};

// y = x (|x| + a) / (x^2 + (a - 1)|x| + 1), a = 10A: a saturation through +-1 for every
// amount.
class TDSPFuzzShaper5 final : public TDSPShaperLoop<TDSPFuzzShaper5> {
 public:
  static constexpr bool kZeroStaysZero = true;
  void Recalculate() override;
  float Step(float x) const {
    const Extended v = x;
    const Extended m = std::fabs(v);
    return static_cast<float>(v * (m + a_) / (v * v + a1_ * m + 1.0L));
  }

 private:
  float a_ = 0.0f;   // 10 A
  float a1_ = 0.0f;  // a - 1
};

}  // namespace tesmora6
