// The oscillator slot: the one place through which the audio oscillators, the LFOs and
// the effect modulators use an oscillator whose waveform the user can change. It owns one
// waveform object, replaces it on every waveform change (carrying the gain and the pitch
// over to the new object) and forwards the other requests to it. It adds the single-step
// path the LFOs use.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/DSPBaseOscillator.h"
#include "dsp/DSPControl.h"

namespace tesmora6 {

class TDSPOscillator : public TDSPControl {
 public:
  TDSPOscillator();
  ~TDSPOscillator() override;

  // Waveform number := round(value) (ties to even) limited to 0 .. 127, then a new
  // waveform object, also when the number is unchanged.
  void SetWaveform(float value);
  void SetPitch(float semitones) { wave_->SetPitch(semitones); }
  void SetFrequency(float hz) { wave_->SetFrequency(hz); }
  void SetGain(float gain) { wave_->SetGain(gain); }
  void ResetPhase() { wave_->ResetPhase(); }
  float Gain() const { return wave_->Gain(); }
  // With the gain at exactly 0, moves the waveform through a period it need not compute
  // (see TDSPBaseOscillator::SkipSilentPeriod); false when the period must be filled.
  bool SkipSilentPeriod() { return Gain() == 0.0f && wave_->SkipSilentPeriod(); }
  float Frequency() const { return wave_->Frequency(); }

  int16_t WaveformNumber() const { return waveformNumber_; }
  float WaveformValue() const { return waveformValue_; }
  bool Changed() const { return changed_ != 0; }
  TDSPBaseOscillator& Waveform() const { return *wave_; }

  // The sample-rate change: the slot's own, then the waveform object's, then a new
  // waveform object of the same number.
  void ContextChanged(TDSPProcessInfo* info) override;
  void SetUsesWorkBuffers(bool uses);

  // One step: the waveform value x gain, then one increment of phase. Table waveforms
  // advance their phase inside their own Tick as well and so run at twice the rate here.
  void Tick() override;
  // One control period of gain x value from the waveform object.
  void FillPeriod(float* out) override;
  // The waveform object's block process, copied into the slot's output block.
  void ProcessBlock();

 private:
  void RebuildWaveform();

  std::unique_ptr<TDSPBaseOscillator> wave_;
  int16_t waveformNumber_ = 0;
  float waveformValue_ = 6.0f;
  uint8_t changed_ = 0;
};

}  // namespace tesmora6
