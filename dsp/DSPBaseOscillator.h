// The root of every oscillator: the phase accumulator with its wrap rule, the conversion
// of pitch (semitones) and frequency (Hz) into a phase increment, the gain, the shape
// (pulse width / split point) and the block processing modes for hosts that work in
// blocks. Also the two families built on it: the closed-formula oscillators
// (TDSPAnalyticOscillator) and the single-cycle wave tables (TDSPTableOscillator).
//
// Arithmetic: the formulas are evaluated in extended precision (long double) and the
// results stored as single-precision floats; a single operation on float operands is
// done directly in float where that rounds exactly as extended-then-store would.
#pragma once

#include <xmmintrin.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "dsp/DSPWaveformTable.h"
#include "dsp/DSPControl.h"

namespace tesmora6 {

class TDSPBaseOscillator : public TDSPControl {
 public:
  static constexpr uint32_t kDefaultFeatures = 0x20000;
  // Feature bits that add optional per-sample buffers when buffers are allocated.
  static constexpr uint32_t kSyncInputFeatures = 0x40000;
  static constexpr uint32_t kPhaseModFeatures = 0x30000;
  static constexpr uint32_t kSyncPhaseFeatures = 0x50000;
  static constexpr uint32_t kShapeFeatures = 0x60000;
  // Frequency limits of SetFrequency (SetPitch bounds the pitch instead).
  static constexpr float kMinFrequency = 1e-9f;
  static constexpr float kMaxFrequency = 600000.0f;
  static constexpr float kMinPitch = -128.0f;
  static constexpr float kMaxPitch = 256.0f;
  static constexpr float kResetPhase = 0.001f;

  TDSPBaseOscillator();
  ~TDSPBaseOscillator() override;

  // ---- the operations the family adds, in their slot order ----
  virtual void SetTableLength(int16_t n);
  virtual void SetFrequency(float hz);
  virtual void SetPitch(float semitones);
  virtual void SetGain(float gain);
  virtual void ResetPhase();
  virtual void ShiftPhase(float cycles);
  virtual void SetIncrementOffset(float x);
  virtual void ProcessPhaseModSync();

  // ---- TDSPControl operations ----
  // The waveform value at the current phase into Out. Analytic and noise waveforms
  // leave the phase where it is (the caller advances it); table waveforms and the
  // band-limited saw advance their own phase.
  void Tick() override = 0;
  // One control period: gain x value per sample, then the phase advance.
  void FillPeriod(float* out) override = 0;
  // Block from the per-sample increment and amplitude buffers.
  virtual void ProcessIncrementBlock();
  // Block from the pitch input (port 0) and the amplitude input (port 1).
  virtual void ProcessPitchBlock();
  // The same for the one sample at the process-wide shared sample index.
  virtual void ProcessPitchSample();

  // φ += increment; when φ then exceeds the wrap threshold, φ -= wrap period.
  void AdvancePhase() { phase_ = Wrapped(phase_ + increment_); }
  // A silent period without computing it. At gain 0 a waveform whose finite value depends
  // only on its phase and shape fills its period with zeros (±0), which add nothing to a
  // mix. Such a waveform advances its phase exactly as its period fill would and answers
  // true; the caller then treats the period as silence. Every other waveform (noise draws
  // from the shared generator, tables and the band-limited saw carry more state, a tangent
  // can be infinite) answers false and must be filled.
  virtual bool SkipSilentPeriod() { return false; }

  // ---- state ----
  float Phase() const { return phase_; }
  void SetPhase(float phase) { phase_ = phase; }
  float Frequency() const { return frequency_; }
  float Increment() const { return increment_; }
  float Gain() const { return gain_; }
  float Shape() const { return shape_; }
  void SetShape(float shape) { shape_ = shape; }
  float PitchOffset() const { return pitchOffset_; }
  float EffectivePitch() const { return effectivePitch_; }
  float LastPitch() const { return lastPitch_; }
  float IncrementOffset() const { return incrementOffset_; }
  float WrapThreshold() const { return wrapThreshold_; }
  float WrapPeriod() const { return wrapPeriod_; }
  int16_t TableLength() const { return tableLength_; }
  bool SyncArmed() const { return syncArmed_; }
  uint32_t FeatureMask() const { return featureMask_; }
  void SetFeatureMask(uint32_t mask) { featureMask_ = mask; }

