#include "dsp/DSPFilter.h"

#include "dsp/DSPMaths.h"

namespace tesmora6 {

namespace {

// Clamp that also catches NaN: a NaN setting would poison every coefficient, so it
// takes the lower bound.
float ClampSetting(float v, float low, float high) {
  if (!(v >= low)) return low;
  return v > high ? high : v;
}

}  // namespace

TDSPFilter::TDSPFilter() {
  // Input 0 is audio, input 1 the cutoff signal, input 2 resonance or bandwidth.
  ports_[1] = DSPConstSignals().Buffer(TDSPConstSignals::kOne);
  ports_[2] = DSPConstSignals().Zero();
  CacheRates();
}

void TDSPFilter::CacheRates() {
  const int32_t rate = context_->sampleRate;
  fs_ = rate;
  ny_ = rate / 2;
  ms_ = rate / 1000;
  computedValid_ = false;
}

void TDSPFilter::RecalculateChanged() {
  if (computedValid_ && cutoff_ == computedCutoff_ && resonance_ == computedResonance_ &&
      bandwidth_ == computedBandwidth_)
    return;
  // Marked first: the base mapping clears the mark again when its bracket holds it back.
  computedValid_ = true;
  computedCutoff_ = cutoff_;
  computedResonance_ = resonance_;
  computedBandwidth_ = bandwidth_;
  Recalculate();
}

void TDSPFilter::AllocateBuffers() {
  TDSPControl::AllocateBuffers();
  CacheRates();
}

void TDSPFilter::SetBandwidth(float w) {
  if (w == bandwidth_) return;
  bandwidth_ = ClampSetting(w, 0.001f, 0.999f);
  RecalculateChanged();
}

void TDSPFilter::SetResonance(float r) {
  if (r == resonance_) return;
  resonance_ = ClampSetting(r, 0.001f, 0.999f);
  RecalculateChanged();
}

void TDSPFilter::SetCutoff(float hz) {
  if (hz == cutoff_) return;
  cutoff_ = ClampSetting(hz, 0.001f, 22050.0f);
  RecalculateChanged();
}

void TDSPFilter::EndUpdate() {
  // An unmatched end leaves the counter at 0 rather than freezing it below.
  if (freeze_ > 0 && --freeze_ == 0) RecalculateChanged();
}

long double TDSPFilter::MapResonance() {
  const long double r =
      Clamp(Map(resonance_, resonanceLow_, resonanceHigh_, 0.0L, 1.0L), resonanceLow_, resonanceHigh_);
  mappedResonance_ = static_cast<float>(r);
  return r;
}

long double TDSPFilter::MapBandwidth() {
  const long double w =
      Clamp(Map(bandwidth_, bandwidthLow_, bandwidthHigh_, 0.0L, 1.0L), bandwidthLow_, bandwidthHigh_);
  mappedBandwidth_ = static_cast<float>(w);
  return w;
}

void TDSPFilter::Recalculate() {
  if (freeze_ > 0) {
    computedValid_ = false;
    return;
  }
  mappedCutoff_ = static_cast<float>(Clamp(cutoff_, cutoffLow_, cutoffHigh_));
  MapResonance();
  MapBandwidth();
}

void TDSPFilter::ZeroNonFinite(float* a, int32_t m) {
  for (int32_t i = 0; i < m; ++i)
    if (!std::isfinite(a[i])) a[i] = 0.0f;
}

void TDSPFilter::ProcessBlock() {
  if (!inputBlock_ || !outputBlock_) return;
  const int32_t b = context_->blockLength;
  for (int32_t i = 0; i < b; ++i) {
    In = inputBlock_[i];
    Tick();
    outputBlock_[i] = FlushDenormal(Out);
  }
}

void TDSPFilter::ApplyInputs(TFilterInputs inputs, int32_t index) {
  switch (inputs) {
    case TFilterInputs::kAudio:
      break;
    case TFilterInputs::kCutoff:
      SetCutoff(ports_[1][index]);
      break;
    case TFilterInputs::kResonance:
      SetResonance(ports_[2][index]);
      break;
    case TFilterInputs::kCutoffResonance:
      SetCutoff(ports_[1][index]);
      SetResonance(ports_[2][index]);
      break;
    case TFilterInputs::kBandwidth:
      SetBandwidth(ports_[2][index]);
      break;
    case TFilterInputs::kCutoffBandwidth:
      SetCutoff(ports_[1][index]);
      SetBandwidth(ports_[2][index]);
      break;
  }
}

void TDSPFilter::ProcessBlock(TFilterInputs inputs) {
  if (!outputBlock_) return;
  ApplyInputs(inputs, 0);
  const int32_t b = context_->blockLength;
  for (int32_t i = 0; i < b; ++i) {
    In = ports_[0][i];
    Tick();
    outputBlock_[i] = FlushDenormal(Out);
  }
}

void TDSPFilter::ProcessSample(TFilterInputs inputs) {
  const int32_t i = DSPSharedSampleIndex;
  ApplyInputs(inputs, i);
  In = ports_[0][i];
  Tick();
  if (outputBlock_) outputBlock_[i] = Out;
}

}  // namespace tesmora6
