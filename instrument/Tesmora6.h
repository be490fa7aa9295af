// The product: a six-oscillator instrument with 743 parameters. It names the plug-in,
// maps every layer's logical slots onto host indexes, registers the modulation
// destinations, owns the key-scaling parameters, and runs the per-voice control update
// and the block render.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/EffectsSection.h"
#include "instrument/Tesmora6IndexMaps.h"
#include "instrument/OscillatorLayer.h"

namespace tesmora6 {

class TTesmora6 : public TOscillatorLayer {
 public:
  static constexpr int32_t kParamCount = Param::Count;

  TTesmora6();
  ~TTesmora6() override;

  void ParameterChanged(int32_t index) override;
  // Both first build the wave tables the change will need (outside the DSPLock, once per
  // process), so that applying it under the lock only looks them up.
  void SetParameterFromHost(int32_t index, float value) override;
  void SetProgram(int32_t n) override;
  void RenderBlock() override;
  std::string DisplayText(int32_t index, float realValue) override;

  // Pitch, amplitude, pan and filter settings of one voice for the next control period.
  void UpdateVoiceControl(TDSPSynthVoice& voice);

  // The name parameter `index` reports to the host: its own, or with the tag of its part
  // before it where the name repeats (instrument/Tesmora6HostNames.h).
  std::string HostName(int32_t index) const;
  // The effects section this instrument composes (its mix buffers feed the chain).
  TEffectsSection& Effects() { return effects_; }
  const TEffectsSection& Effects() const { return effects_; }
  void TempoChanged() override;
  void ParametersUpdated() override;

 protected:
  void PropagateContext() override;
  void MapIndexes() override;
  void DefineParameters() override;
  void FinishInitialisation() override;
  std::string ParamNameText(int32_t index) const override;

 private:
  void UpdateFilterStage(TDSPSynthVoice& voice, int stage, float e1, float c1, float e2, float c2);
  void RenderVoice(TDSPSynthVoice& voice);
  void RecoverVoice(TDSPSynthVoice& voice);
  // The wave table of the waveform a waveform parameter would select at this normalized
  // value; other parameters need none.
  void PrepareWaveTable(int32_t index, float normalized) const;
  void PrepareWaveTables(const TDSPPluginProgram& program) const;

  TTesmora6IndexMaps indexMaps_;
  TEffectsSection effects_{*this};
  // Made once the parameters are defined; never changed afterwards.
  std::vector<std::string> hostNames_;
};

}  // namespace tesmora6
