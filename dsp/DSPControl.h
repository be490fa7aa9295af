// The building-block base: an input and an output register, the single-sample step
// `Tick`, the one-period block step `FillPeriod`, coefficient recalculation, input
// ports, circular counters and delay-line cursors.
#pragma once

#include <vector>

#include "dsp/DSPBaseControl.h"

namespace tesmora6 {

class TDSPControl;

// A block or sample routine bound as code plus object, so that one control can run
// another control's routine without a type test.
struct TDSPBoundRoutine {
  TDSPControl* object = nullptr;
  void (TDSPControl::*code)() = nullptr;
  void operator()() const { (object->*code)(); }
};

class TDSPControl : public TDSPBaseControl {
 public:
  static constexpr int kPortCount = 16;

  TDSPControl();

  float In = 0.0f;
  float Out = 0.0f;

  // The single-sample step: reads In, writes Out.
  virtual void Tick() { Out = 0.0f; }
  // One control period (one millisecond, M samples) of a in place: In := a[i], Tick,
  // a[i] := Out. Building blocks override it with a plain loop of their own step.
  virtual void FillPeriod(float* a);
  // Recomputes derived coefficients after a setting changed.
  virtual void Recalculate() {}

  void ProcessInputBlock();
  void ClearRegisters() {
    In = 0.0f;
    Out = 0.0f;
  }
  void Fill(float a);
  void FillBuffer(float* buffer, float value) const;
  void ProcessPortBlock();
  void ProcessPortSample();

  void SetPort(int k, const float* p) { ports_[k] = p; }
  const float* Port(int k) const { return ports_[k]; }

  TDSPBoundRoutine blockProcessor;
  TDSPBoundRoutine sampleProcessor;

 protected:
  void AllocateBuffers() override;
  void FreeBuffers() override;

  const float* ports_[kPortCount];
};

// The one process-wide sample index read by the single-sample port routines. Nothing in
// the synthesizer advances it.
extern int16_t DSPSharedSampleIndex;

}  // namespace tesmora6
