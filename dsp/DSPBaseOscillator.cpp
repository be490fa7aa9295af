#include "dsp/DSPBaseOscillator.h"

#include <cmath>

#include "dsp/DSPMaths.h"

namespace {

// ln 2 / 12 as the conversion writes it: e = 69 gives 440 Hz.
constexpr long double kSemitoneLog = 0.0577622652L;
constexpr double kSemitoneLogD = static_cast<double>(kSemitoneLog);
// A bound on the relative distance between the double and the extended evaluation of the
// pitch conversion: the double one differs by the rounding of ln2/12 to double (2^-53,
// times an argument of at most 15), the product's rounding, exp's error (under 1 ulp) and
// 6.875 x's rounding, together under 4e-15; the bound leaves a factor of 25 to spare.
constexpr double kPitchToleranceD = 1e-13;

std::unique_ptr<float[]> ZeroBuffer(int32_t length) {
  return std::unique_ptr<float[]>(new float[static_cast<size_t>(length)]());
}

// φ reduced into (threshold - period, threshold] (the whole-number wraps that a run of
// single subtractions would have made).
float ReduceInto(float phase, float threshold, float period) {
  if (!std::isfinite(phase) || !(period > 0.0f)) return threshold - period;
  long double p = std::fmod(static_cast<long double>(phase) - threshold, period);
  if (p > 0.0L) p -= period;
  float result = static_cast<float>(p + threshold);
  if (result > threshold) result -= period;
  return result;
}

}  // namespace

TDSPBaseOscillator::TDSPBaseOscillator() {
  // Input 0 is the pitch signal in semitones, input 1 the amplitude, input 2 the shape.
  ports_[0] = DSPConstSignals().Buffer(TDSPConstSignals::kFortyEight);
  ports_[1] = DSPConstSignals().Buffer(TDSPConstSignals::kOne);
  blockProcessor = {this, static_cast<void (TDSPControl::*)()>(
                              &TDSPBaseOscillator::ProcessPitchBlock)};
  sampleProcessor = {this, static_cast<void (TDSPControl::*)()>(
                               &TDSPBaseOscillator::ProcessPitchSample)};
}

TDSPBaseOscillator::~TDSPBaseOscillator() = default;

float TDSPBaseOscillator::WrapRunaway(float phase, float threshold, float period) {
  return ReduceInto(phase, threshold, period);
}

void TDSPBaseOscillator::SetTableLength(int16_t n) { tableLength_ = n; }

void TDSPBaseOscillator::UpdateIncrement() {
  // increment := frequency x (1 / sample rate)
  increment_ = frequency_ * context_->inverseSampleRate;
}

void TDSPBaseOscillator::SetPitch(float semitones) {
  lastPitch_ = semitones;
  effectivePitch_ = static_cast<float>(static_cast<long double>(semitones) + pitchOffset_);
  const float e = ClampSafe(effectivePitch_, kMinPitch, kMaxPitch);
  // The voices set every pitch once per millisecond and it rarely changes: the last
  // conversion is kept, so an unchanged pitch costs no exponential.
  if (e != convertedPitch_) {
    convertedPitch_ = e;
    convertedFrequency_ = PitchToFrequency(e);
  }
  frequency_ = convertedFrequency_;
  UpdateIncrement();
}

float TDSPBaseOscillator::PitchToFrequencyExtended(float e) {
  // 6.875 x exp((e + 3) x ln2 / 12): 440 Hz at e = 69.
  return static_cast<float>(6.875L * std::exp((e + 3.0L) * kSemitoneLog));
}

float TDSPBaseOscillator::PitchToFrequency(float e) {
  // The double exponential lies within kPitchToleranceD of the extended one. When the whole
  // interval around it rounds to one float, the extended result rounds to that float too
  // (rounding is monotonic); only the rare value that lies within the interval's width of
  // a rounding boundary needs the extended exponential (about one pitch in a million).
  const double y = 6.875 * std::exp((static_cast<double>(e) + 3.0) * kSemitoneLogD);
  const auto low = static_cast<float>(y * (1.0 - kPitchToleranceD));
  const auto high = static_cast<float>(y * (1.0 + kPitchToleranceD));
  if (low == high) [[likely]] return low;
  return PitchToFrequencyExtended(e);
}

void TDSPBaseOscillator::SetFrequency(float hz) {
  if (hz == frequency_) return;
  frequency_ = ClampSafe(hz, kMinFrequency, kMaxFrequency);
  // increment := frequency / sample rate
  increment_ = static_cast<float>(static_cast<long double>(frequency_) / context_->sampleRate);
  // The pitch this frequency sounds at: 12 x log2(f / 6.875) - 3.
  effectivePitch_ =
      static_cast<float>(12.0L * std::log2(static_cast<long double>(frequency_) / 6.875L) - 3.0L);
}

