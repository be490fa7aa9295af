// The filter selector a voice or an effect owns: it holds one filter of the chosen type,
// swaps it for a new object when the type changes (carrying cutoff, resonance and
// bandwidth across), and forwards the processing to it.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/DSPFilter.h"

namespace tesmora6 {

class TDSPMultiFilter : public TDSPControl {
 public:
  // Selects type 0, "BW LP": the selector always owns a filter.
  TDSPMultiFilter();
  ~TDSPMultiFilter() override;

  // Selects the filter type for a setting t (rounded half to even after clamping to
  // [0, 50]; indexes without a type give "BW LP"). The same setting again changes
  // nothing. The swap runs under the DSPLock, so the audio path never sees the
  // selector without a filter.
  void SetType(float t);
  float TypeSetting() const { return typeSetting_; }
  int16_t TypeIndex() const { return typeIndex_; }
  bool Ready() const { return ready_; }

  // The owned filter; the voice calls its setters directly.
  TDSPFilter* Filter() const { return filter_.get(); }

  void Tick() override;
  void FillPeriod(float* a) override { filter_->FillPeriod(a); }
  // This selector's filter over a and `right`'s over b (a stage's left and right units).
  void FillPeriodPair(TDSPMultiFilter& right, float* a, float* b) { filter_->FillPeriodPair(*right.filter_, a, b); }
  // Stage one (this selector over a and `right` over b) and then stage two (`nextLeft`,
  // `nextRight`), as the two stages' `FillPeriodPair` one after the other would give
  // them; in one loop where the designs allow it.
  void FillStagesPair(TDSPMultiFilter& right, TDSPMultiFilter& nextLeft, TDSPMultiFilter& nextRight, float* a,
                      float* b) {
    if (filter_->FillStagesPair(*right.filter_, *nextLeft.filter_, *nextRight.filter_, a, b)) return;
    FillPeriodPair(right, a, b);
    nextLeft.FillPeriodPair(nextRight, a, b);
  }
  // Sets the filter up again: context, reset (its state is cleared), coefficients.
  void Recalculate() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  // Stores the buffer setting and passes it to the filter.
  void SetUsesWorkBuffers(bool uses);
  // The selector's input block through the filter into its output block, while ready.
  void ProcessBlock();

 private:
  void Rebuild();
  void SetUp(TDSPFilter& filter);

  bool ready_ = false;
  int16_t typeIndex_ = 0;
  float typeSetting_ = 123.0f;  // differs from every valid setting at first
  std::unique_ptr<TDSPFilter> filter_;
};

}  // namespace tesmora6
