#include "dsp/DSPControl.h"

#include <cstring>

#include "dsp/DSPMaths.h"

namespace tesmora6 {

int16_t DSPSharedSampleIndex = 0;

TDSPControl::TDSPControl() {
  for (auto& p : ports_) p = DSPConstSignals().Zero();
  blockProcessor = {this, &TDSPControl::ProcessPortBlock};
  sampleProcessor = {this, &TDSPControl::ProcessPortSample};
  // Every building block follows the plug-in's context.
  sharesContext_ = true;
}

void TDSPControl::FillPeriod(float* a) {
  const int32_t m = context_->samplesPerMs;
  for (int32_t i = 0; i < m; ++i) {
    In = a[i];
    Tick();
    a[i] = Out;
  }
}

void TDSPControl::ProcessInputBlock() {
  const int32_t b = context_->blockLength;
  for (int32_t i = 0; i < b; ++i) {
    In = inputBlock_[i];
    Tick();
    outputBlock_[i] = Out;
  }
}

void TDSPControl::Fill(float a) {
  In = a;
  FillBuffer(inputBlock_, a);
}

void TDSPControl::FillBuffer(float* buffer, float value) const {
  for (int32_t i = 0; i < context_->paddedBlock; ++i) buffer[i] = value;
}

void TDSPControl::ProcessPortBlock() {
  const int32_t b = context_->blockLength;
  for (int32_t i = 0; i < b; ++i) {
    In = ports_[0][i];
    Tick();
    outputBlock_[i] = Out;
  }
}

void TDSPControl::ProcessPortSample() {
  const int32_t i = DSPSharedSampleIndex;
  In = ports_[0][i];
  Tick();
  if (outputBlock_) outputBlock_[i] = Out;
}

void TDSPControl::AllocateBuffers() {
  FreeBuffers();
  AllocateWorkBuffers();
}

void TDSPControl::FreeBuffers() {
  FreeWorkBuffers();
  ClearBufferPointers();
}

}  // namespace tesmora6
