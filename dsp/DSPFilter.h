// The filter base shared by every filter design: the three settings (cutoff in hertz,
// resonance and bandwidth in [0, 1]), the ranges a design maps them into, the update
// bracket, the block modes that take cutoff, resonance or bandwidth from control inputs,
// and the guard that keeps a runaway design from emitting non-finite samples.
#pragma once

#include <cmath>
#include <cstdint>
#include <tuple>
#include <typeinfo>

#include "dsp/DSPFilterLanes.h"

#include "dsp/DSPControl.h"

namespace tesmora6 {

constexpr long double kFilterPi = 3.14159265358979323846264338327950288L;

// Which control inputs a block mode reads before it filters input 0.
enum class TFilterInputs : uint8_t {
  kAudio,            // audio only
  kCutoff,           // cutoff from input 1
  kResonance,        // resonance from input 2
  kCutoffResonance,  // cutoff from input 1, resonance from input 2
  kBandwidth,        // bandwidth from input 2
  kCutoffBandwidth,  // cutoff from input 1, bandwidth from input 2
};

// One second-order direct-form section, y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, with its
// two input and two output delays. The output is computed from the current input and the
// old state; then the delays shift. T is float, or TFilterLanes for a left and a right
// section side by side.
template <class T>
struct TDSPFilterSectionOf {
  T b0 = T(0.0f), b1 = T(0.0f), b2 = T(0.0f);  // feed-forward
  T a1 = T(0.0f), a2 = T(0.0f);                // feedback
  T x1 = T(0.0f), x2 = T(0.0f), y1 = T(0.0f), y2 = T(0.0f);

  template <class S>
  static auto Fields(S& s) {
    return std::tie(s.b0, s.b1, s.b2, s.a1, s.a2, s.x1, s.x2, s.y1, s.y2);
  }
  T Step(T x) {
    const T y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
  void Clear() { x1 = x2 = y1 = y2 = T(0.0f); }
};
using TDSPFilterSection = TDSPFilterSectionOf<float>;

class TDSPFilter : public TDSPControl {
 public:
  TDSPFilter();

  // Each setter stores a changed value clamped to its range, then recalculates.
  virtual void SetBandwidth(float w);  // [0.001, 0.999]
  virtual void SetResonance(float r);  // [0.001, 0.999]
  virtual void SetCutoff(float hz);    // [0.001, 22050]

  // The update bracket: while raised, the base recalculation waits; the closing end
  // runs `Recalculate` once. The designs recalculate on every setter regardless.
  // A recalculation through a setter or the closing end is skipped when cutoff,
  // resonance and bandwidth are those the last one through them computed with, in the
  // same context: a design's coefficients depend on nothing else, so they would come out
  // the same (the voices close a bracket every control period, mostly on unchanged
  // settings).
  void BeginUpdate() { ++freeze_; }
  void EndUpdate();
  int32_t UpdateDepth() const { return freeze_; }

  float Cutoff() const { return cutoff_; }
  float Resonance() const { return resonance_; }
  float Bandwidth() const { return bandwidth_; }
  // The settings as the design last mapped them into its own ranges (the cutoff as the
  // working frequency in hertz of the designs that have one).
  float MappedCutoff() const { return mappedCutoff_; }
  float MappedResonance() const { return mappedResonance_; }
  float MappedBandwidth() const { return mappedBandwidth_; }
  int16_t DesignMode() const { return mode_; }

  // The base maps the settings into the base ranges unless an update is open; every
  // design replaces it with its own mapping and coefficients.
  void Recalculate() override;
  // Clears the delay elements and the input and output samples; coefficients stay.
  virtual void Reset() { ClearRegisters(); }
  // This filter over a and `right` over b, one control period each. Designs with a
  // paired loop run both at once when `right` is of the same class; otherwise (and by
  // default) one after the other.
  virtual void FillPeriodPair(TDSPFilter& right, float* a, float* b) {
    FillPeriod(a);
    right.FillPeriod(b);
  }
  // This filter and `right` (stage one), then `nextLeft` and `nextRight` (stage two),
  // over a and b in one loop, so that stage two's recursion runs while stage one's
  // waits for its own. Only designs with a lanes kernel followed by single-section
  // designs (both stages each of one class, all in one context) do it; false means
  // nothing ran, and the caller runs the stages one after the other. The result is
  // exactly that of the two stages' `FillPeriodPair`, guards included.
  virtual bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight, float* a, float* b) {
    (void)right, (void)nextLeft, (void)nextRight, (void)a, (void)b;
    return false;
  }
  // The second-order section of the designs that are nothing else (the Butterworth and
  // RBJ types), for a stage before them to run in its loop; null for every other design.
  virtual TDSPFilterSection* LaneSection() { return nullptr; }

