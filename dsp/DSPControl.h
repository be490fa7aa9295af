// The building-block base: an input and an output register, the single-sample step
// `Tick`, the one-period block step `FillPeriod`, coefficient recalculation, input
// ports, circular counters and delay-line cursors.
#pragma once

#include <vector>

#include "dsp/DSPBaseControl.h"

class TDSPControl;

// A block or sample routine bound as code plus object, so that one control can run
// another control's routine without a type test.
struct TDSPBoundRoutine {
  TDSPControl* object = nullptr;
  void (TDSPControl::*code)() = nullptr;
  void operator()() const { (object->*code)(); }
};

struct TDSPDelayCursor {
  int32_t position = 0;
  int32_t length = 1;
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

  void SetOutFrom(const float* p) { Out = *p; }
  void ProcessInputBlock();
  int32_t ProcessInputEntry(int32_t k);
  void ProcessInPlace(float* p) { In = *p; Tick(); *p = Out; }
  void ClearRegisters() { In = 0.0f; Out = 0.0f; }
  void AdvanceCounter1() { if (++counter1_ >= counter1Length_) counter1_ = 0; }
  void AdvanceCounter2() { if (++counter2_ >= counter2Length_) counter2_ = 0; }
  void AdvanceDelayCursor(size_t k);
  void SetIn(float v) { In = v; }
  void LoadInputBlock(const float* p);
  void Fill(float a);
  void WriteInputEntry(const float* p, const int32_t* q) { In = *p; inputBlock_[*q] = *p; }
  void FillBuffer(float* buffer, float value) const;
  void ProcessPortBlock();
  void ProcessPortSample();
  // No extra information: -1 and zeros.
  virtual int32_t Query(int32_t& a, int32_t& b) const { a = 0; b = 0; return -1; }

  void SetPort(int k, const float* p) { ports_[k] = p; }
  const float* Port(int k) const { return ports_[k]; }

  TDSPBoundRoutine blockProcessor;
  TDSPBoundRoutine sampleProcessor;

 protected:
  void AllocateBuffers() override;
  void FreeBuffers() override;

  const float* ports_[kPortCount];
  int32_t counter1_ = 0, counter1Length_ = 1;
  int32_t counter2_ = 0, counter2Length_ = 1;
  std::vector<TDSPDelayCursor> delayCursors_;
};

// The one process-wide sample index read by the single-sample port routines. Nothing in
// the synthesizer advances it.
extern int16_t DSPSharedSampleIndex;