  // Per-sample buffers, present only while buffers are allocated with work buffers on.
  float* IncrementBuffer() const { return incrementBuffer_.get(); }
  float* AmplitudeBuffer() const { return amplitudeBuffer_.get(); }
  float* PhaseModBuffer() const { return phaseModBuffer_.get(); }
  float* SyncPhaseBuffer() const { return syncPhaseBuffer_.get(); }
  float* SyncInputBuffer() const { return syncInputBuffer_.get(); }
  float* ShapeBuffer() const { return shapeBuffer_.get(); }

  // ---- helpers shared by the waveform classes ----
  // f = φ - ⌊φ⌋, exact (extended precision holds every difference of two floats here).
  static long double FractionalPart(float phi) {
    if (!(std::fabs(phi) < 8388608.0f)) return 0.0L;  // every float this large is whole
    float whole = static_cast<float>(static_cast<int32_t>(phi));
    if (whole > phi) whole -= 1.0f;
    return static_cast<long double>(phi) - whole;
  }
  // Round to nearest, ties to even, of a float (the SSE conversion in its default mode).
  static int32_t RoundFloat(float x) { return _mm_cvt_ss2si(_mm_set_ss(x)); }
  // The frequency of pitch e (semitones, e = 69 is 440 Hz) for e within the pitch limits:
  // 6.875 x exp((e + 3) x ln2 / 12) evaluated in extended precision, rounded to a float.
  // PitchToFrequency gives the same float for every such e, mostly without the extended
  // exponential; PitchToFrequencyExtended is the formula itself.
  static float PitchToFrequency(float e);
  static float PitchToFrequencyExtended(float e);
  // φ after `count` advances φ := Wrapped(φ + increment): the same float as the additions
  // one after the other, without waiting for each (a binade at a time; DSPOscillators.cpp).
  static float AdvancedPhase(float phase, float increment, int32_t count, float threshold, float period);
  // Clamp that also sends NaN to the lower bound.
  static float ClampSafe(float x, float low, float high) {
    if (!(x >= low)) return low;
    return x > high ? high : x;
  }

 protected:
  // φ after an advance: once over the threshold, one wrap period back.
  float Wrapped(float phase) const { return Wrapped(phase, wrapThreshold_, wrapPeriod_); }
  static float Wrapped(float phase, float threshold, float period) {
    if (phase > threshold) {
      phase -= period;
      // An increment larger than the wrap period would otherwise walk the phase away
      // (pitch 256 asks for about 21 MHz); bring it back into range.
      if (phase > threshold) phase = WrapRunaway(phase, threshold, period);
    }
    return phase;
  }
  // The block modes wrap when the phase reaches the threshold.
  float WrappedAtThreshold(float phase) const {
    if (phase >= wrapThreshold_) {
      phase -= wrapPeriod_;
      if (phase >= wrapThreshold_) phase = WrapRunaway(phase, wrapThreshold_, wrapPeriod_);
    }
    return phase;
  }
  static float WrapRunaway(float phase, float threshold, float period);

  // The 1 / sample rate conversion of SetPitch and SetFrequency; table oscillators
  // scale by N as well.
  virtual void UpdateIncrement();
  // Extra factor of every block-mode output (the band-limited saw uses 3).
  virtual float BlockOutputScale() const { return 1.0f; }
  // The phase range and pitch offset of the class's member-table row.
  void UseMemberPhaseRange(int index) {
    const TAnalyticParams& row = WaveformMember(index).analytic;
    SetPhaseRange(row.threshold, row.period);
    SetPitchOffset(row.offset);
  }
  void SetPhaseRange(float threshold, float period) {
    wrapThreshold_ = threshold;
    wrapPeriod_ = period;
  }
  void SetPitchOffset(float offset) { pitchOffset_ = offset; }