void TDSPBaseOscillator::SetGain(float gain) { gain_ = gain; }

void TDSPBaseOscillator::ResetPhase() { phase_ = kResetPhase; }

void TDSPBaseOscillator::ShiftPhase(float) {}

void TDSPBaseOscillator::SetIncrementOffset(float x) {
  incrementOffset_ = static_cast<float>(static_cast<long double>(tableLength_) * x);
}

// ---- buffers ----

void TDSPBaseOscillator::AllocateBuffers() {
  TDSPControl::AllocateBuffers();
  if (!usesWorkBuffers_) return;
  const int32_t n = context_->paddedBlock;
  incrementBuffer_ = ZeroBuffer(n);
  amplitudeBuffer_ = ZeroBuffer(n);
  if (featureMask_ & kSyncInputFeatures) syncInputBuffer_ = ZeroBuffer(n);
  if (featureMask_ & kPhaseModFeatures) phaseModBuffer_ = ZeroBuffer(n);
  if (featureMask_ & kSyncPhaseFeatures) syncPhaseBuffer_ = ZeroBuffer(n);
  if (featureMask_ & kShapeFeatures) shapeBuffer_ = ZeroBuffer(n);
}

void TDSPBaseOscillator::FreeBuffers() {
  incrementBuffer_.reset();
  amplitudeBuffer_.reset();
  syncInputBuffer_.reset();
  phaseModBuffer_.reset();
  syncPhaseBuffer_.reset();
  shapeBuffer_.reset();
  TDSPControl::FreeBuffers();
}

// ---- block modes (for hosts of the component that work in blocks) ----

void TDSPBaseOscillator::ProcessIncrementBlock() {
  if (!outputBlock_ || !incrementBuffer_) return;
  const float scale = BlockOutputScale();
  for (int32_t i = 0; i < context_->blockLength; ++i) {
    Tick();
    outputBlock_[i] = Out * amplitudeBuffer_[i] * scale;
    phase_ = WrappedAtThreshold(phase_ + incrementBuffer_[i]);
  }
}

void TDSPBaseOscillator::ProcessPitchAt(int32_t i, const float* amplitude) {
  Tick();
  outputBlock_[i] = Out * amplitude[i] * BlockOutputScale();
  phase_ = WrappedAtThreshold(phase_ + increment_);
}

void TDSPBaseOscillator::ProcessPitchBlock() {
  if (!outputBlock_) return;
  if (ports_[0][0] != lastPitch_) SetPitch(ports_[0][0]);
  for (int32_t i = 0; i < context_->blockLength; ++i) ProcessPitchAt(i, ports_[1]);
}

void TDSPBaseOscillator::ProcessPitchSample() {
  if (!outputBlock_) return;
  const int32_t s = DSPSharedSampleIndex;
  if (ports_[0][s] != lastPitch_) SetPitch(ports_[0][s]);
  ProcessPitchAt(s, ports_[1]);
}

void TDSPBaseOscillator::PhaseModSyncBlock(bool withShape) {
  if (!outputBlock_ || !incrementBuffer_ || !phaseModBuffer_ || !syncInputBuffer_ ||
      !syncPhaseBuffer_ || (withShape && !shapeBuffer_)) {
    return;
  }
  const float scale = BlockOutputScale();
  for (int32_t i = 0; i < context_->blockLength; ++i) {
    // The tick reads the modulated phase; the carrier phase itself runs on unmodulated.
    const float carrier = phase_;
    phase_ = WrappedAtThreshold(phase_ + phaseModBuffer_[i]);
    if (withShape) shape_ = shapeBuffer_[i];
    Tick();
    phase_ = carrier;
    outputBlock_[i] = Out * amplitudeBuffer_[i] * scale;
    phase_ = WrappedAtThreshold(phase_ + incrementBuffer_[i]);
    // Hard sync: a rising sync input (after a sample at or below 0) jumps the phase.
    if (syncInputBuffer_[i] <= 0.0f) {
      syncArmed_ = true;
    } else if (syncArmed_) {
      phase_ = syncPhaseBuffer_[i];
      syncArmed_ = false;
    }
  }
}

void TDSPBaseOscillator::ProcessPhaseModSync() { PhaseModSyncBlock(false); }
void TDSPBaseOscillator::ProcessPhaseModSyncShape() { PhaseModSyncBlock(true); }

void TDSPBaseOscillator::ProcessShapeIncrement() {
  if (!outputBlock_ || !incrementBuffer_ || !shapeBuffer_) return;
  const float scale = BlockOutputScale();
  for (int32_t i = 0; i < context_->blockLength; ++i) {
    shape_ = shapeBuffer_[i];
    Tick();
    outputBlock_[i] = Out * amplitudeBuffer_[i] * scale;
    phase_ = WrappedAtThreshold(phase_ + incrementBuffer_[i]);
  }
}

