// The shaper a voice channel owns: one concrete shaper chosen by type index, swapped
// whenever the type is set, and handed every sample, period and amount.
#pragma once

#include <memory>

#include "dsp/DSPShaper.h"

namespace tesmora6 {

class TDSPMultiShaper final : public TDSPShaper {
 public:
  // Starts with the pass-through shaper.
  TDSPMultiShaper();
  ~TDSPMultiShaper() override;

  // Stores the type and rebuilds, also when the index is the one already in use (so the
  // states of the square shapers restart).
  void SetType(float type) override;
  // Under the DSPLock: replaces the current shaper with a new one of the class at the
  // type index (an index without a class keeps the current shaper), then gives it this
  // shaper's context and amount.
  virtual void Rebuild();

  void Tick() override;
  void FillPeriod(float* a) override;
  // Hands the amount to the current shaper, which re-derives all its constants.
  void Recalculate() override;
  // A context change reaches the current shaper as well.
  void ContextChanged(TDSPProcessInfo* info) override;

  const TDSPShaper& Shaper() const { return *shaper_; }

 private:
  std::unique_ptr<TDSPShaper> shaper_;
};

}  // namespace tesmora6