  void AllocateBuffers() override;
  void FreeBuffers() override;

  uint32_t featureMask_ = kDefaultFeatures;
  int16_t tableLength_ = 0;
  bool syncArmed_ = true;
  float incrementOffset_ = 0.0f;
  std::unique_ptr<float[]> phaseModBuffer_;
  float wrapThreshold_ = 96.0f;
  float wrapPeriod_ = 48.0f;
  float phase_ = kResetPhase;
  float frequency_ = 1.0f;
  float increment_ = 0.02f;
  std::unique_ptr<float[]> incrementBuffer_;
  float pitchOffset_ = 0.0f;
  float effectivePitch_ = 0.05f;
  // The last pitch SetPitch converted and its frequency (NaN: nothing converted yet).
  float convertedPitch_ = std::numeric_limits<float>::quiet_NaN();
  float convertedFrequency_ = 0.0f;
  float lastPitch_ = 1.0f;
  float gain_ = 1.0f;
  std::unique_ptr<float[]> amplitudeBuffer_;
  std::unique_ptr<float[]> syncPhaseBuffer_;
  std::unique_ptr<float[]> syncInputBuffer_;
  float shape_ = 0.5f;
  std::unique_ptr<float[]> shapeBuffer_;

 private:
  void ProcessPitchAt(int32_t i, const float* amplitude);
  void PhaseModSyncBlock(bool withShape);
};

// Oscillators that compute their value from the phase sample by sample: the closed
// formulas, the noise sources and the recursive sine. W provides
//   long double TickValue(float& phase, float shape);
// (a noise source may move the phase it is given) and, where the period fill differs
// from gain x tick value,
//   long double FillValue(float& phase, float shape, float gain);
// W::kIndex names the member-table row that gives its phase range and pitch offset.
// The member-table rows of the waveforms whose value is a bounded function of the phase
// and shape alone (it neither moves the phase nor draws from the shared generator): "Saw",
// "SoftSaw", "XSaw", "Triangle", "Triangle2", "Square", "Sine" and "Smooth".
// OscillatorSilence.SkippedPeriodsLeaveTheStateOfFilledOnes checks each against its fill.
constexpr bool ValueDependsOnPhaseOnly(int memberIndex) { return memberIndex >= 0 && memberIndex <= 7; }

template <class W>
class TDSPAnalyticOscillator : public TDSPBaseOscillator {
 public:
  TDSPAnalyticOscillator();

  void Tick() override { Out = static_cast<float>(Self().TickValue(phase_, shape_)); }
  void FillPeriod(float* out) override {
    W& w = Self();
    const int32_t m = context_->samplesPerMs;
    const float shape = shape_, gain = gain_, increment = increment_;
    const float threshold = wrapThreshold_, period = wrapPeriod_;
    float phase = phase_;
    for (int32_t i = 0; i < m; ++i) {
      out[i] = static_cast<float>(w.FillValue(phase, shape, gain));
      phase = Wrapped(phase + increment, threshold, period);
    }
    phase_ = phase;
  }
  long double FillValue(float& phase, float shape, float gain) { return gain * Self().TickValue(phase, shape); }
  bool SkipSilentPeriod() override {
    if constexpr (!ValueDependsOnPhaseOnly(W::kIndex)) {
      return false;
    } else {
      const int32_t m = context_->samplesPerMs;
      const float increment = increment_, threshold = wrapThreshold_, period = wrapPeriod_;
      float phase = phase_;
      for (int32_t i = 0; i < m; ++i) phase = Wrapped(phase + increment, threshold, period);
      phase_ = phase;
      return true;
    }
  }

