#include "effects/DSPStereoEffect.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "dsp/DSPMaths.h"

namespace tesmora6 {

std::atomic<int32_t> DSPDenormalPos{0};

const float* TakeDenormalValues(int32_t samples) {
  // Relaxed loads and stores: instances on other threads may read the same entries or skip
  // some, which any entries allow; a stored position never passes 4096, so a read stays
  // inside the table whatever the interleaving.
  const int32_t position = DSPDenormalPos.load(std::memory_order_relaxed);
  const int32_t next = position + samples;
  DSPDenormalPos.store(next > 4096 ? 0 : next, std::memory_order_relaxed);
  return DSPDenormalNoise() + position;
}

TDSPStereoEffect::TDSPStereoEffect() { AllocateBuffers(); }

TDSPStereoEffect::~TDSPStereoEffect() = default;

void TDSPStereoEffect::ContextChanged(TDSPProcessInfo* info) { TDSPControl::ContextChanged(info); }

void TDSPStereoEffect::AllocateBuffers() {
  TDSPControl::AllocateBuffers();
  wetBufferLeft_.assign(static_cast<size_t>(PeriodBufferLength()), 0.0f);
  wetBufferRight_.assign(static_cast<size_t>(PeriodBufferLength()), 0.0f);
}

void TDSPStereoEffect::Recalculate() {
  float gl = pan_;
  float gr = 1.0f - pan_;
  if (invertLeft_) gl = -gl;
  if (invertRight_) gr = -gr;
  gl = gl * wetGain_ * 2.0f;
  gr = wetGain_ * gr * 2.0f;
  gainLeft_ = gl;
  gainRight_ = gr;
  wetLeft_ = gl * mix_;
  dryLeft_ = (1.0f - mix_) * dryGain_;
  wetRight_ = mix_ * gr;
  dryRight_ = dryLeft_;
}

bool TDSPStereoEffect::AllFinite(const float* a, int32_t n) {
  // An infinity or a NaN has every exponent bit set; the integer test vectorises.
  uint32_t bad = 0;
  for (int32_t i = 0; i < n; ++i) {
    uint32_t bits;
    std::memcpy(&bits, &a[i], sizeof bits);
    bad |= static_cast<uint32_t>((bits & 0x7F800000u) == 0x7F800000u);
  }
  return bad == 0;
}

bool TDSPStereoEffect::LineFinite(const float* line, int32_t length, int32_t from, int32_t n) {
  if (from < 0 || from >= length) from = 0;
  if (n > length) n = length;
  const int32_t first = n < length - from ? n : length - from;
  return AllFinite(line + from, first) && AllFinite(line, n - first);
}

void TDSPStereoEffect::RecoverFromNonFinite(float* left, float* right) {
  Clear();
  const int32_t m = PeriodLength();
  std::fill(left, left + m, 0.0f);
  std::fill(right, right + m, 0.0f);
}

void TDSPStereoEffect::TempoChanged() { tick_ = tempo_ != 0.0f ? 60000.0f / tempo_ / 120.0f : 0.0001f; }

namespace {
template <typename T>
bool Changed(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}
// NaN, which no parameter law produces, is taken as the low limit.
float Clamp(float v, float lo, float hi) { return !(v >= lo) ? lo : (v > hi ? hi : v); }
}  // namespace

// The comparison is made before clamping, against the stored (clamped) value.
void TDSPStereoEffect::SetWetGain(float w) {
  if (w == wetGain_) return;
  wetGain_ = Clamp(w, -32.0f, 32.0f);
  Recalculate();
}

void TDSPStereoEffect::SetDryGain(float d) {
  if (d == dryGain_) return;
  dryGain_ = Clamp(d, -32.0f, 32.0f);
  Recalculate();
}

void TDSPStereoEffect::SetPan(float p) {
  if (p == pan_) return;
  pan_ = Clamp(p, 0.0f, 1.0f);
  Recalculate();
}

void TDSPStereoEffect::SetMix(float x) {
  if (x == mix_) return;
  mix_ = Clamp(x, 0.0f, 1.0f);
  Recalculate();
}

void TDSPStereoEffect::SetInvertLeft(bool on) {
  if (Changed(invertLeft_, static_cast<uint8_t>(on))) Recalculate();
}

void TDSPStereoEffect::SetInvertRight(bool on) {
  if (Changed(invertRight_, static_cast<uint8_t>(on))) Recalculate();
}

void TDSPStereoEffect::SetTempo(float bpm) {
  if (Changed(tempo_, bpm)) TempoChanged();
}

void TDSPStereoEffect::SetLengthUnit(bool ticks) {
  if (Changed(lengthUnit_, static_cast<uint8_t>(ticks))) TempoChanged();
}

}  // namespace tesmora6
