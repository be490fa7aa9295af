// The product: a six-oscillator instrument with 743 parameters. It is the framework's
// plug-in composed of its parts (the voice pool, the modulation section with the
// sequencers' parameters, the oscillator section and the effects section), hands each part
// the framework events it needs, names the plug-in, maps every part's logical slots onto
// host indexes, registers the modulation destinations, owns the key-scaling parameters,
// and runs the per-voice control update and the block render.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/EffectsSection.h"
#include "engine/VoicePool.h"
#include "framework/DSPPluginX.h"
#include "instrument/ModulationSection.h"
#include "instrument/OscillatorSection.h"
#include "instrument/Tesmora6IndexMaps.h"

namespace tesmora6 {

// The one-sentence description of the instrument.
inline constexpr const char* kTesmora6Description =
    "Subtractive Synthesis using multiple Oscillators , 2 Filters , Wave Shaping ,Pitch Glide "
    "and two Envelopes . Modulation and routing options are included .";

class TTesmora6 : public TDSPPluginX {
 public:
  static constexpr int32_t kParamCount = Param::Count;
  static constexpr int kOscillators = TOscillatorSection::kOscillators;

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
  const char* Description() const { return kTesmora6Description; }

  // ---- the parts this instrument composes ----
  TVoicePool& Voices() { return voices_; }
  TModulationSection& Modulation() { return modulation_; }
  const TModulationSection& Modulation() const { return modulation_; }
  TOscillatorSection& Oscillators() { return oscillators_; }
  // The effects section (its mix buffers feed the chain).
  TEffectsSection& Effects() { return effects_; }
  const TEffectsSection& Effects() const { return effects_; }

  // ---- framework events, handed to the parts ----
  void TempoChanged() override;
  void ParametersUpdated() override;
  void NoteOn(const TMidiEventCompact& event) override { voices_.NoteOn(event); }
  void NoteOff(const TMidiEventCompact& event) override { voices_.NoteOff(event); }
  void AllNotesOff() override { voices_.AllNotesOff(); }
  void AllSoundOff() override { voices_.AllSoundOff(); }
  void PrepareVoices() override { voices_.CheckVoicePool(); }
  bool VoicesSounding() const override { return voices_.Sounding(); }

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
  // The parts, in the order they are made: the sections set the voices of the pool.
  TVoicePool voices_{*this, &TOscillatorSection::MakeVoice};
  TModulationSection modulation_{*this, voices_};
  TOscillatorSection oscillators_{*this, voices_};
  TEffectsSection effects_{*this};
  // Made once the parameters are defined; never changed afterwards.
  std::vector<std::string> hostNames_;
};

}  // namespace tesmora6