 private:
  W& Self() { return *static_cast<W*>(this); }
};

// Single-cycle wave tables of N entries (256; 512 for one noise table), read with linear
// interpolation. The phase runs over [0, N). The table itself belongs to the waveform,
// not to the oscillator: every oscillator of a waveform reads the same process-wide copy.
class TDSPTableOscillator : public TDSPBaseOscillator {
 public:
  static constexpr float kTablePitchOffset = 0.03f;
  static constexpr float kMinTableFrequency = 1e-7f;

  TDSPTableOscillator();

  // N := the class's own length whatever the argument; wrap range N / N; the class's
  // table of N + 10 entries.
  void SetTableLength(int16_t n) override;
  void SetFrequency(float hz) override;
  void SetPitch(float semitones) override;
  void ShiftPhase(float cycles) override;
  void Tick() override;
  void FillPeriod(float* out) override;

  const float* Table() const { return table_; }
  float IncrementScale() const { return incrementScale_; }

  // The period fill's run for the step φ := φ + increment: out[k] = gain x the reading at
  // φ brought into [0, N), then the step, for k < count; answers φ after the run. The
  // same floats as one sample after the other (see there for how it is faster).
  // `wide`: with AVX where the processor has it (the same floats, fewer instructions);
  // otherwise, and on processors without it, in SSE2 lanes.
  static float FillRun(const float* table, int32_t n, float phase, float increment, float gain, float* out,
                       int32_t count, bool wide = true);
  // out[k] = gain x ReadTable(table, n, phases[k]) for k < count, stored as floats, read
  // four samples at a time as the run reads them. Phases lie in [0, N].
  static void ReadTableRun(const float* table, int32_t n, const float* phases, float gain, float* out, int32_t count,
                           bool wide = true);
  // Whether this processor reads in AVX lanes.
  static bool WideReading();
  // The scalar reading the run replaces, one sample.
  static float ReadTableSample(const float* table, int32_t n, float phase, float gain) {
    return static_cast<float>(gain * ReadTable(table, n, phase));
  }
  // Brings φ into [0, N): subtract N while φ ≥ N, add N while φ < 0.
  static float IntoTable(float phase, float n) {
    if (phase >= 0.0f && phase < n) [[likely]]
      return phase;
    return IntoTableSlow(phase, n);
  }

 protected:
  // The class's table length (the argument of SetTableLength is ignored).
  virtual int16_t FixedTableLength() const { return 256; }
  // Points table_ at the class's table (shared, built once per process).
  virtual void BuildTable() = 0;
  void UpdateIncrement() override;
  // A sample-rate change refreshes the increment scale N / sample rate.
  void AllocateBuffers() override;

  [[gnu::noinline]] static float IntoTableSlow(float phase, float n);
  // Linear interpolation between entry ⌊φ⌋ and the next one (entry 0 after N - 1);
  // the index is round(φ - 0.5).
  //
  // In double, not extended precision: t, 1 - t and both products are exact in double
  // (float times float), so only the sum and the gain product round, at 53 instead of 64
  // bits, before the result is stored as a float. The stored sample can differ only where
  // the exact value lies within 2^-53 of the midpoint between two floats, by one ulp; the
  // golden renders count such samples. Double arithmetic runs in SSE registers, where the
  // extended one needed the x87 unit and a memory round trip per sample.
  static double ReadTable(const float* table, int32_t n, float phase) {
    const int32_t i = RoundFloat(phase - 0.5f);
    const double t = phase - static_cast<float>(i);
    const int32_t j = (i + 1 == n) ? 0 : i + 1;
    return (1.0 - t) * table[i] + t * table[j];
  }

  float incrementScale_ = 0.0f;
  const float* table_ = nullptr;
};

template <class W>
TDSPAnalyticOscillator<W>::TDSPAnalyticOscillator() {
  UseMemberPhaseRange(W::kIndex);
}

}  // namespace tesmora6