void TDSPBaseOscillator::ProcessPitchIncrement() {
  if (!outputBlock_ || !incrementBuffer_ || !shapeBuffer_) return;
  if (ports_[0][0] != lastPitch_) SetPitch(ports_[0][0]);
  const float scale = BlockOutputScale();
  for (int32_t i = 0; i < context_->blockLength; ++i) {
    shape_ = shapeBuffer_[i];
    Tick();
    outputBlock_[i] = Out * ports_[1][i] * scale;
    phase_ = WrappedAtThreshold(phase_ + incrementBuffer_[i]);
  }
}

void TDSPBaseOscillator::ProcessPitchShape() {
  if (!outputBlock_) return;
  if (ports_[0][0] != lastPitch_) SetPitch(ports_[0][0]);
  for (int32_t i = 0; i < context_->blockLength; ++i) {
    shape_ = ports_[2][i];
    ProcessPitchAt(i, ports_[1]);
  }
}

void TDSPBaseOscillator::ProcessPitchShapeSample() {
  if (!outputBlock_) return;
  const int32_t s = DSPSharedSampleIndex;
  if (ports_[0][s] != lastPitch_) SetPitch(ports_[0][s]);
  shape_ = ports_[2][s];
  ProcessPitchAt(s, ports_[1]);
}

// ---- wave tables ----

TDSPTableOscillator::TDSPTableOscillator() { pitchOffset_ = kTablePitchOffset; }

void TDSPTableOscillator::SetTableLength(int16_t) {
  tableLength_ = FixedTableLength();
  SetPhaseRange(tableLength_, tableLength_);
  incrementScale_ = static_cast<float>(static_cast<long double>(tableLength_) /
                                       context_->sampleRate);
  BuildTable();
}

void TDSPTableOscillator::AllocateBuffers() {
  TDSPBaseOscillator::AllocateBuffers();
  incrementScale_ = static_cast<float>(static_cast<long double>(tableLength_) /
                                       context_->sampleRate);
}

void TDSPTableOscillator::UpdateIncrement() {
  // increment := frequency x N / sample rate
  increment_ = frequency_ * incrementScale_;
}

void TDSPTableOscillator::SetPitch(float semitones) {
  TDSPBaseOscillator::SetPitch(semitones);
  frequency_ = ClampSafe(frequency_, kMinTableFrequency, kMaxFrequency);
  UpdateIncrement();
}

void TDSPTableOscillator::SetFrequency(float hz) {
  if (hz == frequency_) return;
  frequency_ = ClampSafe(hz, kMinTableFrequency, kMaxFrequency);
  UpdateIncrement();
  effectivePitch_ =
      static_cast<float>(12.0L * std::log2(static_cast<long double>(frequency_) / 6.875L) - 3.0L);
}

void TDSPTableOscillator::ShiftPhase(float cycles) {
  phase_ = IntoTable(static_cast<float>(phase_ + static_cast<long double>(tableLength_) * cycles),
                     tableLength_);
}

float TDSPTableOscillator::IntoTableSlow(float phase, float n) {
  if (!std::isfinite(phase)) return 0.0f;
  // Far outside the table the repeated subtraction is done in one step; it is exact, so
  // the result is the one the loops below would reach.
  if (std::fabs(phase) >= 4.0f * n) phase = std::fmod(phase, n);
  while (phase >= n) phase -= n;
  while (phase < 0.0f) phase += n;
  // (-tiny + N can round up to N itself; the read then takes the zero entry past the
  // cycle, which the table's padding provides.)
  return phase;
}

void TDSPTableOscillator::Tick() {
  const float phase = IntoTable(phase_, tableLength_);
  Out = static_cast<float>(ReadTable(table_, tableLength_, phase));
  phase_ = static_cast<float>(static_cast<long double>(phase) + increment_ + incrementOffset_);
}

void TDSPTableOscillator::FillPeriod(float* out) {
  const int32_t m = context_->samplesPerMs;
  const float* table = table_;
  const int32_t n = tableLength_;
  const float size = static_cast<float>(n);
  const float gain = gain_, increment = increment_, offset = incrementOffset_;
  float phase = phase_;
  if (offset == 0.0f) {
    // φ + increment + 0 is one rounding of φ + increment, which float addition gives
    // exactly as the extended sum stored to float would.
    for (int32_t i = 0; i < m; ++i) {
      phase = IntoTable(phase, size);
      out[i] = static_cast<float>(gain * ReadTable(table, n, phase));
      phase += increment;
    }
  } else {
    for (int32_t i = 0; i < m; ++i) {
      phase = IntoTable(phase, size);
      out[i] = static_cast<float>(gain * ReadTable(table, n, phase));
      phase = static_cast<float>(static_cast<long double>(phase) + increment + offset);
    }
  }
  phase_ = phase;
}
