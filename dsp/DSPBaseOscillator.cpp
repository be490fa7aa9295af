#include "dsp/DSPBaseOscillator.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cmath>

#include "dsp/DSPMaths.h"

namespace tesmora6 {

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
  blockProcessor = {this, static_cast<void (TDSPControl::*)()>(&TDSPBaseOscillator::ProcessPitchBlock)};
  sampleProcessor = {this, static_cast<void (TDSPControl::*)()>(&TDSPBaseOscillator::ProcessPitchSample)};
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
  if (low == high) [[likely]]
    return low;
  return PitchToFrequencyExtended(e);
}

void TDSPBaseOscillator::SetFrequency(float hz) {
  if (hz == frequency_) return;
  frequency_ = ClampSafe(hz, kMinFrequency, kMaxFrequency);
  // increment := frequency / sample rate
  increment_ = static_cast<float>(static_cast<long double>(frequency_) / context_->sampleRate);
  // The pitch this frequency sounds at: 12 x log2(f / 6.875) - 3.
  effectivePitch_ = static_cast<float>(12.0L * std::log2(static_cast<long double>(frequency_) / 6.875L) - 3.0L);
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
  if (!outputBlock_ || !incrementBuffer_ || !phaseModBuffer_ || !syncInputBuffer_ || !syncPhaseBuffer_ ||
      (withShape && !shapeBuffer_)) {
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

// ---- wave tables ----

TDSPTableOscillator::TDSPTableOscillator() { pitchOffset_ = kTablePitchOffset; }

void TDSPTableOscillator::SetTableLength(int16_t) {
  tableLength_ = FixedTableLength();
  SetPhaseRange(tableLength_, tableLength_);
  incrementScale_ = static_cast<float>(static_cast<long double>(tableLength_) / context_->sampleRate);
  BuildTable();
}

void TDSPTableOscillator::AllocateBuffers() {
  TDSPBaseOscillator::AllocateBuffers();
  incrementScale_ = static_cast<float>(static_cast<long double>(tableLength_) / context_->sampleRate);
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
  effectivePitch_ = static_cast<float>(12.0L * std::log2(static_cast<long double>(frequency_) / 6.875L) - 3.0L);
}

void TDSPTableOscillator::ShiftPhase(float cycles) {
  phase_ = IntoTable(static_cast<float>(phase_ + static_cast<long double>(tableLength_) * cycles), tableLength_);
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

namespace {

// A group of four table readings that touches entry N - 1, whose next entry is entry 0
// rather than the one beside it, is read one sample at a time.
[[gnu::noinline]] __m128 ReadTableOneByOne(const float* table, int32_t n, __m128 phase, float gain) {
  alignas(16) float p[4];
  _mm_store_ps(p, phase);
  return _mm_setr_ps(TDSPTableOscillator::ReadTableSample(table, n, p[0], gain),
                     TDSPTableOscillator::ReadTableSample(table, n, p[1], gain),
                     TDSPTableOscillator::ReadTableSample(table, n, p[2], gain),
                     TDSPTableOscillator::ReadTableSample(table, n, p[3], gain));
}

// gain x ReadTable for four phases in [0, N], in SSE lanes: the same double operations in
// the same order as the one-sample reading, so the same floats.
//
// Entry i and entry i + 1 sit side by side in the table, so one 64-bit load brings both
// and one conversion turns them into the pair of doubles (a, b).
struct TSse2Reader {
  const float* table;
  int32_t n;
  float gain;
  __m128 operator()(__m128 phase) const {
    // i = round(φ - 0.5) in the current mode, as cvtss2si rounds; t = φ - i in float.
    const __m128i i = _mm_cvtps_epi32(_mm_sub_ps(phase, _mm_set1_ps(0.5f)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(i, _mm_set1_epi32(n - 1))) != 0) [[unlikely]] {
      return ReadTableOneByOne(table, n, phase, gain);
    }
    const __m128 t = _mm_sub_ps(phase, _mm_cvtepi32_ps(i));
    auto pair = [this](int32_t k) {  // (entry k, entry k + 1) as doubles
      return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(table + k))));
    };
    const __m128d p0 = pair(_mm_cvtsi128_si32(i));
    const __m128d p1 = pair(_mm_cvtsi128_si32(_mm_shuffle_epi32(i, 1)));
    const __m128d p2 = pair(_mm_cvtsi128_si32(_mm_shuffle_epi32(i, 2)));
    const __m128d p3 = pair(_mm_cvtsi128_si32(_mm_shuffle_epi32(i, 3)));
    const __m128d unit = _mm_set1_pd(1.0), g = _mm_set1_pd(static_cast<double>(gain));
    // gain x ((1 - t) a + t b), two samples per register.
    auto lerp = [&](__m128 tf, __m128d first, __m128d second) {
      const __m128d td = _mm_cvtps_pd(tf);
      const __m128d a = _mm_unpacklo_pd(first, second), b = _mm_unpackhi_pd(first, second);
      const __m128d sum = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(unit, td), a), _mm_mul_pd(td, b));
      return _mm_cvtpd_ps(_mm_mul_pd(g, sum));
    };
    return _mm_movelh_ps(lerp(t, p0, p1), lerp(_mm_movehl_ps(t, t), p2, p3));
  }
};