  // Buffer processing (block-based hosts of a filter; the voice engine does not use it).
  // The control's own input block into its output block; zero and denormal outputs
  // become 0.0.
  void ProcessBlock();
  // Input 0 into the output block, after applying the setters named by `inputs` with
  // the first sample of input 1 (cutoff) and input 2 (resonance or bandwidth); zero and
  // denormal outputs become 0.0.
  void ProcessBlock(TFilterInputs inputs);
  // The same for the one sample at the shared sample index, reading the inputs there.
  void ProcessSample(TFilterInputs inputs);

 protected:
  // Refreshes the rate constants after every context change; coefficients are kept until
  // the next setter call or `Recalculate`.
  void AllocateBuffers() override;
  void CacheRates();
  // `Recalculate` unless the settings are those of the last recalculation through here.
  void RecalculateChanged();

  // map(v; a, b; v0, v1) = a + (b - a)(v - v0) / (v1 - v0), a when v1 = v0.
  static long double Map(long double v, long double a, long double b, long double v0, long double v1) {
    return v1 == v0 ? a : a + (b - a) * (v - v0) / (v1 - v0);
  }
  static long double Clamp(long double v, long double low, long double high) {
    return v < low ? low : (v > high ? high : v);
  }
  // R' = clamp(map(R; Rlo, Rhi; 0, 1), Rlo, Rhi), stored as the mapped resonance.
  long double MapResonance();
  // W' likewise with the bandwidth range, stored as the mapped bandwidth.
  long double MapBandwidth();
  // Fh = C * ny / 22050: the cutoff rescaled to the running rate (Fh = C at 44.1 kHz).
  long double RescaledCutoff() const { return cutoff_ * ny_ / 22050.0L; }

  // ---- the finite-state guard ----
  // Some designs leave the stable range for some settings ("LP1" above 0.24 fs, the
  // ladders at high resonance): very large values are their sound, but a state that has
  // overflowed would otherwise stay non-finite for good. While everything is finite the
  // guard changes nothing; when a sample or the state is not, the filter resets and the
  // non-finite samples become 0.
  template <class... TFloats>
  static bool AllFinite(TFloats... v) {
    // x * 0 is 0 for every finite x and NaN for infinities and NaN.
    return ((v * 0.0f) + ... + 0.0f) == 0.0f;
  }
  // One period of two filters of design D side by side in the lanes of one register:
  // the kernel `D::*kernel` of this filter in lane 0, of `other` in lane 1 (false when
  // `other` is of another class or context). Each lane does exactly the scalar step's
  // operations, and each filter keeps its own guard, so each filter's samples and state
  // come out as in its own run.
  template <class D, template <class> class K>
  static bool LanePeriodPair(D& d, K<float> D::*kernel, TDSPFilter& other, float* a, float* b, int32_t m) {
    if (typeid(other) != typeid(d) || other.context_ != d.context_) return false;
    D& e = static_cast<D&>(other);
    K<TFilterLanes> k = filter_lanes::Join(d.*kernel, e.*kernel);
    TFilterLanes probe(0.0f);
    for (int32_t i = 0; i < m; ++i) {
      const TFilterLanes y = k.Step(TFilterLanes::Pair(a[i], b[i]));
      probe = probe + y * 0.0f;
      a[i] = y.Left();
      b[i] = y.Right();
    }
    filter_lanes::Split(k, d.*kernel, e.*kernel);
    if (probe.Left() != 0.0f || !d.StateFinite()) {
      ZeroNonFinite(a, m);
      d.Reset();
    }
    if (probe.Right() != 0.0f || !e.StateFinite()) {
      ZeroNonFinite(b, m);
      e.Reset();
    }
    return true;
  }
  // Stage one in lanes (this design's kernel) and a single-section stage two in lanes, in
  // one loop (see `FillStagesPair`). Stage one's guard has to act before stage two hears
  // its output: when it does, stage two, whose state is untouched until the end, runs
  // its period again on stage one's guarded output.
  template <class D, template <class> class K>
  static bool LaneStagesPair(D& d, K<float> D::*kernel, TDSPFilter& other, TDSPFilter& nextLeft, TDSPFilter& nextRight,
                             float* a, float* b, int32_t m) {
    constexpr int32_t kMost = 256;  // the stage-one samples kept for that case
    if (m > kMost || typeid(other) != typeid(d) || other.context_ != d.context_ ||
        typeid(nextRight) != typeid(nextLeft) || nextLeft.context_ != d.context_ || nextRight.context_ != d.context_)
      return false;
    TDSPFilterSection* sl = nextLeft.LaneSection();
    TDSPFilterSection* sr = nextRight.LaneSection();
    if (!sl || !sr) return false;
    D& e = static_cast<D&>(other);
    K<TFilterLanes> k1 = filter_lanes::Join(d.*kernel, e.*kernel);
    TDSPFilterSectionOf<TFilterLanes> k2 = filter_lanes::Join(*sl, *sr);
    alignas(16) float middle[kMost][4];
    TFilterLanes probe1(0.0f), probe2(0.0f);
    for (int32_t i = 0; i < m; ++i) {
      const TFilterLanes y1 = k1.Step(TFilterLanes::Pair(a[i], b[i]));
      probe1 = probe1 + y1 * 0.0f;
      y1.Store(middle[i]);
      const TFilterLanes y2 = k2.Step(y1);
      probe2 = probe2 + y2 * 0.0f;
      a[i] = y2.Left();
      b[i] = y2.Right();
    }
    filter_lanes::Split(k1, d.*kernel, e.*kernel);
    const bool guardLeft = probe1.Left() != 0.0f || !d.StateFinite();
    const bool guardRight = probe1.Right() != 0.0f || !e.StateFinite();
    if (guardLeft || guardRight) {
      for (int32_t i = 0; i < m; ++i) {
        a[i] = middle[i][0];
        b[i] = middle[i][1];
      }
      if (guardLeft) {
        ZeroNonFinite(a, m);
        d.Reset();
      }
      if (guardRight) {
        ZeroNonFinite(b, m);
        e.Reset();
      }
      nextLeft.FillPeriodPair(nextRight, a, b);
      return true;
    }
    filter_lanes::Split(k2, *sl, *sr);
    if (probe2.Left() != 0.0f || !AllFinite(sl->x1, sl->x2, sl->y1, sl->y2)) {
      ZeroNonFinite(a, m);
      nextLeft.Reset();
    }
    if (probe2.Right() != 0.0f || !AllFinite(sr->x1, sr->x2, sr->y1, sr->y2)) {
      ZeroNonFinite(b, m);
      nextRight.Reset();
    }
    return true;
  }
  // One sample through design D (its `Step`, `StateFinite` and `Reset`).
  template <class D>
  static float GuardedTick(D& d, float x) {
    const float y = d.Step(x);
    if (AllFinite(y) && d.StateFinite()) return y;
    d.Reset();
    return 0.0f;
  }
  // One control period in place through the kernel `D::*kernel`, checked once at its
  // end. The loop runs on a local copy of the kernel, which stays in registers (the
  // member kernel would be reloaded after every output store, since the output buffer
  // might alias it).
  template <class D, template <class> class K>
  static void KernelPeriod(D& d, K<float> D::*kernel, float* a, int32_t m) {
    K<float> k = d.*kernel;
    float probe = 0.0f;
    for (int32_t i = 0; i < m; ++i) {
      const float y = k.Step(a[i]);
      probe += y * 0.0f;
      a[i] = y;
    }
    d.*kernel = k;
    if (probe != 0.0f || !d.StateFinite()) {
      ZeroNonFinite(a, m);
      d.Reset();
    }
  }
  static void ZeroNonFinite(float* a, int32_t m);

