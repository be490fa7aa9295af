#include "dsp/DSPMultiFilter.h"

#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPLock.h"

namespace tesmora6 {

TDSPMultiFilter::TDSPMultiFilter() { SetType(0.0f); }

TDSPMultiFilter::~TDSPMultiFilter() = default;

void TDSPMultiFilter::SetType(float t) {
  if (t == typeSetting_) return;
  TDSPLockGuard lock;
  ready_ = false;
  // NaN selects type 0 instead of reaching the rounding.
  typeSetting_ = !(t >= 0.0f) ? 0.0f : (t > 50.0f ? 50.0f : t);
  typeIndex_ = static_cast<int16_t>(Round(typeSetting_));
  Rebuild();
  ready_ = true;
}

void TDSPMultiFilter::SetUp(TDSPFilter& filter) {
  filter.ContextChanged(context_);
  filter.Reset();
  filter.Recalculate();
}

void TDSPMultiFilter::Rebuild() {
  // The new filter is complete before the old one goes, so a failed allocation leaves
  // the selector with its previous filter.
  std::unique_ptr<TDSPFilter> fresh = FilterTypeEntry(typeIndex_).create();
  fresh->SetUsesWorkBuffers(usesWorkBuffers_);
  fresh->SetSharesContext(sharesContext_);
  SetUp(*fresh);
  if (filter_) {
    fresh->SetUsesWorkBuffers(usesWorkBuffers_);
    // Each setter recalculates when the value differs from the new filter's default.
    fresh->SetCutoff(filter_->Cutoff());
    fresh->SetResonance(filter_->Resonance());
    fresh->SetBandwidth(filter_->Bandwidth());
  }
  filter_ = std::move(fresh);
}

void TDSPMultiFilter::Tick() {
  filter_->In = In;
  filter_->Tick();
  Out = filter_->Out;
}

void TDSPMultiFilter::Recalculate() { SetUp(*filter_); }

void TDSPMultiFilter::ContextChanged(TDSPProcessInfo* info) {
  TDSPControl::ContextChanged(info);
  if (filter_) filter_->ContextChanged(context_);
}

void TDSPMultiFilter::SetUsesWorkBuffers(bool uses) {
  TDSPControl::SetUsesWorkBuffers(uses);
  if (filter_) filter_->SetUsesWorkBuffers(uses);
}

void TDSPMultiFilter::ProcessBlock() {
  if (!ready_ || !inputBlock_ || !outputBlock_) return;
  const int32_t b = context_->blockLength;
  for (int32_t i = 0; i < b; ++i) {
    filter_->In = inputBlock_[i];
    filter_->Tick();
    outputBlock_[i] = filter_->Out;
  }
}

}  // namespace tesmora6