// The same reading with all four samples in one AVX register of doubles (the same
// operations again: AVX only widens them; no fused multiply-add is used); a sample at
// entry N - 1 takes entry 0 as its next one in its lane.
struct TAvx2Reader {
  const float* table;
  int32_t n;
  float gain;
  [[gnu::target("avx2")]] __m128 operator()(__m128 phase) const {
    const __m128i i = _mm_cvtps_epi32(_mm_sub_ps(phase, _mm_set1_ps(0.5f)));
    const __m128 t = _mm_sub_ps(phase, _mm_cvtepi32_ps(i));
    auto pair = [this](int32_t k) {  // entries k and k + 1
      return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(table + k));
    };
    const __m128 p01 = _mm_castsi128_ps(_mm_unpacklo_epi64(pair(_mm_cvtsi128_si32(i)), pair(_mm_extract_epi32(i, 1))));
    const __m128 p23 =
        _mm_castsi128_ps(_mm_unpacklo_epi64(pair(_mm_extract_epi32(i, 2)), pair(_mm_extract_epi32(i, 3))));
    const __m256d a = _mm256_cvtps_pd(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(2, 0, 2, 0)));
    // After entry N - 1 comes entry 0 (its load brought the padding entry N instead).
    const __m128 last = _mm_castsi128_ps(_mm_cmpeq_epi32(i, _mm_set1_epi32(n - 1)));
    const __m256d b =
        _mm256_cvtps_pd(_mm_blendv_ps(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(3, 1, 3, 1)), _mm_set1_ps(table[0]), last));
    const __m256d td = _mm256_cvtps_pd(t);
    const __m256d sum = _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(_mm256_set1_pd(1.0), td), a), _mm256_mul_pd(td, b));
    return _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_set1_pd(static_cast<double>(gain)), sum));
  }
};

// The run of FillRun with the reader of four samples `read`.
//
// Within one binade [2^e, 2^(e+1)) of the phase every float is a multiple of its ulp u,
// so φ + increment rounds to φ + δ with one δ for the whole binade (the increment rounded
// to a multiple of u), as long as the sum stays inside it, unless the increment lies
// exactly halfway between two multiples of u (then the rounding depends on φ's last
// bit). So four phases that stay inside the binade are φ0 + (0, δ, 2δ, 3δ), all exact,
// and the next group starts at φ0 + 4δ: the same floats as four additions one after the
// other, without waiting for each. δ is found once per binade from one real addition;
// groups that cross a binade (or the table's end), phases below 1 and halfway increments
// take the additions one by one.
template <class Reader>
[[gnu::always_inline]] inline float FillRunWith(const Reader& read, float phase, float increment, float* out,
                                                int32_t count) {
  const float size = static_cast<float>(read.n);
  int32_t k = 0;
  while (k + 4 <= count) {
    const float p0 = TDSPTableOscillator::IntoTable(phase, size);
    const float p1 = p0 + increment;
    if (p0 >= 1.0f && increment >= 0.0f) {
      const float binade = std::bit_cast<float>(std::bit_cast<uint32_t>(p0) & 0x7f800000u);
      const float top = 2.0f * binade;
      const float delta = p1 - p0;            // exact: both multiples of u, p1 >= p0
      const float error = increment - delta;  // exact: the rounding error of p0 + increment
      const float step4 = 4.0f * delta;
      if (p0 + step4 < top && top <= size && std::fabs(error) != binade * 0x1p-24f)
          [[likely]] {  // u / 2: a halfway increment
        const __m128 steps = _mm_setr_ps(0.0f, delta, 2.0f * delta, 3.0f * delta);
        float p = p0;
        do {
          _mm_storeu_ps(out + k, read(_mm_add_ps(_mm_set1_ps(p), steps)));
          p += step4;
          k += 4;
        } while (k + 4 <= count && p + step4 < top);
        phase = p;
        continue;
      }
    }
    const float p2 = TDSPTableOscillator::IntoTable(TDSPTableOscillator::IntoTable(p1, size) + increment, size);
    const float p3 = TDSPTableOscillator::IntoTable(p2 + increment, size);
    _mm_storeu_ps(out + k, read(_mm_setr_ps(p0, TDSPTableOscillator::IntoTable(p1, size), p2, p3)));
    phase = p3 + increment;
    k += 4;
  }
  for (; k < count; ++k) {
    phase = TDSPTableOscillator::IntoTable(phase, size);
    out[k] = TDSPTableOscillator::ReadTableSample(read.table, read.n, phase, read.gain);
    phase += increment;
  }
  return phase;
}

