// The effects section of the engine: the stereo mix buffers, the seven stereo effects with
// their parameters, the chain with its channel shifts, the FX LFOs and the effect
// modulation matrix.
#pragma once

#include <array>
#include <vector>

#include "framework/DSPPluginX.h"

class TVoxboardGFXSynth : public TDSPPluginX {
 public:
  static constexpr int32_t kFxSlots = 290;

  TVoxboardGFXSynth();
  ~TVoxboardGFXSynth() override;

  void ParameterChanged(int32_t index) override;

  // Runs the effect chain over MixL and MixR in place, writes the interleaved output
  // block and turns VoicesActive into the block-audible flag.
  virtual void ProcessEffects();

  // FX id -> host index (filled by the product), and its inverse.
  void SetFxSlotHost(int32_t fxId, int16_t host) { fxSlotHost_[static_cast<size_t>(fxId)] = host; }
  void BuildFxInverse();
  int16_t FxIdOfHost(int32_t host) const;

  std::vector<float> MixL, MixR, VoiceL, VoiceR;
  uint8_t VoicesActive = 0;

 protected:
  void PropagateContext() override;
  void AllocateEngineBuffers();

  std::array<int16_t, kFxSlots> fxSlotHost_{};
  std::vector<int16_t> fxIdOfHost_;
};