  // Rate constants of the context at the last context change.
  long double fs_ = 0.0L;  // sample rate
  long double ny_ = 0.0L;  // sample rate div 2
  long double ms_ = 0.0L;  // sample rate div 1000

  int16_t mode_ = 0;  // design mode of the classes that share code between modes
  float bandwidthLow_ = 0.001f;
  float bandwidthHigh_ = 22050.0f;
  float cutoff_ = 8000.0f;
  float resonance_ = 0.001f;
  float bandwidth_ = 0.5f;
  double resonanceLow_ = 0.001;
  float resonanceHigh_ = 0.999f;
  float cutoffLow_ = 10.001f;
  float cutoffHigh_ = 16384.0f;
  float mappedCutoff_ = 0.0f;
  float mappedResonance_ = 0.0f;
  float mappedBandwidth_ = 0.0f;
  int32_t freeze_ = 0;

 private:
  // The settings the last recalculation through `RecalculateChanged` computed with;
  // invalid after a context change and while the base mapping waits for its bracket.
  bool computedValid_ = false;
  float computedCutoff_ = 0.0f;
  float computedResonance_ = 0.0f;
  float computedBandwidth_ = 0.0f;

  void ApplyInputs(TFilterInputs inputs, int32_t index);
};

// A design whose per-sample step is one lanes kernel, named by `Self::Kernel()` (a pointer
// to the kernel member): its sample, its period, its left/right pair and its two-stage
// loop all run that kernel, so a design writes only its kernel, settings and reset.
template <class Self>
class TDSPKernelFilter : public TDSPFilter {
 public:
  void Tick() override { Out = GuardedTick(self(), In); }
  void FillPeriod(float* a) override { KernelPeriod(self(), Self::Kernel(), a, context_->samplesPerMs); }
  void FillPeriodPair(TDSPFilter& right, float* a, float* b) override {
    if (!LanePeriodPair(self(), Self::Kernel(), right, a, b, context_->samplesPerMs))
      TDSPFilter::FillPeriodPair(right, a, b);
  }
  bool FillStagesPair(TDSPFilter& right, TDSPFilter& nextLeft, TDSPFilter& nextRight, float* a, float* b) override {
    return LaneStagesPair(self(), Self::Kernel(), right, nextLeft, nextRight, a, b, context_->samplesPerMs);
  }

 private:
  Self& self() { return static_cast<Self&>(*this); }
};

}  // namespace tesmora6
