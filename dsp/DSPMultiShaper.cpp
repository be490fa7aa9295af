#include "dsp/DSPMultiShaper.h"

#include "dsp/DSPShaperTable.h"
#include "dsp/DSPLock.h"

namespace tesmora6 {

TDSPMultiShaper::TDSPMultiShaper() : shaper_(std::make_unique<TDSPNullShaper>()) { shaper_->ContextChanged(context_); }

TDSPMultiShaper::~TDSPMultiShaper() = default;

void TDSPMultiShaper::SetType(float type) {
  // The whole change holds the lock: the amount handed over in Recalculate must reach the
  // shaper that is current, not one another thread's rebuild is about to free.
  TDSPLockGuard lock;
  TDSPShaper::SetType(type);
  Rebuild();
}

void TDSPMultiShaper::Rebuild() {
  // The processing call holds the lock for its whole block, so a block never runs on a
  // shaper freed here.
  TDSPLockGuard lock;
  if (std::unique_ptr<TDSPShaper> made = CreateShaper(typeIndex_)) shaper_ = std::move(made);
  // The context first: square 5 derives its constants from the samples per millisecond
  // when its amount is set, and must read this shaper's context, not the default one.
  shaper_->ContextChanged(context_);
  shaper_->SetAmount(amount_);
}

void TDSPMultiShaper::Tick() {
  shaper_->In = In;
  shaper_->Tick();
  Out = shaper_->Out;
}

void TDSPMultiShaper::FillPeriod(float* a) { shaper_->FillPeriod(a); }

void TDSPMultiShaper::Recalculate() { shaper_->SetAmount(amount_); }

void TDSPMultiShaper::ContextChanged(TDSPProcessInfo* info) {
  TDSPShaper::ContextChanged(info);
  shaper_->ContextChanged(context_);
}

}  // namespace tesmora6
