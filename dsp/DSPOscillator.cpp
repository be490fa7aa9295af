#include "dsp/DSPOscillator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/DSPMaths.h"
#include "dsp/DSPOscillators.h"
#include "dsp/DSPWaveformTable.h"

namespace tesmora6 {

TDSPOscillator::TDSPOscillator() {
  wave_ = CreateWaveform(waveformNumber_);
  wave_->SetSharesContext(sharesContext_);
  wave_->ContextChanged(context_);
}

TDSPOscillator::~TDSPOscillator() = default;

void TDSPOscillator::SetWaveform(float value) {
  waveformValue_ = value;
  // Limited before rounding, so that huge values and NaN cannot overflow the rounding:
  // below 0 selects 0, above 127 selects 127.
  float limited = value;
  if (!(limited >= 0.0f)) limited = 0.0f;
  if (limited > kMaxWaveformNumber) limited = kMaxWaveformNumber;
  waveformNumber_ = static_cast<int16_t>(Round(limited));
  RebuildWaveform();
}

void TDSPOscillator::RebuildWaveform() {
  changed_ = 0;
  std::unique_ptr<TDSPBaseOscillator> next = CreateWaveform(waveformNumber_);
  if (sharesContext_) next->SetSharesContext(true);
  // The slot's input connections: every input the owner has connected to the slot.
  const float* unconnected = DSPConstSignals().Zero();
  for (int k = 0; k < kPortCount; ++k) {
    if (ports_[k] != unconnected) next->SetPort(k, ports_[k]);
  }
  next->SetUsesWorkBuffers(usesWorkBuffers_);
  next->ContextChanged(context_);
  // The requested gain survives any change of class; the band-limited saw stores three
  // times the requested gain.
  float gain = wave_->Gain();
  if (dynamic_cast<const TDSPBlitOscillator*>(wave_.get()) != nullptr) gain /= 3.0f;
  next->SetGain(gain);
  // The old effective pitch (its last pitch plus its own offset) becomes the new object's
  // pitch, to which it adds its own offset.
  next->SetPitch(wave_->EffectivePitch());
  if (usesWorkBuffers_ && next->AmplitudeBuffer() && next->IncrementBuffer()) {
    FillBuffer(next->AmplitudeBuffer(), next->Gain());
    FillBuffer(next->IncrementBuffer(), next->Increment());
  }
  wave_ = std::move(next);
  changed_ = 1;
}

void TDSPOscillator::ContextChanged(TDSPProcessInfo* info) {
  TDSPControl::ContextChanged(info);
  wave_->ContextChanged(info);
  RebuildWaveform();
}

void TDSPOscillator::SetUsesWorkBuffers(bool uses) {
  TDSPControl::SetUsesWorkBuffers(uses);
  wave_->SetUsesWorkBuffers(uses);
}

void TDSPOscillator::Tick() {
  TDSPBaseOscillator& wave = *wave_;
  wave.Tick();
  const float value = wave.Out * wave.Gain();
  wave.AdvancePhase();
  wave.Out = value;
  Out = value;
}

void TDSPOscillator::FillPeriod(float* out) { wave_->FillPeriod(out); }

void TDSPOscillator::ProcessBlock() {
  wave_->blockProcessor();
  if (outputBlock_ && wave_->OutputBlock()) {
    std::memcpy(outputBlock_, wave_->OutputBlock(), static_cast<size_t>(context_->blockLength) * sizeof(float));
  }
}

}  // namespace tesmora6