float FillRunSse2(const float* table, int32_t n, float phase, float increment, float gain, float* out, int32_t count) {
  return FillRunWith(TSse2Reader{table, n, gain}, phase, increment, out, count);
}

[[gnu::target("avx2")]] float FillRunAvx2(const float* table, int32_t n, float phase, float increment, float gain,
                                          float* out, int32_t count) {
  return FillRunWith(TAvx2Reader{table, n, gain}, phase, increment, out, count);
}

[[gnu::target("avx2")]] __m128 ReadFourAvx2(const float* table, int32_t n, __m128 phase, float gain) {
  return TAvx2Reader{table, n, gain}(phase);
}

using TFillRun = float (*)(const float*, int32_t, float, float, float, float*, int32_t);

}  // namespace

void TDSPTableOscillator::ReadTableRun(const float* table, int32_t n, const float* phases, float gain, float* out,
                                       int32_t count, bool wide) {
  int32_t k = 0;
  for (; k + 4 <= count; k += 4) {
    const __m128 phase = _mm_loadu_ps(phases + k);
    _mm_storeu_ps(out + k,
                  wide && WideReading() ? ReadFourAvx2(table, n, phase, gain) : TSse2Reader{table, n, gain}(phase));
  }
  for (; k < count; ++k) out[k] = ReadTableSample(table, n, phases[k], gain);
}

bool TDSPTableOscillator::WideReading() {
  static const bool wide = __builtin_cpu_supports("avx2");
  return wide;
}

float TDSPTableOscillator::FillRun(const float* table, int32_t n, float phase, float increment, float gain, float* out,
                                   int32_t count, bool wide) {
  // The processor's widest reading, chosen once per process.
  const TFillRun run = wide && WideReading() ? FillRunAvx2 : FillRunSse2;
  return run(table, n, phase, increment, gain, out, count);
}

void TDSPTableOscillator::FillPeriod(float* out) {
  const int32_t m = context_->samplesPerMs;
  const float increment = increment_, offset = incrementOffset_;
  if (offset == 0.0f) {
    // φ + increment + 0 is one rounding of φ + increment, which float addition gives
    // exactly as the extended sum stored to float would.
    phase_ = FillRun(table_, tableLength_, phase_, increment, gain_, out, m);
    return;
  }
  const float size = static_cast<float>(tableLength_);
  float phase = phase_;
  int32_t k = 0;
  for (; k + 4 <= m; k += 4) {
    float p[4];
    for (float& pk : p) {
      pk = phase = IntoTable(phase, size);
      phase = static_cast<float>(static_cast<long double>(phase) + increment + offset);
    }
    _mm_storeu_ps(out + k, TSse2Reader{table_, tableLength_, gain_}(_mm_loadu_ps(p)));
  }
  for (; k < m; ++k) {
    phase = IntoTable(phase, size);
    out[k] = ReadTableSample(table_, tableLength_, phase, gain_);
    phase = static_cast<float>(static_cast<long double>(phase) + increment + offset);
  }
  phase_ = phase;
}

}  // namespace tesmora6
